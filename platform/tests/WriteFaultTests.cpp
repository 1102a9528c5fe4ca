// The write-fault seam and what the atomic file writer does with every fault it can meet:
// the old file stays whole and no temporary file is left, or, when only the folder flush
// failed, the new file is in place and the failure is reported. Also links, and temporary
// files of writers that were killed.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/Paths.h"
#include "platform/WriteFault.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace fs = std::filesystem;

namespace {

class WriteFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = m_folders.Root() + "/files";
        fs::create_directories(m_folder);
        m_path = m_folder + "/data";
        WriteFileBytes(m_path, "old");
    }
    void TearDown() override { WriteFault::Disarm(); }

    WriteStatus WriteNew(const std::string& bytes) {
        return WriteFileAtomicallyWithStatus(m_path, [&bytes](const FilePieceSink& sink) {
            // Two pieces, so a fault can meet the second write of one file.
            return sink(std::string_view(bytes).substr(0, bytes.size() / 2)) &&
                   sink(std::string_view(bytes).substr(bytes.size() / 2));
        });
    }

    TempHome m_folders;
    std::string m_folder;
    std::string m_path;
};

TEST_F(WriteFaultTest, EveryStepBeforeTheRenameLeavesTheOldFileAndNoTemporary) {
    const std::string bytes(100000, 'n');
    struct Case {
        WriteFault::Op op;
        int nth;
    };
    for (const Case& c :
         {Case{WriteFault::Op::Open, 1}, Case{WriteFault::Op::Write, 1}, Case{WriteFault::Op::Write, 2},
          Case{WriteFault::Op::ShortWrite, 1}, Case{WriteFault::Op::ShortWrite, 2}, Case{WriteFault::Op::Sync, 1},
          Case{WriteFault::Op::Close, 1}, Case{WriteFault::Op::Rename, 1}}) {
        for (int error : {ENOSPC, EIO}) {
            WriteFault::Scope fault(c.op, c.nth, error);
            const WriteStatus status = WriteNew(bytes);
            EXPECT_TRUE(WriteFault::Fired()) << static_cast<int>(c.op) << " " << c.nth;
            EXPECT_EQ(status.GetState(), WriteStatus::NotWritten) << static_cast<int>(c.op);
            EXPECT_EQ(status.Error(), error);
            EXPECT_FALSE(status.Message().empty());
            EXPECT_EQ(ReadFileBytes(m_path), "old");
            EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"data"});
        }
    }
    EXPECT_TRUE(WriteNew(bytes).IsWritten());
    EXPECT_EQ(ReadFileBytes(m_path), bytes);
}

TEST_F(WriteFaultTest, ShortWriteWritesHalfThenFailsTheNextWrite) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        WriteFault::Scope fault(WriteFault::Op::ShortWrite, 1, ENOSPC);
        EXPECT_EQ(WriteFault::Write(fds[1], "abcd", 4), 2);
        errno = 0;
        EXPECT_EQ(WriteFault::Write(fds[1], "cd", 2), -1);
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(WriteFault::Write(fds[1], "cd", 2), 2);
        EXPECT_EQ(WriteFault::Calls(WriteFault::Op::Write), 3);
    }
    char got[5] = {};
    EXPECT_EQ(::read(fds[0], got, 4), 4);
    EXPECT_STREQ(got, "abcd");
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(WriteFaultTest, CountsLetATestFailEachStepInTurn) {
    WriteFault::Disarm();
    ASSERT_TRUE(WriteNew("0123456789").IsWritten());
    EXPECT_EQ(WriteFault::Calls(WriteFault::Op::Open), 1);
    EXPECT_EQ(WriteFault::Calls(WriteFault::Op::Write), 2);
    EXPECT_EQ(WriteFault::Calls(WriteFault::Op::Sync), 1);
    EXPECT_EQ(WriteFault::Calls(WriteFault::Op::Rename), 1);
    EXPECT_EQ(WriteFault::Calls(WriteFault::Op::FolderSync), 1);
    // Without disk syncing the steps are counted all the same, and their faults still fire.
    SetDiskSyncEnabled(false);
    WriteFault::Arm(WriteFault::Op::Sync, 1, EIO);
    EXPECT_EQ(WriteNew("x").GetState(), WriteStatus::NotWritten);
    SetDiskSyncEnabled(true);
}

TEST_F(WriteFaultTest, FailedFolderFlushIsReportedWithTheNewFileInPlace) {
    WriteFault::Scope fault(WriteFault::Op::FolderSync, 1, EIO);
    const WriteStatus status = WriteNew("new");
    EXPECT_EQ(status.GetState(), WriteStatus::NotDurable);
    EXPECT_TRUE(status.Replaced());
    EXPECT_EQ(status.Error(), EIO);
    EXPECT_EQ(ReadFileBytes(m_path), "new");
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"data"});
}

