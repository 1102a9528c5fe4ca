// Folders of the program and the user, case-insensitive names, and whole-file reads and writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/Paths.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace fs = std::filesystem;

namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

class PathsTest : public ::testing::Test {
protected:
    // The data folder's default is under test here, so no override.
    PathsTest() { m_folders.Set("QUILLMAR_DATA_DIR", std::nullopt); }

    TempHome m_folders;
};

TEST_F(PathsTest, ProgramFolderHoldsThePlatformLibrary) {
    const std::string folder = GetProgramFolder();
    EXPECT_TRUE(fs::exists(folder + "/libQuillmarPlatform.so"));
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(fs::path(folder), fs::canonical("/proc/self/exe").parent_path());
}

TEST_F(PathsTest, HomeComesFromTheEnvironmentElseThePasswordDatabase) {
    EXPECT_EQ(GetHomeFolder(), m_folders.Home());
    m_folders.Set("HOME", std::nullopt);
    EXPECT_FALSE(GetHomeFolder().empty());
    EXPECT_EQ(GetHomeFolder().front(), '/');
}

TEST_F(PathsTest, XdgFoldersFollowTheEnvironment) {
    EXPECT_EQ(GetConfigHome(), m_folders.Home() + "/.config");
    EXPECT_EQ(GetDataHome(), m_folders.Home() + "/.local/share");
    m_folders.Set("XDG_CONFIG_HOME", m_folders.Root() + "/cfg");
    m_folders.Set("XDG_DATA_HOME", m_folders.Root() + "/data");
    EXPECT_EQ(GetConfigHome(), m_folders.Root() + "/cfg");
    EXPECT_EQ(GetDataHome(), m_folders.Root() + "/data");
}

TEST_F(PathsTest, UnsetOrRelativeXdgFoldersFallBackToHome) {
    m_folders.Set("XDG_CONFIG_HOME", std::nullopt);
    m_folders.Set("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(GetConfigHome(), m_folders.Home() + "/.config");
    EXPECT_EQ(GetDataHome(), m_folders.Home() + "/.local/share");
    m_folders.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(GetConfigHome(), m_folders.Home() + "/.config");
}

TEST_F(PathsTest, DesktopDataFolderIsMadeOnFirstUse) {
    const std::string expected = m_folders.Home() + "/.local/share/Kestovar/Quillmar";
    EXPECT_FALSE(fs::exists(expected));
    EXPECT_EQ(GetDesktopDataFolder(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
}

TEST_F(PathsTest, DesktopDataFolderCanBeOverridden) {
    const std::string mine = m_folders.Root() + "/my data/quillmar";
    m_folders.Set("QUILLMAR_DATA_DIR", mine);
    EXPECT_EQ(GetDesktopDataFolder(), mine);
    EXPECT_TRUE(fs::is_directory(mine));
}

TEST_F(PathsTest, DesktopDataFolderThatCannotBeMadeIsStillNamed) {
    WriteFileBytes(m_folders.Root() + "/file", "x");
    m_folders.Set("QUILLMAR_DATA_DIR", m_folders.Root() + "/file/data");
    EXPECT_EQ(GetDesktopDataFolder(), m_folders.Root() + "/file/data");
    EXPECT_EQ(ReadFileBytes(m_folders.Root() + "/file"), "x");
}

TEST_F(PathsTest, MakeFoldersMakesEveryLevel) {
    const std::string deep = m_folders.Root() + "/a/b/c";
    EXPECT_TRUE(MakeFolders(deep, 0700));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_EQ(ModeOf(deep), 0700u);
    EXPECT_TRUE(MakeFolders(deep));
    EXPECT_TRUE(MakeFolders(m_folders.Root() + "/x/y/"));
}

TEST_F(PathsTest, MakeFoldersFailsWhereAFileStands) {
    WriteFileBytes(m_folders.Root() + "/file", "x");
    EXPECT_FALSE(MakeFolders(m_folders.Root() + "/file"));
    EXPECT_FALSE(MakeFolders(m_folders.Root() + "/file/sub"));
    EXPECT_FALSE(MakeFolders(""));
}

TEST_F(PathsTest, ResolvePrefersTheExactName) {
    WriteFileBytes(m_folders.Root() + "/Quillmar.dat", "exact");
    WriteFileBytes(m_folders.Root() + "/QUILLMAR.DAT", "upper");
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root(), "QUILLMAR.DAT"), m_folders.Root() + "/QUILLMAR.DAT");
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root(), "Quillmar.dat"), m_folders.Root() + "/Quillmar.dat");
}

TEST_F(PathsTest, ResolveFindsTheEntryWhateverItsCase) {
    WriteFileBytes(m_folders.Root() + "/Device.XML", "x");
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root(), "device.xml"), m_folders.Root() + "/Device.XML");
    WriteFileBytes(m_folders.Root() + "/Übersicht.txt", "x");
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root(), "übersicht.TXT"), m_folders.Root() + "/Übersicht.txt");
}

