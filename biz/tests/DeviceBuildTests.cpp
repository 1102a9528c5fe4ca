// The device build: loading it touches nothing; its data store starts when asked, in the
// registry's "AppPath" folder, with the device's change file names. Each test has a device
// HOME of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "biz/BizApp.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/EntryAmounts.h"
#include "biz/EntryTimer.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Registry.h"

namespace {

const CString kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

bool AnyDataFileBelow(const std::string& folder) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().filename() == "Quillmar.dat")
            return true;
    }
    return false;
}

// Runs this test program again, listing its tests only, in the current environment: a process
// that loads the device build and never starts it. True when it ended normally.
bool RunThisProgramListingOnly() {
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0)
            dup2(devNull, STDOUT_FILENO);
        execl("/proc/self/exe", "BizDeviceTests", "--gtest_list_tests", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class DeviceTest : public ::testing::Test {
protected:
    void TearDown() override {
        Clock::Set(std::nullopt);
        Locale::OverrideUserDefault(nullptr);
    }
    std::string AppPath() const { return m_home.Root() + "/Program Files/Quillmar"; }
    static void SetAppPath(const std::string& folder) {
        ASSERT_TRUE(Registry::SetString(kSettingsKey, u"AppPath", CString::FromUtf8(folder)));
    }
    void MakeAppPath() {
        ASSERT_TRUE(std::filesystem::create_directories(AppPath()));
        SetAppPath(AppPath());
    }

    TempHome m_home;
};

class DeviceStarted : public DeviceTest {
protected:
    void SetUp() override {
        MakeAppPath();
        ASSERT_EQ(QuillmarBizDeviceStart(), 1);
        m_appPath = AppPath();
    }
    std::string m_appPath;
};

using DeviceNotStarted = DeviceTest;

}   // namespace

TEST_F(DeviceStarted, StartingInitialisedTheStoreInTheAppPathFolder) {
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 1);
    CDataHelper* store = GetCurrDataHelper();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->GetDataFilePath().ToUtf8(), m_appPath + "/Quillmar.dat");
    EXPECT_TRUE(FileExists(m_appPath + "/Quillmar.dat"));
    EXPECT_EQ(store->GetMetaDataValue(u"lastId"), CString(u"3"));
    EXPECT_EQ(CDataHelper::GetAppPathUsingRegistry().ToUtf8(), m_appPath + "/");
}

TEST_F(DeviceStarted, ChangeFilesAreTheDeviceOnes) {
    CDataHelper* store = GetCurrDataHelper();
    EXPECT_EQ(store->GetOwnChangeFilePath().ToUtf8(), m_appPath + "/device.xml");
    EXPECT_EQ(store->GetOtherChangeFilePath().ToUtf8(), m_appPath + "/desktop.xml");
}

TEST_F(DeviceStarted, NewDataFileHasTheSameBytesAsTheDesktopOne) {
    ASSERT_EQ(std::remove((m_appPath + "/Quillmar.dat").c_str()), 0);
    Clock::Set(TestNow());
    Locale::OverrideUserDefault(&Locale::EnglishUS());
    ASSERT_EQ(QuillmarBizDeviceStart(), 1);
    EXPECT_EQ(ReadFileBytes(m_appPath + "/Quillmar.dat"), ExpectedNewDataFile());
}

TEST_F(DeviceStarted, FileNamesMatchWithoutRegardToCase) {
    CClient client;
    client.set_Description(u"Kept");
    ASSERT_EQ(client.Save(), 1);
    std::filesystem::rename(m_appPath + "/Quillmar.dat", m_appPath + "/QUILLMAR.DAT");
    ASSERT_EQ(QuillmarBizDeviceStart(), 1);
    EXPECT_EQ(GetCurrDataHelper()->GetDataFilePath().ToUtf8(), m_appPath + "/QUILLMAR.DAT");
    EXPECT_EQ(GetCurrDataHelper()->RefID_To_ID(client.get_RefID(), u"client"), client.get_ID());
    EXPECT_FALSE(FileExists(m_appPath + "/Quillmar.dat"));
}

TEST_F(DeviceStarted, RecordsAreSavedIntoTheDeviceDataFile) {
    CProjectItem entry;
    entry.set_Description(u"On the road");
    ASSERT_EQ(entry.Save(), 1);
    const std::string text = ReadFileBytes(GetCurrDataHelper()->GetDataFilePath().ToUtf8());
    EXPECT_NE(text.find("<description>On the road</description>"), std::string::npos);
}

TEST_F(DeviceStarted, TheTimerHasItsOwnFileAndSavesIntoTheDeviceDataFile) {
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
    Clock::Set(TestNow());
    CEntryTimer timer;
    const std::string registry = Registry::FilePath();
    EXPECT_EQ(timer.StatePath(), registry.substr(0, registry.rfind('/')) + "/Quillmar-device.timer");
    ASSERT_EQ(timer.Start(u"SAMP002", CString(), u"Timed on the road").result, CEntryTimer::Result::Done);
    Clock::AdvanceSeconds(300);
    ASSERT_EQ(timer.Stop().result, CEntryTimer::Result::Done);
    const std::string text = ReadFileBytes(GetCurrDataHelper()->GetDataFilePath().ToUtf8());
    EXPECT_NE(text.find("<description>Timed on the road</description>"), std::string::npos);
    // The handheld forms the amount in single precision.
    EXPECT_EQ(TimeEntryAmount(5, 33.33f), 2.77750015f);
}

TEST_F(DeviceStarted, AFailedStartLeavesTheLibraryRefusing) {
    SetAppPath(m_home.Root() + "/missing/folder");
    EXPECT_EQ(QuillmarBizDeviceStart(), 0);
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 0);
}

TEST_F(DeviceNotStarted, LoadingTheLibraryTouchesNoDataFile) {
    // The program reads its arguments (--set-app-path) before anything may open the data file.
    MakeAppPath();
    ASSERT_TRUE(RunThisProgramListingOnly());
    EXPECT_FALSE(AnyDataFileBelow(m_home.Root()));
}

TEST_F(DeviceNotStarted, WithoutAppPathStartFailsAndNothingIsWritten) {
    ASSERT_TRUE(Registry::CreateKey(kSettingsKey));
    EXPECT_EQ(QuillmarBizDeviceStart(), 0);
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 0);
    EXPECT_EQ(CDataHelper::GetAppPathUsingRegistry(), CString(u"/"));
    EXPECT_EQ(GetCurrDataHelper()->Initialize(), 0);
    EXPECT_FALSE(AnyDataFileBelow(m_home.Root()));
}

TEST_F(DeviceNotStarted, StartFailsWhenTheAppPathFolderIsMissing) {
    SetAppPath(m_home.Root() + "/missing/folder");
    EXPECT_EQ(QuillmarBizDeviceStart(), 0);
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 0);
    EXPECT_FALSE(AnyDataFileBelow(m_home.Root()));
}
