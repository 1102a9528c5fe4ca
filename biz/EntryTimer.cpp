#include "biz/EntryTimer.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "biz/TimerEntry.h"
#include "platform/ObArray.h"

namespace {

using Phase = CTimerState::Phase;

// RefIDs of the stored records of a kind (deletion markers are another kind, so a deleted
// record's RefID is not among them).
std::unordered_set<CString> StoredRefIds(const char16_t* kind) {
    std::unordered_set<CString> refIds;
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return refIds;
    std::unique_ptr<CObArray> records(store->GetObjectList(kind));
    for (int i = 0; i < records->GetSize(); ++i)
        refIds.insert(static_cast<const CBaseObject*>(records->GetAt(i))->get_RefID());
    return refIds;
}

bool IsStored(const char16_t* kind, const CString& refId) { return StoredRefIds(kind).count(refId) != 0; }

// Spans to the nearest second, so that clock readings a few ticks apart count alike.
int64_t WholeSeconds(int64_t ticks) { return (ticks + kTimerTicksPerSecond / 2) / kTimerTicksPerSecond; }

CString DataFileText() {
    CDataHelper* store = GetCurrDataHelper();
    return store ? store->GetDataFilePath() : CString();
}

}   // namespace

CEntryTimer::CEntryTimer(std::string statePath, std::shared_ptr<const CTimerClock> clock)
    : m_file(std::move(statePath)), m_clock(clock ? std::move(clock) : std::make_shared<CTimerClock>()) {}

// ---- restoring

CEntryTimer::RestoreOutcome CEntryTimer::Restore() {
    const CTimerStateLoad load = m_file.Load();
    m_restored = true;
    m_state = load.state;
    m_pendingEntryId = 0;
    m_storedActivityUtc = m_state.lastActivity.utc;
    RestoreOutcome outcome;
    if (load.status == CTimerStateLoad::Status::Damaged || load.status == CTimerStateLoad::Status::Unreadable) {
        outcome.result = Restored::Lost;
        outcome.message.Format(u"The timer could not be restored from %hs: %hs. A timer that was running is lost.",
                               m_file.Path(), load.reason);
        if (!load.keptAs.empty())
            outcome.message += CString::Formatted(u" The damaged file was kept as %hs.", load.keptAs);
        return outcome;
    }
    if (m_state.phase == Phase::Stopping)
        return ResolveStop();
    outcome.result = m_state.phase == Phase::Idle ? Restored::NoTimer : Restored::Timer;
    return outcome;
}

CEntryTimer::RestoreOutcome CEntryTimer::ResolveStop() {
    RestoreOutcome outcome;
    CDataHelper* store = GetCurrDataHelper();
    if (store && store->RefID_To_ID(m_state.entryRefId, u"projectItem") != 0) {
        // The entry was saved before the program ended; only clearing the timer was lost.
        CTimerState next = m_state;
        next.ClearTimer();
        if (!Commit(next))
            m_state = next;
        return outcome;
    }
    const Outcome stop = FinishStop(0);
    outcome.entryId = stop.entryId;
    if (stop.result == Result::Done) {
        outcome.result = Restored::StoppedEntrySaved;
        outcome.message = u"A timer that was stopped just before the program ended has been saved as a time entry.";
    } else {
        outcome.result = Restored::StoppedEntryNotSaved;
        outcome.message = stop.message;
    }
    return outcome;
}

// ---- changes

