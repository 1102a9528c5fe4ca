#include "connection/RapiClient.h"

#include <algorithm>
#include <chrono>

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

}  // namespace

RapiStatus RapiClient::Connect(const Pairing& pairing, int timeoutMs, std::unique_ptr<RapiClient>& out) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_ptr<SocketTransport> transport;
    RapiStatus status = SocketTransport::Connect(pairing.host, pairing.port, timeoutMs, transport);
    if (!status.ok())
        return status;
    // Connecting and the handshake share one limit, so the caller's wait bounds both.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    std::unique_ptr<SecureChannel> channel;
    status = SecureChannel::Open(*transport, SecureChannel::Role::Client, pairing.key,
                                 static_cast<int>(std::max<long long>(left, 1)), channel);
    if (!status.ok())
        return status;
    out.reset(new RapiClient(std::move(transport), std::move(channel)));
    return status;
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

RapiStatus RapiClient::FileCreate(const CString& path, DWORD access, DWORD share, DWORD disposition,
                                  DWORD attributes, DWORD& result, uint32_t& handle) {
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

RapiStatus RapiClient::Invoke(const CString& library, const CString& function, std::string_view input,
                              HRESULT& result, std::string& answer) {
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
