#pragma once
// What quillmar-connectd was started with.
#include <string>

#include "connection/RapiProtocol.h"

struct ServiceOptions {
    std::string address = "127.0.0.1";
    unsigned port = 47953;
    std::string keyFile;   // empty: KeyFile::DefaultPath()
    int handshakeTimeoutMs = rapi::kHandshakeTimeoutMs;
    int idleTimeoutMs = rapi::kIdleTimeoutMs;
    int invokeTimeoutMs = rapi::kInvokeTimeoutMs;
    unsigned maxConnections = 8;
    std::string invokeHelper;   // quillmar-connectd-invoke, beside the service's executable
};
