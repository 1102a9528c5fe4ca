#pragma once
// Runs one export of a device library in a fresh child process, so every call starts from the
// files as stored and a crash or a hang of the library cannot take the service with it.
#include <string>
#include <string_view>

#include "connection/RapiTypes.h"

struct InvokeOutcome {
    HRESULT result = E_FAIL;   // the export's own result, or why it could not run
    std::string answer;        // the export's answer bytes (at most kMaxInvokeData)
    std::string note;          // for the log when the export could not run
};

// `libraryPath` must already be checked to lie inside the program folder. The child runs
// `helper` (quillmar-connectd-invoke), which loads the library with RTLD_NOW, calls `function`
// with the remote-invocation signature, passes the result and answer back over a pipe and frees
// the answer with LocalFree. Past timeoutMs it is killed and the result is
// HRESULT_FROM_WIN32(ERROR_TIMEOUT).
InvokeOutcome InvokeInChild(const std::string& helper, const std::string& libraryPath, const std::string& function,
                            std::string_view input, int timeoutMs);
