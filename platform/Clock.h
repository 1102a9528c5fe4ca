#pragma once
// The one clock: every "now" of the library reads it, so tests can set and advance it.
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/OleDateTime.h"
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT Clock {
public:
    // Local time now (the set time when a test set one).
    static COleDateTime LocalNow();
    // UTC now as a Windows file time: 100-ns ticks since 1 January 1601.
    static uint64_t UtcFileTimeNow();
    // Tests: fix local time (the UTC file time follows with offset 0); nullopt, or a date that
    // is not valid, restores the real clock.
    static void Set(std::optional<COleDateTime> localNow);
    // Moves the set time on (or back); on the real clock it first fixes the clock at now.
    static void AdvanceSeconds(double seconds);
    static bool IsSet();
};

// Milliseconds of a monotonic clock, for time-outs.
QUILLMAR_PLATFORM_EXPORT uint64_t GetTickCount64Ms();
