#include "connection/SocketTransport.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "connection/RapiProtocol.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

RapiStatus SystemError(const char* what) {
    return RapiStatus::Error(RapiStatus::Code::IoError, std::string(what) + ": " + std::strerror(errno));
}

// Waits for `events` on fd until the deadline; false on timeout or error (errno set).
bool WaitFor(int fd, short events, Clock::time_point deadline, bool& timedOut) {
    timedOut = false;
    for (;;) {
        pollfd entry{fd, events, 0};
        int result = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (result > 0)
            return true;
        if (result == 0) {
            timedOut = true;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head)
            freeaddrinfo(head);
    }
};

RapiStatus ConnectOne(const addrinfo& address, Clock::time_point deadline, int& fdOut) {
    int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
    if (fd < 0)
        return SystemError("socket");
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
        RapiStatus status = SystemError("connect");
        ::close(fd);
        return status;
    }
    bool timedOut = false;
    int error = 0;
    socklen_t length = sizeof error;
    if (!WaitFor(fd, POLLOUT, deadline, timedOut) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ||
        error != 0) {
        if (error != 0)
            errno = error;
        RapiStatus status = timedOut              ? RapiStatus::Error(RapiStatus::Code::TimedOut, "connect timed out")
                            : errno == ECONNRESET ? RapiStatus::Error(RapiStatus::Code::Closed, "connection reset")
                                                  : SystemError("connect");
        ::close(fd);
        return status;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    fdOut = fd;
    return RapiStatus::Ok();
}

}   // namespace

SocketTransport::~SocketTransport() {
    if (m_fd >= 0)
        ::close(m_fd);
}

RapiStatus SocketTransport::Connect(const std::string& host, unsigned port, int timeoutMs,
                                    std::unique_ptr<SocketTransport>& out) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    AddressList addresses;
    const std::string service = std::to_string(port);
    int result = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses.head);
    if (result != 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, "cannot resolve " + host + ": " + gai_strerror(result));
    RapiStatus last = RapiStatus::Error(RapiStatus::Code::IoError, "no address for " + host);
    for (addrinfo* address = addresses.head; address; address = address->ai_next) {
        int fd = -1;
        last = ConnectOne(*address, deadline, fd);
        if (last.ok()) {
            out = std::make_unique<SocketTransport>(fd);
            return last;
        }
    }
    return last;
}

RapiStatus SocketTransport::SendAll(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    const auto deadline = Clock::now() + std::chrono::milliseconds(rapi::kRequestTimeoutMs);
    while (size > 0) {
        ssize_t sent = ::send(m_fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes += sent;
            size -= static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            bool timedOut = false;
            if (WaitFor(m_fd, POLLOUT, deadline, timedOut))
                continue;
            return timedOut ? RapiStatus::Error(RapiStatus::Code::TimedOut, "peer does not read")
                            : SystemError("poll");
        }
        if (sent < 0 && (errno == EPIPE || errno == ECONNRESET))
            return RapiStatus::Error(RapiStatus::Code::Closed, "peer closed");
        return SystemError("send");
    }
    return RapiStatus::Ok();
}

RapiStatus SocketTransport::ReceiveExact(void* data, size_t size, int timeoutMs) {
    char* bytes = static_cast<char*>(data);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (size > 0) {
        ssize_t received = ::recv(m_fd, bytes, size, MSG_DONTWAIT);
        if (received > 0) {
            bytes += received;
            size -= static_cast<size_t>(received);
            continue;
        }
        if (received == 0)
            return RapiStatus::Error(RapiStatus::Code::Closed, "peer closed");
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            bool timedOut = false;
            if (WaitFor(m_fd, POLLIN, deadline, timedOut))
                continue;
            return timedOut ? RapiStatus::Error(RapiStatus::Code::TimedOut, "peer silent") : SystemError("poll");
        }
        if (errno == ECONNRESET)
            return RapiStatus::Error(RapiStatus::Code::Closed, "connection reset");
        return SystemError("recv");
    }
    return RapiStatus::Ok();
}
