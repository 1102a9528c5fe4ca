#pragma once
// The peers that have connected but not yet authenticated, oldest first, counted per address.
// A pool of its own, apart from the authenticated desktops, so peers without the key can never
// take a desktop's place. When it is full, or one address holds its share, a newcomer pushes
// out the oldest peer of the address holding the most (of its own address, when that one is at
// its share), the oldest that has not yet greeted when there is one: a flood from one place
// displaces itself rather than others.
#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "connection/connectd/PendingPeer.h"

class PendingPeers {
public:
    PendingPeers(size_t capacity, size_t perAddress) : m_capacity(capacity), m_perAddress(perAddress) {}

    // The peer to push out before one from `address` can join; null when there is room.
    PendingPeer* GivingWayTo(const std::string& address) const;
    void Add(std::unique_ptr<PendingPeer> peer);
    std::unique_ptr<PendingPeer> Remove(const PendingPeer* peer);
    // Those whose handshake deadline has passed.
    std::vector<std::unique_ptr<PendingPeer>> TakeExpired(std::chrono::steady_clock::time_point now);
    // The earliest deadline; time_point::max() when the pool is empty.
    std::chrono::steady_clock::time_point NextDeadline() const;

    const std::vector<std::unique_ptr<PendingPeer>>& Peers() const { return m_peers; }
    size_t CountFrom(const std::string& address) const;

private:
    const PendingPeer* OldestFrom(const std::string& address) const;

    size_t m_capacity;
    size_t m_perAddress;
    std::vector<std::unique_ptr<PendingPeer>> m_peers;   // in the order they came, so by deadline too
    std::unordered_map<std::string, size_t> m_counts;
};
