#include "connection/connectd/PendingPeers.h"

#include <algorithm>

size_t PendingPeers::CountFrom(const std::string& address) const {
    auto found = m_counts.find(address);
    return found == m_counts.end() ? 0 : found->second;
}

PendingPeer* PendingPeers::GivingWayTo(const std::string& address) const {
    const PendingPeer* peer = nullptr;
    if (CountFrom(address) >= m_perAddress) {
        peer = OldestFrom(address);
    } else if (m_peers.size() >= m_capacity) {
        auto busiest = std::max_element(m_counts.begin(), m_counts.end(),
                                        [](const auto& a, const auto& b) { return a.second < b.second; });
        const size_t most = busiest == m_counts.end() ? 0 : busiest->second;
        // Of the addresses holding the most, the one with the oldest peer gives way.
        for (const auto& candidate : m_peers)
            if (CountFrom(candidate->address) == most) {
                peer = OldestFrom(candidate->address);
                break;
            }
    }
    return const_cast<PendingPeer*>(peer);
}

// A peer that has not even greeted goes before one that has: a desktop greets at once, so it is
// rarely caught half-way while peers that never speak are pushed out.
const PendingPeer* PendingPeers::OldestFrom(const std::string& address) const {
    const PendingPeer* oldest = nullptr;
    for (const auto& peer : m_peers) {
        if (peer->address != address)
            continue;
        if (!peer->handshake.Greeted())
            return peer.get();
        if (!oldest)
            oldest = peer.get();
    }
    return oldest;
}

void PendingPeers::Add(std::unique_ptr<PendingPeer> peer) {
    ++m_counts[peer->address];
    m_peers.push_back(std::move(peer));
}

std::unique_ptr<PendingPeer> PendingPeers::Remove(const PendingPeer* peer) {
    auto found = std::find_if(m_peers.begin(), m_peers.end(), [peer](const auto& p) { return p.get() == peer; });
    if (found == m_peers.end())
        return nullptr;
    std::unique_ptr<PendingPeer> taken = std::move(*found);
    m_peers.erase(found);
    if (--m_counts[taken->address] == 0)
        m_counts.erase(taken->address);
    return taken;
}

std::vector<std::unique_ptr<PendingPeer>> PendingPeers::TakeExpired(std::chrono::steady_clock::time_point now) {
    std::vector<std::unique_ptr<PendingPeer>> expired;
    while (!m_peers.empty() && m_peers.front()->deadline <= now)
        expired.push_back(Remove(m_peers.front().get()));
    return expired;
}

std::chrono::steady_clock::time_point PendingPeers::NextDeadline() const {
    return m_peers.empty() ? std::chrono::steady_clock::time_point::max() : m_peers.front()->deadline;
}
