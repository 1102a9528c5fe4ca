#pragma once
// Peers without the key against a service, on a thread of their own until stopped: idle ones
// that connect and never send a byte, and slow ones that send a greeting one byte at a time,
// each piece well inside the handshake limit. Every peer reconnects at once when dropped.
#include <atomic>
#include <string>
#include <thread>

class PeerFlood {
public:
    struct Peers {
        int idle = 0;
        int slow = 0;
        std::string from = "127.0.0.1";   // the loopback address they connect from
        int slowPieceMs = 200;
    };

    PeerFlood(unsigned port, const Peers& peers);
    ~PeerFlood();   // stops them and closes every connection
    PeerFlood(const PeerFlood&) = delete;
    PeerFlood& operator=(const PeerFlood&) = delete;

    // Connections made so far (the first of each peer included).
    long Connections() const { return m_connections; }

private:
    void Run();

    unsigned m_port;
    Peers m_peers;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_connections{0};
    std::thread m_thread;
};
