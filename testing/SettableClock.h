#pragma once
// The process's clock held at a chosen local time while the object lives, then the real clock
// again. Every "now" of the libraries reads platform/Clock, so records, stamps and timers see it.
#include "platform/OleDateTime.h"

class SettableClock {
public:
    explicit SettableClock(const COleDateTime& localNow);
    ~SettableClock();
    SettableClock(const SettableClock&) = delete;
    SettableClock& operator=(const SettableClock&) = delete;

    void Set(const COleDateTime& localNow);
    void AdvanceSeconds(double seconds);
    void AdvanceMinutes(double minutes) { AdvanceSeconds(minutes * 60); }
    COleDateTime Now() const;
};
