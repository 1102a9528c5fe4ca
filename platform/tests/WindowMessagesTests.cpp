// Window messages between endpoints and processes: finding, posting, receiving, odd titles,
// stale sockets and a runtime folder that cannot be used.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/WindowMessages.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kReloadData = 1124;

class WindowMessagesTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_folders.Root() + "/run/Kestovar"; }
    TempHome m_folders;
};

// Leaves a socket file behind with nobody listening, as a crashed program would.
void LeaveStaleSocket(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(fd);
}

bool SendRaw(const std::string& path, const std::string& bytes) {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bool ok = ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address) ==
              static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return ok;
}

int ExitCodeOf(pid_t child) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(WindowMessagesTest, FolderIsPrivateUnderTheRuntimeFolder) {
    EXPECT_EQ(WindowMessageFolder(), Folder());
    struct stat st {};
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(WindowMessagesTest, LooseFolderPermissionsAreTightened) {
    fs::create_directories(Folder());
    ::chmod(Folder().c_str(), 0777);
    EXPECT_EQ(WindowMessageFolder(), Folder());
    struct stat st {};
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(WindowMessagesTest, FolderThatIsALinkIsRefused) {
    fs::create_directories(m_folders.Root() + "/elsewhere");
    fs::create_directory_symlink(m_folders.Root() + "/elsewhere", Folder());
    EXPECT_EQ(WindowMessageFolder(), "");
    EXPECT_FALSE(WindowEndpoint::Open("Quillmar"));
}

TEST_F(WindowMessagesTest, RuntimeFolderThatCannotBeMadeGivesDefinedFailures) {
    WriteFileBytes(m_folders.Root() + "/file", "x");
    m_folders.Set("XDG_RUNTIME_DIR", m_folders.Root() + "/file/run");
    EXPECT_EQ(WindowMessageFolder(), "");
    EXPECT_EQ(WindowSocketPath("Quillmar"), "");
    EXPECT_FALSE(WindowEndpoint::Open("Quillmar"));
    EXPECT_FALSE(FindWindow("Quillmar"));
    EXPECT_FALSE(PostMessage(std::make_shared<HWND_>(HWND_{"Quillmar"}), kReloadData));
    EXPECT_EQ(ReadFileBytes(m_folders.Root() + "/file"), "x");
}

TEST_F(WindowMessagesTest, NobodyListeningMeansNoWindow) {
    EXPECT_FALSE(FindWindow("Quillmar"));
    EXPECT_FALSE(PostMessage(nullptr, kReloadData));
    EXPECT_FALSE(PostMessage(std::make_shared<HWND_>(HWND_{"Quillmar"}), kReloadData));
}

TEST_F(WindowMessagesTest, PostedMessageArrivesWithItsParameters) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    HWND window = FindWindow("Quillmar");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title, CString("Quillmar"));
    ASSERT_TRUE(PostMessage(window, kReloadData, 0xFFFFFFFFFFFFFFFFULL, -42));
    auto message = endpoint->Wait(2000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, kReloadData);
    EXPECT_EQ(message->wParam, 0xFFFFFFFFFFFFFFFFULL);
    EXPECT_EQ(message->lParam, -42);
    EXPECT_FALSE(endpoint->Wait(0));
}

TEST_F(WindowMessagesTest, DrainDeliversEveryPendingMessageInOrder) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    HWND window = FindWindow("Quillmar");
    for (uint32_t i = 0; i < 5; ++i)
        ASSERT_TRUE(PostMessage(window, 1000 + i, i));
    std::vector<uint32_t> seen;
    endpoint->Drain([&](const WindowMessage& m) { seen.push_back(m.message); });
    EXPECT_EQ(seen, (std::vector<uint32_t>{1000, 1001, 1002, 1003, 1004}));
    endpoint->Drain([&](const WindowMessage&) { ADD_FAILURE() << "queue should be empty"; });
}

