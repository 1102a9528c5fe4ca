#include "connection/connectd/ConnectService.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "connection/SecureChannel.h"
#include "connection/SocketTransport.h"
#include "connection/connectd/DeviceSession.h"
#include "connection/connectd/ServiceLog.h"

namespace {

volatile sig_atomic_t g_stopRequested = 0;

void OnStopSignal(int) { g_stopRequested = 1; }
void OnChildSignal(int) {}

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head)
            freeaddrinfo(head);
    }
};

// The stop and child signals stay blocked except while waiting in ppoll, so none is missed
// between a check of the flag and the wait.
sigset_t InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnChildSignal;
    ::sigaction(SIGCHLD, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGCHLD);
    sigset_t waiting;
    ::sigprocmask(SIG_BLOCK, &blocked, &waiting);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGCHLD);
    return waiting;
}

void RestoreDefaultSignals() {
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGCHLD, SIG_DFL);
    sigset_t all;
    sigemptyset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
}

// Every pending peer holds a descriptor; make sure the pool fits in what the process may open.
unsigned FitDescriptors(unsigned wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return wanted;
    const rlim_t needed = wanted + 64;
    if (limit.rlim_cur < needed) {
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= needed ? needed : limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur >= needed)
        return wanted;
    const unsigned fitting = limit.rlim_cur > 80 ? static_cast<unsigned>(limit.rlim_cur - 64) : 16;
    LogLine("only " + std::to_string(fitting) + " peers may wait in the handshake: the process may open " +
            std::to_string(limit.rlim_cur) + " files");
    return fitting;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point when) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 60000));
}

}   // namespace

ConnectService::ConnectService(const rapi::PairingKey& key, const ServiceOptions& options)
    : m_key(key), m_options(options), m_pending(FitDescriptors(options.maxPending), options.maxPendingPerAddress),
      m_tally(std::chrono::milliseconds(options.summaryIntervalMs), Clock::now()) {}

ConnectService::~ConnectService() {
    if (m_listener >= 0)
        ::close(m_listener);
    StopConnections();
}

RapiStatus ConnectService::Listen() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    AddressList addresses;
    const std::string port = std::to_string(m_options.port);
    int result = ::getaddrinfo(m_options.address.c_str(), port.c_str(), &hints, &addresses.head);
    if (result != 0)
        return RapiStatus::Error(RapiStatus::Code::IoError,
                                 "cannot use address " + m_options.address + ": " + gai_strerror(result));
    std::string why = "no address";
    for (addrinfo* address = addresses.head; address; address = address->ai_next) {
        int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (fd < 0)
            continue;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        // The backlog holds what the pool may take in at once.
        if (::bind(fd, address->ai_addr, address->ai_addrlen) == 0 &&
            ::listen(fd, static_cast<int>(m_options.maxPending)) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0) {
            m_listener = fd;
            m_port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                                       : reinterpret_cast<sockaddr_in&>(bound).sin_port);
            return RapiStatus::Ok();
        }
        why = std::strerror(errno);
        ::close(fd);
    }
    return RapiStatus::Error(RapiStatus::Code::IoError,
                             "cannot listen on " + m_options.address + ":" + port + ": " + why);
}

bool ConnectService::Run() {
    const sigset_t waiting = InstallSignalHandlers();
    bool serving = true;
    while (serving && !g_stopRequested) {
        serving = WaitForWork(waiting);
        ExpireAndSummarise();
    }
    LogLine("stopping");
    ::close(m_listener);
    m_listener = -1;
    m_pending = PendingPeers(0, 0);
    ExpireAndSummarise(true);
    StopConnections();
    LogLine("stopped");
    return serving;
}

// One round: waits for the listener, the pending peers, a deadline or a signal, and serves
// what became ready. False when waiting itself failed.
bool ConnectService::WaitForWork(const sigset_t& waiting) {
    std::vector<pollfd> entries{{m_listener, POLLIN, 0}};
    std::vector<PendingPeer*> peers;
    for (const auto& peer : m_pending.Peers()) {
        entries.push_back({peer->fd, POLLIN, 0});
        peers.push_back(peer.get());
    }
    const int ms = MillisecondsUntil(std::min(m_pending.NextDeadline(), m_tally.Due()));
    timespec timeout{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    const int ready = ::ppoll(entries.data(), entries.size(), &timeout, &waiting);
    const int waitError = errno;
    ReapFinished();
    if (ready < 0 && waitError != EINTR) {
        LogLine(std::string("cannot wait for connections: ") + std::strerror(waitError));
        return false;
    }
    if (ready <= 0 || g_stopRequested)
        return true;
    // The peers already waiting go first; newcomers cannot push out one that just spoke.
    for (size_t i = 0; i < peers.size(); ++i)
        if (entries[i + 1].revents)
            Advance(peers[i]);
    if (entries[0].revents)
        AcceptAll();
    return true;
}

void ConnectService::AcceptAll() {
    for (unsigned taken = 0; taken < m_options.maxPending; ++taken) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd =
            ::accept4(m_listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            Admit(fd, address);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            LogLine(std::string("cannot accept: ") + std::strerror(errno));
            // Out of descriptors: the oldest waiting peer makes room, or the next round would
            // find the same connection waiting.
            if (!m_pending.Peers().empty())
                Drop(m_pending.Remove(m_pending.Peers().front().get()), PeerTally::End::PushedOut);
        }
        return;
    }
}

