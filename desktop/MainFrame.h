#pragma once
// The program's one top-level window: menu bar, the Standard and Custom Views toolbars, the
// status bar with its three panes, the Clients and Projects and Quick Summary bars, and the
// entries view as its main pane. It routes every command (to the active pane where the command
// table says so), keeps the enabling rules, runs the synchronisation flow and the Help links.
#include <map>

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include "biz/SyncDriver.h"
#include "platform/CString.h"

class CFrameTimer;
class CReportWindow;
class CQuillmarApp;
class CViewByDate;
class CViewClientsProjectsSideBar;
class CViewSummary;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum class Pane { Entries, SideBar, Summary };

    // Builds the bars (after applying the theme) and the saved or default layout.
    explicit CMainFrame(CQuillmarApp& app);
    ~CMainFrame() override;

    // Creates the entries view as the main pane and gives every view its initial update.
    void CreateViews();
    // Applies the window placement saved with the layout, once.
    void ApplySavedPlacement();

    // 0 Office 2003, 1 Office XP, 2 Office 2000; other values keep the installed look.
    void ApplyTheme(int theme);
    // Refresh command (172): side bar pending selection cleared, tree refilled, entries refreshed.
    void RefreshAll();

    CViewByDate* GetEntriesView() const { return m_pEntriesView; }
    CViewClientsProjectsSideBar* GetSideBarView() const { return m_pSideBarView; }
    CViewSummary* GetSummaryView() const { return m_pSummaryView; }
    QLabel* GetFilterPane() const { return m_pFilterPane; }
    QLabel* GetRangePane() const { return m_pRangePane; }
    QToolBar* GetStandardToolBar() const { return m_pStandardBar; }
    QToolBar* GetCustomViewsToolBar() const { return m_pCustomViewsBar; }
    QToolBar* GetSearchToolBar() const { return m_pSearchBar; }
    QDockWidget* GetClientsProjectsBar() const { return m_pClientsProjectsBar; }
    QDockWidget* GetQuickSummaryBar() const { return m_pQuickSummaryBar; }
    CFrameTimer* GetTimer() const { return m_pTimer; }
    // The report window (View > Reports) while it is open; nullptr otherwise.
    CReportWindow* GetReportWindow() const;

    // Status pane 1: the filter indicator, with a border only while a filter is active.
    void SetFilterPane(bool active, const QString& text);
    // Status pane 2: the date range, as wide as its text plus 10 pixels.
    void SetRangePaneText(const QString& text);

    // The action of a command of the table (object name "cmd<id>"); nullptr for other ids.
    QAction* CommandAction(unsigned id) const;
    // Runs a command as if the user chose it (enabled or not is checked first).
    void ExecuteCommand(unsigned id);
    // Re-evaluates every enabling and check rule of the command table.
    void UpdateCommandUI();

    Pane ActivePane() const { return m_activePane; }
    void SetActivePane(Pane pane);

    // The sync engine the sync commands create; the program's default drives the device.
    void SetSyncDriverFactory(SyncDriverFactory factory) { m_syncDriverFactory = std::move(factory); }
    // Commands 169 (normal) and 174 (set-up mode).
    void RunSyncFlow(bool setupMode);
    // The "Settings" value holding when the last synchronisation succeeded (ISO date and time).
    static constexpr const char16_t* kLastSyncSetting = u"LastSuccessfulSync";
    QLabel* GetLastSyncPane() const { return m_pLastSyncPane; }

    // Layout in the registry subkey "ProfUIS222".
    void SaveLayout();
    bool LoadLayout();

    // The running version as "%d.%1d.%1d" and the maker's web address with a path.
    static QString VersionText();

    // The context menu of the toolbars and bars: their toggles, then the menu bar's toggle and
    // Reset Layout, so a hidden menu bar is never out of reach.
    QMenu* createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateCommandActions();
    void CreateMenuBar();
    // F10: brings a hidden menu bar back, then opens its first menu.
    void OnMenuBarKey();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateDockingBars();
    void ApplyDefaultLayout();
    void ConnectCommands();
    void OnFocusChanged(QWidget* old, QWidget* now);
    // After a command of the entries pane the focus stays on (or comes back to) its list.
    void KeepEntriesFocus();

    // Command handlers.
    void OnNewClient();
    void OnNewProject();
    void OnNewEntry(int itemType);
    void OnPrint();
    void OnCreateInvoice();
    // The RefID of the client selected in the side bar, or of the selected project's client.
    CString SideBarClientRef() const;
    void OnInvoices();
    void OnReports();
    void OnProperties();
    void OnMarkAsPaid();
    void OnDelete();
    void OnAbout();
    void OnHelpLink(unsigned commandId);
    // Tools > Pair with Device; true when a tested pairing was kept.
    bool OnPairDevice();
    void NoteSuccessfulSync();
    void UpdateLastSyncPane();
    void ReportSyncFailure(unsigned leadTextId, bool fromResLibrary, const CSyncDriver* engine);

    CQuillmarApp& m_app;
    std::map<unsigned, QAction*> m_actions;
    QToolBar* m_pStandardBar = nullptr;
    QToolBar* m_pCustomViewsBar = nullptr;
    QToolBar* m_pSearchBar = nullptr;
    QAction* m_pDatePickerSlot = nullptr;
    QDockWidget* m_pClientsProjectsBar = nullptr;
    QDockWidget* m_pQuickSummaryBar = nullptr;
    QLabel* m_pFilterPane = nullptr;
    QLabel* m_pRangePane = nullptr;
    QLabel* m_pLastSyncPane = nullptr;
    CViewByDate* m_pEntriesView = nullptr;
    CViewClientsProjectsSideBar* m_pSideBarView = nullptr;
    CViewSummary* m_pSummaryView = nullptr;
    CFrameTimer* m_pTimer = nullptr;
    QPointer<CReportWindow> m_pReportWindow;
    Pane m_activePane = Pane::Entries;
    SyncDriverFactory m_syncDriverFactory;
    QByteArray m_savedPlacement;
    bool m_bLayoutSaved = false;
};
