#include "connection/SecureChannel.h"

#include <sodium.h>
#include <chrono>
#include <cstring>

#include "connection/RapiCodec.h"
#include "connection/ServerHandshake.h"

using rapi::kKeySize;
using rapi::kNonceSize;
using rapi::kProofSize;

namespace {

using Clock = std::chrono::steady_clock;

// Wipes secrets on every way out of the handshake.
template <size_t N>
struct SecretBytes {
    uint8_t bytes[N];
    ~SecretBytes() { sodium_memzero(bytes, N); }
};

RapiStatus AuthError(const char* what) { return RapiStatus::Error(RapiStatus::Code::AuthFailed, what); }

// What is left of the handshake's one limit; at least 1 ms, so a read past it still fails as timed out.
int Left(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 1;
}

RapiStatus ReadHello(Transport& transport, Clock::time_point deadline, uint8_t nonce[kNonceSize]) {
    std::string body;
    RapiStatus status = rapi::ReadFrame(transport, rapi::kHelloSize, body, Left(deadline));
    if (!status.ok())
        return status;
    if (!rapi::ParseHello(body, nonce))
        return RapiStatus::Error(RapiStatus::Code::Malformed, "not a Quillmar connection greeting");
    return RapiStatus::Ok();
}

RapiStatus SendProof(Transport& transport, const rapi::PairingKey& key, const rapi::HandshakeNonces& nonces) {
    SecretBytes<kProofSize> proof;
    rapi::HandshakeProof(key, rapi::kClientProofLabel, nonces, proof.bytes);
    return rapi::WriteFrame(transport, std::string_view(reinterpret_cast<const char*>(proof.bytes), kProofSize),
                            kProofSize);
}

RapiStatus CheckServerProof(Transport& transport, const rapi::PairingKey& key, const rapi::HandshakeNonces& nonces,
                            Clock::time_point deadline) {
    std::string body;
    RapiStatus status = rapi::ReadFrame(transport, kProofSize, body, Left(deadline));
    if (!status.ok())
        return status;
    if (body.size() != kProofSize)
        return RapiStatus::Error(RapiStatus::Code::Malformed, "proof of the wrong size");
    SecretBytes<kProofSize> expected;
    rapi::HandshakeProof(key, rapi::kServerProofLabel, nonces, expected.bytes);
    if (sodium_memcmp(expected.bytes, body.data(), kProofSize) != 0)
        return AuthError("the peer does not hold the pairing key");
    return RapiStatus::Ok();
}

RapiStatus ClientHandshake(Transport& transport, const rapi::PairingKey& key, Clock::time_point deadline,
                           rapi::HandshakeNonces& nonces) {
    randombytes_buf(nonces.client, kNonceSize);
    RapiStatus status = rapi::WriteFrame(transport, rapi::HelloBody(nonces.client), rapi::kHelloSize);
    if (status.ok())
        status = ReadHello(transport, deadline, nonces.server);
    if (status.ok() && sodium_memcmp(nonces.client, nonces.server, kNonceSize) == 0)
        status = AuthError("the peer echoed our nonce");
    if (status.ok())
        status = SendProof(transport, key, nonces);
    if (status.ok()) {
        status = CheckServerProof(transport, key, nonces, deadline);
        // The server hangs up, without a word, on a client whose proof is wrong, and on one
        // it has no place for.
        if (status.code() == RapiStatus::Code::Closed)
            status = AuthError(
                "the device refused the connection: the pairing key is wrong (pair again), or it "
                "serves as many desktops as it may");
    }
    return status;
}

// The blocking form of the service's step machine: reads what it wants until done or failed.
RapiStatus ServerSide(Transport& transport, const rapi::PairingKey& key, Clock::time_point deadline,
                      std::unique_ptr<SecureChannel>& out) {
    ServerHandshake handshake(key);
    for (;;) {
        std::string bytes(handshake.Wanted(), '\0');
        RapiStatus status = transport.ReceiveExact(bytes.data(), bytes.size(), Left(deadline));
        if (!status.ok())
            return status;
        std::string reply;
        const ServerHandshake::Step step = handshake.Take(bytes, reply);
        if (step == ServerHandshake::Step::Failed)
            return handshake.Failure();
        if (!reply.empty()) {
            status = transport.SendAll(reply.data(), reply.size());
            if (!status.ok())
                return status;
        }
        if (step == ServerHandshake::Step::Authenticated) {
            out = handshake.OpenChannel(transport);
            return RapiStatus::Ok();
        }
    }
}

void CounterNonce(uint64_t counter, uint8_t nonce[rapi::kAeadNonceSize]) {
    std::memset(nonce, 0, rapi::kAeadNonceSize);
    for (int i = 0; i < 8; ++i)
        nonce[i] = static_cast<uint8_t>(counter >> (8 * i));
}

}   // namespace

