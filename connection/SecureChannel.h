#pragma once
// An authenticated, encrypted message channel over a Transport (PROTOCOL.md, "Handshake" and
// "Encrypted frames"). Both sides prove knowledge of the pairing key on fresh nonces from both;
// afterwards every message travels in one frame sealed with a key of its direction and a
// counter, so a changed, cut, replayed or reordered frame fails to open.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "connection/ConnectionExport.h"
#include "connection/HandshakeCrypto.h"
#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"
#include "connection/Transport.h"

class QUILLMAR_CONNECTION_EXPORT SecureChannel {
public:
    enum class Role { Client, Server };

    // Runs the handshake on `transport` (which must outlive the channel); timeoutMs bounds the
    // whole of it. On failure nothing secret was sent; the server side sends nothing after a
    // wrong proof.
    static RapiStatus Open(Transport& transport, Role role, const rapi::PairingKey& key, int timeoutMs,
                           std::unique_ptr<SecureChannel>& out);
    // The channel of a handshake completed elsewhere (the service's ServerHandshake).
    static std::unique_ptr<SecureChannel> Established(Transport& transport, Role role, const rapi::PairingKey& key,
                                                      const rapi::HandshakeNonces& nonces);
    ~SecureChannel();
    SecureChannel(const SecureChannel&) = delete;
    SecureChannel& operator=(const SecureChannel&) = delete;

    // A message of at most kMaxMessageSize bytes.
    RapiStatus Send(std::string_view message);
    RapiStatus Receive(std::string& message, int timeoutMs);

private:
    SecureChannel(Transport& transport, const uint8_t* sendKey, const uint8_t* receiveKey);
    Transport& m_transport;
    uint8_t m_sendKey[rapi::kKeySize];
    uint8_t m_receiveKey[rapi::kKeySize];
    uint64_t m_sendCounter = 0;
    uint64_t m_receiveCounter = 0;
    bool m_broken = false;   // after a failed frame the stream position is lost for good
};
