#include "platform/WindowMessages.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/FileLock.h"
#include "platform/Paths.h"

namespace {

constexpr uint32_t kMagic = 0x31574D51;   // "QWM1": tells our datagrams from stray ones
constexpr size_t kDatagramSize = 24;      // magic, message, wParam, lParam
constexpr int kFullQueueWaitMs = 1000;
constexpr size_t kLongestHexTitle = 40;   // UTF-8 bytes; longer titles are hashed

// RAII for a socket descriptor.
class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

int NewDatagramSocket() { return ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Where to bind or connect: the socket file's path or, when that is longer than a socket
// address holds, the same file reached through a descriptor of its folder.
class SocketAddress {
public:
    explicit SocketAddress(const std::string& path) {
        if (path.size() < sizeof(sockaddr_un::sun_path)) {
            m_address = path;
            return;
        }
        const size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return;
        m_folderFd = ::open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_folderFd >= 0)
            m_address = "/proc/self/fd/" + std::to_string(m_folderFd) + path.substr(slash);
    }
    ~SocketAddress() {
        if (m_folderFd >= 0)
            ::close(m_folderFd);
    }
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;

    bool Fill(sockaddr_un& address) const {
        std::memset(&address, 0, sizeof address);
        address.sun_family = AF_UNIX;
        if (m_address.empty() || m_address.size() >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, m_address.data(), m_address.size());
        return true;
    }

private:
    std::string m_address;
    int m_folderFd = -1;
};

bool ConnectTo(int fd, const std::string& path) {
    SocketAddress target(path);
    sockaddr_un address;
    if (!target.Fill(address))
        return false;
    int rc;
    while ((rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address)) != 0 && errno == EINTR) {}
    return rc == 0;
}

bool BindTo(int fd, const std::string& path) {
    SocketAddress target(path);
    sockaddr_un address;
    return target.Fill(address) && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// A socket file whose owner is gone refuses connections; anything else counts as alive so we
// never take a title from a running process.
bool HasListener(const std::string& path) {
    Socket probe(NewDatagramSocket());
    if (probe.Get() < 0 || ConnectTo(probe.Get(), path))
        return true;
    return errno != ECONNREFUSED && errno != ENOENT;
}

bool IsSocketFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

std::string HexOf(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 0xF];
    }
    return out;
}

uint64_t Fnv1a(const std::string& bytes, uint64_t basis, bool reversed) {
    uint64_t hash = basis;
    for (size_t i = 0; i < bytes.size(); ++i) {
        hash ^= static_cast<unsigned char>(reversed ? bytes[bytes.size() - 1 - i] : bytes[i]);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

std::string HashName(const std::string& bytes) {
    std::string hash;
    for (uint64_t part : {Fnv1a(bytes, 0xCBF29CE484222325ULL, false), Fnv1a(bytes, 0x84222325CBF29CE4ULL, true)})
        for (int shift = 56; shift >= 0; shift -= 8)
            hash += static_cast<char>((part >> shift) & 0xFF);
    return "h" + HexOf(hash);
}

// The folder must be ours alone: nobody else may post to our windows or plant sockets.
bool IsPrivateFolder(const std::string& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(folder.c_str(), 0700) == 0;
}

void EncodeDatagram(const WindowMessage& m, unsigned char* out) {
    std::memcpy(out, &kMagic, 4);
    std::memcpy(out + 4, &m.message, 4);
    std::memcpy(out + 8, &m.wParam, 8);
    std::memcpy(out + 16, &m.lParam, 8);
}

std::optional<WindowMessage> DecodeDatagram(const unsigned char* in, size_t size) {
    uint32_t magic = 0;
    if (size != kDatagramSize)
        return std::nullopt;
    std::memcpy(&magic, in, 4);
    if (magic != kMagic)
        return std::nullopt;
    WindowMessage m;
    std::memcpy(&m.message, in + 4, 4);
    std::memcpy(&m.wParam, in + 8, 8);
    std::memcpy(&m.lParam, in + 16, 8);
    return m;
}

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    int rc;
    while ((rc = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {}
    return rc > 0;
}

bool SendDatagram(int fd, const unsigned char* bytes) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ssize_t n;
        while ((n = ::send(fd, bytes, kDatagramSize, MSG_NOSIGNAL)) < 0 && errno == EINTR) {}
        if (n == static_cast<ssize_t>(kDatagramSize))
            return true;
        if (n >= 0 || errno != EAGAIN || !WaitFor(fd, POLLOUT, kFullQueueWaitMs))
            return false;
    }
    return false;
}

}   // namespace

