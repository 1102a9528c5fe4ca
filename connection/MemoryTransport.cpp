#include "connection/MemoryTransport.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

struct MemoryTransport::Pipe {
    std::mutex mutex;
    std::condition_variable ready;
    std::string pending;
    std::string history;
    bool closed = false;

    void Append(const std::string& bytes) {
        std::lock_guard<std::mutex> lock(mutex);
        pending += bytes;
        history += bytes;
        ready.notify_all();
    }
    void Close() {
        std::lock_guard<std::mutex> lock(mutex);
        closed = true;
        ready.notify_all();
    }
};

std::pair<std::unique_ptr<MemoryTransport>, std::unique_ptr<MemoryTransport>> MemoryTransport::CreatePair() {
    auto aToB = std::make_shared<Pipe>();
    auto bToA = std::make_shared<Pipe>();
    std::unique_ptr<MemoryTransport> a(new MemoryTransport(bToA, aToB));
    std::unique_ptr<MemoryTransport> b(new MemoryTransport(aToB, bToA));
    return {std::move(a), std::move(b)};
}

std::unique_ptr<MemoryTransport> MemoryTransport::FromBytes(const std::string& bytes) {
    auto in = std::make_shared<Pipe>();
    in->Append(bytes);
    in->Close();
    return std::unique_ptr<MemoryTransport>(new MemoryTransport(in, std::make_shared<Pipe>()));
}

MemoryTransport::~MemoryTransport() {
    m_out->Close();
    m_in->Close();
}

RapiStatus MemoryTransport::SendAll(const void* data, size_t size) {
    {
        std::lock_guard<std::mutex> lock(m_out->mutex);
        if (m_out->closed)
            return RapiStatus::Error(RapiStatus::Code::Closed, "peer closed");
    }
    m_out->Append(std::string(static_cast<const char*>(data), size));
    return RapiStatus::Ok();
}

RapiStatus MemoryTransport::ReceiveExact(void* data, size_t size, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_in->mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_in->pending.size() < size) {
        if (m_in->closed)
            return RapiStatus::Error(RapiStatus::Code::Closed, "end of stream");
        if (m_in->ready.wait_until(lock, deadline) == std::cv_status::timeout && m_in->pending.size() < size &&
            !m_in->closed)
            return RapiStatus::Error(RapiStatus::Code::TimedOut, "peer silent");
    }
    std::memcpy(data, m_in->pending.data(), size);
    m_in->pending.erase(0, size);
    return RapiStatus::Ok();
}

std::string MemoryTransport::TakeIncoming() {
    std::lock_guard<std::mutex> lock(m_in->mutex);
    std::string bytes;
    bytes.swap(m_in->pending);
    return bytes;
}

void MemoryTransport::InjectIncoming(const std::string& bytes) { m_in->Append(bytes); }

void MemoryTransport::CloseIncoming() { m_in->Close(); }

std::string MemoryTransport::Sent() const {
    std::lock_guard<std::mutex> lock(m_out->mutex);
    return m_out->history;
}
