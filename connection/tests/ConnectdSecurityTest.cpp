// Hostile and broken peers against a real quillmar-connectd: each is refused, learns nothing,
// and the service goes on serving a good desktop.
#include <poll.h>
#include <sodium.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "connection/Pairing.h"
#include "connection/Rapi.h"
#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"
#include "connection/SocketTransport.h"
#include "connection/tests/PeerFlood.h"
#include "connection/tests/ServiceFixture.h"
#include "platform/LocalAlloc.h"

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
        WriteFileBytes(Outside() + "/secret.txt", "outside the program folder");
        // Loadable where it lies, so only the service's refusal keeps it from running.
        std::filesystem::copy_file(RAPI_TEST_EXPORTS, Outside() + "/libSync.so");
        std::filesystem::copy_file(QUILLMAR_PLATFORM_LIBRARY, Outside() + "/libQuillmarPlatform.so");
    }

    HRESULT Invoke(const std::u16string& library, const std::u16string& function, std::string input) {
        DWORD size = 0;
        BYTE* output = nullptr;
        HRESULT result =
            CeRapiInvoke(library.c_str(), function.c_str(), static_cast<DWORD>(input.size()),
                         input.empty() ? nullptr : reinterpret_cast<BYTE*>(input.data()), &size, &output, nullptr, 0);
        if (output)
            LocalFree(output);
        return result;
    }

    // One session as a synchronisation makes it: find AppPath, ask for the partner's identity,
    // send the data file and a change file, fetch the device's change file, run the triggers.
    bool SynchronisationSession(const std::string& data) {
        if (!GoodDesktopServed() || !ConnectDesktop())
            return false;
        std::string back;
        const bool ok = Invoke(u"Sync.dll", u"Greeting", "") == S_OK && WriteDeviceFile(u"Quillmar.dat", data) &&
                        WriteDeviceFile(u"Desktop.xml", data.substr(0, 4096)) && ReadDeviceFile(u"device.xml", back) &&
                        back == "<changes/>" && Invoke(u"Sync.dll", u"Reverse", "abc") == S_OK &&
                        Invoke(u"Sync.dll", u"CallCount", "") == S_OK;
        CeRapiUninit();
        return ok;
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

}   // namespace

TEST_F(Security, WrongKeyIsRefused) {
    Pairing wrong = *Pairing::Parse(pairingText);
    wrong.key[0] ^= 0x80;
    ASSERT_TRUE(Pairing::Store(wrong).ok());
    EXPECT_FALSE(ConnectDesktop());
    EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(Pairing::StoreText(CString(pairingText)).ok());
    EXPECT_TRUE(GoodDesktopServed());
    EXPECT_TRUE(LogShows("127.0.0.1 (2 connected): 1 refused: wrong pairing key")) << ServiceLog();
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
        std::string(),                                            // no operation at all
        std::string(1, '\x63'),                                   // unknown operation
        std::string("\x03\xff\xff\xff\x7f", 5),                   // a path longer than it is
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
    EXPECT_EQ(ReadFileBytes(Outside() + "/secret.txt"), "outside the program folder");
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
    EXPECT_EQ(ReadFileBytes(Outside() + "/secret.txt"), "outside the program folder");
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
    WriteFileBytes(AppPath() + "/real.txt", "inside");
    std::filesystem::create_symlink(AppPath() + "/real.txt", AppPath() + "/alias.txt");
    ASSERT_TRUE(ConnectDesktop());
    std::string bytes;
    EXPECT_TRUE(ReadDeviceFile(u"alias.txt", bytes));
    EXPECT_EQ(bytes, "inside");
}

