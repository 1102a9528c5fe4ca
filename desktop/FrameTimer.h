#pragma once
// The main window's timer: the "Timer" toolbar, its commands in the Tools menu, the shortcut
// that starts or stops the timer for the last project, the running time in the status bar and
// the window title, and a tray icon where the desktop offers one. A stopped timer's entry shows
// in the entries view at once, and opens in the entry editor when the Options say so.
#include <QObject>

class CMainFrame;
class CTimerControl;
class CTimerToolBar;
class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;

class CFrameTimer : public QObject {
    Q_OBJECT
public:
    // Adds the toolbar (before the frame restores its saved layout, which places it) and the
    // status pane; the timer itself is read from its file by Restore.
    explicit CFrameTimer(CMainFrame& frame);
    ~CFrameTimer() override;

    // Once the data store is open: the pickers are filled, the Tools menu items added and the
    // timer kept on file brought back.
    void Restore();
    // The default layout: the toolbar on a row of its own below the others.
    void PlaceToolBarOnItsOwnRow();

    CTimerControl& Control() const { return *m_control; }
    CTimerToolBar* ToolBar() const { return m_toolBar; }
    QLabel* StatusPane() const { return m_statusPane; }
    QAction* ToggleAction() const { return m_toggle; }
    QSystemTrayIcon* TrayIcon() const { return m_tray; }

private:
    void AddToToolsMenu();
    void CreateTrayIcon();
    void FillTrayMenu();
    void OnChanged();
    void OnTick();
    void OnEntrySaved(int entryId, bool editAfterStop);

    CMainFrame& m_frame;
    CTimerControl* m_control;
    CTimerToolBar* m_toolBar;
    QLabel* m_statusPane;
    QAction* m_toggle;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QString m_baseTitle;
};
