// Hostile and broken peers against a real quillmar-connectd: each is refused, learns nothing,
// and the service goes on serving a good desktop.
#include <filesystem>
#include <sodium.h>
#include <thread>
#include <unistd.h>

#include "connection/Pairing.h"
#include "connection/Rapi.h"
#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"
#include "connection/SocketTransport.h"
#include "connection/tests/ServiceFixture.h"

using namespace rapi;

namespace {

std::u16string Utf16(const std::string& text) { return CString(text).str(); }

// Keeps a copy of everything sent, to replay it later.
class RecordingTransport : public Transport {
public:
    explicit RecordingTransport(Transport& inner) : m_inner(inner) {}
    RapiStatus SendAll(const void* data, size_t size) override {
        m_sent.append(static_cast<const char*>(data), size);
        return m_inner.SendAll(data, size);
    }
    RapiStatus ReceiveExact(void* data, size_t size, int timeoutMs) override {
        return m_inner.ReceiveExact(data, size, timeoutMs);
    }
    const std::string& Sent() const { return m_sent; }

private:
    Transport& m_inner;
    std::string m_sent;
};

class Security : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        if (HasFatalFailure())
            return;
        PutFileBytes(Outside() + "/secret.txt", "outside the program folder");
        // Loadable where it lies, so only the service's refusal keeps it from running.
        std::filesystem::copy_file(RAPI_TEST_EXPORTS, Outside() + "/libRapiTestExports.so");
        std::filesystem::copy_file(QUILLMAR_PLATFORM_LIBRARY, Outside() + "/libQuillmarPlatform.so");
    }

    // An authenticated channel of the test's own, to send what the Remote API never would.
    bool OpenChannel(std::unique_ptr<SocketTransport>& transport, std::unique_ptr<SecureChannel>& channel) {
        auto pairing = Pairing::Parse(pairingText);
        return pairing && SocketTransport::Connect("127.0.0.1", port, 2000, transport).ok() &&
               SecureChannel::Open(*transport, SecureChannel::Role::Client, pairing->key, 2000, channel).ok();
    }

    // The service closes a raw connection after `bytes` without sending more than `allowed` bytes.
    void ExpectDroppedAfter(const std::string& bytes, size_t allowed = 0) {
        int fd = RawConnect();
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        std::string received;
        EXPECT_TRUE(ReceiveUntilClosed(fd, 5000, received));
        EXPECT_LE(received.size(), allowed);
        ::close(fd);
    }

    HANDLE Open(const std::u16string& name, DWORD access, DWORD disposition) {
        return CeCreateFile(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
    }
};

}  // namespace

TEST_F(Security, WrongKeyIsRefused) {
    Pairing wrong = *Pairing::Parse(pairingText);
    wrong.key[0] ^= 0x80;
    ASSERT_TRUE(Pairing::Store(wrong).ok());
    EXPECT_FALSE(ConnectDesktop());
    EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(Pairing::StoreText(CString(pairingText)).ok());
    EXPECT_TRUE(GoodDesktopServed());
    EXPECT_NE(ServiceLog().find("refused"), std::string::npos);
}

