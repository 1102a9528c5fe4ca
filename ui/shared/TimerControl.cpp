#include "ui/shared/TimerControl.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "platform/Registry.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/SharedSettings.h"
#include "ui/shared/TimerIdleDlg.h"

namespace {

const char16_t* const kIdleValue = u"TimerIdleMinutes";
const char16_t* const kEditAfterStopValue = u"TimerEditAfterStop";
constexpr uint32_t kMaxIdleMinutes = 7 * 24 * 60;

QString TwoDigits(int64_t value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString SpanText(int64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(TwoDigits(seconds / 60 % 60))
        .arg(TwoDigits(seconds % 60));
}

bool IsInteraction(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::TouchBegin: return true;
    default: return false;
    }
}

}   // namespace

CTimerControl::CTimerControl(std::string statePath, std::shared_ptr<const CTimerClock> clock, QObject* parent)
    : QObject(parent), m_timer(std::move(statePath), std::move(clock)), m_options(LoadOptions()),
      m_ticker(new QTimer(this)) {
    m_ticker->setInterval(1000);
    connect(m_ticker, &QTimer::timeout, this, &CTimerControl::tick);
}

CTimerControl::~CTimerControl() { WatchActivity(false); }

CTimerControl::Options CTimerControl::LoadOptions() {
    Options options;
    const CString& key = CSharedSettings::kSettingsKey;
    options.idleThresholdMinutes = static_cast<int>(std::min(
        Registry::GetDword(key, kIdleValue, static_cast<uint32_t>(options.idleThresholdMinutes)), kMaxIdleMinutes));
    options.editAfterStop = Registry::GetDword(key, kEditAfterStopValue, 0) != 0;
    return options;
}

bool CTimerControl::SaveOptions(const Options& options) {
    const CString& key = CSharedSettings::kSettingsKey;
    const int idle = std::clamp(options.idleThresholdMinutes, 0, static_cast<int>(kMaxIdleMinutes));
    bool written = Registry::SetDword(key, kIdleValue, static_cast<uint32_t>(idle));
    written &= Registry::SetDword(key, kEditAfterStopValue, options.editAfterStop ? 1 : 0);
    return written;
}

bool CTimerControl::SetOptions(const Options& options) {
    if (!SaveOptions(options))
        return false;
    m_options = LoadOptions();
    return true;
}

void CTimerControl::Restore() {
    const CEntryTimer::RestoreOutcome outcome = m_timer.Restore();
    switch (outcome.result) {
    case CEntryTimer::Restored::Lost:
    case CEntryTimer::Restored::StoppedEntryNotSaved: AfxMessageBox(outcome.message, MB_ICONEXCLAMATION); break;
    case CEntryTimer::Restored::StoppedEntrySaved:
        AfxMessageBox(outcome.message, MB_ICONINFORMATION);
        emit entrySaved(outcome.entryId, false);
        break;
    case CEntryTimer::Restored::NoTimer:
    case CEntryTimer::Restored::Timer: break;
    }
    UpdateTicking();
    emit changed();
}

bool CTimerControl::Report(const CEntryTimer::Outcome& outcome) {
    if (outcome.result == CEntryTimer::Result::Done)
        return true;
    AfxMessageBox(outcome.message, MB_ICONEXCLAMATION);
    return false;
}

bool CTimerControl::Start(const CString& projectRef, const CString& categoryRef, const CString& description) {
    if (m_timer.IsActive()) {
        const CString question = qtconv::FromQString(
            tr("A timer is running for %1 (%2).\n\nStop it and make its entry before starting the new one?")
                .arg(ProjectText(), ElapsedText()));
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        Stop();
        if (m_timer.IsActive())
            return false;
    }
    const bool started = Report(m_timer.Start(projectRef, categoryRef, description));
    UpdateTicking();
    emit changed();
    return started;
}

bool CTimerControl::TogglePause() {
    if (!NoteActivity() || !m_timer.IsActive())
        return false;
    const bool paused = m_timer.GetState() == CEntryTimer::State::Paused;
    const bool done = Report(paused ? m_timer.Resume() : m_timer.Pause());
    UpdateTicking();
    emit changed();
    return done;
}

int CTimerControl::Stop() {
    if (!NoteActivity() || !m_timer.IsActive())
        return 0;
    return Finish(m_timer.Stop(CEntryTimer::ZeroMinutes::Report));
}

void CTimerControl::StartOrStopLast() {
    if (m_timer.IsActive()) {
        Stop();
        return;
    }
    const std::vector<CString> recent = m_timer.RecentProjects();
    if (recent.empty()) {
        AfxMessageBox(qtconv::FromQString(tr("No project was timed yet. Choose one on the Timer toolbar first.")),
                      MB_ICONINFORMATION);
        return;
    }
    Start(recent.front(), CString(), CString());
}

int CTimerControl::AskAboutZeroMinutes(const CEntryTimer::Outcome& outcome) {
    const CString question = qtconv::FromQString(
        tr("The timer ran less than a minute.\n\nMake an entry of 0 minutes? (No discards the timer; Cancel "
           "keeps it running.)"));
    switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return Finish(m_timer.StopAt(outcome.stoppedAt, CEntryTimer::ZeroMinutes::Create));
    case IDNO:
        Report(m_timer.Discard());
        UpdateTicking();
        emit changed();
        return 0;
    default: return 0;
    }
}

