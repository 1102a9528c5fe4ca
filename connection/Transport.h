#pragma once
// A byte stream between the two sides: a socket in use, memory in tests.
#include <cstddef>

#include "connection/ConnectionExport.h"
#include "connection/RapiStatus.h"

class QUILLMAR_CONNECTION_EXPORT Transport {
public:
    virtual ~Transport() = default;
    // Sends all `size` bytes or fails.
    virtual RapiStatus SendAll(const void* data, size_t size) = 0;
    // Receives exactly `size` bytes within timeoutMs (for all of them), or fails with Closed,
    // TimedOut or IoError.
    virtual RapiStatus ReceiveExact(void* data, size_t size, int timeoutMs) = 0;
};