TEST_F(Security, SilentPeerIsDroppedWhileOthersAreServed) {
    int silent = RawConnect();
    ASSERT_GE(silent, 0);
    EXPECT_TRUE(GoodDesktopServed());
    std::string received;
    EXPECT_TRUE(ReceiveUntilClosed(silent, 5000, received));
    EXPECT_TRUE(received.empty());
    ::close(silent);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, PeerWithoutTheKeyGetsOnlyAChallenge) {
    ASSERT_GE(sodium_init(), 0);
    std::string hello(kMagic.begin(), kMagic.end());
    hello += std::string(kNonceSize, '\x42');
    std::string frame;
    PutU32(frame, static_cast<uint32_t>(hello.size()));
    frame += hello;
    // Then a proof made up without the key.
    PutU32(frame, kProofSize);
    frame += std::string(kProofSize, '\0');
    ExpectDroppedAfter(frame, kFrameHeaderSize + kHelloSize);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, ReplayedHandshakeIsRefused) {
    auto pairing = Pairing::Parse(pairingText);
    ASSERT_TRUE(pairing);
    std::unique_ptr<SocketTransport> transport;
    ASSERT_TRUE(SocketTransport::Connect("127.0.0.1", port, 2000, transport).ok());
    RecordingTransport recorder(*transport);
    std::unique_ptr<SecureChannel> channel;
    ASSERT_TRUE(SecureChannel::Open(recorder, SecureChannel::Role::Client, pairing->key, 2000, channel).ok());
    channel.reset();
    transport.reset();
    ExpectDroppedAfter(recorder.Sent(), kFrameHeaderSize + kHelloSize);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, GarbageIsDropped) {
    ExpectDroppedAfter("GET / HTTP/1.0\r\nHost: device\r\n\r\n");
    std::string random(300, '\0');
    randombytes_buf(random.data(), random.size());
    ExpectDroppedAfter(random, kFrameHeaderSize + kHelloSize);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, OversizedFramesAreDropped) {
    std::string header;
    PutU32(header, 0xFFFFFFFFu);
    ExpectDroppedAfter(header);
    // And after authenticating: a frame claiming more than the limit.
    std::unique_ptr<SocketTransport> transport;
    std::unique_ptr<SecureChannel> channel;
    ASSERT_TRUE(OpenChannel(transport, channel));
    std::string big;
    PutU32(big, static_cast<uint32_t>(kMaxFrameBody + 1));
    ASSERT_TRUE(transport->SendAll(big.data(), big.size()).ok());
    std::string answer;
    EXPECT_EQ(channel->Receive(answer, 5000).code(), RapiStatus::Code::Closed);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, MalformedRequestsEndTheConnection) {
    const std::string requests[] = {
        std::string(),                              // no operation at all
        std::string(1, '\x63'),                     // unknown operation
        std::string("\x03\xff\xff\xff\x7f", 5),     // a path longer than it is
        std::string("\x04\x00\x00\x00\x00\x00\x00\x10\x00", 9),   // read above the chunk limit
        std::string("\x07\x00\x00\x00\x00trailing", 13),          // bytes after the request
    };
    for (const std::string& request : requests) {
        std::unique_ptr<SocketTransport> transport;
        std::unique_ptr<SecureChannel> channel;
        ASSERT_TRUE(OpenChannel(transport, channel));
        ASSERT_TRUE(channel->Send(request).ok());
        std::string answer;
        EXPECT_FALSE(channel->Receive(answer, 5000).ok()) << "request of " << request.size() << " bytes answered";
    }
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, PathTraversalIsRefused) {
    ASSERT_TRUE(ConnectDesktop());
    const std::u16string names[] = {
        u"..\\outside\\secret.txt",
        u"../outside/secret.txt",
        Utf16(AppPathText()) + u"..\\outside\\secret.txt",
        Utf16(Outside() + "/secret.txt"),
        u"/etc/passwd",
        u"sub\\..\\..\\outside\\secret.txt",
        u".",
        u"",
    };
    for (const std::u16string& name : names) {
        EXPECT_EQ(Open(name, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE) << CString(name).ToUtf8();
        EXPECT_NE(CeGetLastError(), ERROR_SUCCESS);
        EXPECT_EQ(Open(name, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE) << CString(name).ToUtf8();
    }
    EXPECT_EQ(FileBytes(Outside() + "/secret.txt"), "outside the program folder");
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, LinksOutOfAppPathAreRefused) {
    std::filesystem::create_symlink(Outside() + "/secret.txt", AppPath() + "/Linked.txt");
    std::filesystem::create_directory_symlink(Outside(), AppPath() + "/LinkedFolder");
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(Open(u"Linked.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(u"linked.TXT", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"LinkedFolder\\secret.txt", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"LinkedFolder\\new.txt", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(std::filesystem::exists(Outside() + "/new.txt"));
    EXPECT_EQ(FileBytes(Outside() + "/secret.txt"), "outside the program folder");
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, FoldersAreNotFiles) {
    std::filesystem::create_directories(AppPath() + "/Folder");
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(Open(u"folder", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"Folder", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(AppPath() + "/Folder"));
}

TEST_F(Security, LinkInsideAppPathIsFollowed) {
    PutFileBytes(AppPath() + "/real.txt", "inside");
    std::filesystem::create_symlink(AppPath() + "/real.txt", AppPath() + "/alias.txt");
    ASSERT_TRUE(ConnectDesktop());
    std::string bytes;
    EXPECT_TRUE(ReadDeviceFile(u"alias.txt", bytes));
    EXPECT_EQ(bytes, "inside");
}

TEST_F(Security, LibrariesOutsideAppPathAreRefused) {
    std::filesystem::create_symlink(Outside() + "/libRapiTestExports.so", AppPath() + "/libLinked.so");
    ASSERT_TRUE(ConnectDesktop());
    const std::string marker = Outside() + "/ran";
    const std::u16string libraries[] = {
        u"..\\outside\\RapiTestExports.dll",
        Utf16(AppPathText()) + u"..\\outside\\RapiTestExports.dll",
        Utf16(Outside() + "/libRapiTestExports.so"),
        Utf16(Outside() + "/RapiTestExports.dll"),
        Utf16(AppPathText()) + u"Linked.dll",
        u"Linked.dll",
    };
    for (const std::u16string& library : libraries) {
        DWORD size = 0;
        BYTE* output = nullptr;
        std::string input = marker;
        HRESULT result = CeRapiInvoke(library.c_str(), u"Touch", static_cast<DWORD>(input.size()),
                                      reinterpret_cast<BYTE*>(input.data()), &size, &output, nullptr, 0);
        EXPECT_TRUE(FAILED(result)) << CString(library).ToUtf8();
        EXPECT_EQ(output, nullptr);
    }
    EXPECT_FALSE(std::filesystem::exists(marker));
    // The same library inside the program folder does run.
    std::filesystem::copy_file(Outside() + "/libRapiTestExports.so", AppPath() + "/libInside.so");
    std::filesystem::copy_file(Outside() + "/libQuillmarPlatform.so", AppPath() + "/libQuillmarPlatform.so");
    std::string input = marker;
    DWORD size = 0;
    EXPECT_EQ(CeRapiInvoke(u"Inside.dll", u"Touch", static_cast<DWORD>(input.size()),
                           reinterpret_cast<BYTE*>(input.data()), &size, nullptr, nullptr, 0),
              S_OK);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_TRUE(GoodDesktopServed());
}
