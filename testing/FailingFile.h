#pragma once
// A disk with only so many bytes free, while the object lives: file writes that go through
// the write-fault seam (platform/WriteFault.h) succeed until `bytes` bytes are written, the
// write that crosses the limit writes what still fits, and every later one fails with `error`
// (ENOSPC: the disk is full). Any other armed fault is replaced; nothing is armed afterwards.
#include <cerrno>
#include <cstddef>

class FailingFile {
public:
    explicit FailingFile(size_t bytes, int error = ENOSPC);
    ~FailingFile();
    FailingFile(const FailingFile&) = delete;
    FailingFile& operator=(const FailingFile&) = delete;

    // True once a write was refused.
    bool Failed() const;
    size_t BytesWritten() const;
};
