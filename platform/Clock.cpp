#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace {

// FILETIME of 30 December 1899 00:00: 109205 days after 1 January 1601.
constexpr double kOleEpochFileTimeDays = 109205.0;
constexpr double kTicksPerDay = 864000000000.0;
constexpr uint64_t kUnixEpochFileTimeSeconds = 11644473600ULL;

struct ClockState {
    std::mutex mutex;
    std::optional<double> fixedLinear;   // the set local time, as a linear day count
};

ClockState& State() {
    static ClockState state;
    return state;
}

// Whole seconds, as the platform's current-time call gives them.
COleDateTime RealLocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return COleDateTime();
    return COleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        std::min(local.tm_sec, 59));   // a leap second stays in its minute
}

}   // namespace

COleDateTime Clock::LocalNow() {
    {
        std::lock_guard lock(State().mutex);
        if (State().fixedLinear)
            return COleDateTime(COleDateTime::FromLinear(*State().fixedLinear));
    }
    return RealLocalNow();
}

uint64_t Clock::UtcFileTimeNow() {
    {
        std::lock_guard lock(State().mutex);
        if (State().fixedLinear) {
            const double ticks = (*State().fixedLinear + kOleEpochFileTimeDays) * kTicksPerDay;
            return ticks <= 0 ? 0 : static_cast<uint64_t>(std::llround(ticks));
        }
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<uint64_t>(now.tv_sec) + kUnixEpochFileTimeSeconds) * 10000000ULL +
           static_cast<uint64_t>(now.tv_nsec) / 100;
}

void Clock::Set(std::optional<COleDateTime> localNow) {
    std::lock_guard lock(State().mutex);
    if (localNow && localNow->GetStatus() == COleDateTime::valid) {
        State().fixedLinear = COleDateTime::ToLinear(localNow->m_dt);
    } else {
        State().fixedLinear.reset();
    }
}

void Clock::AdvanceSeconds(double seconds) {
    if (!std::isfinite(seconds))
        return;
    const COleDateTime base = LocalNow();
    std::lock_guard lock(State().mutex);
    const double start = State().fixedLinear ? *State().fixedLinear : COleDateTime::ToLinear(base.m_dt);
    State().fixedLinear = start + seconds / 86400.0;
}

bool Clock::IsSet() {
    std::lock_guard lock(State().mutex);
    return State().fixedLinear.has_value();
}

uint64_t GetTickCount64Ms() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
