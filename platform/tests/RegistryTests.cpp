// The per-user registry through its public interface: values, keys, the file on disk, damaged
// and unreachable files, and changes made by another process.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/WriteFault.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const CString kSettings = "Software\\Kestovar\\Quillmar\\Settings";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetDiskSyncEnabled(false); }
    void TearDown() override { SetDiskSyncEnabled(true); }

    std::string RegistryFile() const { return m_folders.Home() + "/.config/Kestovar/registry.reg"; }
    std::vector<std::string> SetAsideFiles() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_folders.Home() + "/.config/Kestovar"))
            if (entry.path().filename().string().starts_with("registry.reg.unreadable-"))
                found.push_back(entry.path().string());
        return found;
    }
    void WriteRegistryFile(const std::string& text) {
        fs::create_directories(m_folders.Home() + "/.config/Kestovar");
        WriteFileBytes(RegistryFile(), text);
    }

    TempHome m_folders;
};

TEST_F(RegistryTest, FileLivesUnderTheConfigHome) {
    EXPECT_EQ(Registry::FilePath(), RegistryFile());
    m_folders.Set("XDG_CONFIG_HOME", m_folders.Root() + "/elsewhere");
    EXPECT_EQ(Registry::FilePath(), m_folders.Root() + "/elsewhere/Kestovar/registry.reg");
}

TEST_F(RegistryTest, MissingFileReadsAsEmptyAndIsNotCreatedByReading) {
    EXPECT_FALSE(Registry::KeyExists(kSettings));
    EXPECT_FALSE(Registry::QueryDword(kSettings, "FirstDayOfWeek"));
    EXPECT_EQ(Registry::GetDword(kSettings, "FirstDayOfWeek", 7u), 7u);
    EXPECT_EQ(Registry::GetString(kSettings, "Name", "none"), CString("none"));
    EXPECT_FALSE(fs::exists(RegistryFile()));
}

TEST_F(RegistryTest, DwordStringAndBinaryValuesRoundTrip) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "FirstDayOfWeek", 2));
    ASSERT_TRUE(Registry::SetString(kSettings, "Name", "Quillmar"));
    ASSERT_TRUE(Registry::SetBinary(kSettings, "MileageRate", {0x33, 0x33, 0xb3, 0x3e}));

    EXPECT_EQ(Registry::QueryDword(kSettings, "FirstDayOfWeek"), 2u);
    EXPECT_EQ(Registry::QueryString(kSettings, "Name"), CString("Quillmar"));
    EXPECT_EQ(Registry::QueryBinary(kSettings, "MileageRate"), (std::vector<uint8_t>{0x33, 0x33, 0xb3, 0x3e}));
    auto value = Registry::Query(kSettings, "FirstDayOfWeek");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, Registry::Type::Dword);
}

TEST_F(RegistryTest, FileIsInRegistryExportForm) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "FirstDayOfWeek", 2));
    ASSERT_TRUE(Registry::SetBinary(kSettings, "MileageRate", {0x33, 0x33, 0xb3, 0x3e}));
    ASSERT_TRUE(Registry::SetString(kSettings, "Path", "C:\\Data \"mine\""));
    EXPECT_EQ(ReadFileBytes(RegistryFile()),
              "Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CURRENT_USER\\Software]\n"
              "\n[HKEY_CURRENT_USER\\Software\\Kestovar]\n"
              "\n[HKEY_CURRENT_USER\\Software\\Kestovar\\Quillmar]\n"
              "\n[HKEY_CURRENT_USER\\Software\\Kestovar\\Quillmar\\Settings]\n"
              "\"FirstDayOfWeek\"=dword:00000002\n"
              "\"MileageRate\"=hex:33,33,b3,3e\n"
              "\"Path\"=\"C:\\\\Data \\\"mine\\\"\"\n");
}

