#include "testing/SettableClock.h"

#include <stdexcept>

#include "platform/Clock.h"

SettableClock::SettableClock(const COleDateTime& localNow) { Set(localNow); }

SettableClock::~SettableClock() { Clock::Set(std::nullopt); }

void SettableClock::Set(const COleDateTime& localNow) {
    // An invalid date would quietly bring the real clock back in the middle of a test.
    if (localNow.GetStatus() != COleDateTime::valid)
        throw std::invalid_argument("the test clock needs a valid date");
    Clock::Set(localNow);
}

void SettableClock::AdvanceSeconds(double seconds) { Clock::AdvanceSeconds(seconds); }

COleDateTime SettableClock::Now() const { return Clock::LocalNow(); }
