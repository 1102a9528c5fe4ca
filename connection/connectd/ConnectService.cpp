#include "connection/connectd/ConnectService.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "connection/connectd/DeviceSession.h"
#include "connection/connectd/ServiceLog.h"

namespace {

volatile sig_atomic_t g_stopRequested = 0;

void OnStopSignal(int) { g_stopRequested = 1; }
void OnChildSignal(int) {}

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() { if (head) freeaddrinfo(head); }
};

std::string PeerName(const sockaddr_storage& address) {
    char host[NI_MAXHOST] = "?";
    char port[NI_MAXSERV] = "?";
    ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host, port, sizeof port,
                  NI_NUMERICHOST | NI_NUMERICSERV);
    return std::string(host) + ":" + port;
}

// The stop and child signals stay blocked except while waiting in ppoll, so none is missed
// between a check of the flag and the wait.
sigset_t InstallSignalHandlers() {
    struct sigaction action{};
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

}  // namespace

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
        return RapiStatus::Error(RapiStatus::Code::IoError, "cannot use address " + m_options.address + ": " +
                                                                gai_strerror(result));
    std::string why = "no address";
    for (addrinfo* address = addresses.head; address; address = address->ai_next) {
        int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0)
            continue;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, address->ai_addr, address->ai_addrlen) == 0 && ::listen(fd, 16) == 0) {
            m_listener = fd;
            LogLine("listening on " + m_options.address + ":" + port);
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
    while (!g_stopRequested) {
        pollfd entry{m_listener, POLLIN, 0};
        int ready = ::ppoll(&entry, 1, nullptr, &waiting);
        const int waitError = errno;
        ReapFinished();
        if (ready < 0 && waitError != EINTR) {
            LogLine(std::string("cannot wait for connections: ") + std::strerror(waitError));
            return false;
        }
        if (ready > 0 && !g_stopRequested)
            Accept();
    }
    LogLine("stopping");
    ::close(m_listener);
    m_listener = -1;
    StopConnections();
    LogLine("stopped");
    return true;
}

void ConnectService::Accept() {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    int fd = ::accept4(m_listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    const std::string peer = PeerName(address);
    if (m_connections.size() >= m_options.maxConnections) {
        LogLine(peer + ": refused, " + std::to_string(m_connections.size()) + " connections open");
        ::close(fd);
        return;
    }
    pid_t child = ::fork();
    if (child < 0) {
        LogLine(peer + ": cannot serve: " + std::strerror(errno));
        ::close(fd);
        return;
    }
    if (child == 0) {
        ::close(m_listener);
        RestoreDefaultSignals();
        {
            DeviceSession session(m_key, m_options);
            session.Serve(fd, peer);
        }
        ::_exit(0);
    }
    ::close(fd);
    m_connections.insert(child);
    LogLine("connection from " + peer + " served by process " + std::to_string(child));
}

void ConnectService::ReapFinished() {
    for (;;) {
        pid_t done = ::waitpid(-1, nullptr, WNOHANG);
        if (done <= 0)
            return;
        m_connections.erase(done);
    }
}

void ConnectService::StopConnections() {
    for (pid_t child : m_connections)
        ::kill(child, SIGTERM);
    for (pid_t child : m_connections)
        ::waitpid(child, nullptr, 0);
    m_connections.clear();
}
