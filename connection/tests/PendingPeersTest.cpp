// The service's accounting of peers that have not authenticated: who is pushed out when the
// pool is full or one address holds its share, and the log's summary of refused peers.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include "connection/RapiCodec.h"
#include "connection/connectd/PeerTally.h"
#include "connection/connectd/PendingPeers.h"

using namespace rapi;

namespace {

const PairingKey kKey{};

std::unique_ptr<PendingPeer> Peer(const std::string& address, const std::string& name, int dueMs = 1000) {
    const auto due = std::chrono::steady_clock::time_point() + std::chrono::milliseconds(dueMs);
    return std::make_unique<PendingPeer>(-1, address, name, due, kKey);
}

void Greet(PendingPeer& peer) {
    std::string greeting;
    PutU32(greeting, static_cast<uint32_t>(kHelloSize));
    greeting.append(kMagic.begin(), kMagic.end());
    greeting.append(kNonceSize, '\x01');
    std::string reply;
    ASSERT_EQ(peer.handshake.Take(greeting.substr(0, peer.handshake.Wanted()), reply),
              ServerHandshake::Step::Continue);
    ASSERT_EQ(peer.handshake.Take(greeting.substr(kFrameHeaderSize), reply), ServerHandshake::Step::Continue);
    ASSERT_TRUE(peer.handshake.Greeted());
}

std::string NameOf(const PendingPeer* peer) { return peer ? peer->name : "nobody"; }

sockaddr_storage Address(int family, const char* text) {
    sockaddr_storage address{};
    address.ss_family = static_cast<sa_family_t>(family);
    if (family == AF_INET)
        ::inet_pton(AF_INET, text, &reinterpret_cast<sockaddr_in&>(address).sin_addr);
    else
        ::inet_pton(AF_INET6, text, &reinterpret_cast<sockaddr_in6&>(address).sin6_addr);
    return address;
}

}   // namespace

TEST(PendingPeers, RoomWhileThePoolAndTheAddressHaveIt) {
    PendingPeers pool(4, 2);
    pool.Add(Peer("a", "a1"));
    pool.Add(Peer("b", "b1"));
    EXPECT_EQ(pool.GivingWayTo("a"), nullptr);
    EXPECT_EQ(pool.GivingWayTo("c"), nullptr);
}

TEST(PendingPeers, AnAddressAtItsShareDisplacesItsOwnOldest) {
    PendingPeers pool(10, 2);
    pool.Add(Peer("a", "a1"));
    pool.Add(Peer("b", "b1"));
    pool.Add(Peer("a", "a2"));
    EXPECT_EQ(NameOf(pool.GivingWayTo("a")), "a1");
    EXPECT_EQ(pool.GivingWayTo("b"), nullptr);
}

TEST(PendingPeers, AFullPoolTakesFromTheBusiestAddress) {
    PendingPeers pool(4, 4);
    pool.Add(Peer("b", "b1"));
    pool.Add(Peer("a", "a1"));
    pool.Add(Peer("a", "a2"));
    pool.Add(Peer("c", "c1"));
    EXPECT_EQ(NameOf(pool.GivingWayTo("d")), "a1");
    // With a tie, the address whose peer came first.
    pool.Remove(pool.GivingWayTo("d"));
    pool.Add(Peer("d", "d1"));
    EXPECT_EQ(NameOf(pool.GivingWayTo("e")), "b1");
}

TEST(PendingPeers, APeerThatGreetedGoesAfterThoseThatDidNot) {
    PendingPeers pool(10, 3);
    auto desktop = Peer("a", "desktop");
    Greet(*desktop);
    pool.Add(std::move(desktop));
    pool.Add(Peer("a", "idle1"));
    pool.Add(Peer("a", "idle2"));
    EXPECT_EQ(NameOf(pool.GivingWayTo("a")), "idle1");
    pool.Remove(pool.GivingWayTo("a"));
    pool.Add(Peer("a", "idle3"));
    EXPECT_EQ(NameOf(pool.GivingWayTo("a")), "idle2");
}

