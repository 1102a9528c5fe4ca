#pragma once
// A program's running timer: start it on a project, pause and resume it, stop it to get an
// ordinary time entry saved through the data store (so lists, summary, export and
// synchronisation take it like any other). One timer at a time.
//
// Every change is written to the program's state file (CTimerStateFile) before it takes
// effect, so the timer survives closing the program, a crash and a restart: Restore brings it
// back with the time that passed. A change whose state could not be written is not made.
//
// Stopping is safe against a crash at any point: the stop and the RefID of its entry are
// written first, then the entry is saved, then the timer is cleared; a restart that finds a
// stop on file saves its entry unless the data file already holds it. Never two entries, never
// none.
//
// Use it after the data store is initialised (CDataHelper::Initialize), on the UI thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "biz/BizExport.h"
#include "biz/TimerClock.h"
#include "biz/TimerState.h"
#include "biz/TimerStateFile.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CEntryTimer {
public:
    enum class State {
        Idle,   // no timer
        Running,
        Paused,
        Stopping,   // stopped, but its entry could not be saved yet: Stop saves it again
    };
    enum class Result {
        Done,
        AlreadyActive,        // Start while a timer is on: stop or discard it first
        NotActive,            // there is no timer to act on
        NotRunning,           // Pause while paused or stopping
        NotPaused,            // Resume while running or stopping
        NoSuchProject,        // the project is empty or not a stored project
        NoSuchCategory,       // the category is not a stored category
        DescriptionTooLong,   // longer than an entry's description may be
        ZeroMinutes,          // Stop under one minute with ZeroMinutes::Report: nothing changed
        EntryNotSaved,        // the data file could not be written: the timer waits in Stopping
        StateNotSaved,        // the state file could not be written: nothing changed
    };
    // What Stop does with a run of less than one minute.
    enum class ZeroMinutes {
        Report,   // change nothing and answer ZeroMinutes, so the user can be asked
        Create,   // make the zero-minute entry
    };
    enum class Restored {
        NoTimer,                // nothing running (also: a stop on file whose entry was already saved)
        Timer,                  // a running or paused timer is back, with the time that passed
        StoppedEntrySaved,      // a timer stopped before the restart had its entry saved now
        StoppedEntryNotSaved,   // ... and that entry could not be saved: the timer waits in Stopping
        Lost,                   // the state file was damaged or unreadable; whatever timer it held is gone
    };

    struct Outcome {
        Result result = Result::Done;
        CString message;           // for the user when the result is not Done
        int entryId = 0;           // a saved entry's ID (Stop, Restore)
        int minutes = 0;           // Stop: the entry's duration (also with ZeroMinutes)
        CTimerInstant stoppedAt;   // Stop: the moment it counted to; pass it to StopAt with
                                   // ZeroMinutes::Create once the user agreed
    };
    struct RestoreOutcome {
        Restored result = Restored::NoTimer;
        CString message;   // for the user with StoppedEntrySaved, StoppedEntryNotSaved, Lost
        int entryId = 0;   // StoppedEntrySaved: the entry's ID
    };

    static constexpr int kMaxDescriptionLength = 255;
    static constexpr int kDefaultIdleThresholdMinutes = 8 * 60;

    // The timer keeps its state in `statePath` and reads the time from `clock` (the platform
    // clock when null). Nothing is read until Restore, which comes first; a Start before it
    // restores silently (so it cannot start over a timer kept on file).
    explicit CEntryTimer(std::string statePath = CTimerStateFile::DefaultPath(),
                         std::shared_ptr<const CTimerClock> clock = nullptr);

    // Reads the state file, once at start-up. A damaged file is moved aside (see
    // CTimerStateFile::Load) and reported as a lost timer; the timer then starts empty.
    RestoreOutcome Restore();

    // Starts timing `projectRef` now; the project becomes the most recent one.
    Outcome Start(const CString& projectRef, const CString& categoryRef, const CString& description);
    Outcome Pause();
    Outcome Resume();
    // Stops now and saves the entry (CTimerEntry::Fill). In Stopping, saves the waiting entry again.
    Outcome Stop(ZeroMinutes zero = ZeroMinutes::Report);
    // Stops as of `at` (a moment reported by an earlier Stop, or the last activity): the run
    // counts up to it, the entry ends at its local time.
    Outcome StopAt(const CTimerInstant& at, ZeroMinutes zero);
    // Drops the timer without making an entry (in Stopping, also the entry that could not be saved).
    Outcome Discard();
    // Changes what a running or paused timer is for.
    Outcome SetDetails(const CString& projectRef, const CString& categoryRef, const CString& description);

    // Idle time. A timer that has run more than `thresholdMinutes` since the start (or since the
    // user's last decision) needs a decision; a threshold of 0 or less turns this off.
    bool NeedsIdleDecision(int thresholdMinutes) const;
    // Records an interaction of the user. When a decision is needed it records nothing and
    // returns true, so the last activity stays the one before the idle time; ask then, and
    // answer with one of the three calls below. Written to the state file at most once a minute;
    // a write that fails here is tried again at the next interaction.
    bool NoteActivity(int thresholdMinutes);
    // Keep: the time counts; the next question comes after another threshold's worth.
    Outcome KeepIdleTime();
    // Discard the excess: the run is cut back to the threshold, the rest counted as a pause;
    // a running timer goes on running from now. Nothing changes when there is no excess.
    Outcome DiscardIdleExcess(int thresholdMinutes);
    // Stop at the last activity.
    Outcome StopAtLastActivity(ZeroMinutes zero = ZeroMinutes::Report);

    State GetState() const;
    bool IsActive() const { return GetState() != State::Idle; }
    const CString& ProjectRef() const { return m_state.projectRef; }
    const CString& CategoryRef() const { return m_state.categoryRef; }
    const CString& Description() const { return m_state.description; }
    const CTimerInstant& FirstStart() const { return m_state.firstStart; }
    const CTimerInstant& LastActivity() const { return m_state.lastActivity; }
    // Whole seconds run so far, pauses left out (up to the stop in Stopping); 0 when idle.
    int64_t RunSeconds() const;
    // The minutes an entry made now would last.
    int RunMinutes() const;
    // Stored projects timed most recently, most recent first, at most five.
    std::vector<CString> RecentProjects() const;
    const std::string& StatePath() const { return m_file.Path(); }

private:
    // Writes `next` to the state file and, when that worked, makes it the state.
    bool Commit(const CTimerState& next);
    static Outcome Refused(Result result, const CString& message);
    Outcome StateNotSaved(const char16_t* what) const;
    Outcome CheckDetails(const CString& projectRef, const CString& categoryRef, const CString& description) const;
    // Saves the entry of a Stopping timer under `entryId` (0: a new ID) and clears the timer.
    Outcome FinishStop(int entryId);
    // The ID under which an earlier failed save left the entry in the document; 0 when none.
    int PendingEntryId() const;
    RestoreOutcome ResolveStop();
    int64_t RunTicksNow() const;
    CTimerInstant Now() const { return m_clock->Now(); }

    CTimerStateFile m_file;
    std::shared_ptr<const CTimerClock> m_clock;
    CTimerState m_state;
    int m_pendingEntryId = 0;          // ID of an entry whose save failed in this process
    int64_t m_storedActivityUtc = 0;   // the last activity as the state file holds it
    bool m_restored = false;
};
