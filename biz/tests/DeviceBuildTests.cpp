// The device build: started by loading, its data in the registry's "AppPath" folder, its own
// change file names. Run through BizDeviceTestLauncher, which prepares the device's HOME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

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

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool AnyDataFileBelow(const std::string& folder) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().filename() == "Quillmar.dat")
            return true;
    }
    return false;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("QUILLMAR_TEST_DEVICE_MODE").empty()) << "run through BizDeviceTestLauncher";
        m_appPath = Env("QUILLMAR_TEST_APP_PATH");
    }
    void TearDown() override {
        Clock::Set(std::nullopt);
        Locale::OverrideUserDefault(nullptr);
    }
    std::string m_appPath;
};

using DeviceStarted = DeviceTest;
using DeviceWithoutAppPath = DeviceTest;
using DeviceUnwritableAppPath = DeviceTest;

}  // namespace

TEST_F(DeviceStarted, LoadingInitialisedTheStoreInTheAppPathFolder) {
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
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
    EXPECT_EQ(ReadFileBytes(m_appPath + "/Quillmar.dat"), ExpectedNewDataFile());
}

TEST_F(DeviceStarted, FileNamesMatchWithoutRegardToCase) {
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
    CClient client;
    client.set_Description(u"Kept");
    ASSERT_EQ(client.Save(), 1);
    std::filesystem::rename(m_appPath + "/Quillmar.dat", m_appPath + "/QUILLMAR.DAT");
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
    EXPECT_EQ(GetCurrDataHelper()->GetDataFilePath().ToUtf8(), m_appPath + "/QUILLMAR.DAT");
    EXPECT_EQ(GetCurrDataHelper()->RefID_To_ID(client.get_RefID(), u"client"), client.get_ID());
    EXPECT_FALSE(FileExists(m_appPath + "/Quillmar.dat"));
}

TEST_F(DeviceStarted, RecordsAreSavedIntoTheDeviceDataFile) {
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
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

TEST_F(DeviceWithoutAppPath, LoadingFailsAndNothingIsWritten) {
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 0);
    EXPECT_EQ(CDataHelper::GetAppPathUsingRegistry(), CString(u"/"));
    EXPECT_EQ(GetCurrDataHelper()->Initialize(), 0);
    EXPECT_FALSE(AnyDataFileBelow(Env("HOME")));
}

TEST_F(DeviceUnwritableAppPath, LoadingFailsWhenTheDataFileCannotBeWritten) {
    EXPECT_EQ(QuillmarBizDeviceLoaded(), 0);
    EXPECT_FALSE(AnyDataFileBelow(Env("HOME")));
}
