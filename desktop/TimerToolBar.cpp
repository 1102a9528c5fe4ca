#include "desktop/TimerToolBar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "biz/EntryTimer.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ProjectNames.h"
#include "ui/shared/TimerControl.h"

namespace {

constexpr int kRefIdRole = Qt::UserRole;

QAction* MakeAction(QToolBar* bar, const QString& text, const char* name, QStyle::StandardPixmap icon) {
    auto* action = new QAction(bar->style()->standardIcon(icon), text, bar);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
    bar->addAction(action);
    return action;
}

int FindRefId(const QComboBox* box, const CString& refId) {
    return refId.IsEmpty() ? -1 : box->findData(qtconv::ToQString(refId), kRefIdRole);
}

}   // namespace

CTimerToolBar::CTimerToolBar(CTimerControl& control, QWidget* parent)
    : QToolBar(tr("Timer"), parent), m_control(control), m_project(new QComboBox(this)),
      m_category(new QComboBox(this)), m_description(new QLineEdit(this)) {
    setObjectName(QStringLiteral("toolBarTimer"));
    setIconSize(QSize(16, 16));

    m_project->setObjectName(QStringLiteral("timerProject"));
    m_project->setEditable(true);
    m_project->setInsertPolicy(QComboBox::NoInsert);
    m_project->setMinimumContentsLength(18);
    m_project->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_project->lineEdit()->setPlaceholderText(tr("Project"));
    m_project->setToolTip(tr("Project to time: recent ones first; type to search"));
    // Typing finds a project by any part of its name, client included, case and accents aside.
    m_project->setCompleter(new CFoldingCompleter(m_project->model(), m_project));
    addWidget(m_project);

    m_category->setObjectName(QStringLiteral("timerCategory"));
    m_category->setToolTip(tr("Billing category (optional)"));
    addWidget(m_category);

    m_description->setObjectName(QStringLiteral("timerDescription"));
    m_description->setPlaceholderText(tr("Description (optional)"));
    m_description->setMaxLength(CEntryTimer::kMaxDescriptionLength);
    m_description->setMinimumWidth(120);
    addWidget(m_description);

    m_start = MakeAction(this, tr("&Start Timer"), "timerStart", QStyle::SP_MediaPlay);
    m_pause = MakeAction(this, tr("&Pause Timer"), "timerPause", QStyle::SP_MediaPause);
    m_stop = MakeAction(this, tr("S&top Timer"), "timerStop", QStyle::SP_MediaStop);
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("timerTime"));
    m_time->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000:00:00")) + 8);
    m_time->setAlignment(Qt::AlignCenter);
    addWidget(m_time);

    connect(m_start, &QAction::triggered, this, &CTimerToolBar::OnStart);
    connect(m_pause, &QAction::triggered, this, [this] { m_control.TogglePause(); });
    connect(m_stop, &QAction::triggered, this, [this] { m_control.Stop(); });
    connect(m_description, &QLineEdit::returnPressed, this, &CTimerToolBar::OnStart);
    UpdateState();
}

void CTimerToolBar::FillChoices() {
    const CString project = ChosenProjectRef();
    const QString category = m_category->currentData(kRefIdRole).toString();
    m_project->clear();
    for (const CTimerControl::Choice& choice : m_control.ProjectChoices())
        m_project->addItem(choice.text, qtconv::ToQString(choice.refId));
    CFoldingCompleter::FoldItems(*m_project->model());
    m_project->setCurrentIndex(FindRefId(m_project, project));
    m_category->clear();
    m_category->addItem(tr("(No category)"), QString());
    for (const CTimerControl::Choice& choice : CTimerControl::CategoryChoices())
        m_category->addItem(choice.text, qtconv::ToQString(choice.refId));
    m_category->setCurrentIndex(std::max(0, m_category->findData(category, kRefIdRole)));
    if (m_control.IsActive())
        ShowTimerDetails();
}

CString CTimerToolBar::ChosenProjectRef() const {
    CProjectNames names;
    for (int item = 0; item < m_project->count(); ++item)
        names.Add(m_project->itemText(item), qtconv::FromQString(m_project->itemData(item, kRefIdRole).toString()));
    return names.Find(m_project->currentText());
}

void CTimerToolBar::OnStart() {
    const CString projectRef = ChosenProjectRef();
    if (projectRef.IsEmpty()) {
        AfxMessageBox(
            qtconv::FromQString(tr(
                "Choose the project to time from the list, or type enough of its name to tell it from the others.")),
            MB_ICONINFORMATION);
        m_project->setFocus();
        return;
    }
    const CString categoryRef = qtconv::FromQString(m_category->currentData(kRefIdRole).toString());
    if (m_control.Start(projectRef, categoryRef, qtconv::FromQString(m_description->text().trimmed()))) {
        m_description->clear();
        FillChoices();   // the project moves to the front of the recent ones
    }
}

void CTimerToolBar::ShowTimerDetails() {
    const CEntryTimer& timer = m_control.Timer();
    int project = FindRefId(m_project, timer.ProjectRef());
    if (project < 0) {
        m_project->addItem(m_control.ProjectText(), qtconv::ToQString(timer.ProjectRef()));
        CFoldingCompleter::FoldItems(*m_project->model());
        project = m_project->count() - 1;
    }
    m_project->setCurrentIndex(project);
    m_category->setCurrentIndex(std::max(0, FindRefId(m_category, timer.CategoryRef())));
    m_description->setText(qtconv::ToQString(timer.Description()));
}

void CTimerToolBar::UpdateState() {
    const CEntryTimer::State state = m_control.Timer().GetState();
    const bool active = state != CEntryTimer::State::Idle;
    if (active)
        ShowTimerDetails();
    else
        m_description->clear();
    m_start->setEnabled(true);   // with a timer on, it asks to stop that one first
    m_pause->setEnabled(state == CEntryTimer::State::Running || state == CEntryTimer::State::Paused);
    const bool paused = state == CEntryTimer::State::Paused;
    m_pause->setText(paused ? tr("&Resume Timer") : tr("&Pause Timer"));
    m_pause->setToolTip(paused ? tr("Resume Timer") : tr("Pause Timer"));
    m_pause->setIcon(style()->standardIcon(paused ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    m_stop->setEnabled(active);
    UpdateTime();
}

void CTimerToolBar::UpdateTime() {
    m_time->setText(m_control.ElapsedText());
    m_time->setToolTip(m_control.StateText());
}
