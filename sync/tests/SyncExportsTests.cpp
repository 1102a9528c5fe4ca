// The Sync library's exports as the connection service calls them: loaded from the device's
// program folder in a fresh process, answering through LocalAlloc, failing through the status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "biz/DataHelper.h"
#include "biz/SyncHelper.h"
#include "platform/WindowMessages.h"
#include "sync/tests/SyncTestSupport.h"

namespace {

constexpr uint32_t kFailure = 0x80004005u;   // E_FAIL
constexpr uint32_t kReloadDataMessage = 1124;

class SyncExports : public SyncTest {};

std::string AnswerText(const ExportCall& call) {
    return call.answer.empty() ? std::string() : call.answer.substr(0, call.answer.size() - 1);
}

TEST_F(SyncExports, AnswersTheSyncIdOfANewDeviceDataFile) {
    // Made at another time than the desktop's, so with another "syncID".
    Advance(5);
    const ExportCall call = CallDevice("GetDeviceSideSyncID");
    ASSERT_TRUE(call.ran) << call.errorText;
    EXPECT_EQ(call.status, 0u);
    // The text with its terminating zero byte, counted in the size.
    ASSERT_FALSE(call.answer.empty());
    EXPECT_EQ(call.answer.back(), '\0');
    const FileSnapshot device = ReadFileSnapshot(DeviceDataFile());
    ASSERT_TRUE(device.loaded);
    EXPECT_EQ(AnswerText(call), device.metaData.at("syncID"));
    EXPECT_EQ(AnswerText(call).back(), '0');
    EXPECT_NE(AnswerText(call), Store().GetMetaDataValue(u"syncID").ToUtf8());
}

TEST_F(SyncExports, AnswersTheDesktopSyncIdAfterTheDesktopDataFileWasCopied) {
    FullSyncToDevice();
    const ExportCall call = CallDevice("GetDeviceSideSyncID");
    ASSERT_TRUE(call.ran) << call.errorText;
    EXPECT_EQ(AnswerText(call), Store().GetMetaDataValue(u"syncID").ToUtf8());
}

TEST_F(SyncExports, EveryExportFailsWhenTheDeviceHasNoProgramFolder) {
    const std::string home = MakeDeviceHome("unset-device");
    SetDeviceAppPath(home, std::nullopt);
    for (const char* name : {"GetDeviceSideSyncID", "TriggerDeviceSide_SerializeLocalChanges",
                             "TriggerDeviceSide_CommitRemoteChanges", "TriggerDeviceSide_UpdateLastSyncDateTime"}) {
        const ExportCall call = CallDevice(name, home);
        ASSERT_TRUE(call.ran) << call.errorText;
        EXPECT_EQ(call.status, kFailure) << name;
        EXPECT_TRUE(call.answer.empty()) << name;
    }
}

TEST_F(SyncExports, SerialisingReportsAChangeFileThatCannotBeWritten) {
    // A folder where the change file belongs can neither be replaced nor written.
    std::filesystem::create_directories(DeviceFolder() + "/device.xml/keep");
    const ExportCall call = CallDevice("TriggerDeviceSide_SerializeLocalChanges");
    ASSERT_TRUE(call.ran) << call.errorText;
    EXPECT_EQ(call.status, kFailure);
}

TEST_F(SyncExports, CommittingAnUnreadableChangeFileFailsAndKeepsEverything) {
    ExpectDeviceCallSucceeds("TriggerDeviceSide_UpdateLastSyncDateTime");
    const std::string lastSync = ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync");
    Advance();
    std::ofstream(DeviceFolder() + "/Desktop.xml") << "<quillmar><client id=\"1\"";
    const ExportCall call = CallDevice("TriggerDeviceSide_CommitRemoteChanges");
    ASSERT_TRUE(call.ran) << call.errorText;
    EXPECT_EQ(call.status, kFailure);
    EXPECT_TRUE(FileExists(DeviceFolder() + "/Desktop.xml"));
    EXPECT_EQ(ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync"), lastSync);
}

TEST_F(SyncExports, UpdateLastSyncDateTimeMovesTheDeviceLastSync) {
    ExpectDeviceCallSucceeds("GetDeviceSideSyncID");
    const std::string before = ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync");
    Advance(3600);
    ExpectDeviceCallSucceeds("TriggerDeviceSide_UpdateLastSyncDateTime");
    const std::string after = ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync");
    EXPECT_NE(after, before);
    EXPECT_EQ(after, "3/2/2026 10:00:00 AM");
}

TEST_F(SyncExports, CommitWithoutAChangeFileRemovesTheOwnOneAndTellsTheProgram) {
    std::unique_ptr<WindowEndpoint> window = WindowEndpoint::Open(u"Quillmar");
    ASSERT_NE(window, nullptr);
    ExpectDeviceCallSucceeds("GetDeviceSideSyncID");
    const std::string before = ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync");
    std::ofstream(DeviceFolder() + "/device.xml") << "<quillmar>\r\n</quillmar>\r\n";
    Advance();
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    EXPECT_FALSE(FileExists(DeviceFolder() + "/device.xml"));
    // Nothing was serialised, so nothing new was sent: "lastSync" stays.
    EXPECT_EQ(ReadFileSnapshot(DeviceDataFile()).metaData.at("lastSync"), before);
    const std::optional<WindowMessage> message = window->Wait(5000);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->message, kReloadDataMessage);
    EXPECT_EQ(message->wParam, 0u);
    EXPECT_EQ(message->lParam, 0);
}

TEST_F(SyncExports, CommitSucceedsWhenTheDeviceProgramIsNotRunning) {
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    EXPECT_TRUE(FileExists(DeviceDataFile()));
}

TEST_F(SyncExports, TheLibraryLoadsFromACaseInsensitiveProgramFolderAndServesItsFiles) {
    // The desktop puts its change file as "Desktop.xml"; the device reads it as "desktop.xml".
    ExpectDeviceCallSucceeds("GetDeviceSideSyncID");
    std::ofstream(DeviceFolder() + "/Desktop.xml")
        << "<quillmar>\r\n<client id=\"40\" refId=\"CASE40\">\r\n<description>Case</description>\r\n"
           "<modified>3/2/2026 08:00:00 AM</modified>\r\n</client>\r\n</quillmar>\r\n";
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    const FileSnapshot device = ReadFileSnapshot(DeviceDataFile());
    EXPECT_EQ(device.records.count({"client", "CASE40"}), 1u);
    EXPECT_FALSE(FileExists(DeviceFolder() + "/Desktop.xml"));
}

}   // namespace
