#include "ui/qt/SingleInstance.h"

#include <QLockFile>
#include <QWidget>

#include "platform/Paths.h"
#include "platform/WindowMessages.h"

CSingleInstance::CSingleInstance(const CString& windowTitle) : m_title(windowTitle) {}

CSingleInstance::~CSingleInstance() = default;

std::string CSingleInstance::LockPath(const CString& windowTitle) {
    return WindowMessageFolder() + "/" + windowTitle.ToUtf8() + ".lock";
}

bool CSingleInstance::Claim() {
    if (m_lock)
        return true;
    MakeFolders(WindowMessageFolder(), 0700);
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(LockPath(m_title)));
    // QLockFile checks the owner process, so a crashed instance's lock does not keep us out.
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    if (HWND first = FindWindow(m_title))
        PostMessage(first, kRestoreAndRaiseMessage);
    return false;
}

void CSingleInstance::BringForward(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}
