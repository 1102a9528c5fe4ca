#include "connection/SecureChannel.h"

#include <cstring>
#include <sodium.h>

#include "connection/RapiCodec.h"

using rapi::kKeySize;
using rapi::kNonceSize;
using rapi::kProofSize;

namespace {

struct Nonces {
    uint8_t client[kNonceSize];
    uint8_t server[kNonceSize];
};

// Wipes secrets on every way out of the handshake.
template <size_t N>
struct SecretBytes {
    uint8_t bytes[N];
    ~SecretBytes() { sodium_memzero(bytes, N); }
};

RapiStatus AuthError(const char* what) { return RapiStatus::Error(RapiStatus::Code::AuthFailed, what); }

void Proof(const rapi::PairingKey& key, const char* label, const Nonces& nonces, uint8_t out[kProofSize]) {
    crypto_auth_hmacsha256_state state;
    crypto_auth_hmacsha256_init(&state, key.data(), key.size());
    crypto_auth_hmacsha256_update(&state, reinterpret_cast<const uint8_t*>(label), std::strlen(label) + 1);
    crypto_auth_hmacsha256_update(&state, nonces.client, kNonceSize);
    crypto_auth_hmacsha256_update(&state, nonces.server, kNonceSize);
    crypto_auth_hmacsha256_final(&state, out);
    sodium_memzero(&state, sizeof state);
}

void DirectionKey(const rapi::PairingKey& key, const char* label, const Nonces& nonces, uint8_t out[kKeySize]) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, key.data(), key.size(), kKeySize);
    crypto_generichash_update(&state, reinterpret_cast<const uint8_t*>(label), std::strlen(label) + 1);
    crypto_generichash_update(&state, nonces.client, kNonceSize);
    crypto_generichash_update(&state, nonces.server, kNonceSize);
    crypto_generichash_final(&state, out, kKeySize);
    sodium_memzero(&state, sizeof state);
}

std::string Hello(const uint8_t nonce[kNonceSize]) {
    std::string body(rapi::kMagic.begin(), rapi::kMagic.end());
    body.append(reinterpret_cast<const char*>(nonce), kNonceSize);
    return body;
}

RapiStatus ReadHello(Transport& transport, int timeoutMs, uint8_t nonce[kNonceSize]) {
    std::string body;
    RapiStatus status = rapi::ReadFrame(transport, rapi::kHelloSize, body, timeoutMs);
    if (!status.ok())
        return status;
    if (body.size() != rapi::kHelloSize ||
        std::memcmp(body.data(), rapi::kMagic.data(), rapi::kMagic.size()) != 0)
        return RapiStatus::Error(RapiStatus::Code::Malformed, "not a Quillmar connection greeting");
    std::memcpy(nonce, body.data() + rapi::kMagic.size(), kNonceSize);
    return RapiStatus::Ok();
}

RapiStatus SendProof(Transport& transport, const rapi::PairingKey& key, const char* label, const Nonces& nonces) {
    SecretBytes<kProofSize> proof;
    Proof(key, label, nonces, proof.bytes);
    return rapi::WriteFrame(transport, std::string_view(reinterpret_cast<const char*>(proof.bytes), kProofSize),
                            kProofSize);
}

RapiStatus CheckProof(Transport& transport, const rapi::PairingKey& key, const char* label, const Nonces& nonces,
                      int timeoutMs) {
    std::string body;
    RapiStatus status = rapi::ReadFrame(transport, kProofSize, body, timeoutMs);
    if (!status.ok())
        return status;
    if (body.size() != kProofSize)
        return RapiStatus::Error(RapiStatus::Code::Malformed, "proof of the wrong size");
    SecretBytes<kProofSize> expected;
    Proof(key, label, nonces, expected.bytes);
    if (sodium_memcmp(expected.bytes, body.data(), kProofSize) != 0)
        return AuthError("the peer does not hold the pairing key");
    return RapiStatus::Ok();
}

RapiStatus ClientHandshake(Transport& transport, const rapi::PairingKey& key, int timeoutMs, Nonces& nonces) {
    randombytes_buf(nonces.client, kNonceSize);
    RapiStatus status = rapi::WriteFrame(transport, Hello(nonces.client), rapi::kHelloSize);
    if (status.ok())
        status = ReadHello(transport, timeoutMs, nonces.server);
    if (status.ok() && sodium_memcmp(nonces.client, nonces.server, kNonceSize) == 0)
        status = AuthError("the peer echoed our nonce");
    if (status.ok())
        status = SendProof(transport, key, rapi::kClientProofLabel, nonces);
    if (status.ok()) {
        status = CheckProof(transport, key, rapi::kServerProofLabel, nonces, timeoutMs);
        // The server hangs up, without a word, on a client whose proof is wrong.
        if (status.code() == RapiStatus::Code::Closed)
            status = AuthError("the device refused the pairing key; pair again");
    }
    return status;
}

RapiStatus ServerHandshake(Transport& transport, const rapi::PairingKey& key, int timeoutMs, Nonces& nonces) {
    RapiStatus status = ReadHello(transport, timeoutMs, nonces.client);
    if (!status.ok())
        return status;
    randombytes_buf(nonces.server, kNonceSize);
    status = rapi::WriteFrame(transport, Hello(nonces.server), rapi::kHelloSize);
    // The client proves itself first, so a peer without the key never sees a proof of ours.
    if (status.ok())
        status = CheckProof(transport, key, rapi::kClientProofLabel, nonces, timeoutMs);
    if (status.ok())
        status = SendProof(transport, key, rapi::kServerProofLabel, nonces);
    return status;
}

void CounterNonce(uint64_t counter, uint8_t nonce[rapi::kAeadNonceSize]) {
    std::memset(nonce, 0, rapi::kAeadNonceSize);
    for (int i = 0; i < 8; ++i)
        nonce[i] = static_cast<uint8_t>(counter >> (8 * i));
}

}  // namespace

RapiStatus SecureChannel::Open(Transport& transport, Role role, const rapi::PairingKey& key, int timeoutMs,
                               std::unique_ptr<SecureChannel>& out) {
    if (sodium_init() < 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, "libsodium cannot start");
    Nonces nonces;
    RapiStatus status = role == Role::Client ? ClientHandshake(transport, key, timeoutMs, nonces)
                                             : ServerHandshake(transport, key, timeoutMs, nonces);
    if (!status.ok())
        return status;
    SecretBytes<kKeySize> toServer;
    SecretBytes<kKeySize> toClient;
    DirectionKey(key, rapi::kClientToServerLabel, nonces, toServer.bytes);
    DirectionKey(key, rapi::kServerToClientLabel, nonces, toClient.bytes);
    if (role == Role::Client)
        out.reset(new SecureChannel(transport, toServer.bytes, toClient.bytes));
    else
        out.reset(new SecureChannel(transport, toClient.bytes, toServer.bytes));
    return RapiStatus::Ok();
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