TEST(PendingPeers, WhenAllGreetedTheOldestGoes) {
    PendingPeers pool(3, 3);
    for (const char* name : {"first", "second", "third"}) {
        auto peer = Peer("a", name);
        Greet(*peer);
        pool.Add(std::move(peer));
    }
    EXPECT_EQ(NameOf(pool.GivingWayTo("a")), "first");
    EXPECT_EQ(NameOf(pool.GivingWayTo("b")), "first");
}

TEST(PendingPeers, ExpiredPeersLeaveInOrderAndCountsFollow) {
    PendingPeers pool(10, 10);
    pool.Add(Peer("a", "a1", 100));
    pool.Add(Peer("b", "b1", 200));
    pool.Add(Peer("a", "a2", 300));
    const auto at = std::chrono::steady_clock::time_point() + std::chrono::milliseconds(250);
    auto expired = pool.TakeExpired(at);
    ASSERT_EQ(expired.size(), 2u);
    EXPECT_EQ(expired[0]->name, "a1");
    EXPECT_EQ(expired[1]->name, "b1");
    EXPECT_EQ(pool.CountFrom("a"), 1u);
    EXPECT_EQ(pool.CountFrom("b"), 0u);
    EXPECT_EQ(pool.NextDeadline(), std::chrono::steady_clock::time_point() + std::chrono::milliseconds(300));
    pool.TakeExpired(at + std::chrono::seconds(1));
    EXPECT_EQ(pool.NextDeadline(), std::chrono::steady_clock::time_point::max());
}

TEST(PendingPeers, AddressesAreCountedByWhatOnePartyHolds) {
    EXPECT_EQ(AccountingAddress(Address(AF_INET, "192.0.2.7")), "192.0.2.7");
    EXPECT_EQ(AccountingAddress(Address(AF_INET6, "::ffff:192.0.2.7")), "192.0.2.7");
    EXPECT_EQ(AccountingAddress(Address(AF_INET6, "2001:db8:1:2:aaaa::1")), "2001:db8:1:2::/64");
    EXPECT_EQ(AccountingAddress(Address(AF_INET6, "2001:db8:1:2:bbbb::9")), "2001:db8:1:2::/64");
}

TEST(PeerTally, OneLinePerIntervalNamingAddressesAndReasons) {
    const auto start = std::chrono::steady_clock::now();
    PeerTally tally(std::chrono::milliseconds(1000), start);
    for (int i = 0; i < 500; ++i) {
        tally.Connected("192.0.2.1");
        tally.Ended("192.0.2.1", PeerTally::End::PushedOut);
    }
    tally.Connected("192.0.2.2");
    tally.Ended("192.0.2.2", PeerTally::End::WrongKey);
    tally.Connected("192.0.2.3");   // served: nothing to say about it
    EXPECT_EQ(tally.TakeSummary(start + std::chrono::milliseconds(999)), "");
    const std::string line = tally.TakeSummary(start + std::chrono::milliseconds(1000));
    EXPECT_NE(line.find("192.0.2.1 (500 connected): 500 pushed out by newer peers"), std::string::npos) << line;
    EXPECT_NE(line.find("192.0.2.2 (1 connected): 1 refused: wrong pairing key"), std::string::npos) << line;
    EXPECT_EQ(line.find("192.0.2.3"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
    // The next interval starts empty.
    EXPECT_EQ(tally.TakeSummary(start + std::chrono::milliseconds(5000), true), "");
}

TEST(PeerTally, ManyAddressesStayOneBoundedLine) {
    const auto start = std::chrono::steady_clock::now();
    PeerTally tally(std::chrono::milliseconds(1000), start);
    for (int i = 0; i < 10000; ++i) {
        const std::string address = "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        tally.Connected(address);
        tally.Ended(address, PeerTally::End::TimedOut);
    }
    const std::string line = tally.TakeSummary(start, true);
    EXPECT_LT(line.size(), 2000u);
    EXPECT_NE(line.find("more addresses"), std::string::npos) << line;
}
