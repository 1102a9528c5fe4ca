#include "sync/e2e/LoopbackProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// The client's greeting and proof travel before the encrypted requests.
constexpr int kHandshakeFrames = 2;
constexpr size_t kLengthPrefix = 4;

int ListenOnLoopback(unsigned& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

int ConnectToLoopback(unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t done = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        sent += static_cast<size_t>(done);
    }
    return true;
}

// Takes one complete frame (length prefix included) off the front of `buffer`.
bool TakeFrame(std::string& buffer, std::string& frame) {
    if (buffer.size() < kLengthPrefix)
        return false;
    uint32_t length = 0;
    for (size_t i = 0; i < kLengthPrefix; ++i)
        length |= static_cast<uint32_t>(static_cast<uint8_t>(buffer[i])) << (8 * i);
    if (buffer.size() - kLengthPrefix < length)
        return false;
    frame = buffer.substr(0, kLengthPrefix + length);
    buffer.erase(0, kLengthPrefix + length);
    return true;
}

}   // namespace

struct LoopbackProxy::Link {
    int client = -1;
    int server = -1;
    std::string fromClient;
    std::string fromServer;
    int clientFrames = 0;
    bool dropNextAnswer = false;

    ~Link() {
        if (client >= 0)
            ::close(client);
        if (server >= 0)
            ::close(server);
    }
};

LoopbackProxy::LoopbackProxy(unsigned targetPort) : m_targetPort(targetPort) {
    m_listenFd = ListenOnLoopback(m_port);
    int wake[2];
    if (m_listenFd < 0 || ::pipe2(wake, O_CLOEXEC) != 0)
        return;
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_thread = std::thread([this] { Run(); });
}

LoopbackProxy::~LoopbackProxy() {
    m_stop = true;
    if (m_wakeWrite >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite, &byte, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    m_links.clear();
    for (int fd : {m_listenFd, m_wakeRead, m_wakeWrite}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void LoopbackProxy::SetTarget(unsigned port) { m_targetPort = port; }

void LoopbackProxy::Arm(Fault fault, int skipRequests, std::function<void()> action) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = true;
    m_fault = fault;
    m_skip = skipRequests;
    m_action = std::move(action);
    m_struck = false;
}

void LoopbackProxy::Disarm() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = false;
    m_action = nullptr;
}

void LoopbackProxy::Run() {
    while (!m_stop) {
        std::vector<pollfd> watched{{m_wakeRead, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        for (const auto& link : m_links) {
            watched.push_back({link->client, POLLIN, 0});
            watched.push_back({link->server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), 200) < 0 && errno != EINTR)
            return;
        if (m_stop)
            return;
        if (watched[1].revents & POLLIN)
            Accept();
        // Links accepted just now are not in `watched` yet; they are looked at next round.
        std::vector<size_t> closing;
        for (size_t i = 0; i + 2 < watched.size() && i / 2 < m_links.size(); i += 2) {
            Link& link = *m_links[i / 2];
            const bool clientReady = watched[i + 2].revents & (POLLIN | POLLHUP | POLLERR);
            const bool serverReady = watched[i + 3].revents & (POLLIN | POLLHUP | POLLERR);
            if ((clientReady && !Pump(link, true)) || (serverReady && !Pump(link, false)))
                closing.push_back(i / 2);
        }
        for (auto at = closing.rbegin(); at != closing.rend(); ++at)
            m_links.erase(m_links.begin() + static_cast<std::ptrdiff_t>(*at));
    }
}

void LoopbackProxy::Accept() {
    const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    auto link = std::make_unique<Link>();
    link->client = client;
    link->server = ConnectToLoopback(m_targetPort);
    if (link->server >= 0)
        m_links.push_back(std::move(link));
}

bool LoopbackProxy::Pump(Link& link, bool fromClient) {
    char buffer[65536];
    const ssize_t got = ::recv(fromClient ? link.client : link.server, buffer, sizeof buffer, 0);
    if (got <= 0)
        return got < 0 && errno == EINTR;
    std::string& pending = fromClient ? link.fromClient : link.fromServer;
    pending.append(buffer, static_cast<size_t>(got));
    std::string frame;
    while (TakeFrame(pending, frame)) {
        if (fromClient) {
            if (!OnClientFrame(link, frame))
                return false;
        } else {
            if (link.dropNextAnswer) {
                m_struck = true;
                return false;
            }
            if (!SendAll(link.client, frame))
                return false;
        }
    }
    return true;
}

bool LoopbackProxy::OnClientFrame(Link& link, const std::string& frame) {
    if (link.clientFrames++ < kHandshakeFrames)
        return SendAll(link.server, frame);
    std::function<void()> action;
    bool strike = false;
    Fault fault = Fault::DropRequest;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_armed && m_skip-- <= 0) {
            strike = true;
            fault = m_fault;
            action = std::move(m_action);
            m_armed = false;
        }
    }
    if (!strike) {
        ++m_requests;
        return SendAll(link.server, frame);
    }
    if (fault == Fault::DropRequest) {
        m_struck = true;
        return false;
    }
    ++m_requests;
    if (!SendAll(link.server, frame))
        return false;
    if (fault == Fault::DropAnswer) {
        link.dropNextAnswer = true;
        return true;
    }
    m_struck = true;
    if (action)
        action();
    return true;
}
