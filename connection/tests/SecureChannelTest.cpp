// The handshake and the sealed frames over an in-memory transport: wrong keys, replayed
// handshakes, and frames that are changed, cut, replayed, reordered or oversized.
#include <gtest/gtest.h>

#include <sodium.h>
#include <thread>

#include "connection/MemoryTransport.h"
#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"

using namespace rapi;

namespace {

PairingKey RandomKey() {
    EXPECT_GE(sodium_init(), 0);
    PairingKey key;
    randombytes_buf(key.data(), key.size());
    return key;
}

struct Handshake {
    RapiStatus client;
    RapiStatus server;
    std::unique_ptr<SecureChannel> clientChannel;
    std::unique_ptr<SecureChannel> serverChannel;
};

Handshake RunHandshake(Transport& clientEnd, Transport& serverEnd, const PairingKey& clientKey,
                       const PairingKey& serverKey, int timeoutMs = 2000) {
    Handshake result;
    std::thread server([&] {
        result.server =
            SecureChannel::Open(serverEnd, SecureChannel::Role::Server, serverKey, timeoutMs, result.serverChannel);
    });
    result.client =
        SecureChannel::Open(clientEnd, SecureChannel::Role::Client, clientKey, timeoutMs, result.clientChannel);
    server.join();
    return result;
}

class SealedFrames : public ::testing::Test {
protected:
    void SetUp() override {
        client.reset();
        server.reset();
        auto pair = MemoryTransport::CreatePair();
        clientEnd = std::move(pair.first);
        serverEnd = std::move(pair.second);
        PairingKey key = RandomKey();
        Handshake done = RunHandshake(*clientEnd, *serverEnd, key, key);
        ASSERT_TRUE(done.client.ok()) << done.client.message();
        ASSERT_TRUE(done.server.ok()) << done.server.message();
        client = std::move(done.clientChannel);
        server = std::move(done.serverChannel);
    }

    std::unique_ptr<MemoryTransport> clientEnd;
    std::unique_ptr<MemoryTransport> serverEnd;
    std::unique_ptr<SecureChannel> client;
    std::unique_ptr<SecureChannel> server;
};

}   // namespace

TEST(Handshake, SameKeyConnectsBothSides) {
    auto [a, b] = MemoryTransport::CreatePair();
    PairingKey key = RandomKey();
    Handshake done = RunHandshake(*a, *b, key, key);
    EXPECT_TRUE(done.client.ok()) << done.client.message();
    EXPECT_TRUE(done.server.ok()) << done.server.message();
}

TEST(Handshake, WrongKeyIsRefusedAndTheServerSendsNoProof) {
    auto [a, b] = MemoryTransport::CreatePair();
    Handshake done = RunHandshake(*a, *b, RandomKey(), RandomKey(), 500);
    EXPECT_EQ(done.server.code(), RapiStatus::Code::AuthFailed);
    EXPECT_FALSE(done.client.ok());
    EXPECT_EQ(done.serverChannel, nullptr);
    EXPECT_EQ(done.clientChannel, nullptr);
    // Only the greeting with the server's nonce went out.
    EXPECT_EQ(b->Sent().size(), kFrameHeaderSize + kHelloSize);
}

TEST(Handshake, FreshNoncesEachTime) {
    PairingKey key = RandomKey();
    auto [a1, b1] = MemoryTransport::CreatePair();
    auto [a2, b2] = MemoryTransport::CreatePair();
    ASSERT_TRUE(RunHandshake(*a1, *b1, key, key).client.ok());
    ASSERT_TRUE(RunHandshake(*a2, *b2, key, key).client.ok());
    EXPECT_NE(a1->Sent(), a2->Sent());
    EXPECT_NE(b1->Sent(), b2->Sent());
}

TEST(Handshake, ReplayedClientHandshakeIsRefused) {
    PairingKey key = RandomKey();
    auto [a, b] = MemoryTransport::CreatePair();
    ASSERT_TRUE(RunHandshake(*a, *b, key, key).server.ok());
    // An eavesdropper plays the recorded client bytes to a new server.
    auto replay = MemoryTransport::FromBytes(a->Sent());
    std::unique_ptr<SecureChannel> channel;
    RapiStatus status = SecureChannel::Open(*replay, SecureChannel::Role::Server, key, 500, channel);
    EXPECT_EQ(status.code(), RapiStatus::Code::AuthFailed);
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(replay->Sent().size(), kFrameHeaderSize + kHelloSize);
}

TEST(Handshake, GarbageGreetingIsMalformed) {
    std::string garbage;
    PutU32(garbage, kHelloSize);
    garbage += std::string(kHelloSize, 'G');
    auto transport = MemoryTransport::FromBytes(garbage);
    std::unique_ptr<SecureChannel> channel;
    EXPECT_EQ(SecureChannel::Open(*transport, SecureChannel::Role::Server, RandomKey(), 500, channel).code(),
              RapiStatus::Code::Malformed);
    EXPECT_TRUE(transport->Sent().empty());
}

TEST(Handshake, OversizedGreetingIsRefused) {
    std::string big;
    PutU32(big, 1u << 30);
    auto transport = MemoryTransport::FromBytes(big);
    std::unique_ptr<SecureChannel> channel;
    EXPECT_EQ(SecureChannel::Open(*transport, SecureChannel::Role::Server, RandomKey(), 500, channel).code(),
              RapiStatus::Code::TooLarge);
}

