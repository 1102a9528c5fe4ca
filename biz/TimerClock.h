#pragma once
// Where the entry timer reads the time. Spans are measured on UTC, so a change of the local
// clock (summer time, a trip across zones) neither adds nor takes away worked time; the local
// time is what the finished entry shows.
#include <cstdint>

#include "biz/BizExport.h"
#include "platform/OleDateTime.h"

// One moment as the timer keeps it.
struct QUILLMAR_BIZ_EXPORT CTimerInstant {
    int64_t utc = 0;      // Windows file time: 100-ns ticks since 1 January 1601, UTC
    COleDateTime local;   // the local date and time, in whole seconds

    bool operator==(const CTimerInstant& other) const { return utc == other.utc && local == other.local; }
};

class QUILLMAR_BIZ_EXPORT CTimerClock {
public:
    virtual ~CTimerClock() = default;
    // The platform clock (Clock::UtcFileTimeNow and Clock::LocalNow), so a test that sets that
    // clock sets the timer's too. Override to give the two readings independently.
    virtual CTimerInstant Now() const;
};

// Ticks of one second and of one minute.
constexpr int64_t kTimerTicksPerSecond = 10000000;
constexpr int64_t kTimerTicksPerMinute = 60 * kTimerTicksPerSecond;