TEST_F(WriteFaultTest, PlainWriteReportsAFailedFolderFlush) {
    WriteFault::Scope fault(WriteFault::Op::FolderSync, 1, ENOSPC);
    EXPECT_FALSE(WriteFileAtomically(m_path, "new"));
    EXPECT_EQ(ReadFileBytes(m_path), "new");
}

TEST_F(WriteFaultTest, ChildProcessIsArmedThroughTheEnvironment) {
    // In the child, this same test writes under the fault its environment arms.
    if (const char* path = std::getenv("QUILLMAR_WRITE_FAULT_TEST_FILE")) {
        const WriteStatus status =
            WriteFileAtomicallyWithStatus(path, [](const FilePieceSink& sink) { return sink("child"); });
        EXPECT_EQ(status.GetState(), WriteStatus::NotWritten);
        EXPECT_EQ(status.Error(), EIO);
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("QUILLMAR_WRITE_FAULT", "rename:1:EIO", 1);
        ::setenv("QUILLMAR_WRITE_FAULT_TEST_FILE", m_path.c_str(), 1);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, 1);
        ::execl("/proc/self/exe", "child", "--gtest_filter=WriteFaultTest.ChildProcessIsArmedThroughTheEnvironment",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int wstatus = 0;
    ASSERT_EQ(::waitpid(child, &wstatus, 0), child);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
    EXPECT_EQ(ReadFileBytes(m_path), "old");
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"data"});
}

TEST_F(WriteFaultTest, LinkedFileIsReplacedAtItsTargetAndTheLinkStays) {
    const std::string elsewhere = m_folders.Root() + "/synced";
    fs::create_directories(elsewhere);
    WriteFileBytes(elsewhere + "/real.dat", "old target");
    fs::remove(m_path);
    fs::create_symlink("../synced/real.dat", m_path);
    ASSERT_TRUE(WriteFileAtomically(m_path, "through the link"));
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(ReadFileBytes(elsewhere + "/real.dat"), "through the link");
    EXPECT_EQ(FolderEntries(elsewhere), std::vector<std::string>{"real.dat"});
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"data"});
    // A link to a link is followed to the end; a dangling one creates the file it names.
    fs::create_symlink(m_path, m_folder + "/second");
    ASSERT_TRUE(WriteFileAtomically(m_folder + "/second", "twice"));
    EXPECT_EQ(ReadFileBytes(elsewhere + "/real.dat"), "twice");
    fs::create_symlink(elsewhere + "/later.dat", m_folder + "/dangling");
    ASSERT_TRUE(WriteFileAtomically(m_folder + "/dangling", "made"));
    EXPECT_EQ(ReadFileBytes(elsewhere + "/later.dat"), "made");
    EXPECT_TRUE(fs::is_symlink(m_folder + "/dangling"));
}

// A pid that no process has: a child that has been waited for.
pid_t DeadPid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(WriteFaultTest, LeftoversOfEndedWritersGoAndOthersStay) {
    const std::string dead = std::to_string(DeadPid());
    const std::string live = std::to_string(::getppid());
    WriteFileBytes(m_folder + "/.data.tmp-" + dead + "-0", "copy");
    WriteFileBytes(m_folder + "/.data.tmp-" + dead + "-17", "copy");
    WriteFileBytes(m_folder + "/.data.tmp-" + live + "-3", "being written");
    WriteFileBytes(m_folder + "/.data.tmp-" + std::to_string(::getpid()) + "-99", "ours, no longer written");
    WriteFileBytes(m_folder + "/.data.tmp-x-1", "not one of ours");
    WriteFileBytes(m_folder + "/.other.tmp-" + dead + "-0", "another file's");
    EXPECT_EQ(RemoveStaleTempFiles(m_path), 3);
    EXPECT_EQ(FolderEntries(m_folder), (std::vector<std::string>{".data.tmp-" + live + "-3", ".data.tmp-x-1",
                                                                 ".other.tmp-" + dead + "-0", "data"}));
}

TEST_F(WriteFaultTest, LeftoversBesideALinksTargetGoToo) {
    const std::string elsewhere = m_folders.Root() + "/synced";
    fs::create_directories(elsewhere);
    WriteFileBytes(elsewhere + "/real.dat", "x");
    fs::remove(m_path);
    fs::create_symlink(elsewhere + "/real.dat", m_path);
    WriteFileBytes(elsewhere + "/.real.dat.tmp-" + std::to_string(DeadPid()) + "-0", "copy");
    EXPECT_EQ(RemoveStaleTempFiles(m_path), 1);
    EXPECT_EQ(FolderEntries(elsewhere), std::vector<std::string>{"real.dat"});
}

}   // namespace
