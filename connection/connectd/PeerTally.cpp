#include "connection/connectd/PeerTally.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

// Beyond this many addresses in one interval the rest are counted together, so a peer with
// many addresses cannot make the tally grow without end.
constexpr size_t kMostAddresses = 4096;
constexpr size_t kAddressesNamed = 8;
const char kOthers[] = "other addresses";

const char* const kEndNames[] = {
    "pushed out by newer peers", "handshake not done in time", "refused: wrong pairing key",
    "refused: not our protocol", "left during the handshake",  "refused: every desktop place taken",
};

}   // namespace

unsigned long PeerTally::Counts::Ended() const { return std::accumulate(ends.begin(), ends.end(), 0UL); }

PeerTally::Counts& PeerTally::For(const std::string& address) {
    if (m_counts.size() >= kMostAddresses && !m_counts.count(address))
        return m_counts[kOthers];
    return m_counts[address];
}

void PeerTally::Connected(const std::string& address) { ++For(address).connections; }

void PeerTally::Ended(const std::string& address, End end) { ++For(address).ends[static_cast<size_t>(end)]; }

std::string PeerTally::Describe(const std::string& address, const Counts& counts) {
    std::string text = address + " (" + std::to_string(counts.connections) + " connected):";
    const char* separator = " ";
    for (size_t i = 0; i < counts.ends.size(); ++i) {
        if (counts.ends[i] == 0)
            continue;
        text += separator + std::to_string(counts.ends[i]) + " " + kEndNames[i];
        separator = ", ";
    }
    return text;
}

std::string PeerTally::TakeSummary(Clock::time_point now, bool force) {
    if (now < m_due && !force)
        return std::string();
    std::vector<std::pair<std::string, Counts>> dropped;
    for (const auto& [address, counts] : m_counts)
        if (counts.Ended() > 0)
            dropped.emplace_back(address, counts);
    const double seconds = std::chrono::duration<double>(now - m_started).count();
    m_counts.clear();
    m_started = now;
    m_due = now + m_interval;
    if (dropped.empty())
        return std::string();
    std::stable_sort(dropped.begin(), dropped.end(),
                     [](const auto& a, const auto& b) { return a.second.Ended() > b.second.Ended(); });
    char span[32];
    std::snprintf(span, sizeof span, "%.1f", seconds);
    std::string text = std::string("peers refused or dropped in the last ") + span + " s: ";
    unsigned long othersEnded = 0;
    for (size_t i = 0; i < dropped.size(); ++i) {
        if (i >= kAddressesNamed) {
            othersEnded += dropped[i].second.Ended();
            continue;
        }
        text += (i > 0 ? "; " : "") + Describe(dropped[i].first, dropped[i].second);
    }
    if (dropped.size() > kAddressesNamed)
        text += "; and " + std::to_string(othersEnded) + " from " + std::to_string(dropped.size() - kAddressesNamed) +
                " more addresses";
    return text;
}