TEST(Handshake, TruncatedGreetingIsRefused) {
    std::string greeting;
    PutU32(greeting, kHelloSize);
    greeting += "QMRAPI01short";
    auto transport = MemoryTransport::FromBytes(greeting);
    std::unique_ptr<SecureChannel> channel;
    EXPECT_EQ(SecureChannel::Open(*transport, SecureChannel::Role::Server, RandomKey(), 500, channel).code(),
              RapiStatus::Code::Closed);
}

TEST(Handshake, SilentClientTimesOut) {
    auto [a, b] = MemoryTransport::CreatePair();
    std::unique_ptr<SecureChannel> channel;
    EXPECT_EQ(SecureChannel::Open(*b, SecureChannel::Role::Server, RandomKey(), 50, channel).code(),
              RapiStatus::Code::TimedOut);
}

TEST(Handshake, ServerEchoingTheClientNonceIsRefused) {
    PairingKey key = RandomKey();
    auto [a, b] = MemoryTransport::CreatePair();
    std::thread echo([&] {
        std::string hello;
        if (ReadFrame(*b, kHelloSize, hello, 1000).ok())
            WriteFrame(*b, hello, kHelloSize);
    });
    std::unique_ptr<SecureChannel> channel;
    RapiStatus status = SecureChannel::Open(*a, SecureChannel::Role::Client, key, 500, channel);
    echo.join();
    EXPECT_EQ(status.code(), RapiStatus::Code::AuthFailed);
}

TEST_F(SealedFrames, MessagesTravelBothWays) {
    ASSERT_TRUE(client->Send("request one").ok());
    ASSERT_TRUE(client->Send("").ok());
    std::string message;
    ASSERT_TRUE(server->Receive(message, 100).ok());
    EXPECT_EQ(message, "request one");
    ASSERT_TRUE(server->Receive(message, 100).ok());
    EXPECT_EQ(message, "");
    ASSERT_TRUE(server->Send("answer").ok());
    ASSERT_TRUE(client->Receive(message, 100).ok());
    EXPECT_EQ(message, "answer");
}

TEST_F(SealedFrames, PlainTextDoesNotAppearOnTheWire) {
    ASSERT_TRUE(client->Send("secret-device-path").ok());
    EXPECT_EQ(serverEnd->TakeIncoming().find("secret-device-path"), std::string::npos);
}

TEST_F(SealedFrames, EveryChangedByteIsRefused) {
    const size_t frameSize = kFrameHeaderSize + 3 + kAeadTagSize;
    for (size_t i = kFrameHeaderSize; i < frameSize; ++i) {
        // A fresh session for each try: a refused frame breaks the channel for good.
        SetUp();
        ASSERT_TRUE(client->Send("abc").ok());
        std::string frame = serverEnd->TakeIncoming();
        ASSERT_EQ(frame.size(), frameSize);
        frame[i] = static_cast<char>(frame[i] ^ 0x01);
        serverEnd->InjectIncoming(frame);
        std::string message;
        EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::AuthFailed) << "byte " << i;
        EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::Closed);
    }
}

TEST_F(SealedFrames, ReplayedFrameIsRefused) {
    ASSERT_TRUE(client->Send("pay").ok());
    const std::string frame = serverEnd->TakeIncoming();
    serverEnd->InjectIncoming(frame + frame);
    std::string message;
    ASSERT_TRUE(server->Receive(message, 100).ok());
    EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::AuthFailed);
}

TEST_F(SealedFrames, ReorderedFramesAreRefused) {
    ASSERT_TRUE(client->Send("first").ok());
    const std::string first = serverEnd->TakeIncoming();
    ASSERT_TRUE(client->Send("second").ok());
    const std::string second = serverEnd->TakeIncoming();
    serverEnd->InjectIncoming(second + first);
    std::string message;
    EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::AuthFailed);
}

TEST_F(SealedFrames, FrameFromTheOtherDirectionIsRefused) {
    ASSERT_TRUE(client->Send("mirror").ok());
    // Reflected back to the client, it must not open with the client's receiving key.
    clientEnd->InjectIncoming(serverEnd->TakeIncoming());
    std::string message;
    EXPECT_EQ(client->Receive(message, 100).code(), RapiStatus::Code::AuthFailed);
}

TEST_F(SealedFrames, TruncatedFrameIsNotAccepted) {
    ASSERT_TRUE(client->Send("whole message").ok());
    const std::string frame = serverEnd->TakeIncoming();
    serverEnd->InjectIncoming(frame.substr(0, frame.size() - 3));
    std::string message;
    EXPECT_EQ(server->Receive(message, 50).code(), RapiStatus::Code::TimedOut);
    serverEnd->CloseIncoming();
    EXPECT_FALSE(server->Receive(message, 50).ok());
}

TEST_F(SealedFrames, FrameShorterThanItsTagIsMalformed) {
    std::string tiny;
    PutU32(tiny, 5);
    tiny += "12345";
    serverEnd->InjectIncoming(tiny);
    std::string message;
    EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::Malformed);
}

TEST_F(SealedFrames, OversizedFramesAreRefusedOnBothEnds) {
    EXPECT_EQ(client->Send(std::string(kMaxMessageSize + 1, 'x')).code(), RapiStatus::Code::TooLarge);
    std::string header;
    PutU32(header, static_cast<uint32_t>(kMaxFrameBody + 1));
    serverEnd->InjectIncoming(header);
    std::string message;
    EXPECT_EQ(server->Receive(message, 100).code(), RapiStatus::Code::TooLarge);
}

TEST_F(SealedFrames, LargestMessagePasses) {
    const std::string big(kMaxMessageSize, 'q');
    ASSERT_TRUE(client->Send(big).ok());
    std::string message;
    ASSERT_TRUE(server->Receive(message, 1000).ok());
    EXPECT_EQ(message, big);
}