CEntryTimer::Outcome CEntryTimer::Start(const CString& projectRef, const CString& categoryRef,
                                        const CString& description) {
    if (!m_restored)
        Restore();   // never start over a timer kept on file
    if (m_state.phase == Phase::Stopping)
        return Refused(Result::AlreadyActive,
                       u"The entry of the stopped timer is not saved yet. Stop it again first.");
    if (IsActive())
        return Refused(Result::AlreadyActive, u"A timer is already running. Stop it before starting another one.");
    Outcome check = CheckDetails(projectRef, categoryRef, description);
    if (check.result != Result::Done)
        return check;
    const CTimerInstant now = Now();
    CTimerState next = m_state;
    next.ClearTimer();
    next.phase = Phase::Running;
    next.projectRef = projectRef;
    next.categoryRef = categoryRef;
    next.description = description;
    next.firstStart = now;
    next.lastActivity = now;
    next.RememberProject(projectRef);
    return Commit(next) ? Outcome() : StateNotSaved(u"The timer was not started.");
}

CEntryTimer::Outcome CEntryTimer::Pause() {
    if (m_state.phase != Phase::Running)
        return IsActive() ? Refused(Result::NotRunning, u"The timer is not running.")
                          : Refused(Result::NotActive, u"No timer is running.");
    const CTimerInstant now = Now();
    CTimerState next = m_state;
    next.phase = Phase::Paused;
    // A clock set back must not open the pause before the time already counted.
    next.pausedSince = std::max({now.utc, next.firstStart.utc, next.pauses.empty() ? 0 : next.pauses.back().to});
    next.lastActivity = now;
    return Commit(next) ? Outcome() : StateNotSaved(u"The timer was not paused.");
}

CEntryTimer::Outcome CEntryTimer::Resume() {
    if (m_state.phase != Phase::Paused)
        return IsActive() ? Refused(Result::NotPaused, u"The timer is not paused.")
                          : Refused(Result::NotActive, u"No timer is running.");
    const CTimerInstant now = Now();
    CTimerState next = m_state;
    next.pauses.push_back({next.pausedSince, std::max(next.pausedSince, now.utc)});
    next.pausedSince = 0;
    next.phase = Phase::Running;
    next.lastActivity = now;
    return Commit(next) ? Outcome() : StateNotSaved(u"The timer was not resumed.");
}

CEntryTimer::Outcome CEntryTimer::Stop(ZeroMinutes zero) { return StopAt(Now(), zero); }

CEntryTimer::Outcome CEntryTimer::StopAt(const CTimerInstant& at, ZeroMinutes zero) {
    if (m_state.phase == Phase::Idle)
        return Refused(Result::NotActive, u"No timer is running.");
    if (m_state.phase == Phase::Stopping)
        return FinishStop(PendingEntryId());
    CTimerState next = m_state;
    if (next.phase == Phase::Paused)
        next.pauses.push_back({next.pausedSince, std::max(next.pausedSince, at.utc)});
    next.pausedSince = 0;
    next.phase = Phase::Stopping;
    next.stoppedAt = at;
    Outcome outcome;
    outcome.minutes = CTimerEntry::MinutesOf(next.RunTicks(at.utc));
    outcome.stoppedAt = at;
    if (outcome.minutes == 0 && zero == ZeroMinutes::Report) {
        outcome.result = Result::ZeroMinutes;
        outcome.message = u"The timer ran for less than a minute.";
        return outcome;
    }
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return Refused(Result::EntryNotSaved, u"There is no data file to save the time entry in.");
    // The entry's ID and RefID are fixed before anything is written, and the RefID goes on
    // file with the stop, so a restart can tell whether the entry was saved.
    const int entryId = store->GenerateNewID();
    next.entryRefId = store->GenerateRefID(entryId);
    if (!Commit(next))
        return StateNotSaved(u"The timer was not stopped.");
    return FinishStop(entryId);
}