TEST_F(Security, LibrariesOutsideAppPathAreRefused) {
    std::filesystem::remove(AppPath() + "/libSync.so");
    std::filesystem::create_symlink(Outside() + "/libSync.so", AppPath() + "/libSync.so");
    ASSERT_TRUE(ConnectDesktop());
    const std::string marker = Outside() + "/ran";
    const std::u16string libraries[] = {
        u"..\\outside\\Sync.dll",
        Utf16(AppPathText()) + u"..\\outside\\Sync.dll",
        Utf16(Outside() + "/libSync.so"),
        Utf16(Outside() + "/Sync.dll"),
        Utf16(AppPathText()) + u"Sync.dll",   // a link leading out
        u"sync.dll",
    };
    for (const std::u16string& library : libraries) {
        EXPECT_TRUE(FAILED(Invoke(library, u"Touch", marker))) << CString(library).ToUtf8();
    }
    EXPECT_FALSE(std::filesystem::exists(marker));
    // The same library inside the program folder does run.
    std::filesystem::remove(AppPath() + "/libSync.so");
    std::filesystem::copy_file(Outside() + "/libSync.so", AppPath() + "/libSync.so");
    EXPECT_EQ(Invoke(u"Sync.dll", u"Touch", marker), S_OK);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, UploadedLibraryIsRefusedAtTheWriteAndAtTheInvoke) {
    const std::string code = ReadFileBytes(RAPI_TEST_EXPORTS);
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* name : {u"Evil.dll", u"libEvil.so", u"libSync.so", u"Sync.dll", u"libQuillmarPlatform.so",
                                 u"quillmar-device", u"notes.txt", u"sub\\Quillmar.dat"}) {
        EXPECT_FALSE(WriteDeviceFile(name, code)) << CString(name).ToUtf8();
        EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED) << CString(name).ToUtf8();
        EXPECT_EQ(Open(name, GENERIC_READ, OPEN_ALWAYS), INVALID_HANDLE_VALUE) << CString(name).ToUtf8();
    }
    EXPECT_EQ(ReadFileBytes(AppPath() + "/libSync.so"), code);
    EXPECT_FALSE(std::filesystem::exists(AppPath() + "/libEvil.so"));
    EXPECT_FALSE(std::filesystem::exists(AppPath() + "/notes.txt"));
    // A library that got there some other way, or library code in a data file, never runs.
    const std::string marker = Outside() + "/ran";
    std::filesystem::copy_file(RAPI_TEST_EXPORTS, AppPath() + "/libEvil.so");
    ASSERT_TRUE(WriteDeviceFile(u"Quillmar.dat", code));
    for (const char16_t* library : {u"Evil.dll", u"libEvil.so", u"Quillmar.dat", u"quillmar.DAT"})
        EXPECT_EQ(Invoke(library, u"Touch", marker), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED))
            << CString(library).ToUtf8();
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, DataFileNamesLeadingToCodeAreNotWritten) {
    const std::string platform = ReadFileBytes(AppPath() + "/libQuillmarPlatform.so");
    std::filesystem::create_symlink(AppPath() + "/libQuillmarPlatform.so", AppPath() + "/Quillmar.dat");
    WriteFileBytes(AppPath() + "/device.xml", "<changes/>");
    std::filesystem::permissions(AppPath() + "/device.xml", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    std::filesystem::create_hard_link(AppPath() + "/libSync.so", AppPath() + "/desktop.xml");
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* name : {u"Quillmar.dat", u"device.xml", u"Desktop.xml"}) {
        EXPECT_FALSE(WriteDeviceFile(name, "replaced")) << CString(name).ToUtf8();
        EXPECT_EQ(Open(name, GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE) << CString(name).ToUtf8();
        EXPECT_EQ(CeGetLastError(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(ReadFileBytes(AppPath() + "/libQuillmarPlatform.so"), platform);
    EXPECT_EQ(ReadFileBytes(AppPath() + "/device.xml"), "<changes/>");
    EXPECT_EQ(ReadFileBytes(AppPath() + "/libSync.so"), ReadFileBytes(RAPI_TEST_EXPORTS));
    // Reading them is still allowed.
    std::string bytes;
    EXPECT_TRUE(ReadDeviceFile(u"device.xml", bytes));
}

TEST_F(Security, LibcThroughTheSyncLibraryIsRefused) {
    // What an attacker would pass to syscall(SYS_unlink, path): the size is the call's number.
    const std::string victim = Outside() + "/secret.txt";
    std::string input = victim;
#ifdef SYS_unlink
    input.resize(SYS_unlink, '\0');
#endif
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* function : {u"syscall", u"system", u"unlink", u"LocalFree", u""})
        EXPECT_EQ(Invoke(u"Sync.dll", function, input), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    // Even a service told to offer them runs only what the library defines itself.
    ASSERT_TRUE(RestartService({"--exports", "syscall,system,LocalFree,Greeting"}));
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* function : {u"syscall", u"system", u"LocalFree"})
        EXPECT_EQ(Invoke(u"Sync.dll", function, input), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(ReadFileBytes(victim), "outside the program folder");
    EXPECT_EQ(Invoke(u"Sync.dll", u"Greeting", ""), S_OK);
}

TEST_F(Security, ForkingExportIsKilledWithEverythingItStarted) {
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* function : {u"StragglersThenHang", u"StragglersThenReturn"}) {
        const std::string folder = Outside() + "/" + CString(function).ToUtf8();
        std::filesystem::create_directories(folder);
        const HRESULT result = Invoke(u"Sync.dll", function, folder);
        EXPECT_EQ(result,
                  std::u16string(function) == u"StragglersThenHang" ? HRESULT_FROM_WIN32(ERROR_TIMEOUT) : S_OK);
        for (const char* straggler : {"/group", "/daemon"}) {
            const pid_t pid = static_cast<pid_t>(std::stol("0" + ReadFileBytes(folder + straggler)));
            ASSERT_GT(pid, 0) << straggler;
            // Gone by the time the answer came.
            EXPECT_TRUE(ProcessGone(pid, 0)) << CString(function).ToUtf8() << straggler;
            if (!ProcessGone(pid, 0))
                ::kill(pid, SIGKILL);
        }
    }
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, DesktopLeavingCancelsItsInvocation) {
    // A time limit far beyond this test: only the hang-up can end the call.
    ASSERT_TRUE(RestartService({"--invoke-timeout-ms", "600000", "--exports", "Hang"}));
    std::unique_ptr<SocketTransport> transport;
    std::unique_ptr<SecureChannel> channel;
    ASSERT_TRUE(OpenChannel(transport, channel));
    const std::string pidFile = Outside() + "/hang.pid";
    std::string request;
    PutU8(request, static_cast<uint8_t>(Op::Invoke));
    PutText(request, CString("Sync.dll"));
    PutText(request, CString("Hang"));
    PutBytes(request, pidFile);
    ASSERT_TRUE(channel->Send(request).ok());
    for (int tries = 0; tries < 1000 && ReadFileBytes(pidFile).empty(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const pid_t pid = static_cast<pid_t>(std::stol("0" + ReadFileBytes(pidFile)));
    ASSERT_GT(pid, 0);
    channel.reset();
    transport.reset();
    EXPECT_TRUE(ProcessGone(pid, 10000));
    if (!ProcessGone(pid, 0))
        ::kill(pid, SIGKILL);
    EXPECT_TRUE(LogShows("cancelled: the desktop left"));
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Security, OneDeadlineForTheWholeHandshake) {
    // Each byte comes well inside the limit; the greeting as a whole never does.
    int fd = RawConnect();
    ASSERT_GE(fd, 0);
    std::string greeting;
    PutU32(greeting, static_cast<uint32_t>(kHelloSize));
    greeting.append(kMagic.begin(), kMagic.end());
    greeting.append(kNonceSize, '\x11');
    size_t sent = 0;
    bool dropped = false;
    while (!dropped && sent < greeting.size()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        dropped = ::send(fd, greeting.data() + sent, 1, MSG_NOSIGNAL) != 1;
        if (!dropped) {
            ++sent;
            std::string received;
            pollfd entry{fd, POLLIN, 0};
            dropped = ::poll(&entry, 1, 0) > 0 && ReceiveUntilClosed(fd, 100, received);
        }
    }
    ::close(fd);
    EXPECT_TRUE(dropped) << sent << " bytes sent";
    EXPECT_LT(sent, greeting.size());
    EXPECT_TRUE(LogShows("handshake not done in time"));
}

TEST_F(Security, IdleAndSlowPeersDoNotKeepADesktopOut) {
    const std::string data = PatternBytes(200000);
    WriteFileBytes(AppPath() + "/device.xml", "<changes/>");
    int served = 0;
    long connections = 0;
    {
        PeerFlood idle(port, {64, 0, "127.0.0.1"});
        PeerFlood slow(port, {0, 64, "127.0.0.1"});
        // Under way before the desktop comes.
        for (int tries = 0; tries < 500 && idle.Connections() + slow.Connections() < 256; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int session = 0; session < 10; ++session)
            served += SynchronisationSession(data) ? 1 : 0;
        connections = idle.Connections() + slow.Connections();
    }
    EXPECT_GE(served, 9);
    EXPECT_GT(connections, 256);
    ASSERT_TRUE(LogShows("pushed out by newer peers"));
    // Summed up, not a line per peer.
    const std::string log = ServiceLog();
    EXPECT_LT(std::count(log.begin(), log.end(), '\n'), connections / 2) << connections << " connections";
    EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), data);
}

TEST_F(Security, AFloodFromOtherAddressesNeverReachesTheDesktop) {
    const std::string data = PatternBytes(200000);
    WriteFileBytes(AppPath() + "/device.xml", "<changes/>");
    int served = 0;
    {
        PeerFlood idle(port, {64, 0, "127.0.0.2"});
        PeerFlood slow(port, {0, 64, "127.0.0.3"});
        for (int tries = 0; tries < 500 && idle.Connections() + slow.Connections() < 256; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int session = 0; session < 10; ++session)
            served += SynchronisationSession(data) ? 1 : 0;
    }
    EXPECT_EQ(served, 10);
    ASSERT_TRUE(LogShows("127.0.0.2 ("));
}
