#pragma once
// Window messages between processes of one user: FindWindow by title and PostMessage, over
// Unix domain datagram sockets in WindowMessageFolder(), one socket per window title. Titles
// become safe file names ("w" + hex of the UTF-8 title; "h" + a 128-bit hash of it beyond 40
// bytes), so any title works: slashes, dots, any script, any length. A folder too deep for a
// socket address is reached through a descriptor of it.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

struct QUILLMAR_PLATFORM_EXPORT WindowMessage {
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// A handle to another process's window; null when no endpoint answers under that title.
struct HWND_ {
    CString title;
};
using HWND = std::shared_ptr<HWND_>;

QUILLMAR_PLATFORM_EXPORT HWND FindWindow(const CString& title);
// true when the message was delivered to the endpoint's socket. false for a null window, an
// endpoint that has gone, or one whose queue stayed full for a second.
QUILLMAR_PLATFORM_EXPORT bool PostMessage(const HWND& window, uint32_t message, uint64_t wParam = 0,
                                          int64_t lParam = 0);

// The receiving side: a process opens the endpoint of its main window's title. The socket
// descriptor can be watched by an event loop (Qt's QSocketNotifier); Drain() reads every
// pending message and calls the handler for each. Datagrams that are not messages are dropped.
class QUILLMAR_PLATFORM_EXPORT WindowEndpoint {
public:
    // nullptr when the folder cannot be made or another live endpoint holds the title; a
    // socket left behind by an endpoint that is gone is replaced.
    static std::unique_ptr<WindowEndpoint> Open(const CString& title);
    // Closes the socket and removes its file (only the file this endpoint made, and only in
    // the process that opened it, so a forked child leaves it alone).
    ~WindowEndpoint();
    WindowEndpoint(const WindowEndpoint&) = delete;
    WindowEndpoint& operator=(const WindowEndpoint&) = delete;

    int Descriptor() const { return m_fd; }
    const std::string& SocketPath() const { return m_path; }
    void Drain(const std::function<void(const WindowMessage&)>& handler);
    // Blocks up to timeoutMs for one message (tests).
    std::optional<WindowMessage> Wait(int timeoutMs);

private:
    WindowEndpoint(int fd, std::string path, dev_t device, ino_t inode);
    std::optional<WindowMessage> ReceiveOne();

    int m_fd;
    std::string m_path;
    dev_t m_device;
    ino_t m_inode;
    pid_t m_owner;
};

// $XDG_RUNTIME_DIR/Kestovar, or /tmp/kestovar-<uid> when XDG_RUNTIME_DIR is unset or not
// absolute; made with mode 0700. Empty when it cannot be made or is not a private folder of
// this user (a symbolic link, another owner).
QUILLMAR_PLATFORM_EXPORT std::string WindowMessageFolder();
// The socket file's path for a title ("" when the folder is unusable).
QUILLMAR_PLATFORM_EXPORT std::string WindowSocketPath(const CString& title);
