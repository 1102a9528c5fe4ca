#include "connection/HandshakeCrypto.h"

#include <sodium.h>
#include <cstring>

namespace rapi {

std::string HelloBody(const uint8_t nonce[kNonceSize]) {
    std::string body(kMagic.begin(), kMagic.end());
    body.append(reinterpret_cast<const char*>(nonce), kNonceSize);
    return body;
}

bool ParseHello(std::string_view body, uint8_t nonce[kNonceSize]) {
    if (body.size() != kHelloSize || std::memcmp(body.data(), kMagic.data(), kMagic.size()) != 0)
        return false;
    std::memcpy(nonce, body.data() + kMagic.size(), kNonceSize);
    return true;
}

void HandshakeProof(const PairingKey& key, const char* label, const HandshakeNonces& nonces, uint8_t out[kProofSize]) {
    crypto_auth_hmacsha256_state state;
    crypto_auth_hmacsha256_init(&state, key.data(), key.size());
    crypto_auth_hmacsha256_update(&state, reinterpret_cast<const uint8_t*>(label), std::strlen(label) + 1);
    crypto_auth_hmacsha256_update(&state, nonces.client, kNonceSize);
    crypto_auth_hmacsha256_update(&state, nonces.server, kNonceSize);
    crypto_auth_hmacsha256_final(&state, out);
    sodium_memzero(&state, sizeof state);
}

void DirectionKey(const PairingKey& key, const char* label, const HandshakeNonces& nonces, uint8_t out[kKeySize]) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, key.data(), key.size(), kKeySize);
    crypto_generichash_update(&state, reinterpret_cast<const uint8_t*>(label), std::strlen(label) + 1);
    crypto_generichash_update(&state, nonces.client, kNonceSize);
    crypto_generichash_update(&state, nonces.server, kNonceSize);
    crypto_generichash_final(&state, out, kKeySize);
    sodium_memzero(&state, sizeof state);
}

}   // namespace rapi
