#pragma once
// A peer that has connected and is going through the handshake, with the deadline of the whole
// of it, and how peers' addresses are named and counted.
#include <sys/socket.h>
#include <chrono>
#include <string>

#include "connection/ServerHandshake.h"

struct PendingPeer {
    PendingPeer(int socket, std::string from, std::string peerName, std::chrono::steady_clock::time_point due,
                const rapi::PairingKey& key)
        : fd(socket), address(std::move(from)), name(std::move(peerName)), deadline(due), handshake(key) {}
    ~PendingPeer();   // closes the socket unless it was handed on (fd -1)
    PendingPeer(const PendingPeer&) = delete;
    PendingPeer& operator=(const PendingPeer&) = delete;

    // Ends the connection with a reset, so neither side keeps it lingering.
    void Abort();

    int fd;
    std::string address;                              // the accounting key: the IPv4 address, or the IPv6 /64
    std::string name;                                 // address and port, for the log
    std::chrono::steady_clock::time_point deadline;   // of the whole handshake
    ServerHandshake handshake;
};

// The accounting key of a peer's address: IPv4 as it is (also when mapped into IPv6), IPv6 by
// its /64, which is what one party usually holds.
std::string AccountingAddress(const struct sockaddr_storage& address);
// "host:port" for the log.
std::string PeerName(const struct sockaddr_storage& address);
