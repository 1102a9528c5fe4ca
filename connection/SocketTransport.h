#pragma once
// Transport over a connected socket descriptor, which it owns and closes.
#include <memory>
#include <string>

#include "connection/ConnectionExport.h"
#include "connection/Transport.h"

class QUILLMAR_CONNECTION_EXPORT SocketTransport : public Transport {
public:
    explicit SocketTransport(int fd) : m_fd(fd) {}
    ~SocketTransport() override;
    SocketTransport(const SocketTransport&) = delete;
    SocketTransport& operator=(const SocketTransport&) = delete;

    // Connects to host:port (numeric address or name) within timeoutMs.
    static RapiStatus Connect(const std::string& host, unsigned port, int timeoutMs,
                              std::unique_ptr<SocketTransport>& out);

    RapiStatus SendAll(const void* data, size_t size) override;
    RapiStatus ReceiveExact(void* data, size_t size, int timeoutMs) override;
    int Descriptor() const { return m_fd; }

private:
    int m_fd;
};
