#pragma once
#include "platform/PlatformExport.h"
// What an atomic file write (Paths.h) did, with the reason when it did not fully succeed.
#include <string>

class QUILLMAR_PLATFORM_EXPORT WriteStatus {
public:
    enum State {
        Written,      // the new file is in place and on disk
        NotWritten,   // nothing was replaced: the old file, or no file, is as it was
        NotDurable,   // the new file is in place, but its folder entry could not be flushed to
                      // disk, so after a crash of the machine the old file may come back
    };

    WriteStatus() = default;
    static WriteStatus Failed(State state, int error, const char* step) { return WriteStatus(state, error, step); }

    bool IsWritten() const { return m_state == Written; }
    // The new bytes are what the file holds now (Written or NotDurable).
    bool Replaced() const { return m_state != NotWritten; }
    State GetState() const { return m_state; }
    // The errno of the failed step; 0 when written or when there was no system error.
    int Error() const { return m_error; }
    // A sentence for the user: what failed and why ("The file could not be written: No space
    // left on device."); empty when written.
    std::string Message() const;

private:
    WriteStatus(State state, int error, const char* step) : m_state(state), m_error(error), m_step(step) {}

    State m_state = Written;
    int m_error = 0;
    const char* m_step = "";
};
