#pragma once
// What the entry timer keeps: the timer itself (project, category, description, first start,
// pauses, phase) and the projects timed most recently. A plain value; CTimerStateFile stores it
// and CEntryTimer changes it. Moments are CTimerInstant values; spans are counted on UTC ticks.
#include <cstdint>
#include <vector>

#include "biz/BizExport.h"
#include "biz/TimerClock.h"
#include "platform/CString.h"

// A pause that has ended: UTC ticks, start <= from <= to.
struct QUILLMAR_BIZ_EXPORT CTimerPause {
    int64_t from = 0;
    int64_t to = 0;

    bool operator==(const CTimerPause& other) const = default;
};

struct QUILLMAR_BIZ_EXPORT CTimerState {
    enum class Phase : int {
        Idle,       // no timer; only the recent projects mean anything
        Running,    // counting since the first start, less the pauses
        Paused,     // a pause is open since pausedSince
        Stopping,   // stopped at stoppedAt; the entry with RefID entryRefId may not be saved yet
    };
    static constexpr int kMaxRecentProjects = 5;

    Phase phase = Phase::Idle;
    CString projectRef;    // RefID of the project timed
    CString categoryRef;   // RefID of its billing category, or empty
    CString description;
    CTimerInstant firstStart;
    std::vector<CTimerPause> pauses;       // ended pauses, in order, not overlapping
    int64_t pausedSince = 0;               // start of the open pause (Paused only)
    CTimerInstant lastActivity;            // the user's last interaction while the timer was on
    int64_t idleCheckedTicks = 0;          // run time when the user last decided about idle time
    CTimerInstant stoppedAt;               // Stopping only
    CString entryRefId;                    // Stopping only: RefID the finished entry is saved under
    std::vector<CString> recentProjects;   // project RefIDs, most recent first, at most five

    bool operator==(const CTimerState& other) const = default;

    // Ticks run from the first start up to `end`, pauses (the open one too) left out; 0 when
    // there is no timer or `end` lies before the start.
    int64_t RunTicks(int64_t end) const;
    // The moment at which the run had reached `ticks`, counting no further than `end`: the end
    // of the last running stretch when the run never got that far.
    int64_t WhenRunReached(int64_t ticks, int64_t end) const;
    // Puts the project first among the recent ones (once), keeping at most five.
    void RememberProject(const CString& projectRef);
    // Back to Idle; the recent projects stay.
    void ClearTimer();
};
