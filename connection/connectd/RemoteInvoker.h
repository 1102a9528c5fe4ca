#pragma once
// Runs one export of the device's sync library in a fresh child process, so every call starts
// from the files as stored and a crash or a hang of the library cannot take the service with it.
// The child leads a process group of its own; at the time limit, when the desktop goes away, and
// after every call, that group and whatever else the call left running (even in a new session:
// this process adopts its orphans) are killed.
#include <string>
#include <string_view>

#include "connection/RapiTypes.h"

struct InvokeOutcome {
    HRESULT result = E_FAIL;   // the export's own result, or why it could not run
    std::string answer;        // the export's answer bytes (at most kMaxInvokeData)
    std::string note;          // for the log when the export could not run
    bool cancelled = false;    // the desktop left before the answer; nobody is waiting for it
};

struct InvokeRequest {
    std::string helper;        // quillmar-connectd-invoke
    std::string libraryPath;   // already checked to be the sync library inside the program folder
    std::string function;      // already checked against the allowed exports
    std::string_view input;
    int timeoutMs = 0;
    int desktopFd = -1;   // the desktop's socket: its hang-up cancels the call
};

// Makes this process the one that adopts the orphans of its invocations; call once before the
// first InvokeInChild.
void AdoptOrphans();

// The child runs `helper`, which loads the library with RTLD_NOW, calls `function` with the
// remote-invocation signature, passes the result and answer back over a pipe and frees the
// answer with LocalFree. Past timeoutMs it is killed and the result is
// HRESULT_FROM_WIN32(ERROR_TIMEOUT).
InvokeOutcome InvokeInChild(const InvokeRequest& request);

// The process group of the invocation running now (0 when none), for a stop signal's handler.
int RunningInvocationGroup();