void ConnectService::Admit(int fd, const sockaddr_storage& address) {
    const std::string from = AccountingAddress(address);
    m_tally.Connected(from);
    MakeRoomFor(from);
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_options.handshakeTimeoutMs);
    auto peer = std::make_unique<PendingPeer>(fd, from, PeerName(address), deadline, m_key);
    PendingPeer* admitted = peer.get();
    m_pending.Add(std::move(peer));
    // A desktop greets as soon as it is connected: answered now, it is no longer among those
    // that the next newcomers push out first.
    Advance(admitted);
}

// Before a peer that has not greeted is pushed out, what it sent meanwhile is taken: a desktop
// whose greeting is waiting to be read must not go for a peer that never speaks.
void ConnectService::MakeRoomFor(const std::string& address) {
    for (size_t tries = 0; tries <= m_options.maxPending; ++tries) {
        PendingPeer* peer = m_pending.GivingWayTo(address);
        if (!peer)
            return;
        if (!peer->handshake.Greeted()) {
            const size_t before = m_pending.Peers().size();
            Advance(peer);
            if (m_pending.Peers().size() < before)
                return;   // it left, failed or was served: room enough
            if (peer->handshake.Greeted())
                continue;
        }
        Drop(m_pending.Remove(peer), PeerTally::End::PushedOut);
        return;
    }
}

// Takes what the peer sent, no more than the handshake wants, and answers it.
void ConnectService::Advance(PendingPeer* peer) {
    char buffer[rapi::kHelloSize + rapi::kFrameHeaderSize];
    const ssize_t got = ::recv(peer->fd, buffer, std::min(sizeof buffer, peer->handshake.Wanted()), 0);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (got <= 0) {
        Drop(m_pending.Remove(peer), PeerTally::End::Left);
        return;
    }
    std::string reply;
    const ServerHandshake::Step step = peer->handshake.Take(std::string_view(buffer, static_cast<size_t>(got)), reply);
    if (step == ServerHandshake::Step::Failed) {
        const bool wrongKey = peer->handshake.Failure().code() == RapiStatus::Code::AuthFailed;
        Drop(m_pending.Remove(peer), wrongKey ? PeerTally::End::WrongKey : PeerTally::End::NotOurProtocol);
        return;
    }
    if (step == ServerHandshake::Step::Authenticated && m_sessions.size() >= m_options.maxConnections) {
        Drop(m_pending.Remove(peer), PeerTally::End::Busy);
        return;
    }
    // A few dozen bytes into a fresh connection's empty buffer: a short send means a broken peer.
    if (!reply.empty() && ::send(peer->fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT) !=
                              static_cast<ssize_t>(reply.size())) {
        Drop(m_pending.Remove(peer), PeerTally::End::Left);
        return;
    }
    if (step == ServerHandshake::Step::Authenticated)
        StartSession(m_pending.Remove(peer));
}

void ConnectService::Drop(std::unique_ptr<PendingPeer> peer, PeerTally::End end) {
    if (!peer)
        return;
    m_tally.Ended(peer->address, end);
    peer->Abort();
}

void ConnectService::StartSession(std::unique_ptr<PendingPeer> peer) {
    const pid_t child = ::fork();
    if (child < 0) {
        LogLine(peer->name + ": authenticated, but cannot be served: " + std::strerror(errno));
        return;
    }
    if (child == 0) {
        // Nothing of the listener, the other peers or the state lock stays with the session.
        const int fd = peer->fd;
        if (fd > 3)
            ::close_range(3, static_cast<unsigned>(fd - 1), 0);
        ::close_range(static_cast<unsigned>(fd + 1), ~0u, 0);
        RestoreDefaultSignals();
        {
            SocketTransport transport(fd);
            std::unique_ptr<SecureChannel> channel = peer->handshake.OpenChannel(transport);
            peer->fd = -1;
            DeviceSession session(m_options);
            session.Serve(transport, *channel, peer->name);
        }
        ::_exit(0);
    }
    m_sessions.insert(child);
    LogLine("connection from " + peer->name + " authenticated, served by process " + std::to_string(child));
}

void ConnectService::ExpireAndSummarise(bool force) {
    const auto now = Clock::now();
    for (auto& peer : m_pending.TakeExpired(now))
        Drop(std::move(peer), PeerTally::End::TimedOut);
    const std::string summary = m_tally.TakeSummary(now, force);
    if (!summary.empty())
        LogLine(summary);
}

void ConnectService::ReapFinished() {
    for (;;) {
        pid_t done = ::waitpid(-1, nullptr, WNOHANG);
        if (done <= 0)
            return;
        m_sessions.erase(done);
    }
}

void ConnectService::StopConnections() {
    for (pid_t child : m_sessions)
        ::kill(child, SIGTERM);
    for (pid_t child : m_sessions)
        ::waitpid(child, nullptr, 0);
    m_sessions.clear();
}
