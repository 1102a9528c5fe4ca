#pragma once
// The device's one window, titled "Quillmar": the entries view above a command bar at the
// bottom with the New, View and Tools menus and four icon buttons (new time, expense and
// mileage entries, quick summary). It receives the sync library's message 1124 and then
// reloads the data store and the view.
#include <memory>

#include <QMainWindow>

class CQuillmarApp;
class CTimerCommands;
class CViewByDate;
class CWindowMessageNotifier;
class QAction;
class QFileSystemWatcher;
class QLabel;
class QToolBar;
struct WindowMessage;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CQuillmarApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void OnInitialUpdate();

    // Runs a command by its number; false for a number the frame does not know.
    bool ExecuteCommand(unsigned id);
    QAction* CommandAction(unsigned id) const;

    CViewByDate* GetView() const { return m_view; }
    QToolBar* CommandBar() const { return m_commandBar; }
    CTimerCommands* Timer() const { return m_timer; }
    // The line under the command bar: a synchronisation under way on this device, or when the
    // last one finished.
    QLabel* SyncStateLine() const { return m_syncState; }
    void UpdateSyncState();
    // Whether the window-message endpoint of the title could be opened.
    bool IsListeningForSync() const;

    // Message 1124 from the sync library: the data file changed under the program.
    void OnSyncDone();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateCommandBar();
    void CreateSyncStateLine();
    QAction* AddCommand(QMenu* menu, const QString& text, unsigned id, const char* name);
    void OnWindowMessage(const WindowMessage& message);
    void UpdateViewMenu();
    void OnNewClient();
    void OnNewProject();
    void OnNewEntry(int itemType);
    void OnQuickSummary();
    void OnManageClientsProjects();
    void OnManageCategories();
    void OnOptions();
    void OnPairDesktop();

    CQuillmarApp& m_app;
    CViewByDate* m_view;
    QToolBar* m_commandBar = nullptr;
    CTimerCommands* m_timer = nullptr;
    QLabel* m_syncState = nullptr;
    // The program folder: change files come and go there while a synchronisation runs.
    QFileSystemWatcher* m_folderWatch = nullptr;
    std::unique_ptr<CWindowMessageNotifier> m_windowMessages;
};
