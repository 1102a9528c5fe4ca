// A writer saving record after record is killed with SIGKILL at random moments, over and
// over: every time, the data file loads, holds every save the writer reported done, and the
// next start leaves no temporary file behind.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"

namespace {

constexpr int kKills = 220;
constexpr int kLongestWaitMicroseconds = 120000;

// A writer process with its confirmations on a pipe.
struct Writer {
    pid_t pid = -1;
    int confirmations = -1;
};

Writer StartWriter(long firstNumber) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        const std::string first = std::to_string(firstNumber);
        ::execl(QUILLMAR_CRASH_WRITER, "StoreCrashWriter", first.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// Everything the writer confirmed, once it has ended.
std::vector<long> Confirmed(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fd);
    std::vector<long> numbers;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        numbers.push_back(std::stol(text.substr(at, end - at)));
    return numbers;
}

int CountTemporaryFiles(const std::string& folder) {
    int count = 0;
    for (const std::string& name : FolderEntries(folder))
        count += name.find(".tmp-") != std::string::npos ? 1 : 0;
    return count;
}

std::set<std::string> StoredClients() {
    std::unique_ptr<CObArray> clients(GetCurrDataHelper()->GetObjectList(u"client"));
    std::set<std::string> names;
    for (int i = 0; i < clients->GetSize(); ++i)
        names.insert(static_cast<CBaseObject*>(clients->GetAt(i))->get_Description().ToUtf8());
    return names;
}

class StoreCrashTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        // The writer uses the real clock; so does this side from here on.
        Clock::Set(std::nullopt);
        // A data file of some size, so that kills land in the middle of writing it.
        GetCurrDataHelper()->BeginDeferredFlush();
        for (int i = 0; i < 2000; ++i) {
            CProjectItem entry;
            entry.set_Description(CString::FromUtf8("Seed entry " + std::to_string(i)));
            entry.set_Notes(u"Notes that make the file larger than a few pages of the disk.");
            ASSERT_EQ(entry.Save(), 1);
        }
        ASSERT_EQ(GetCurrDataHelper()->EndDeferredFlush(), 1);
    }
};

}   // namespace

TEST_F(StoreCrashTest, KilledWriterNeverLosesAConfirmedSave) {
    std::mt19937 random(20040307);
    std::uniform_int_distribution<int> wait(0, kLongestWaitMicroseconds);
    std::set<std::string> confirmed;
    long nextNumber = 1;
    int killsDuringAWrite = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const Writer writer = StartWriter(nextNumber);
        ASSERT_GT(writer.pid, 0);
        const timespec pause{0, static_cast<long>(wait(random)) * 1000};
        ::nanosleep(&pause, nullptr);
        ASSERT_EQ(::kill(writer.pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(writer.pid, &status, 0), writer.pid);
        // A writer that ended by itself failed a save or could not start.
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer exit " << WEXITSTATUS(status);
        for (long number : Confirmed(writer.confirmations)) {
            confirmed.insert("Written " + std::to_string(number));
            nextNumber = std::max(nextNumber, number + 1);
        }
        killsDuringAWrite += CountTemporaryFiles(m_home.DataFolder()) > 0 ? 1 : 0;

        ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
        ASSERT_TRUE(m_boxes.ShownBoxes().empty()) << m_boxes.ShownBoxes()[0].text.ToUtf8();
        // Only the data file and the lock file its writers meet at: no temporary file is left.
        ASSERT_EQ(FolderEntries(m_home.DataFolder()), (std::vector<std::string>{"Quillmar.dat", "Quillmar.dat.lock"}))
            << "kill " << kill;
        const std::set<std::string> stored = StoredClients();
        for (const std::string& name : confirmed)
            ASSERT_TRUE(stored.count(name)) << name << " lost at kill " << kill;
    }
    std::cout << kKills << " kills, " << confirmed.size() << " confirmed saves, " << killsDuringAWrite
              << " kills left a temporary file behind\n";
    RecordProperty("kills", kKills);
    RecordProperty("confirmedSaves", static_cast<int>(confirmed.size()));
    RecordProperty("killsDuringAWrite", killsDuringAWrite);
    EXPECT_GT(confirmed.size(), 0u);
}