TEST_F(RegistryTest, FileIsPrivateToItsUser) {
    ASSERT_TRUE(Registry::SetString("Software\\Kestovar\\Connection", "Key", "secret"));
    struct stat st {};
    ASSERT_EQ(::stat(RegistryFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, WrongTypeGivesNothingOrTheDefault) {
    ASSERT_TRUE(Registry::SetString(kSettings, "Rate", "12"));
    EXPECT_FALSE(Registry::QueryDword(kSettings, "Rate"));
    EXPECT_FALSE(Registry::QueryBinary(kSettings, "Rate"));
    EXPECT_EQ(Registry::GetDword(kSettings, "Rate", 5u), 5u);
    ASSERT_TRUE(Registry::SetDword(kSettings, "Rate", 12));
    EXPECT_EQ(Registry::GetString(kSettings, "Rate", "d"), CString("d"));
    EXPECT_EQ(Registry::GetDword(kSettings, "Rate", 5u), 12u);
}

TEST_F(RegistryTest, NamesCompareWithoutRegardToCase) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "FirstDayOfWeek", 3));
    EXPECT_EQ(Registry::QueryDword("software\\KESTOVAR\\quillmar\\settings", "firstdayofweek"), 3u);
    ASSERT_TRUE(Registry::SetDword(kSettings, "FIRSTDAYOFWEEK", 4));
    EXPECT_EQ(Registry::ValueNames(kSettings), std::vector<CString>{"FirstDayOfWeek"});
    EXPECT_EQ(Registry::GetDword(kSettings, "FirstDayOfWeek", 0), 4u);
}

TEST_F(RegistryTest, StringsKeepEveryCharacter) {
    const CString tricky = CString(u"Tab\there \\ \"q\" Grüße €\U0001F600 ] [x]");
    const CString lines = CString(u"first line\r\nsecond line\nthird");
    const CString withNul(std::u16string(u"a\0b", 3));
    ASSERT_TRUE(Registry::SetString(kSettings, "Tricky", tricky));
    ASSERT_TRUE(Registry::SetString(kSettings, "Lines", lines));
    ASSERT_TRUE(Registry::SetString(kSettings, "Nul", withNul));
    ASSERT_TRUE(Registry::SetString(kSettings, "Empty", ""));
    Registry::Reload();
    EXPECT_EQ(Registry::QueryString(kSettings, "Tricky"), tricky);
    EXPECT_EQ(Registry::QueryString(kSettings, "Lines"), lines);
    EXPECT_EQ(Registry::QueryString(kSettings, "Nul"), withNul);
    EXPECT_EQ(Registry::QueryString(kSettings, "Empty"), CString(""));
}

