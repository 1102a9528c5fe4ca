#include "connection/ServerHandshake.h"

#include <sodium.h>

#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"

using namespace rapi;

size_t ServerHandshake::Wanted() const {
    if (m_phase == Phase::Done || m_phase == Phase::Failed)
        return 0;
    if (m_frame.size() < kFrameHeaderSize)
        return kFrameHeaderSize - m_frame.size();
    return kFrameHeaderSize + ExpectedBody() - m_frame.size();
}

ServerHandshake::Step ServerHandshake::Fail(RapiStatus::Code code, const std::string& why) {
    m_phase = Phase::Failed;
    m_failure = RapiStatus::Error(code, why);
    return Step::Failed;
}

ServerHandshake::Step ServerHandshake::Take(std::string_view bytes, std::string& reply) {
    if (m_phase == Phase::Failed)
        return Step::Failed;
    if (m_phase == Phase::Done || bytes.size() > Wanted())
        return Fail(RapiStatus::Code::Malformed, "bytes beyond the handshake");
    const bool hadHeader = m_frame.size() >= kFrameHeaderSize;
    m_frame.append(bytes);
    if (!hadHeader && m_frame.size() >= kFrameHeaderSize) {
        std::string_view header(m_frame);
        uint32_t size = 0;
        GetU32(header, size);
        if (size > ExpectedBody())
            return Fail(RapiStatus::Code::TooLarge, "handshake frame of " + std::to_string(size) + " bytes");
        if (size < ExpectedBody())
            return Fail(RapiStatus::Code::Malformed, "handshake frame of " + std::to_string(size) + " bytes");
    }
    if (Wanted() > 0)
        return Step::Continue;
    const std::string body = m_frame.substr(kFrameHeaderSize);
    m_frame.clear();
    return Complete(body, reply);
}

ServerHandshake::Step ServerHandshake::Complete(std::string_view body, std::string& reply) {
    if (m_phase == Phase::Hello) {
        if (!ParseHello(body, m_nonces.client))
            return Fail(RapiStatus::Code::Malformed, "not a Quillmar connection greeting");
        randombytes_buf(m_nonces.server, kNonceSize);
        PutU32(reply, static_cast<uint32_t>(kHelloSize));
        reply += HelloBody(m_nonces.server);
        m_phase = Phase::Proof;
        return Step::Continue;
    }
    // The client proves itself first, so a peer without the key never sees a proof of ours.
    uint8_t expected[kProofSize];
    HandshakeProof(m_key, kClientProofLabel, m_nonces, expected);
    const bool good = sodium_memcmp(expected, body.data(), kProofSize) == 0;
    sodium_memzero(expected, sizeof expected);
    if (!good)
        return Fail(RapiStatus::Code::AuthFailed, "the peer does not hold the pairing key");
    uint8_t proof[kProofSize];
    HandshakeProof(m_key, kServerProofLabel, m_nonces, proof);
    PutU32(reply, static_cast<uint32_t>(kProofSize));
    reply.append(reinterpret_cast<const char*>(proof), kProofSize);
    sodium_memzero(proof, sizeof proof);
    m_phase = Phase::Done;
    return Step::Authenticated;
}

std::unique_ptr<SecureChannel> ServerHandshake::OpenChannel(Transport& transport) const {
    if (m_phase != Phase::Done)
        return nullptr;
    return SecureChannel::Established(transport, SecureChannel::Role::Server, m_key, m_nonces);
}