CEntryTimer::Outcome CEntryTimer::FinishStop(int entryId) {
    CProjectItem entry;
    CTimerEntry::Fill(entry, m_state);
    entry.set_ID(entryId);
    Outcome outcome;
    outcome.minutes = entry.get_DurationInMinutes();
    outcome.stoppedAt = m_state.stoppedAt;
    if (!entry.Save()) {
        // Saved again under the same ID, the entry replaces what this attempt left in memory.
        m_pendingEntryId = entry.get_ID();
        return Refused(Result::EntryNotSaved,
                       CString::Formatted(u"The time entry could not be written to the data file %s. The stopped "
                                          u"timer is kept; stop it again to save its entry.",
                                          DataFileText()));
    }
    m_pendingEntryId = 0;
    outcome.entryId = entry.get_ID();
    CTimerState next = m_state;
    next.ClearTimer();
    // Should clearing fail, the stop on file names this entry, so a restart only clears it.
    if (!Commit(next))
        m_state = next;
    return outcome;
}

CEntryTimer::Outcome CEntryTimer::Discard() {
    if (m_state.phase == Phase::Idle)
        return Refused(Result::NotActive, u"No timer is running.");
    const int unsaved = PendingEntryId();
    CTimerState next = m_state;
    next.ClearTimer();
    if (!Commit(next))
        return StateNotSaved(u"The timer was not discarded.");
    CDataHelper* store = GetCurrDataHelper();
    if (unsaved != 0 && store->RemoveObject(unsaved, u"projectItem"))
        store->Flush();
    m_pendingEntryId = 0;
    return Outcome();
}

CEntryTimer::Outcome CEntryTimer::SetDetails(const CString& projectRef, const CString& categoryRef,
                                             const CString& description) {
    if (m_state.phase != Phase::Running && m_state.phase != Phase::Paused)
        return Refused(Result::NotActive, u"No timer is running.");
    Outcome check = CheckDetails(projectRef, categoryRef, description);
    if (check.result != Result::Done)
        return check;
    CTimerState next = m_state;
    next.projectRef = projectRef;
    next.categoryRef = categoryRef;
    next.description = description;
    next.lastActivity = Now();
    next.RememberProject(projectRef);
    return Commit(next) ? Outcome() : StateNotSaved(u"The timer's details were not changed.");
}

// ---- idle time

bool CEntryTimer::NeedsIdleDecision(int thresholdMinutes) const {
    if (thresholdMinutes <= 0 || (m_state.phase != Phase::Running && m_state.phase != Phase::Paused))
        return false;
    const int64_t sinceDecision = WholeSeconds(m_state.RunTicks(Now().utc)) - WholeSeconds(m_state.idleCheckedTicks);
    return sinceDecision > thresholdMinutes * int64_t{60};
}

bool CEntryTimer::NoteActivity(int thresholdMinutes) {
    if (m_state.phase != Phase::Running && m_state.phase != Phase::Paused)
        return false;
    if (NeedsIdleDecision(thresholdMinutes))
        return true;
    m_state.lastActivity = Now();
    // Not worth a write per keystroke: a minute's precision is all the stop needs.
    if (m_state.lastActivity.utc - m_storedActivityUtc >= kTimerTicksPerMinute && m_file.Save(m_state))
        m_storedActivityUtc = m_state.lastActivity.utc;
    return false;
}

CEntryTimer::Outcome CEntryTimer::KeepIdleTime() {
    if (m_state.phase != Phase::Running && m_state.phase != Phase::Paused)
        return Refused(Result::NotActive, u"No timer is running.");
    const CTimerInstant now = Now();
    CTimerState next = m_state;
    next.idleCheckedTicks = next.RunTicks(now.utc);
    next.lastActivity = now;
    return Commit(next) ? Outcome() : StateNotSaved(u"The decision about the idle time was not kept.");
}