TEST_F(WindowMessagesTest, StrayDatagramsAreDropped) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    ASSERT_TRUE(SendRaw(endpoint->SocketPath(), "garbage"));
    ASSERT_TRUE(SendRaw(endpoint->SocketPath(), std::string(24, '\0')));
    ASSERT_TRUE(SendRaw(endpoint->SocketPath(), std::string(200, 'x')));
    ASSERT_TRUE(SendRaw(endpoint->SocketPath(), ""));
    ASSERT_TRUE(PostMessage(FindWindow("Quillmar"), kReloadData));
    std::vector<uint32_t> seen;
    endpoint->Drain([&](const WindowMessage& m) { seen.push_back(m.message); });
    EXPECT_EQ(seen, std::vector<uint32_t>{kReloadData});
}

TEST_F(WindowMessagesTest, FullQueueGivesFalseAfterAWhileAndLosesNothingReported) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    HWND window = FindWindow("Quillmar");
    uint32_t delivered = 0;
    while (delivered < 5000 && PostMessage(window, 2000, delivered))
        ++delivered;
    uint32_t received = 0;
    endpoint->Drain([&](const WindowMessage& m) { EXPECT_EQ(m.wParam, received++); });
    EXPECT_EQ(received, delivered);
    EXPECT_TRUE(PostMessage(window, 2001));   // room again once read
}

TEST_F(WindowMessagesTest, WaitTimesOutWhenNothingComes) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    EXPECT_FALSE(endpoint->Wait(50));
}

TEST_F(WindowMessagesTest, OneLiveEndpointPerTitle) {
    auto first = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(first);
    EXPECT_FALSE(WindowEndpoint::Open("Quillmar"));
    ASSERT_TRUE(PostMessage(FindWindow("Quillmar"), kReloadData));
    EXPECT_TRUE(first->Wait(2000));
    auto other = WindowEndpoint::Open("Quillmar Device");
    EXPECT_TRUE(other);
}