TEST_F(PathsTest, ResolveOfAnAbsentNameGivesItInTheFolder) {
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root(), "new.xml"), m_folders.Root() + "/new.xml");
    EXPECT_EQ(ResolveNameNoCase(m_folders.Root() + "/missing", "a"), m_folders.Root() + "/missing/a");
}

TEST_F(PathsTest, ResolveRefusesNamesThatLeaveTheFolder) {
    for (const std::string& bad :
         {std::string(""), std::string("."), std::string(".."), std::string("../etc"), std::string("a/b"),
          std::string("a\\b"), std::string("/abs"), std::string("a\0b", 3)})
        EXPECT_FALSE(ResolveNameNoCase(m_folders.Root(), bad)) << bad;
}

TEST_F(PathsTest, WriteFileAtomicallyWritesAndReplaces) {
    const std::string path = m_folders.Root() + "/data.xml";
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    EXPECT_EQ(ReadFileBytes(path), "first");
    const std::string binary("a\0b\xff", 4);
    ASSERT_TRUE(WriteFileAtomically(path, binary));
    EXPECT_EQ(ReadFileBytes(path), binary);
    ASSERT_TRUE(WriteFileAtomically(path, ""));
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(FolderEntries(m_folders.Root()), (std::vector<std::string>{"data.xml", "home", "run"}));
}

TEST_F(PathsTest, WriteFileAtomicallyKeepsTheOldModeOrTakesTheGivenOne) {
    const std::string path = m_folders.Root() + "/key";
    WriteFileBytes(path, "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(ModeOf(path), 0640u);
    ASSERT_TRUE(WriteFileAtomically(path, "newer", 0600));
    EXPECT_EQ(ModeOf(path), 0600u);
}

TEST_F(PathsTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    const std::string folder = m_folders.Root() + "/target";
    fs::create_directories(folder + "/occupied");
    WriteFileBytes(folder + "/occupied/inside", "kept");
    // Renaming a file over a non-empty folder fails after the temporary was written.
    EXPECT_FALSE(WriteFileAtomically(folder + "/occupied", "data"));
    EXPECT_EQ(ReadFileBytes(folder + "/occupied/inside"), "kept");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"occupied"});
    EXPECT_FALSE(WriteFileAtomically(m_folders.Root() + "/missing/file", "data"));
    EXPECT_FALSE(WriteFileAtomically("", "data"));
    EXPECT_FALSE(WriteFileAtomically(folder + "/", "data"));
}

TEST_F(PathsTest, WriteInPiecesJoinsThePiecesInOrder) {
    const std::string path = m_folders.Root() + "/pieces";
    ASSERT_TRUE(WriteFileAtomicallyInPieces(path, [](const FilePieceSink& sink) {
        return sink("one,") && sink("") && sink(std::string_view("t\0o,", 4)) && sink("three");
    }));
    EXPECT_EQ(ReadFileBytes(path), std::string("one,t\0o,three", 13));
}

TEST_F(PathsTest, AbandonedWriteInPiecesLeavesTheOldFileAndNoTemporary) {
    const std::string folder = m_folders.Root() + "/target";
    fs::create_directories(folder);
    WriteFileBytes(folder + "/data", "old");
    EXPECT_FALSE(WriteFileAtomicallyInPieces(
        folder + "/data", [](const FilePieceSink& sink) { return sink("half of the new") && false; }));
    EXPECT_EQ(ReadFileBytes(folder + "/data"), "old");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"data"});
}

TEST_F(PathsTest, DiskSyncCanBeSwitchedOffAndOn) {
    SetDiskSyncEnabled(false);
    EXPECT_FALSE(IsDiskSyncEnabled());
    EXPECT_TRUE(WriteFileAtomically(m_folders.Root() + "/fast", "x"));
    SetDiskSyncEnabled(true);
    EXPECT_TRUE(IsDiskSyncEnabled());
    EXPECT_EQ(ReadFileBytes(m_folders.Root() + "/fast"), "x");
}

TEST_F(PathsTest, ReadWholeFileReadsEveryByte) {
    std::string big(200000, 'q');
    big[100] = '\0';
    WriteFileBytes(m_folders.Root() + "/big", big);
    std::string bytes = "stale";
    ASSERT_TRUE(ReadWholeFile(m_folders.Root() + "/big", bytes));
    EXPECT_EQ(bytes, big);
}

TEST_F(PathsTest, ReadWholeFileFailsCleanly) {
    std::string bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(m_folders.Root() + "/missing", bytes));
    EXPECT_TRUE(bytes.empty());
    bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(m_folders.Root(), bytes));
    EXPECT_TRUE(bytes.empty());
}

}   // namespace
