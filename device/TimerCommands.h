#pragma once
// The device's timer: a "Timer" menu at the top of the command bar's Tools menu (Start for a
// chosen project or one of the last five, Pause/Resume, Stop; a button of its own would push the
// bar's icons off the handheld's narrow screen) and the running time at the right of the view's header
// strip. Its state file is the device's own; its entries are ordinary entries of the data file
// and synchronise as usual.
#include <QObject>

class CTimerControl;
class CViewByDate;
class QAction;
class QLabel;
class QMenu;
class QWidget;

class CTimerCommands : public QObject {
    Q_OBJECT
public:
    // Puts the Timer menu first in `toolsMenu`.
    CTimerCommands(QWidget* frame, QMenu* toolsMenu, CViewByDate& view);
    ~CTimerCommands() override;

    // Once the data store is open: the timer kept on file comes back.
    void Restore();
    // Start: the project picker, then the timer for the chosen project.
    void OnStart();

    CTimerControl& Control() const { return *m_control; }
    QMenu* Menu() const { return m_menu; }
    QLabel* TimeLabel() const { return m_time; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillMenu();
    void OnChanged();
    void UpdateTime();
    void PlaceTimeLabel();

    CViewByDate& m_view;
    CTimerControl* m_control;
    QMenu* m_menu;
    QAction* m_start;
    QAction* m_pause;
    QAction* m_stop;
    QLabel* m_time;
};