TEST_F(RegistryTest, LargeBinaryValueSurvivesTheFile) {
    std::vector<uint8_t> layout(5000);
    for (size_t i = 0; i < layout.size(); ++i)
        layout[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(Registry::SetBinary("Software\\Kestovar\\Quillmar\\ProfUIS222", "State", layout));
    ASSERT_TRUE(Registry::SetBinary(kSettings, "Nothing", {}));
    Registry::Reload();
    EXPECT_EQ(Registry::QueryBinary("Software\\Kestovar\\Quillmar\\ProfUIS222", "State"), layout);
    EXPECT_EQ(Registry::QueryBinary(kSettings, "Nothing"), std::vector<uint8_t>{});
}

TEST_F(RegistryTest, DefaultValueHasTheEmptyName) {
    ASSERT_TRUE(Registry::SetString(kSettings, "", "default"));
    EXPECT_NE(ReadFileBytes(RegistryFile()).find("@=\"default\"\n"), std::string::npos);
    Registry::Reload();
    EXPECT_EQ(Registry::QueryString(kSettings, ""), CString("default"));
}

TEST_F(RegistryTest, KeysAndTheirAncestorsExist) {
    ASSERT_TRUE(Registry::CreateKey(kSettings));
    EXPECT_TRUE(Registry::KeyExists(kSettings));
    EXPECT_TRUE(Registry::KeyExists("Software\\Kestovar"));
    EXPECT_TRUE(Registry::KeyExists("\\Software\\\\Kestovar\\"));
    EXPECT_TRUE(Registry::KeyExists(""));
    EXPECT_FALSE(Registry::KeyExists("Software\\Other"));
    EXPECT_TRUE(Registry::CreateKey(kSettings));   // already there
}

TEST_F(RegistryTest, SubKeysAndValueNamesListDirectChildrenInOrder) {
    ASSERT_TRUE(Registry::SetDword("Software\\Kestovar\\Quillmar\\Settings", "B", 1));
    ASSERT_TRUE(Registry::SetDword("Software\\Kestovar\\Quillmar\\Settings", "A", 2));
    ASSERT_TRUE(Registry::CreateKey("Software\\Kestovar\\Quillmar\\ProfUIS222\\Bars"));
    ASSERT_TRUE(Registry::CreateKey("Software\\Kestovar\\Connection"));
    EXPECT_EQ(Registry::SubKeys("Software\\Kestovar\\Quillmar"), (std::vector<CString>{"ProfUIS222", "Settings"}));
    EXPECT_EQ(Registry::SubKeys("Software\\Kestovar"), (std::vector<CString>{"Connection", "Quillmar"}));
    EXPECT_EQ(Registry::SubKeys(""), std::vector<CString>{"Software"});
    EXPECT_EQ(Registry::ValueNames(kSettings), (std::vector<CString>{"B", "A"}));
    EXPECT_TRUE(Registry::SubKeys("Software\\Missing").empty());
    EXPECT_TRUE(Registry::ValueNames("Software\\Missing").empty());
}

TEST_F(RegistryTest, DeleteValueRemovesOnlyThatValue) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    ASSERT_TRUE(Registry::SetDword(kSettings, "B", 2));
    EXPECT_TRUE(Registry::DeleteValue(kSettings, "a"));
    EXPECT_FALSE(Registry::DeleteValue(kSettings, "A"));
    EXPECT_FALSE(Registry::DeleteValue("Software\\Missing", "A"));
    Registry::Reload();
    EXPECT_FALSE(Registry::QueryDword(kSettings, "A"));
    EXPECT_EQ(Registry::QueryDword(kSettings, "B"), 2u);
}

TEST_F(RegistryTest, DeleteTreeRemovesTheKeyAndEverythingBelowButNotItsNeighbours) {
    ASSERT_TRUE(Registry::SetDword("Software\\Kestovar\\Quillmar\\ProfUIS222\\Bars", "X", 1));
    ASSERT_TRUE(Registry::SetDword("Software\\Kestovar\\Quillmar\\ProfUIS222", "Y", 1));
    ASSERT_TRUE(Registry::SetDword("Software\\Kestovar\\Quillmar\\ProfUIS2220", "Z", 1));
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    EXPECT_TRUE(Registry::DeleteTree("software\\kestovar\\quillmar\\profuis222"));
    EXPECT_FALSE(Registry::KeyExists("Software\\Kestovar\\Quillmar\\ProfUIS222"));
    EXPECT_FALSE(Registry::KeyExists("Software\\Kestovar\\Quillmar\\ProfUIS222\\Bars"));
    EXPECT_TRUE(Registry::KeyExists("Software\\Kestovar\\Quillmar\\ProfUIS2220"));
    EXPECT_EQ(Registry::QueryDword(kSettings, "A"), 1u);
    EXPECT_FALSE(Registry::DeleteTree("Software\\Kestovar\\Quillmar\\ProfUIS222"));
}

TEST_F(RegistryTest, DeleteTreeOfTheHiveEmptiesItButKeepsItsFile) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    EXPECT_TRUE(Registry::DeleteTree(""));
    EXPECT_FALSE(Registry::KeyExists("Software"));
    EXPECT_TRUE(Registry::KeyExists(""));
    EXPECT_TRUE(fs::exists(RegistryFile()));
}

