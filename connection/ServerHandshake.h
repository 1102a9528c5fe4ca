#pragma once
// The server's side of the handshake (PROTOCOL.md, "Handshake") as a step machine fed with the
// bytes a peer sent, so one thread can carry many peers through it without blocking on any.
// The caller reads at most Wanted() bytes at a time: a frame's length is checked before its
// body is read, and no byte after the client's proof is taken.
#include <memory>
#include <string>
#include <string_view>

#include "connection/ConnectionExport.h"
#include "connection/HandshakeCrypto.h"
#include "connection/RapiStatus.h"

class SecureChannel;
class Transport;

class QUILLMAR_CONNECTION_EXPORT ServerHandshake {
public:
    enum class Step { Continue, Failed, Authenticated };

    // `key` must outlive the handshake.
    explicit ServerHandshake(const rapi::PairingKey& key) : m_key(key) {}

    size_t Wanted() const;
    // Takes bytes from the peer (at most Wanted()); appends what to send back to `reply`.
    // After a wrong proof nothing is appended: a peer without the key learns only our nonce.
    Step Take(std::string_view bytes, std::string& reply);
    // Why it failed: Malformed, TooLarge or AuthFailed.
    const RapiStatus& Failure() const { return m_failure; }
    // True once the peer's greeting was whole and valid.
    bool Greeted() const { return m_phase != Phase::Hello; }

    // After Authenticated: the sealed channel over `transport`, which must outlive it.
    std::unique_ptr<SecureChannel> OpenChannel(Transport& transport) const;

private:
    enum class Phase { Hello, Proof, Done, Failed };

    size_t ExpectedBody() const { return m_phase == Phase::Hello ? rapi::kHelloSize : rapi::kProofSize; }
    Step Fail(RapiStatus::Code code, const std::string& why);
    Step Complete(std::string_view body, std::string& reply);

    const rapi::PairingKey& m_key;
    Phase m_phase = Phase::Hello;
    std::string m_frame;   // the current frame so far, header included
    rapi::HandshakeNonces m_nonces;
    RapiStatus m_failure;
};
