#pragma once
// An in-memory duplex pipe: two ends, each a Transport. Tests also reach into an end's
// incoming bytes to cut, corrupt, replay or inject them. Safe to use from two threads.
#include <memory>
#include <string>
#include <utility>

#include "connection/ConnectionExport.h"
#include "connection/Transport.h"

class QUILLMAR_CONNECTION_EXPORT MemoryTransport : public Transport {
public:
    struct Pipe;
    static std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> CreatePair();
    // An end whose incoming bytes are `bytes` and then end of stream; what it sends is kept.
    static std::unique_ptr<MemoryTransport> FromBytes(const std::string& bytes);
    ~MemoryTransport() override;   // ends both directions for the peer

    RapiStatus SendAll(const void* data, size_t size) override;
    RapiStatus ReceiveExact(void* data, size_t size, int timeoutMs) override;

    std::string TakeIncoming();                      // removes and returns the pending incoming bytes
    void InjectIncoming(const std::string& bytes);   // appends bytes as if the peer had sent them
    void CloseIncoming();                            // end of stream after the pending bytes
    std::string Sent() const;                        // everything this end sent so far

private:
    MemoryTransport(std::shared_ptr<Pipe> in, std::shared_ptr<Pipe> out)
        : m_in(std::move(in)), m_out(std::move(out)) {}
    std::shared_ptr<Pipe> m_in;
    std::shared_ptr<Pipe> m_out;
};
