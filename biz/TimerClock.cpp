#include "biz/TimerClock.h"

#include "platform/Clock.h"

CTimerInstant CTimerClock::Now() const {
    CTimerInstant now;
    now.utc = static_cast<int64_t>(Clock::UtcFileTimeNow());
    const COleDateTime local = Clock::LocalNow();
    // Rebuilt from its fields so the value survives the state file's whole-second text unchanged.
    now.local = COleDateTime(local.GetYear(), local.GetMonth(), local.GetDay(), local.GetHour(), local.GetMinute(),
                             local.GetSecond());
    return now;
}