RapiStatus SecureChannel::Open(Transport& transport, Role role, const rapi::PairingKey& key, int timeoutMs,
                               std::unique_ptr<SecureChannel>& out) {
    if (sodium_init() < 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, "libsodium cannot start");
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (role == Role::Server)
        return ServerSide(transport, key, deadline, out);
    rapi::HandshakeNonces nonces;
    RapiStatus status = ClientHandshake(transport, key, deadline, nonces);
    if (!status.ok())
        return status;
    out = Established(transport, role, key, nonces);
    return RapiStatus::Ok();
}

std::unique_ptr<SecureChannel> SecureChannel::Established(Transport& transport, Role role, const rapi::PairingKey& key,
                                                          const rapi::HandshakeNonces& nonces) {
    SecretBytes<kKeySize> toServer;
    SecretBytes<kKeySize> toClient;
    rapi::DirectionKey(key, rapi::kClientToServerLabel, nonces, toServer.bytes);
    rapi::DirectionKey(key, rapi::kServerToClientLabel, nonces, toClient.bytes);
    if (role == Role::Client)
        return std::unique_ptr<SecureChannel>(new SecureChannel(transport, toServer.bytes, toClient.bytes));
    return std::unique_ptr<SecureChannel>(new SecureChannel(transport, toClient.bytes, toServer.bytes));
}

SecureChannel::SecureChannel(Transport& transport, const uint8_t* sendKey, const uint8_t* receiveKey)
    : m_transport(transport) {
    std::memcpy(m_sendKey, sendKey, kKeySize);
    std::memcpy(m_receiveKey, receiveKey, kKeySize);
}
SecureChannel::~SecureChannel() {
    sodium_memzero(m_sendKey, sizeof m_sendKey);
    sodium_memzero(m_receiveKey, sizeof m_receiveKey);
}

RapiStatus SecureChannel::Send(std::string_view message) {
    if (m_broken)
        return RapiStatus::Error(RapiStatus::Code::Closed, "channel broken");
    if (message.size() > rapi::kMaxMessageSize)
        return RapiStatus::Error(RapiStatus::Code::TooLarge, "message above the limit");
    uint8_t nonce[rapi::kAeadNonceSize];
    CounterNonce(m_sendCounter++, nonce);
    std::string sealed(message.size() + rapi::kAeadTagSize, '\0');
    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<uint8_t*>(sealed.data()), &sealedSize,
                                               reinterpret_cast<const uint8_t*>(message.data()), message.size(),
                                               nullptr, 0, nullptr, nonce, m_sendKey);
    RapiStatus status = rapi::WriteFrame(m_transport, sealed, rapi::kMaxFrameBody);
    if (!status.ok())
        m_broken = true;
    return status;
}

RapiStatus SecureChannel::Receive(std::string& message, int timeoutMs) {
    if (m_broken)
        return RapiStatus::Error(RapiStatus::Code::Closed, "channel broken");
    std::string sealed;
    RapiStatus status = rapi::ReadFrame(m_transport, rapi::kMaxFrameBody, sealed, timeoutMs);
    if (status.ok() && sealed.size() < rapi::kAeadTagSize)
        status = RapiStatus::Error(RapiStatus::Code::Malformed, "frame shorter than its tag");
    if (!status.ok()) {
        m_broken = true;
        return status;
    }
    uint8_t nonce[rapi::kAeadNonceSize];
    CounterNonce(m_receiveCounter, nonce);
    std::string plain(sealed.size() - rapi::kAeadTagSize, '\0');
    unsigned long long plainSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<uint8_t*>(plain.data()), &plainSize, nullptr,
                                                   reinterpret_cast<const uint8_t*>(sealed.data()), sealed.size(),
                                                   nullptr, 0, nonce, m_receiveKey) != 0) {
        m_broken = true;
        return AuthError("frame failed authentication (changed, replayed or out of order)");
    }
    ++m_receiveCounter;
    plain.resize(plainSize);
    message = std::move(plain);
    return RapiStatus::Ok();
}
