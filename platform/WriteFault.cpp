#include "platform/WriteFault.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

constexpr size_t kOpCount = 7;

struct FaultState {
    std::mutex mutex;
    bool armed = false;
    bool fired = false;
    WriteFault::Op op = WriteFault::Op::Write;
    int nth = 0;
    int error = 0;
    bool failNextWrite = false;   // after a short write
    bool byteLimited = false;
    size_t bytesLeft = 0;   // while byteLimited
    size_t bytesWritten = 0;
    std::array<int, kOpCount> calls{};
};

size_t Index(WriteFault::Op op) {
    // A short write is a kind of write: both count the same calls.
    return static_cast<size_t>(op == WriteFault::Op::ShortWrite ? WriteFault::Op::Write : op);
}

bool ParseOp(const std::string& name, WriteFault::Op& op) {
    static const std::pair<const char*, WriteFault::Op> kNames[] = {
        {"open", WriteFault::Op::Open},
        {"write", WriteFault::Op::Write},
        {"short-write", WriteFault::Op::ShortWrite},
        {"sync", WriteFault::Op::Sync},
        {"close", WriteFault::Op::Close},
        {"rename", WriteFault::Op::Rename},
        {"folder-sync", WriteFault::Op::FolderSync},
    };
    for (const auto& [text, value] : kNames) {
        if (name == text) {
            op = value;
            return true;
        }
    }
    return false;
}

int ParseErrno(const std::string& name) {
    if (name == "ENOSPC")
        return ENOSPC;
    if (name == "EIO")
        return EIO;
    if (name == "EDQUOT")
        return EDQUOT;
    if (name == "EROFS")
        return EROFS;
    return 0;
}

// "op:n:ERRNO" from the environment; nothing armed when it is absent or malformed.
void ArmFromEnvironment(FaultState& s) {
    const char* value = std::getenv("QUILLMAR_WRITE_FAULT");
    if (!value)
        return;
    const std::string text = value;
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        return;
    WriteFault::Op op;
    const int nth = std::atoi(text.substr(first + 1, second - first - 1).c_str());
    const int error = ParseErrno(text.substr(second + 1));
    if (!ParseOp(text.substr(0, first), op) || nth <= 0 || error == 0)
        return;
    s.armed = true;
    s.op = op;
    s.nth = nth;
    s.error = error;
}

FaultState& State() {
    static FaultState* state = [] {
        auto* s = new FaultState;   // lives to the end of the process, past static destructors
        ArmFromEnvironment(*s);
        return s;
    }();
    return *state;
}

void Restart(FaultState& s) {
    s.fired = false;
    s.failNextWrite = false;
    s.byteLimited = false;
    s.bytesWritten = 0;
    s.calls.fill(0);
}

// The fault this call of `op` meets: 0 none, an errno to fail with, or -1 for a short write.
int Due(WriteFault::Op op) {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    const int count = ++s.calls[Index(op)];
    if (op == WriteFault::Op::Write && s.failNextWrite) {
        s.failNextWrite = false;
        return s.error;
    }
    if (!s.armed || s.fired || Index(s.op) != Index(op) || count != s.nth)
        return 0;
    s.fired = true;
    if (s.op == WriteFault::Op::ShortWrite) {
        s.failNextWrite = true;
        return -1;
    }
    return s.error;
}

// The error a short write left for the next write, taken back.
int TakePendingWriteError() {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    s.failNextWrite = false;
    return s.error;
}

// How many of `size` bytes a write may write under a byte limit (all when none is armed); sets
// `error` when none may.
size_t BytesAllowed(size_t size, int& error) {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    error = 0;
    if (!s.byteLimited)
        return size;
    if (s.bytesLeft == 0 && size > 0) {
        s.fired = true;
        error = s.error;
        return 0;
    }
    return std::min(size, s.bytesLeft);
}

void CountWritten(ssize_t written) {
    if (written <= 0)
        return;
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    s.bytesWritten += static_cast<size_t>(written);
    if (s.byteLimited)
        s.bytesLeft -= std::min(s.bytesLeft, static_cast<size_t>(written));
}

ssize_t CountedWrite(int fd, const void* data, size_t size) {
    int error = 0;
    const size_t allowed = BytesAllowed(size, error);
    if (error) {
        errno = error;
        return -1;
    }
    const ssize_t written = ::write(fd, data, allowed);
    CountWritten(written);
    return written;
}

}   // namespace

void WriteFault::ArmByteLimit(size_t bytes, int error) {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    s.armed = false;
    Restart(s);
    s.byteLimited = true;
    s.bytesLeft = bytes;
    s.error = error;
}

size_t WriteFault::BytesWritten() {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    return s.bytesWritten;
}

void WriteFault::Arm(Op op, int nth, int error) {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    s.armed = nth > 0;
    s.op = op;
    s.nth = nth;
    s.error = error;
    Restart(s);
}

void WriteFault::Disarm() {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    s.armed = false;
    Restart(s);
}

int WriteFault::Calls(Op op) {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    return s.calls[Index(op)];
}

bool WriteFault::Fired() {
    FaultState& s = State();
    std::lock_guard guard(s.mutex);
    return s.fired;
}

int WriteFault::Take(Op op) {
    const int due = Due(op);
    return due < 0 ? 0 : due;
}

int WriteFault::Open(const char* path, int flags, mode_t mode) {
    if (const int error = Take(Op::Open)) {
        errno = error;
        return -1;
    }
    return ::open(path, flags, mode);
}

ssize_t WriteFault::Write(int fd, const void* data, size_t size) {
    const int due = Due(Op::Write);
    if (due > 0) {
        errno = due;
        return -1;
    }
    if (due < 0) {
        if (size > 1)
            return CountedWrite(fd, data, size / 2);
        // Nothing to cut in half: the write fails outright.
        errno = TakePendingWriteError();
        return -1;
    }
    return CountedWrite(fd, data, size);
}

int WriteFault::Fsync(int fd) {
    if (const int error = Take(Op::Sync)) {
        errno = error;
        return -1;
    }
    return ::fsync(fd);
}

int WriteFault::Close(int fd) {
    if (const int error = Take(Op::Close)) {
        // The descriptor is released all the same, as close() does when it reports an error.
        ::close(fd);
        errno = error;
        return -1;
    }
    return ::close(fd);
}

int WriteFault::Rename(const char* from, const char* to) {
    if (const int error = Take(Op::Rename)) {
        errno = error;
        return -1;
    }
    return ::rename(from, to);
}

int WriteFault::FsyncFolder(int folderFd) {
    if (const int error = Take(Op::FolderSync)) {
        errno = error;
        return -1;
    }
    return ::fsync(folderFd);
}