TEST_F(WindowMessagesTest, ClosedEndpointDisappears) {
    std::string path;
    {
        auto endpoint = WindowEndpoint::Open("Quillmar");
        ASSERT_TRUE(endpoint);
        path = endpoint->SocketPath();
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(FindWindow("Quillmar"));
    EXPECT_TRUE(WindowEndpoint::Open("Quillmar"));
}

TEST_F(WindowMessagesTest, StaleSocketIsReplacedOnOpen) {
    const std::string path = WindowSocketPath("Quillmar");
    ASSERT_FALSE(path.empty());
    LeaveStaleSocket(path);
    ASSERT_TRUE(fs::is_socket(path));
    EXPECT_FALSE(FindWindow("Quillmar"));
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    ASSERT_TRUE(PostMessage(FindWindow("Quillmar"), kReloadData));
    EXPECT_TRUE(endpoint->Wait(2000));
}

TEST_F(WindowMessagesTest, NonSocketInTheWayIsNotRemoved) {
    const std::string path = WindowSocketPath("Quillmar");
    WriteFileBytes(path, "not a socket");
    EXPECT_FALSE(WindowEndpoint::Open("Quillmar"));
    EXPECT_EQ(ReadFileBytes(path), "not a socket");
}

class OddTitle : public WindowMessagesTest, public ::testing::WithParamInterface<CString> {};

TEST_P(OddTitle, WorksAndStaysInsideTheFolder) {
    const CString title = GetParam();
    const std::string path = WindowSocketPath(title);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(fs::path(path).parent_path(), fs::path(Folder()));
    EXPECT_LE(fs::path(path).filename().string().size(), 81u);
    auto endpoint = WindowEndpoint::Open(title);
    ASSERT_TRUE(endpoint);
    HWND window = FindWindow(title);
    ASSERT_TRUE(window);
    ASSERT_TRUE(PostMessage(window, kReloadData, 7, 8));
    auto message = endpoint->Wait(2000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->wParam, 7u);
    EXPECT_EQ(fs::directory_entry(Folder()).exists(), true);
    for (const auto& entry : fs::directory_iterator(Folder()))
        EXPECT_TRUE(entry.path().filename().string().find_first_of("/\\") == std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Titles, OddTitle,
                         ::testing::Values(CString("Quillmar"), CString(""), CString("."), CString(".."),
                                           CString("../../etc/passwd"), CString("a/b\\c"),
                                           CString(u"Übersicht — 日本語 \U0001F600"),
                                           CString(std::u16string(u"nul\0inside", 10)),
                                           CString(std::u16string(500, u'x')),
                                           CString(std::u16string(3000, u'\u00e9'))));

TEST_F(WindowMessagesTest, LongTitlesThatDifferStayApart) {
    const CString a(std::u16string(300, u'a'));
    CString b = a;
    b.SetAt(299, u'b');
    EXPECT_NE(WindowSocketPath(a), WindowSocketPath(b));
    auto endpointA = WindowEndpoint::Open(a);
    auto endpointB = WindowEndpoint::Open(b);
    ASSERT_TRUE(endpointA && endpointB);
    ASSERT_TRUE(PostMessage(FindWindow(b), 2));
    EXPECT_FALSE(endpointA->Wait(0));
    EXPECT_TRUE(endpointB->Wait(2000));
}

TEST_F(WindowMessagesTest, RuntimeFolderTooDeepForASocketAddressStillWorks) {
    const std::string deep = m_folders.Root() + "/" + std::string(150, 'd');
    m_folders.Set("XDG_RUNTIME_DIR", deep);
    const std::string path = WindowSocketPath("Quillmar");
    ASSERT_GT(path.size(), sizeof(sockaddr_un::sun_path));
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    EXPECT_TRUE(fs::is_socket(path));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(PostMessage(FindWindow("Quillmar"), kReloadData, 5) ? 0 : 1);
    EXPECT_EQ(ExitCodeOf(child), 0);
    auto message = endpoint->Wait(5000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->wParam, 5u);
    endpoint.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(FindWindow("Quillmar"));
}

TEST_F(WindowMessagesTest, TitlesAreCaseSensitive) {
    auto endpoint = WindowEndpoint::Open("Quillmar");
    ASSERT_TRUE(endpoint);
    EXPECT_FALSE(FindWindow("QUILLMAR"));
}

TEST_F(WindowMessagesTest, AnotherProcessPostsToUs) {
    auto endpoint = WindowEndpoint::Open("Quillmar Device");
    ASSERT_TRUE(endpoint);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HWND window = FindWindow("Quillmar Device");
        ::_exit(window && PostMessage(window, kReloadData, 1, 2) ? 0 : 1);
    }
    auto message = endpoint->Wait(5000);
    EXPECT_EQ(ExitCodeOf(child), 0);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, kReloadData);
    EXPECT_EQ(message->lParam, 2);
    EXPECT_TRUE(fs::exists(endpoint->SocketPath()));   // the child did not remove our socket
}

TEST_F(WindowMessagesTest, WePostToAnotherProcess) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        auto endpoint = WindowEndpoint::Open("Quillmar Device");
        char flag = endpoint ? 'y' : 'n';
        (void)!::write(ready[1], &flag, 1);
        auto message = endpoint ? endpoint->Wait(5000) : std::nullopt;
        const bool ok = message && message->message == kReloadData && message->wParam == 99;
        endpoint.reset();
        ::_exit(ok ? 0 : 1);
    }
    ::close(ready[1]);
    char flag = 0;
    ASSERT_EQ(::read(ready[0], &flag, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(flag, 'y');
    EXPECT_TRUE(PostMessage(FindWindow("Quillmar Device"), kReloadData, 99));
    EXPECT_EQ(ExitCodeOf(child), 0);
    EXPECT_FALSE(FindWindow("Quillmar Device"));   // its socket went with it
}

}   // namespace
