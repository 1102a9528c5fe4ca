#include "connection/RapiClient.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"
#include "connection/SocketTransport.h"

using namespace rapi;

namespace {

std::string Request(Op op) {
    std::string request;
    PutU8(request, static_cast<uint8_t>(op));
    return request;
}

RapiStatus MalformedAnswer() {
    return RapiStatus::Error(RapiStatus::Code::Malformed, "the device answered in an unknown form");
}

}   // namespace

RapiStatus RapiClient::Connect(const Pairing& pairing, int timeoutMs, std::unique_ptr<RapiClient>& out) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::max<long long>(ms, 0));
    };
    // A busy device pushes out connections that have not greeted it yet; one cut before its
    // greeting came is tried again a few times, within the same limit. After the greeting a cut
    // means a refusal, which the handshake reports as such.
    constexpr int kAttempts = 4;
    RapiStatus status;
    for (int attempt = 1, pause = 10; left() > 0; ++attempt, pause *= 2) {
        std::unique_ptr<SocketTransport> transport;
        status = SocketTransport::Connect(pairing.host, pairing.port, left(), transport);
        std::unique_ptr<SecureChannel> channel;
        if (status.ok())
            status = SecureChannel::Open(*transport, SecureChannel::Role::Client, pairing.key, std::max(left(), 1),
                                         channel);
        if (status.ok()) {
            out.reset(new RapiClient(std::move(transport), std::move(channel)));
            return status;
        }
        if (status.code() != RapiStatus::Code::Closed || attempt == kAttempts)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(pause, left())));
    }
    return status.ok() ? RapiStatus::Error(RapiStatus::Code::TimedOut, "connect timed out") : status;
}

RapiClient::RapiClient(std::unique_ptr<SocketTransport> transport, std::unique_ptr<SecureChannel> channel)
    : m_transport(std::move(transport)), m_channel(std::move(channel)) {}

// The channel refers to the transport, so it goes first.
RapiClient::~RapiClient() { m_channel.reset(); }

RapiStatus RapiClient::Broken(RapiStatus status) {
    m_channel.reset();
    m_transport.reset();
    return status;
}

RapiStatus RapiClient::Call(const std::string& request, int timeoutMs, DWORD& result, std::string& answer) {
    if (!m_channel)
        return RapiStatus::Error(RapiStatus::Code::Closed, "not connected");
    RapiStatus status = m_channel->Send(request);
    if (!status.ok())
        return Broken(status);
    std::string reply;
    status = m_channel->Receive(reply, timeoutMs);
    if (!status.ok())
        return Broken(status);
    std::string_view view(reply);
    uint32_t code = 0;
    if (!GetU32(view, code))
        return Broken(MalformedAnswer());
    result = code;
    answer.assign(view);
    return RapiStatus::Ok();
}

RapiStatus RapiClient::RegOpenKey(const CString& key, DWORD& result) {
    std::string request = Request(Op::RegOpenKey);
    PutText(request, key);
    std::string answer;
    return Call(request, kRequestTimeoutMs, result, answer);
}

RapiStatus RapiClient::RegQueryValue(const CString& key, const CString& name, DWORD& result, DWORD& type,
                                     std::string& data) {
    std::string request = Request(Op::RegQueryValue);
    PutText(request, key);
    PutText(request, name);
    std::string answer;
    RapiStatus status = Call(request, kRequestTimeoutMs, result, answer);
    if (!status.ok() || result != ERROR_SUCCESS)
        return status;
    std::string_view view(answer);
    if (!GetU32(view, type) || !GetBytes(view, kMaxMessageSize, data))
        return Broken(MalformedAnswer());
    return status;
}

RapiStatus RapiClient::FileCreate(const CString& path, DWORD access, DWORD share, DWORD disposition, DWORD attributes,
                                  DWORD& result, uint32_t& handle) {
    std::string request = Request(Op::FileCreate);
    PutText(request, path);
    PutU32(request, access);
    PutU32(request, share);
    PutU32(request, disposition);
    PutU32(request, attributes);
    std::string answer;
    RapiStatus status = Call(request, kRequestTimeoutMs, result, answer);
    if (!status.ok() || result != ERROR_SUCCESS)
        return status;
    std::string_view view(answer);
    if (!GetU32(view, handle))
        return Broken(MalformedAnswer());
    return status;
}

RapiStatus RapiClient::FileRead(uint32_t handle, uint32_t count, DWORD& result, std::string& data) {
    std::string request = Request(Op::FileRead);
    PutU32(request, handle);
    PutU32(request, count);
    std::string answer;
    RapiStatus status = Call(request, kRequestTimeoutMs, result, answer);
    if (!status.ok() || result != ERROR_SUCCESS)
        return status;
    std::string_view view(answer);
    if (!GetBytes(view, count, data))
        return Broken(MalformedAnswer());
    return status;
}

RapiStatus RapiClient::FileWrite(uint32_t handle, std::string_view data, DWORD& result, uint32_t& written) {
    std::string request = Request(Op::FileWrite);
    PutU32(request, handle);
    PutBytes(request, data);
    std::string answer;
    RapiStatus status = Call(request, kRequestTimeoutMs, result, answer);
    if (!status.ok() || result != ERROR_SUCCESS)
        return status;
    std::string_view view(answer);
    if (!GetU32(view, written) || written > data.size())
        return Broken(MalformedAnswer());
    return status;
}

RapiStatus RapiClient::FileSize(uint32_t handle, DWORD& result, uint64_t& size) {
    std::string request = Request(Op::FileSize);
    PutU32(request, handle);
    std::string answer;
    RapiStatus status = Call(request, kRequestTimeoutMs, result, answer);
    if (!status.ok() || result != ERROR_SUCCESS)
        return status;
    std::string_view view(answer);
    uint32_t low = 0;
    uint32_t high = 0;
    if (!GetU32(view, low) || !GetU32(view, high))
        return Broken(MalformedAnswer());
    size = (static_cast<uint64_t>(high) << 32) | low;
    return status;
}

RapiStatus RapiClient::FileClose(uint32_t handle, DWORD& result) {
    std::string request = Request(Op::FileClose);
    PutU32(request, handle);
    std::string answer;
    return Call(request, kRequestTimeoutMs, result, answer);
}

RapiStatus RapiClient::Invoke(const CString& library, const CString& function, std::string_view input, HRESULT& result,
                              std::string& answer) {
    if (input.size() > kMaxInvokeData)
        return RapiStatus::Error(RapiStatus::Code::TooLarge, "invocation input above the limit");
    std::string request = Request(Op::Invoke);
    PutText(request, library);
    PutText(request, function);
    PutBytes(request, input);
    std::string reply;
    DWORD code = 0;
    // The device enforces its own invocation limit; wait a little longer than it may.
    RapiStatus status = Call(request, kInvokeTimeoutMs + kRequestTimeoutMs, code, reply);
    if (!status.ok())
        return status;
    result = static_cast<HRESULT>(code);
    std::string_view view(reply);
    if (!GetBytes(view, kMaxInvokeData, answer))
        return Broken(MalformedAnswer());
    return status;
}
