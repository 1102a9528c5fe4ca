#include "device/TimerCommands.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>

#include "biz/Helpers.h"
#include "biz/Project.h"
#include "device/TitleStrip.h"
#include "device/ViewByDate.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/TimerControl.h"
#include "ui/shared/dialogs/SelectProject.h"

namespace {
// The view's three navigation buttons sit at the strip's right end.
constexpr int kNavigationWidth = 3 * 20 + 4;
}   // namespace

CTimerCommands::CTimerCommands(QWidget* frame, QMenu* toolsMenu, CViewByDate& view)
    : QObject(frame), m_view(view), m_control(new CTimerControl(CTimerStateFile::DefaultPath(), nullptr, this)),
      m_menu(new QMenu(QStringLiteral("Timer"), frame)), m_start(new QAction(QStringLiteral("Start..."), this)),
      m_pause(new QAction(QStringLiteral("Pause"), this)), m_stop(new QAction(QStringLiteral("Stop"), this)),
      m_time(new QLabel(&view)) {
    m_menu->setObjectName(QStringLiteral("timerMenu"));
    m_start->setObjectName(QStringLiteral("timerStart"));
    m_pause->setObjectName(QStringLiteral("timerPause"));
    m_stop->setObjectName(QStringLiteral("timerStop"));
    if (toolsMenu) {
        QAction* first = toolsMenu->actions().isEmpty() ? nullptr : toolsMenu->actions().constFirst();
        toolsMenu->insertMenu(first, m_menu);
        toolsMenu->insertSeparator(first);
    }

    m_time->setObjectName(QStringLiteral("timerTime"));
    m_time->setFont(titlestrip::BoldFont(view.font()));
    m_time->setAutoFillBackground(true);
    m_time->setBackgroundRole(QPalette::Button);
    m_time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_time->hide();
    view.installEventFilter(this);

    connect(m_start, &QAction::triggered, this, &CTimerCommands::OnStart);
    connect(m_pause, &QAction::triggered, m_control, &CTimerControl::TogglePause);
    connect(m_stop, &QAction::triggered, m_control, &CTimerControl::Stop);
    connect(m_menu, &QMenu::aboutToShow, this, &CTimerCommands::FillMenu);
    connect(m_control, &CTimerControl::changed, this, &CTimerCommands::OnChanged);
    connect(m_control, &CTimerControl::tick, this, &CTimerCommands::UpdateTime);
    connect(m_control, &CTimerControl::entrySaved, this, [this](int entryId) { m_view.Refresh(entryId); });
    FillMenu();
}

CTimerCommands::~CTimerCommands() { m_control->WatchActivity(false); }

void CTimerCommands::Restore() {
    m_control->Restore();
    m_control->WatchActivity(true);
    FillMenu();
    OnChanged();
}

void CTimerCommands::OnStart() {
    CProject project;
    if (!m_control->IsActive() && !m_control->Timer().RecentProjects().empty())
        project.set_RefID(m_control->Timer().RecentProjects().front());
    if (SelectProject(&project))
        m_control->Start(project.get_RefID(), CString(), CString());
}

void CTimerCommands::FillMenu() {
    m_menu->clear();
    const CEntryTimer::State state = m_control->Timer().GetState();
    m_pause->setText(state == CEntryTimer::State::Paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    m_pause->setEnabled(state == CEntryTimer::State::Running || state == CEntryTimer::State::Paused);
    m_stop->setEnabled(state != CEntryTimer::State::Idle);
    m_menu->addActions({m_start, m_pause, m_stop});
    const std::vector<CString> recent = m_control->Timer().RecentProjects();
    if (recent.empty())
        return;
    m_menu->addSeparator();
    for (const CString& projectRef : recent) {
        QAction* action = m_menu->addAction(qtconv::ToQString(FormatProjectName(projectRef)));
        connect(action, &QAction::triggered, m_control,
                [this, projectRef] { m_control->Start(projectRef, CString(), CString()); });
    }
}

void CTimerCommands::OnChanged() {
    UpdateTime();
    FillMenu();
}

void CTimerCommands::UpdateTime() {
    const bool active = m_control->IsActive();
    const bool paused = m_control->Timer().GetState() == CEntryTimer::State::Paused;
    m_time->setText(active ? (paused ? QStringLiteral("|| ") : QString()) + m_control->ElapsedText() : QString());
    m_time->setToolTip(m_control->StateText());
    m_time->setVisible(active);
    PlaceTimeLabel();
}

void CTimerCommands::PlaceTimeLabel() {
    const int width = m_time->fontMetrics().horizontalAdvance(QStringLiteral("|| 000:00:00")) + 4;
    m_time->setGeometry(m_view.width() - kNavigationWidth - width, 1, width, titlestrip::kHeight - 2);
    m_time->raise();
}

bool CTimerCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::Resize)
        PlaceTimeLabel();
    return QObject::eventFilter(watched, event);
}