std::string WindowMessageFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime && runtime[0] == '/') {
        folder = std::string(runtime) + "/Kestovar";
        if (!MakeFolders(folder, 0700))
            return std::string();
    } else {
        folder = "/tmp/kestovar-" + std::to_string(::geteuid());
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return std::string();
    }
    return IsPrivateFolder(folder) ? folder : std::string();
}

std::string WindowSocketPath(const CString& title) {
    const std::string folder = WindowMessageFolder();
    if (folder.empty())
        return std::string();
    const std::string utf8 = title.ToUtf8();
    return folder + "/" + (utf8.size() <= kLongestHexTitle ? "w" + HexOf(utf8) : HashName(utf8));
}

HWND FindWindow(const CString& title) {
    const std::string path = WindowSocketPath(title);
    Socket probe(NewDatagramSocket());
    if (path.empty() || probe.Get() < 0 || !ConnectTo(probe.Get(), path))
        return nullptr;
    return std::make_shared<HWND_>(HWND_{title});
}

bool PostMessage(const HWND& window, uint32_t message, uint64_t wParam, int64_t lParam) {
    if (!window)
        return false;
    const std::string path = WindowSocketPath(window->title);
    Socket sender(NewDatagramSocket());
    if (path.empty() || sender.Get() < 0 || !ConnectTo(sender.Get(), path))
        return false;
    unsigned char bytes[kDatagramSize];
    EncodeDatagram(WindowMessage{message, wParam, lParam}, bytes);
    return SendDatagram(sender.Get(), bytes);
}

std::unique_ptr<WindowEndpoint> WindowEndpoint::Open(const CString& title) {
    const std::string path = WindowSocketPath(title);
    if (path.empty())
        return nullptr;
    // Two processes opening one title at once must not both take a stale socket's place.
    FileLock lock(path.substr(0, path.find_last_of('/')) + "/.open.lock");
    Socket endpoint(NewDatagramSocket());
    if (endpoint.Get() < 0)
        return nullptr;
    if (!BindTo(endpoint.Get(), path)) {
        if (errno != EADDRINUSE || !IsSocketFile(path) || HasListener(path) || ::unlink(path.c_str()) != 0 ||
            !BindTo(endpoint.Get(), path))
            return nullptr;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return nullptr;
    return std::unique_ptr<WindowEndpoint>(new WindowEndpoint(endpoint.Release(), path, st.st_dev, st.st_ino));
}

WindowEndpoint::WindowEndpoint(int fd, std::string path, dev_t device, ino_t inode)
    : m_fd(fd), m_path(std::move(path)), m_device(device), m_inode(inode), m_owner(::getpid()) {}

WindowEndpoint::~WindowEndpoint() {
    ::close(m_fd);
    if (::getpid() != m_owner)
        return;
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) == 0 && st.st_dev == m_device && st.st_ino == m_inode)
        ::unlink(m_path.c_str());
}

std::optional<WindowMessage> WindowEndpoint::ReceiveOne() {
    unsigned char buffer[64];
    for (;;) {
        ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (auto message = DecodeDatagram(buffer, static_cast<size_t>(n)))
            return message;
    }
}

void WindowEndpoint::Drain(const std::function<void(const WindowMessage&)>& handler) {
    while (auto message = ReceiveOne())
        if (handler)
            handler(*message);
}

std::optional<WindowMessage> WindowEndpoint::Wait(int timeoutMs) {
    using std::chrono::steady_clock;
    const auto deadline = steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto message = ReceiveOne())
            return message;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0 || !WaitFor(m_fd, POLLIN, static_cast<int>(left)))
            return std::nullopt;
    }
}
