#pragma once
// Counts, per address, the connections of an interval and how those that did not become a
// served desktop ended, for one summary line in the log per interval: a flood of refused peers
// must not become a flood of log lines.
#include <array>
#include <chrono>
#include <map>
#include <string>

class PeerTally {
public:
    enum class End { PushedOut, TimedOut, WrongKey, NotOurProtocol, Left, Busy, Count };

    using Clock = std::chrono::steady_clock;
    PeerTally(std::chrono::milliseconds interval, Clock::time_point now)
        : m_interval(interval), m_due(now + interval) {}

    void Connected(const std::string& address);
    void Ended(const std::string& address, End end);

    Clock::time_point Due() const { return m_due; }
    // At or after Due() (or when `force`d): the summary of the interval, empty when nobody was
    // refused or dropped in it; the next interval starts.
    std::string TakeSummary(Clock::time_point now, bool force = false);

private:
    struct Counts {
        unsigned long connections = 0;
        std::array<unsigned long, static_cast<size_t>(End::Count)> ends{};
        unsigned long Ended() const;
    };
    Counts& For(const std::string& address);
    static std::string Describe(const std::string& address, const Counts& counts);

    std::chrono::milliseconds m_interval;
    Clock::time_point m_due;
    Clock::time_point m_started = Clock::now();
    std::map<std::string, Counts> m_counts;
};