CEntryTimer::Outcome CEntryTimer::DiscardIdleExcess(int thresholdMinutes) {
    if (m_state.phase != Phase::Running && m_state.phase != Phase::Paused)
        return Refused(Result::NotActive, u"No timer is running.");
    const CTimerInstant now = Now();
    const int64_t limit = m_state.idleCheckedTicks + thresholdMinutes * kTimerTicksPerMinute;
    if (thresholdMinutes <= 0 || m_state.RunTicks(now.utc) <= limit)
        return Outcome();
    CTimerState next = m_state;
    const int64_t cut = next.WhenRunReached(limit, now.utc);
    std::erase_if(next.pauses, [cut](const CTimerPause& pause) { return pause.from >= cut; });
    if (next.phase == Phase::Paused)
        next.pausedSince = cut;
    else
        next.pauses.push_back({cut, std::max(cut, now.utc)});
    next.idleCheckedTicks = next.RunTicks(now.utc);
    next.lastActivity = now;
    return Commit(next) ? Outcome() : StateNotSaved(u"The idle time was not discarded.");
}

CEntryTimer::Outcome CEntryTimer::StopAtLastActivity(ZeroMinutes zero) { return StopAt(m_state.lastActivity, zero); }

// ---- queries

CEntryTimer::State CEntryTimer::GetState() const {
    switch (m_state.phase) {
    case Phase::Running: return State::Running;
    case Phase::Paused: return State::Paused;
    case Phase::Stopping: return State::Stopping;
    case Phase::Idle: break;
    }
    return State::Idle;
}

int64_t CEntryTimer::RunSeconds() const { return WholeSeconds(RunTicksNow()); }

int CEntryTimer::RunMinutes() const { return CTimerEntry::MinutesOf(RunTicksNow()); }

std::vector<CString> CEntryTimer::RecentProjects() const {
    const std::unordered_set<CString> stored = StoredRefIds(u"project");
    std::vector<CString> recent;
    for (const CString& project : m_state.recentProjects) {
        if (stored.count(project))
            recent.push_back(project);
    }
    return recent;
}

// ---- helpers

int64_t CEntryTimer::RunTicksNow() const {
    return m_state.RunTicks(m_state.phase == Phase::Stopping ? m_state.stoppedAt.utc : Now().utc);
}

int CEntryTimer::PendingEntryId() const {
    // Only while the document still holds that very entry: reloaded from the file, it may
    // have handed the ID to another record since.
    CDataHelper* store = GetCurrDataHelper();
    if (m_pendingEntryId == 0 || !store)
        return 0;
    std::unique_ptr<CObArray> entries(store->GetObjectList(u"projectItem"));
    for (int i = 0; i < entries->GetSize(); ++i) {
        const auto* entry = static_cast<const CBaseObject*>(entries->GetAt(i));
        if (entry->get_ID() == m_pendingEntryId && entry->get_RefID() == m_state.entryRefId)
            return m_pendingEntryId;
    }
    return 0;
}

bool CEntryTimer::Commit(const CTimerState& next) {
    if (!m_file.Save(next))
        return false;
    m_state = next;
    m_storedActivityUtc = next.lastActivity.utc;
    return true;
}

CEntryTimer::Outcome CEntryTimer::Refused(Result result, const CString& message) {
    Outcome outcome;
    outcome.result = result;
    outcome.message = message;
    return outcome;
}

CEntryTimer::Outcome CEntryTimer::StateNotSaved(const char16_t* what) const {
    return Refused(Result::StateNotSaved,
                   CString::Formatted(u"The timer could not be saved to %hs. %s", m_file.Path(), what));
}

CEntryTimer::Outcome CEntryTimer::CheckDetails(const CString& projectRef, const CString& categoryRef,
                                               const CString& description) const {
    if (projectRef.IsEmpty())
        return Refused(Result::NoSuchProject, u"Choose a project for the timer.");
    if (!IsStored(u"project", projectRef))
        return Refused(Result::NoSuchProject, u"The project no longer exists. Choose another one.");
    if (!categoryRef.IsEmpty() && !IsStored(u"category", categoryRef))
        return Refused(Result::NoSuchCategory, u"The category no longer exists. Choose another one.");
    if (description.GetLength() > kMaxDescriptionLength)
        return Refused(Result::DescriptionTooLong,
                       CString::Formatted(u"The description is longer than %d characters.", kMaxDescriptionLength));
    return Outcome();
}
