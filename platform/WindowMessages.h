#pragma once
// Window messages between processes of one user: FindWindow by title and PostMessage, over
// Unix domain sockets in $XDG_RUNTIME_DIR/Kestovar/ (or a private 0700 folder under /tmp when
// XDG_RUNTIME_DIR is unset), one socket per window title. Titles are encoded into safe file names.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/CString.h"

struct WindowMessage {
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// A handle to another process's window; null when no endpoint answers under that title.
struct HWND_ { CString title; };
using HWND = std::shared_ptr<HWND_>;

HWND FindWindow(const CString& title);
// true when the message was delivered to the endpoint's socket.
bool PostMessage(const HWND& window, uint32_t message, uint64_t wParam = 0, int64_t lParam = 0);

// The receiving side: a process opens the endpoint of its main window's title. The socket
// descriptor can be watched by an event loop (Qt's QSocketNotifier); Drain() reads every
// pending message and calls the handler for each.
class WindowEndpoint {
public:
    static std::unique_ptr<WindowEndpoint> Open(const CString& title);   // nullptr on failure
    ~WindowEndpoint();
    int Descriptor() const { return m_fd; }
    void Drain(const std::function<void(const WindowMessage&)>& handler);
    // Blocks up to timeoutMs for one message (tests).
    std::optional<WindowMessage> Wait(int timeoutMs);

private:
    WindowEndpoint(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    int m_fd;
    std::string m_path;
};

std::string WindowMessageFolder();
