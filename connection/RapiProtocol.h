#pragma once
// Constants of the desktop-device wire protocol. PROTOCOL.md describes the format.
#include <array>
#include <cstddef>
#include <cstdint>

namespace rapi {

// Every frame: a 4-byte little-endian body length, then the body.
inline constexpr size_t kFrameHeaderSize = 4;

// Handshake.
inline constexpr std::array<uint8_t, 8> kMagic = {'Q', 'M', 'R', 'A', 'P', 'I', '0', '1'};
inline constexpr size_t kKeySize = 32;
inline constexpr size_t kNonceSize = 32;
inline constexpr size_t kProofSize = 32;   // HMAC-SHA-256
inline constexpr size_t kHelloSize = kMagic.size() + kNonceSize;
inline constexpr char kClientProofLabel[] = "quillmar-rapi client proof";
inline constexpr char kServerProofLabel[] = "quillmar-rapi server proof";
inline constexpr char kClientToServerLabel[] = "quillmar-rapi client to server";
inline constexpr char kServerToClientLabel[] = "quillmar-rapi server to client";

using PairingKey = std::array<uint8_t, kKeySize>;

// Encrypted phase: XChaCha20-Poly1305 with a 24-byte nonce holding the frame counter.
inline constexpr size_t kAeadTagSize = 16;
inline constexpr size_t kAeadNonceSize = 24;

// Limits. A request or answer body never exceeds kMaxMessageSize; a frame body is at most that
// plus the tag. Handshake frames have fixed sizes and are checked against them.
inline constexpr size_t kMaxChunk = 64 * 1024;          // bytes per read / write request
inline constexpr size_t kMaxInvokeData = 1024 * 1024;   // invocation input or answer
inline constexpr size_t kMaxText = 4096;                // a path, a key, a name
inline constexpr size_t kMaxMessageSize = kMaxInvokeData + 2 * kMaxText + 64;
inline constexpr size_t kMaxFrameBody = kMaxMessageSize + kAeadTagSize;

// Time limits (milliseconds).
inline constexpr int kHandshakeTimeoutMs = 5000;
inline constexpr int kIdleTimeoutMs = 60000;      // between requests, on the device
inline constexpr int kRequestTimeoutMs = 30000;   // an answer to a plain request
inline constexpr int kInvokeTimeoutMs = 60000;    // default limit of one invocation
inline constexpr int kConnectTimeoutMs = 10000;   // connect and handshake, on the desktop

// Requests: first byte of a request body.
enum class Op : uint8_t {
    RegOpenKey = 1,      // text key                          -> status
    RegQueryValue = 2,   // text key, text name               -> status, u32 type, bytes data
    FileCreate = 3,      // text path, u32 access, u32 share, u32 disposition, u32 attributes
                         //                                   -> status, u32 handle
    FileRead = 4,        // u32 handle, u32 count             -> status, bytes data
    FileWrite = 5,       // u32 handle, bytes data            -> status, u32 written
    FileSize = 6,        // u32 handle                        -> status, u32 low, u32 high
    FileClose = 7,       // u32 handle                        -> status
    Invoke = 8,          // text library, text export, bytes input -> status (HRESULT), bytes answer
};

// Open device files per connection.
inline constexpr size_t kMaxOpenFiles = 16;

}   // namespace rapi
