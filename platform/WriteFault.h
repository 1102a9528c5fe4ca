#pragma once
#include "platform/PlatformExport.h"
// The write-fault seam: a process-wide hook that makes file writing fail on demand, so tests
// can show what a full or failing disk does without relying on file permissions (tests run as
// root in CI, where permissions bind nothing).
//
// Code that writes files it must not lose goes through the wrappers below instead of the
// system calls; they behave exactly like the system calls until a fault is armed. An armed
// fault fires once, on the nth call of its operation counted from the moment it was armed,
// and makes that call fail with -1 and the chosen errno (ENOSPC, EIO, ...). A short write
// writes half of what it was given for real, returns that count, and makes the next write
// fail with the chosen errno, as a disk that fills up mid-write does.
//
// A child process can be armed through the environment: QUILLMAR_WRITE_FAULT="op:n:ERRNO",
// with op one of open, write, short-write, sync, close, rename, folder-sync and ERRNO ENOSPC,
// EIO, EDQUOT or EROFS (for example "rename:1:EIO"); it is read once, at the first call.
#include <sys/types.h>

class QUILLMAR_PLATFORM_EXPORT WriteFault {
public:
    enum class Op {
        Open,         // opening a file for writing
        Write,        // write() of file bytes
        ShortWrite,   // counted with Write: a write that stops half-way
        Sync,         // fsync() of a written file
        Close,        // close() of a written file
        Rename,       // rename() of the finished file over its target
        FolderSync,   // fsync() of the folder after the rename
    };

    // Arms one fault, replacing any armed one, and restarts the counts.
    static void Arm(Op op, int nth, int error);
    // Arms a disk with `bytes` free, replacing any armed fault: writes succeed until that many
    // bytes are written, the write that crosses the limit writes only what still fits, and
    // every later write fails with `error`.
    static void ArmByteLimit(size_t bytes, int error);
    // File bytes written through Write since the last Arm, ArmByteLimit or Disarm.
    static size_t BytesWritten();
    // Disarms and restarts the counts.
    static void Disarm();
    // Calls of `op` since the last Arm or Disarm (ShortWrite reports the Write count); lets a
    // test count the steps of an operation and then fail each in turn.
    static int Calls(Op op);
    // True once the armed fault has fired.
    static bool Fired();

    // Counts one call of `op`; the errno an armed fault gives this call, 0 when none is due.
    // For steps that are skipped (an fsync while disk syncing is off) so the counts stay the same.
    static int Take(Op op);

    // The system calls, or -1 with errno set when a fault is due.
    static int Open(const char* path, int flags, mode_t mode);
    static ssize_t Write(int fd, const void* data, size_t size);
    static int Fsync(int fd);
    static int Close(int fd);
    static int Rename(const char* from, const char* to);
    static int FsyncFolder(int folderFd);

    // Arms a fault for its lifetime (a test's scope), disarming at the end.
    class Scope {
    public:
        Scope(Op op, int nth, int error) { Arm(op, nth, error); }
        ~Scope() { Disarm(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };
};
