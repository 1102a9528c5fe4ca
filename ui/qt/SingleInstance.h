#pragma once
// One running instance of a program per user: a lock file named after the main window's title,
// beside the window-message sockets. A later start finds the lock taken, asks the first window
// to restore and raise itself, and ends. A lock left by a crashed instance is taken over.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/CString.h"

class QLockFile;
class QWidget;

class CSingleInstance {
public:
    // The window message that asks the first instance to restore and raise its window.
    static constexpr uint32_t kRestoreAndRaiseMessage = 0x8001;

    explicit CSingleInstance(const CString& windowTitle);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this process now holds the lock; otherwise the first instance's window has been
    // asked to come forward and this process should end.
    bool Claim();
    bool IsHeld() const { return m_lock != nullptr; }

    static std::string LockPath(const CString& windowTitle);
    // What the first instance does on kRestoreAndRaiseMessage.
    static void BringForward(QWidget& window);

private:
    CString m_title;
    std::unique_ptr<QLockFile> m_lock;
};