TEST_F(RegistryTest, NamesThatCannotBeStoredAreRefused) {
    EXPECT_FALSE(Registry::SetDword("Software\\Bad\nKey", "A", 1));
    EXPECT_FALSE(Registry::SetDword(kSettings, "Bad\nName", 1));
    EXPECT_FALSE(Registry::SetString(kSettings, CString(std::u16string(u"N\0", 2)), "x"));
    EXPECT_FALSE(Registry::CreateKey("Software\\Bad\rKey"));
    EXPECT_FALSE(Registry::KeyExists("Software"));
}

TEST_F(RegistryTest, ChangesByAnotherWriterAreSeen) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    ASSERT_EQ(Registry::QueryDword(kSettings, "A"), 1u);
    ASSERT_TRUE(WriteFileAtomically(RegistryFile(),
                                    "Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Kestovar\\Quillmar\\Settings]\n"
                                    "\"A\"=dword:00000009\n"));
    EXPECT_EQ(Registry::QueryDword(kSettings, "A"), 9u);
}

TEST_F(RegistryTest, InPlaceEditOfTheFileIsSeen) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    ASSERT_EQ(Registry::QueryDword(kSettings, "A"), 1u);
    {
        std::ofstream out(RegistryFile(), std::ios::app);
        out << "\"B\"=\"added\"\n";
    }
    EXPECT_EQ(Registry::QueryString(kSettings, "B"), CString("added"));
}

TEST_F(RegistryTest, WriteKeepsValuesAnotherWriterAddedMeanwhile) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "Mine", 1));
    ASSERT_TRUE(WriteFileAtomically(RegistryFile(), ReadFileBytes(RegistryFile()) + "\"Theirs\"=dword:00000002\n"));
    ASSERT_TRUE(Registry::SetDword(kSettings, "Later", 3));
    Registry::Reload();
    EXPECT_EQ(Registry::QueryDword(kSettings, "Theirs"), 2u);
    EXPECT_EQ(Registry::QueryDword(kSettings, "Later"), 3u);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    const int kEach = 40;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = true;
        for (int i = 0; i < kEach; ++i)
            ok = Registry::SetDword(kSettings, CString::Formatted(u"Child%d", i), i) && ok;
        ::_exit(ok ? 0 : 1);
    }
    for (int i = 0; i < kEach; ++i)
        EXPECT_TRUE(Registry::SetDword(kSettings, CString::Formatted(u"Parent%d", i), i));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    Registry::Reload();
    EXPECT_EQ(Registry::ValueNames(kSettings).size(), static_cast<size_t>(2 * kEach));
}

TEST_F(RegistryTest, DamagedFileIsKeptAsideAndAFreshOneBegun) {
    const std::string damaged = "[HKEY_CURRENT_USER\\Software]\n\"A\"=dword:zz\n";
    WriteRegistryFile(damaged);
    EXPECT_FALSE(Registry::KeyExists("Software"));
    auto aside = SetAsideFiles();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFileBytes(aside[0]), damaged);
    EXPECT_TRUE(fs::path(aside[0]).filename().string().size() ==
                std::string("registry.reg.unreadable-yyyymmdd-hhmmss").size());
    EXPECT_EQ(ReadFileBytes(RegistryFile()), "Windows Registry Editor Version 5.00\n");
    EXPECT_TRUE(Registry::SetDword(kSettings, "A", 1));
    EXPECT_EQ(Registry::QueryDword(kSettings, "A"), 1u);
}

TEST_F(RegistryTest, SecondDamagedFileDoesNotReplaceTheFirst) {
    WriteRegistryFile("first damage");
    ASSERT_FALSE(Registry::KeyExists("Software"));
    WriteRegistryFile("second damage");
    ASSERT_FALSE(Registry::KeyExists("Software"));
    auto aside = SetAsideFiles();
    ASSERT_EQ(aside.size(), 2u);
    std::set<std::string> contents{ReadFileBytes(aside[0]), ReadFileBytes(aside[1])};
    EXPECT_EQ(contents, (std::set<std::string>{"first damage", "second damage"}));
}

