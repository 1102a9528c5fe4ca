#include "connection/RapiCodec.h"

#include <algorithm>
#include <chrono>

#include "connection/RapiProtocol.h"

namespace rapi {

namespace {

template <typename T>
void PutLittleEndian(std::string& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

template <typename T>
bool GetLittleEndian(std::string_view& in, T& value) {
    if (in.size() < sizeof(T))
        return false;
    T result = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        result |= static_cast<T>(static_cast<uint8_t>(in[i])) << (8 * i);
    in.remove_prefix(sizeof(T));
    value = result;
    return true;
}

}   // namespace

void PutU8(std::string& out, uint8_t value) { out.push_back(static_cast<char>(value)); }
void PutU32(std::string& out, uint32_t value) { PutLittleEndian(out, value); }
void PutU64(std::string& out, uint64_t value) { PutLittleEndian(out, value); }

void PutBytes(std::string& out, std::string_view bytes) {
    PutU32(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
}

void PutText(std::string& out, const CString& text) { PutBytes(out, text.ToUtf8()); }

bool GetU8(std::string_view& in, uint8_t& value) { return GetLittleEndian(in, value); }
bool GetU32(std::string_view& in, uint32_t& value) { return GetLittleEndian(in, value); }
bool GetU64(std::string_view& in, uint64_t& value) { return GetLittleEndian(in, value); }

bool GetBytes(std::string_view& in, size_t maxSize, std::string& bytes) {
    std::string_view rest = in;
    uint32_t size = 0;
    if (!GetU32(rest, size) || size > maxSize || size > rest.size())
        return false;
    bytes.assign(rest.substr(0, size));
    rest.remove_prefix(size);
    in = rest;
    return true;
}

bool GetText(std::string_view& in, CString& text) {
    std::string utf8;
    if (!GetBytes(in, kMaxText, utf8))
        return false;
    // A zero byte would cut the text short on the other side's C interfaces.
    if (utf8.find('\0') != std::string::npos)
        return false;
    text = CString::FromUtf8(utf8);
    return true;
}

RapiStatus WriteFrame(Transport& transport, std::string_view body, size_t maxBody) {
    if (body.size() > maxBody)
        return RapiStatus::Error(RapiStatus::Code::TooLarge, "frame body above the limit");
    std::string frame;
    frame.reserve(kFrameHeaderSize + body.size());
    PutU32(frame, static_cast<uint32_t>(body.size()));
    frame.append(body);
    return transport.SendAll(frame.data(), frame.size());
}

RapiStatus ReadFrame(Transport& transport, size_t maxBody, std::string& body, int timeoutMs) {
    // One limit for the whole frame: a peer dribbling it in pieces gains no time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char header[kFrameHeaderSize];
    RapiStatus status = transport.ReceiveExact(header, sizeof header, timeoutMs);
    if (!status.ok())
        return status;
    std::string_view view(header, sizeof header);
    uint32_t size = 0;
    GetU32(view, size);
    if (size > maxBody)
        return RapiStatus::Error(RapiStatus::Code::TooLarge,
                                 "frame of " + std::to_string(size) + " bytes above the limit");
    std::string received(size, '\0');
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    status = transport.ReceiveExact(received.data(), size, static_cast<int>(std::max<long long>(left.count(), 1)));
    if (!status.ok())
        return status;
    body = std::move(received);
    return RapiStatus::Ok();
}

}   // namespace rapi
