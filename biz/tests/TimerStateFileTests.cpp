// The timer's state file: its text round trip, atomic writes, and damaged files.
#include <filesystem>

#include "biz/TimerStateFile.h"
#include "biz/tests/BizTestSupport.h"

namespace {

CTimerInstant Instant(int64_t utc, int hour, int minute, int second) {
    return {utc, COleDateTime(2004, 3, 7, hour, minute, second)};
}

// A paused timer with every kind of line, and a description that needs escaping.
CTimerState PausedTimer() {
    CTimerState state;
    state.phase = CTimerState::Phase::Paused;
    state.projectRef = u"SAMP002";
    state.categoryRef = u"SAMP003";
    state.description = CString(u"Line one\nline two\r\\ tab\t bell\x07 ") + CString("Zoë ✓");
    state.firstStart = Instant(1000, 9, 0, 0);
    state.pauses = {{2000, 3000}, {4000, 4000}};
    state.pausedSince = 5000;
    state.lastActivity = Instant(5000, 9, 30, 15);
    state.idleCheckedTicks = 700;
    state.recentProjects = {u"SAMP002", u"P2", u"P3"};
    return state;
}

class TimerStateFileTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_home.Home() + "/state"; }
    std::string Path() const { return Folder() + "/Quillmar-desktop.timer"; }

    TempHome m_home;
};

}   // namespace

TEST(TimerStateText, EveryPhaseReadsBackAsWritten) {
    CTimerState paused = PausedTimer();
    CTimerState running = paused;
    running.phase = CTimerState::Phase::Running;
    running.pausedSince = 0;
    CTimerState stopping = running;
    stopping.phase = CTimerState::Phase::Stopping;
    stopping.stoppedAt = Instant(9000, 23, 59, 59);
    stopping.entryRefId = u"1A2B3C7";
    CTimerState idle;
    idle.recentProjects = {u"only"};
    for (const CTimerState& state : {paused, running, stopping, idle, CTimerState()}) {
        CTimerState read;
        std::string reason;
        ASSERT_TRUE(CTimerStateFile::Decode(CTimerStateFile::Encode(state), read, reason)) << reason;
        EXPECT_EQ(read, state);
    }
}

TEST(TimerStateText, EscapedTextStaysOnItsLine) {
    const std::string text = CTimerStateFile::Encode(PausedTimer());
    EXPECT_NE(text.find("description Line one\\nline two\\r\\\\ tab\\x09 bell\\x07 Zo\xC3\xAB \xE2\x9C\x93\n"),
              std::string::npos);
    EXPECT_EQ(text.rfind("QuillmarTimer 1\nphase paused\n", 0), 0u);
}

TEST(TimerStateText, EveryShortenedFileIsDamaged) {
    const std::string text = CTimerStateFile::Encode(PausedTimer());
    for (size_t length = 0; length < text.size(); ++length) {
        CTimerState read;
        std::string reason;
        EXPECT_FALSE(CTimerStateFile::Decode(text.substr(0, length), read, reason)) << length;
        EXPECT_FALSE(reason.empty());
    }
}

TEST(TimerStateText, AlteredOrInconsistentFilesAreDamaged) {
    const std::string text = CTimerStateFile::Encode(PausedTimer());
    CTimerState read;
    std::string reason;
    std::string altered = text;
    altered[text.find("SAMP002")] = 'X';
    EXPECT_FALSE(CTimerStateFile::Decode(altered, read, reason));
    EXPECT_EQ(reason, "the file's contents were altered");

    // Pauses out of order, even with a good check line, are not taken.
    CTimerState disordered = PausedTimer();
    disordered.pauses = {{3000, 2000}};
    EXPECT_FALSE(CTimerStateFile::Decode(CTimerStateFile::Encode(disordered), read, reason));
    CTimerState projectless = PausedTimer();
    projectless.projectRef.Empty();
    EXPECT_FALSE(CTimerStateFile::Decode(CTimerStateFile::Encode(projectless), read, reason));
    EXPECT_FALSE(CTimerStateFile::Decode("", read, reason));
    EXPECT_FALSE(CTimerStateFile::Decode(std::string(300, '\0'), read, reason));
}

TEST_F(TimerStateFileTest, SavesIntoANewFolderWithNothingLeftBeside) {
    ASSERT_TRUE(CTimerStateFile(Path()).Save(PausedTimer()));
    EXPECT_EQ(FolderEntries(Folder()), std::vector<std::string>{"Quillmar-desktop.timer"});
    EXPECT_EQ(std::filesystem::status(Path()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const CTimerStateLoad load = CTimerStateFile(Path()).Load();
    EXPECT_EQ(load.status, CTimerStateLoad::Status::Loaded);
    EXPECT_EQ(load.state, PausedTimer());
}

TEST_F(TimerStateFileTest, AWriteThatCannotBeMadeIsReported) {
    // A file where the folder should be stops the write even for root.
    const std::string blocked = m_home.Home() + "/blocked";
    ASSERT_TRUE(WriteFileBytes(blocked, "not a folder"));
    EXPECT_FALSE(CTimerStateFile(blocked + "/Quillmar-desktop.timer").Save(PausedTimer()));
    EXPECT_EQ(ReadFileBytes(blocked), "not a folder");
}

TEST_F(TimerStateFileTest, MissingFileIsAFreshState) {
    const CTimerStateLoad load = CTimerStateFile(Path()).Load();
    EXPECT_EQ(load.status, CTimerStateLoad::Status::Missing);
    EXPECT_EQ(load.state, CTimerState());
}

TEST_F(TimerStateFileTest, DamagedFileIsMovedAsideAndReported) {
    ASSERT_TRUE(CTimerStateFile(Path()).Save(PausedTimer()));
    const std::string text = ReadFileBytes(Path());
    ASSERT_TRUE(WriteFileBytes(Path(), text.substr(0, text.size() / 2)));
    const CTimerStateLoad load = CTimerStateFile(Path()).Load();
    EXPECT_EQ(load.status, CTimerStateLoad::Status::Damaged);
    EXPECT_EQ(load.reason, "the file is cut short");
    EXPECT_EQ(load.keptAs, Path() + ".damaged");
    EXPECT_EQ(ReadFileBytes(load.keptAs), text.substr(0, text.size() / 2));
    EXPECT_FALSE(FileExists(Path()));
    EXPECT_EQ(load.state, CTimerState());
}

TEST_F(TimerStateFileTest, AFolderInItsPlaceIsUnreadable) {
    std::filesystem::create_directories(Path());
    const CTimerStateLoad load = CTimerStateFile(Path()).Load();
    EXPECT_EQ(load.status, CTimerStateLoad::Status::Unreadable);
    EXPECT_FALSE(CTimerStateFile(Path()).Save(PausedTimer()));
}
