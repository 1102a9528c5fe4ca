#include "connection/tests/PeerFlood.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <vector>

#include "connection/RapiCodec.h"
#include "connection/RapiProtocol.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Peer {
    int fd = -1;
    bool slow = false;
    size_t sent = 0;
    Clock::time_point nextPiece;
};

// A well-formed greeting frame: only its pace gives the peer away.
std::string Greeting() {
    std::string frame;
    rapi::PutU32(frame, static_cast<uint32_t>(rapi::kHelloSize));
    frame.append(rapi::kMagic.begin(), rapi::kMagic.end());
    frame.append(rapi::kNonceSize, '\x5a');
    return frame;
}

int Dial(const std::string& from, unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port));
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 && errno != EINPROGRESS)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}   // namespace

PeerFlood::PeerFlood(unsigned port, const Peers& peers) : m_port(port), m_peers(peers) {
    m_thread = std::thread([this] { Run(); });
}

PeerFlood::~PeerFlood() {
    m_stop = true;
    m_thread.join();
}

void PeerFlood::Run() {
    const std::string greeting = Greeting();
    std::vector<Peer> peers(static_cast<size_t>(m_peers.idle + m_peers.slow));
    for (size_t i = 0; i < peers.size(); ++i)
        peers[i].slow = i >= static_cast<size_t>(m_peers.idle);
    const auto piece = std::chrono::milliseconds(m_peers.slowPieceMs);
    while (!m_stop) {
        const auto now = Clock::now();
        std::vector<pollfd> entries;
        for (Peer& peer : peers) {
            if (peer.fd < 0) {
                peer.fd = Dial(m_peers.from, m_port);
                peer.sent = 0;
                peer.nextPiece = now + piece;
                if (peer.fd >= 0)
                    ++m_connections;
            }
            if (peer.fd >= 0 && peer.slow && now >= peer.nextPiece && peer.sent < greeting.size()) {
                if (::send(peer.fd, greeting.data() + peer.sent, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1)
                    ++peer.sent;
                peer.nextPiece = now + piece;
            }
            entries.push_back({peer.fd, POLLIN, 0});
        }
        ::poll(entries.data(), entries.size(), 20);
        for (size_t i = 0; i < peers.size(); ++i) {
            if (entries[i].fd < 0 || !(entries[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[256];
            const ssize_t got = ::recv(peers[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR)))
                continue;   // a slow peer may get the server's greeting; it never answers it
            ::close(peers[i].fd);
            peers[i].fd = -1;
        }
    }
    for (Peer& peer : peers)
        if (peer.fd >= 0)
            ::close(peer.fd);
}
