#pragma once
// An exclusive advisory lock (flock) on a lock file, held for the object's life. Serialises
// processes of one user around a read-change-write of a shared file. When the lock file cannot
// be opened the lock is not held (IsHeld() false) and the caller goes on without it.
#include <string>

class FileLock {
public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsHeld() const { return m_held; }

private:
    int m_fd;
    bool m_held = false;
};