TEST_F(RegistryTest, FileThatCannotBeReadIsNeverOverwritten) {
    fs::create_directories(RegistryFile());   // a folder where the file should be
    EXPECT_FALSE(Registry::QueryDword(kSettings, "A"));
    EXPECT_FALSE(Registry::SetDword(kSettings, "A", 1));
    EXPECT_TRUE(fs::is_directory(RegistryFile()));
    EXPECT_TRUE(SetAsideFiles().empty());
}

TEST_F(RegistryTest, ConfigFolderThatCannotBeMadeFailsWrites) {
    WriteFileBytes(m_folders.Root() + "/plainfile", "x");
    m_folders.Set("XDG_CONFIG_HOME", m_folders.Root() + "/plainfile");
    EXPECT_FALSE(Registry::SetDword(kSettings, "A", 1));
    EXPECT_FALSE(Registry::QueryDword(kSettings, "A"));
    EXPECT_FALSE(Registry::KeyExists(kSettings));
    EXPECT_EQ(ReadFileBytes(m_folders.Root() + "/plainfile"), "x");
}

TEST_F(RegistryTest, HandWrittenFileIsRead) {
    WriteRegistryFile(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "; written by the device installer\r\n"
        "[HKEY_CURRENT_USER\\Software\\Kestovar\\Quillmar\\Settings]\r\n"
        "\"AppPath\"=\"/home/device/Quillmar\"\r\n"
        "\"Layout\"=hex:01,02,\\\r\n"
        "  03,04\r\n");
    EXPECT_EQ(Registry::QueryString(kSettings, "AppPath"), CString("/home/device/Quillmar"));
    EXPECT_EQ(Registry::QueryBinary(kSettings, "Layout"), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(SetAsideFiles().empty());
}

TEST_F(RegistryTest, FileOfVeryManyValuesIsReadWhole) {
    // Far more values than settings ever hold: reading must not grow with their square.
    constexpr int kValues = 400000;
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Many]\n";
    for (int i = 0; i < kValues; ++i)
        text += "\"V" + std::to_string(i) + "\"=dword:" + std::to_string(i % 10) + "\n";
    text += "\"v7\"=dword:00000009\n";   // the same name again, in another case: the last value wins
    WriteRegistryFile(text);
    EXPECT_EQ(Registry::ValueNames("Software\\Many").size(), static_cast<size_t>(kValues));
    EXPECT_EQ(Registry::QueryDword("Software\\Many", "V123457"), 7u);
    EXPECT_EQ(Registry::QueryDword("Software\\Many", "V7"), 9u);
    EXPECT_EQ(Registry::ValueNames("Software\\Many")[7], CString("V7"));
}

TEST_F(RegistryTest, LeftoversOfKilledWritersGoWhenTheRegistryStarts) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    WriteRegistryFile("");
    const std::string leftover =
        m_folders.Home() + "/.config/Kestovar/.registry.reg.tmp-" + std::to_string(child) + "-4";
    WriteFileBytes(leftover, "a copy of the settings");
    Registry::Reload();
    EXPECT_FALSE(Registry::KeyExists("Software"));
    EXPECT_FALSE(fs::exists(leftover));
}

TEST_F(RegistryTest, FailedWriteKeepsTheValueOutAndTheFileAsItWas) {
    ASSERT_TRUE(Registry::SetDword(kSettings, "A", 1));
    const std::string before = ReadFileBytes(RegistryFile());
    for (WriteFault::Op op :
         {WriteFault::Op::Write, WriteFault::Op::ShortWrite, WriteFault::Op::Sync, WriteFault::Op::Rename}) {
        WriteFault::Scope fault(op, 1, ENOSPC);
        EXPECT_FALSE(Registry::SetDword(kSettings, "B", 2));
        EXPECT_EQ(ReadFileBytes(RegistryFile()), before);
        EXPECT_FALSE(Registry::QueryDword(kSettings, "B"));
    }
    EXPECT_TRUE(Registry::SetDword(kSettings, "B", 2));
    EXPECT_EQ(Registry::QueryDword(kSettings, "B"), 2u);
}

}   // namespace
