#pragma once
// The pieces of the handshake both sides compute (PROTOCOL.md, "Handshake"): greetings, proofs
// and the keys of the two directions, all derived from the pairing key and both nonces.
#include <cstdint>
#include <string>
#include <string_view>

#include "connection/RapiProtocol.h"

namespace rapi {

struct HandshakeNonces {
    uint8_t client[kNonceSize] = {};
    uint8_t server[kNonceSize] = {};
};

// "QMRAPI01" followed by the nonce.
std::string HelloBody(const uint8_t nonce[kNonceSize]);
// The nonce of a greeting body; false when it is not one.
bool ParseHello(std::string_view body, uint8_t nonce[kNonceSize]);
// HMAC-SHA-256(key, label "\0" Nc Ns).
void HandshakeProof(const PairingKey& key, const char* label, const HandshakeNonces& nonces,
                    uint8_t out[kProofSize]);
// BLAKE2b-256 keyed with the pairing key over label "\0" Nc Ns.
void DirectionKey(const PairingKey& key, const char* label, const HandshakeNonces& nonces, uint8_t out[kKeySize]);

}  // namespace rapi
