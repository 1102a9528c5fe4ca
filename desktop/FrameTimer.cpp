#include "desktop/FrameTimer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "desktop/DialogBridge.h"
#include "desktop/MainFrame.h"
#include "desktop/TimerToolBar.h"
#include "desktop/ViewByDate.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/TimerControl.h"

CFrameTimer::CFrameTimer(CMainFrame& frame)
    : QObject(&frame), m_frame(frame), m_control(new CTimerControl(CTimerStateFile::DefaultPath(), nullptr, this)),
      m_toolBar(new CTimerToolBar(*m_control, &frame)), m_statusPane(new QLabel(frame.statusBar())),
      m_toggle(new QAction(tr("Start/Stop Timer for the &Last Project"), &frame)), m_baseTitle(frame.windowTitle()) {
    frame.addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_statusPane->setObjectName(QStringLiteral("statusTimerPane"));
    m_statusPane->setAlignment(Qt::AlignCenter);
    m_statusPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusPane->setVisible(false);
    frame.statusBar()->addPermanentWidget(m_statusPane);

    m_toggle->setObjectName(QStringLiteral("timerToggle"));
    m_toggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+T")));
    m_toggle->setStatusTip(tr("Start the timer for the project timed last, or stop the running timer"));
    frame.addAction(m_toggle);   // works whichever bar is hidden
    connect(m_toggle, &QAction::triggered, m_control, &CTimerControl::StartOrStopLast);

    connect(m_control, &CTimerControl::changed, this, &CFrameTimer::OnChanged);
    connect(m_control, &CTimerControl::tick, this, &CFrameTimer::OnTick);
    connect(m_control, &CTimerControl::entrySaved, this, &CFrameTimer::OnEntrySaved);
}

CFrameTimer::~CFrameTimer() { m_control->WatchActivity(false); }

void CFrameTimer::Restore() {
    AddToToolsMenu();
    CreateTrayIcon();
    m_control->Restore();
    m_toolBar->FillChoices();
    m_control->WatchActivity(true);
    OnChanged();
}

void CFrameTimer::PlaceToolBarOnItsOwnRow() {
    m_frame.removeToolBar(m_toolBar);
    m_frame.addToolBarBreak(Qt::TopToolBarArea);
    m_frame.addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->setVisible(true);
}

void CFrameTimer::AddToToolsMenu() {
    QMenu* tools = m_frame.findChild<QMenu*>(QStringLiteral("menuTools"));
    if (!tools || tools->actions().contains(m_toolBar->StartAction()))
        return;
    QAction* first = tools->actions().isEmpty() ? nullptr : tools->actions().constFirst();
    tools->insertActions(first,
                         {m_toolBar->StartAction(), m_toolBar->PauseAction(), m_toolBar->StopAction(), m_toggle});
    tools->insertSeparator(first);
}

void CFrameTimer::CreateTrayIcon() {
    if (m_tray || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(m_frame.windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("timerTray"));
    m_trayMenu = new QMenu(&m_frame);
    m_trayMenu->setObjectName(QStringLiteral("timerTrayMenu"));
    connect(m_trayMenu, &QMenu::aboutToShow, this, &CFrameTimer::FillTrayMenu);
    FillTrayMenu();
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger)
            return;
        m_frame.showNormal();
        m_frame.raise();
        m_frame.activateWindow();
    });
    m_tray->show();
}

void CFrameTimer::FillTrayMenu() {
    m_trayMenu->clear();
    m_trayMenu->addAction(m_control->StateText())->setEnabled(false);
    m_trayMenu->addSeparator();
    m_trayMenu->addActions({m_toolBar->StartAction(), m_toolBar->PauseAction(), m_toolBar->StopAction()});
    const std::vector<CString> recent = m_control->Timer().RecentProjects();
    if (recent.empty())
        return;
    m_trayMenu->addSeparator();
    for (const CString& projectRef : recent) {
        const QString name = qtconv::ToQString(FormatProjectName(projectRef));
        QAction* action = m_trayMenu->addAction(tr("Start: %1").arg(name));
        connect(action, &QAction::triggered, m_control,
                [this, projectRef] { m_control->Start(projectRef, CString(), CString()); });
    }
}

void CFrameTimer::OnChanged() {
    m_toolBar->UpdateState();
    if (m_control->IsActive() && m_toolBar->ProjectBox()->count() == 0)
        m_toolBar->FillChoices();
    OnTick();
}

void CFrameTimer::OnTick() {
    m_toolBar->UpdateTime();
    const bool active = m_control->IsActive();
    const QString state = m_control->StateText();
    m_statusPane->setVisible(active);
    m_statusPane->setText(active ? QStringLiteral("%1  %2").arg(m_control->ElapsedText(), m_control->ProjectText())
                                 : QString());
    m_frame.setWindowTitle(active ? QStringLiteral("%1 - %2").arg(state, m_baseTitle) : m_baseTitle);
    if (m_tray)
        m_tray->setToolTip(state);
}

void CFrameTimer::OnEntrySaved(int entryId, bool editAfterStop) {
    CViewByDate* entries = m_frame.GetEntriesView();
    if (entries)
        entries->Refresh(entryId);
    if (!editAfterStop)
        return;
    CProjectItem entry;
    entry.set_ID(entryId);
    if (entry.Load() && dialogs::EditProjectItem(entry) && entries)
        entries->Refresh(entryId);
}
