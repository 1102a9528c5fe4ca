#pragma once
// The time entry a stopped timer makes: an ordinary entry, as if typed into the entry editor.
#include <cstdint>

#include "biz/BizExport.h"
#include "biz/TimerState.h"

class CProjectItem;

class QUILLMAR_BIZ_EXPORT CTimerEntry {
public:
    CTimerEntry() = delete;

    // Whole minutes of a run, counted as Edit Duration counts the span between two times: half
    // a second is added before the seconds are dropped.
    static int MinutesOf(int64_t runTicks);
    // Fills a new entry for the timer of a Stopping state: a billable, not billed time entry
    // for its project, category and description, dated on the day of the first start (also
    // when the timer ran past midnight), starting at the first start's time of day and ending
    // at the stop's, lasting the whole minutes run (pauses left out), with the amount from the
    // category's rate; its RefID is the state's entry RefID.
    static void Fill(CProjectItem& entry, const CTimerState& state);
};
