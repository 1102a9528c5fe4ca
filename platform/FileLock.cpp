#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FileLock::FileLock(const std::string& lockPath) : m_fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (m_fd < 0)
        return;
    int rc;
    while ((rc = ::flock(m_fd, LOCK_EX)) != 0 && errno == EINTR) {}
    m_held = rc == 0;
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}