int CTimerControl::Finish(CEntryTimer::Outcome outcome) {
    if (outcome.result == CEntryTimer::Result::ZeroMinutes)
        return AskAboutZeroMinutes(outcome);
    const bool saved = Report(outcome);
    UpdateTicking();
    emit changed();
    if (!saved)
        return 0;
    emit entrySaved(outcome.entryId, m_options.editAfterStop);
    return outcome.entryId;
}

bool CTimerControl::NoteActivity() {
    if (m_asking || !m_timer.NoteActivity(m_options.idleThresholdMinutes))
        return true;
    AskIdleDecision();
    return false;
}

void CTimerControl::AskIdleDecision() {
    m_asking = true;
    const CTimerInstant last = m_timer.LastActivity();
    const QString question =
        tr("The timer for %1 has run %2 since you started it or last decided. Your last activity was at %3.\n\n"
           "Keep all of that time, discard what lies beyond %4 minutes, or stop the timer at your last activity?")
            .arg(ProjectText(), ElapsedText())
            .arg(QStringLiteral("%1:%2").arg(last.local.GetHour()).arg(TwoDigits(last.local.GetMinute())))
            .arg(m_options.idleThresholdMinutes);
    CTimerIdleDlg dialog(question, QApplication::activeWindow());
    const int answer = RunModal(dialog);
    m_asking = false;
    if (answer == IdleDiscardExcess)
        Report(m_timer.DiscardIdleExcess(m_options.idleThresholdMinutes));
    else if (answer == IdleStopAtLastActivity)
        Finish(m_timer.StopAtLastActivity(CEntryTimer::ZeroMinutes::Report));
    else
        Report(m_timer.KeepIdleTime());
    UpdateTicking();
    emit changed();
}

void CTimerControl::WatchActivity(bool watch) {
    if (watch == m_watching || !qApp)
        return;
    m_watching = watch;
    if (watch)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool CTimerControl::eventFilter(QObject* watched, QEvent* event) {
    // Input reaches the window first and is then passed to widgets: counting it at the window
    // counts it once, and eating it there keeps the interaction from acting before the answer.
    if (IsInteraction(event) && watched->isWindowType() && event->spontaneous() && m_timer.IsActive() && !m_asking)
        return !NoteActivity();
    return QObject::eventFilter(watched, event);
}

void CTimerControl::UpdateTicking() {
    if (m_timer.IsActive() && m_timer.GetState() != CEntryTimer::State::Stopping)
        m_ticker->start();
    else
        m_ticker->stop();
}

QString CTimerControl::ElapsedText() const { return m_timer.IsActive() ? SpanText(m_timer.RunSeconds()) : QString(); }

QString CTimerControl::ProjectText() const {
    return m_timer.IsActive() ? qtconv::ToQString(FormatProjectName(m_timer.ProjectRef())) : QString();
}

QString CTimerControl::StateText() const {
    switch (m_timer.GetState()) {
    case CEntryTimer::State::Running: return tr("Timer running: %1 - %2").arg(ElapsedText(), ProjectText());
    case CEntryTimer::State::Paused: return tr("Timer paused: %1 - %2").arg(ElapsedText(), ProjectText());
    case CEntryTimer::State::Stopping: return tr("Timer stopped, entry not saved yet: %1").arg(ProjectText());
    case CEntryTimer::State::Idle: break;
    }
    return tr("No timer running");
}

std::vector<CTimerControl::Choice> CTimerControl::ProjectChoices() const {
    std::vector<Choice> recent;
    for (const CString& refId : m_timer.RecentProjects())
        recent.push_back({refId, qtconv::ToQString(FormatProjectName(refId))});
    std::vector<Choice> others;
    CDataHelper* store = GetCurrDataHelper();
    const std::unique_ptr<CObArray> projects(store ? store->GetObjectList(u"project") : new CObArray);
    for (int index = 0; index < projects->GetSize(); ++index) {
        const auto* project = dynamic_cast<const CProject*>(projects->GetAt(index));
        if (!project)
            continue;
        const CString refId = project->get_RefID();
        const bool isRecent = std::any_of(recent.begin(), recent.end(),
                                          [&refId](const Choice& choice) { return choice.refId == refId; });
        if (!isRecent)
            others.push_back({refId, qtconv::ToQString(FormatProjectName(refId))});
    }
    std::sort(others.begin(), others.end(), [](const Choice& left, const Choice& right) {
        return left.text.compare(right.text, Qt::CaseInsensitive) < 0;
    });
    recent.insert(recent.end(), others.begin(), others.end());
    return recent;
}

std::vector<CTimerControl::Choice> CTimerControl::CategoryChoices() {
    std::vector<Choice> choices;
    CDataHelper* store = GetCurrDataHelper();
    const std::unique_ptr<CObArray> categories(store ? store->GetObjectList(u"category") : new CObArray);
    for (int index = 0; index < categories->GetSize(); ++index) {
        if (const auto* category = dynamic_cast<const CCategory*>(categories->GetAt(index)))
            choices.push_back({category->get_RefID(), qtconv::ToQString(category->get_Code())});
    }
    std::sort(choices.begin(), choices.end(), [](const Choice& left, const Choice& right) {
        return left.text.compare(right.text, Qt::CaseInsensitive) < 0;
    });
    return choices;
}
