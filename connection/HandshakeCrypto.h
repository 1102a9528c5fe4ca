#pragma once
// The pieces of the handshake both sides compute (PROTOCOL.md, "Handshake"): greetings, proofs
// and the keys of the two directions, all derived from the pairing key and both nonces.
#include <cstdint>
#include <string>
#include <string_view>

#include "connection/ConnectionExport.h"
#include "connection/RapiProtocol.h"

namespace rapi {

struct HandshakeNonces {
    uint8_t client[kNonceSize] = {};
    uint8_t server[kNonceSize] = {};
};

// "QMRAPI01" followed by the nonce.
QUILLMAR_CONNECTION_EXPORT std::string HelloBody(const uint8_t nonce[kNonceSize]);
// The nonce of a greeting body; false when it is not one.
QUILLMAR_CONNECTION_EXPORT bool ParseHello(std::string_view body, uint8_t nonce[kNonceSize]);
// HMAC-SHA-256(key, label "\0" Nc Ns).
QUILLMAR_CONNECTION_EXPORT void HandshakeProof(const PairingKey& key, const char* label, const HandshakeNonces& nonces,
                                               uint8_t out[kProofSize]);
// BLAKE2b-256 keyed with the pairing key over label "\0" Nc Ns.
QUILLMAR_CONNECTION_EXPORT void DirectionKey(const PairingKey& key, const char* label, const HandshakeNonces& nonces,
                                             uint8_t out[kKeySize]);

}   // namespace rapi
