// The desktop's synchronisation with a device over the real connection service on loopback.
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>

#include "biz/DataFileSummary.h"
#include "biz/DataHelper.h"
#include "biz/SyncDriverCeRapi.h"
#include "biz/SyncHelper.h"
#include "platform/WindowMessages.h"
#include "platform/WriteFault.h"
#include "sync/e2e/SyncE2eFixture.h"

namespace {

constexpr uint32_t kReloadMessage = 1124;

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 37 + i / 251) & 0xFF);
    return bytes;
}

}   // namespace

using Connection = SyncE2eTest;
using Partnership = SyncE2eTest;
using FullSync = SyncE2eTest;
using RegularSync = SyncE2eTest;
using ChangeFiles = SyncE2eTest;
using Driver = SyncE2eTest;

TEST_F(Connection, ConnectsAndFindsTheDeviceFolder) {
    CSyncHelper helper;
    EXPECT_EQ(helper.Initialize(), 1) << helper.GetLastErrorText().ToUtf8();
    EXPECT_TRUE(helper.GetLastErrorText().IsEmpty());
}

TEST_F(Connection, NoDeviceRunningFailsInitialize) {
    ASSERT_TRUE(machine->StopService());
    CSyncHelper helper;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(helper.Initialize(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(16));
    EXPECT_FALSE(helper.GetLastErrorText().IsEmpty());
    EXPECT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Failed);
}

TEST_F(Connection, MissingSyncLibraryIsReportedNotTakenForAnswers) {
    std::filesystem::remove(machine->DeviceFile("libSync.so"));
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    EXPECT_EQ(helper.VerifyPartnership(), 0);
    EXPECT_FALSE(helper.GetLastErrorText().IsEmpty());
    EXPECT_EQ(helper.TriggerDeviceSide_SerializeLocalChanges(), 0);
    EXPECT_EQ(helper.TriggerDeviceSide_CommitRemoteChanges(), 0);
    // A device that cannot answer is a failure, never "not partners" (which offers a full copy).
    EXPECT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Failed);
}

TEST_F(Partnership, IndependentDataFilesAreNotPartners) {
    const std::string deviceBefore = ReadFileBytes(machine->DeviceDataFile());
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    EXPECT_EQ(helper.VerifyPartnership(), 0);
    EXPECT_TRUE(helper.GetLastErrorText().IsEmpty()) << helper.GetLastErrorText().ToUtf8();
    EXPECT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_NotPartners);
    EXPECT_EQ(ReadFileBytes(machine->DeviceDataFile()), deviceBefore);
    EXPECT_FALSE(FileExists(machine->DesktopFile("desktop.xml")));
}

TEST_F(FullSync, DesktopDataReplacesDeviceDataAndMakesPartners) {
    NewClient("Only on the desktop");
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformFullSync(1), 1) << helper.GetLastErrorText().ToUtf8();
    EXPECT_EQ(helper.VerifyPartnership(), 1);
    ExpectConverged();
    EXPECT_EQ(Device().metaData.at("syncID"), Desktop().metaData.at("syncID"));
    EXPECT_FALSE(Device().RefIdOf("client", "Only on the desktop").empty());
}

TEST_F(FullSync, DeviceDataReplacesDesktopDataAndMakesPartners) {
    std::string deviceClient;
    ASSERT_TRUE(machine->OnDevice([&] { deviceClient = NewClient("Only on the device"); }));
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformFullSync(0), 1) << helper.GetLastErrorText().ToUtf8();
    EXPECT_EQ(ReadFileBytes(machine->DesktopDataFile()), ReadFileBytes(machine->DeviceDataFile()));
    ASSERT_EQ(GetCurrDataHelper()->Initialize(), 1);
    EXPECT_EQ(helper.VerifyPartnership(), 1);
    EXPECT_TRUE(Desktop().Has("client", deviceClient));
}

TEST_F(FullSync, CutWhileCopyingTowardsDeviceKeepsDeviceDataAndDesktopChanges) {
    PartnerLocally();
    WaitForNextSecond();
    NewClient("Changed since the last synchronisation");
    const std::string deviceBefore = ReadFileBytes(machine->DeviceDataFile());
    const std::string lastSyncBefore = Desktop().metaData.at("lastSync");
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    // The file is created, its first chunk written, then the connection ends.
    machine->Proxy().Arm(LoopbackProxy::Fault::DropRequest, 2);
    EXPECT_EQ(helper.PerformFullSync(1), 0);
    EXPECT_FALSE(helper.GetLastErrorText().IsEmpty());
    EXPECT_EQ(ReadFileBytes(machine->DeviceDataFile()), deviceBefore);
    // The desktop's change has not reached the device, so it must go out next time.
    EXPECT_EQ(Desktop().metaData.at("lastSync"), lastSyncBefore);
}

TEST_F(FullSync, LastSyncThatCannotBePutBackIsReported) {
    PartnerLocally();
    WaitForNextSecond();
    NewClient("Changed since the last synchronisation");
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    machine->Proxy().Arm(LoopbackProxy::Fault::DropRequest, 2);
    // The first write of the data file stamps the new "lastSync"; the second would put it back.
    WriteFault::Scope fault(WriteFault::Op::Rename, 2, ENOSPC);
    EXPECT_EQ(helper.PerformFullSync(1), 0);
    EXPECT_TRUE(WriteFault::Fired());
    EXPECT_GE(helper.GetLastErrorText().Find(u"could not be put back"), 0) << helper.GetLastErrorText().ToUtf8();
    // What this process holds is what the file holds.
    EXPECT_EQ(GetCurrDataHelper()->GetMetaDataValue(u"lastSync").ToUtf8(), Desktop().metaData.at("lastSync"));
}

TEST_F(FullSync, CutWhileCopyingFromDeviceKeepsDesktopData) {
    const std::string desktopBefore = ReadFileBytes(machine->DesktopDataFile());
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    // "lastSync" on the device, opening the data file, its size; then the connection ends.
    machine->Proxy().Arm(LoopbackProxy::Fault::DropRequest, 3);
    EXPECT_EQ(helper.PerformFullSync(0), 0);
    EXPECT_EQ(ReadFileBytes(machine->DesktopDataFile()), desktopBefore);
}

TEST_F(RegularSync, ChangesOnBothSidesConverge) {
    MakeWorkloadBase();
    {
        CSyncHelper helper;
        ASSERT_EQ(helper.Initialize(), 1);
        ASSERT_EQ(helper.PerformFullSync(1), 1) << helper.GetLastErrorText().ToUtf8();
    }
    WaitForNextSecond();
    MakeWorkloadChanges();
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    ExpectWorkloadOutcome();
}

TEST_F(RegularSync, SummaryCountsWhatEachSideChangedAndHowConflictsWereResolved) {
    MakeWorkloadBase();
    PartnerLocally();
    WaitForNextSecond();
    MakeWorkloadChanges();
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    const CSyncSummary& summary = helper.GetSummary();
    // Sent: the new client, client A and entry G changed; entries D and F deleted.
    EXPECT_EQ(summary.sent.at(u"client"), 2);
    EXPECT_EQ(summary.sent.at(u"projectItem"), 1);
    EXPECT_EQ(summary.SentTotal(), 3);
    EXPECT_EQ(summary.deletionsSent, 2);
    // Received: the device's new client, client B, and entry F (deleted here, changed there).
    EXPECT_EQ(summary.received.at(u"client"), 2);
    EXPECT_EQ(summary.received.at(u"projectItem"), 1);
    EXPECT_EQ(summary.ReceivedTotal(), 3);
    // The device deleted the category and entry E.
    EXPECT_EQ(summary.deletionsApplied, 2);
    // Entry G changed on both sides: the desktop's version kept; entry F came back.
    EXPECT_EQ(summary.conflictsKeptOwn, 1);
    EXPECT_EQ(summary.conflictsRestored, 1);
    EXPECT_EQ(summary.conflictsChangedMeanwhile, 0);
    EXPECT_EQ(summary.conflictsDeletionRefused, 0);
    ExpectWorkloadOutcome();
}

TEST_F(RegularSync, WithoutChangesOnlyMovesLastSync) {
    PartnerLocally();
    WaitForNextSecond();
    const DataSnapshot desktopBefore = Desktop();
    const DataSnapshot deviceBefore = Device();
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    ExpectConverged();
    EXPECT_EQ(Desktop().records, desktopBefore.records);
    EXPECT_EQ(Device().records, deviceBefore.records);
    EXPECT_NE(Desktop().metaData.at("lastSync"), desktopBefore.metaData.at("lastSync"));
    EXPECT_NE(Device().metaData.at("lastSync"), deviceBefore.metaData.at("lastSync"));
}

TEST_F(RegularSync, SecondSynchronisationSendsOnlyNewChanges) {
    MakeWorkloadBase();
    PartnerLocally();
    WaitForNextSecond();
    MakeWorkloadChanges();
    {
        CSyncHelper helper;
        ASSERT_EQ(helper.Initialize(), 1);
        ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    }
    WaitForNextSecond();
    const std::string later = NewClient("Later on the desktop");
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    ExpectWorkloadOutcome();
    EXPECT_TRUE(Device().Has("client", later));
}

TEST_F(RegularSync, DeviceProgramIsToldToReload) {
    PartnerLocally();
    std::unique_ptr<WindowEndpoint> deviceWindow;
    machine->WithDeviceEnvironment([&] { deviceWindow = WindowEndpoint::Open(u"Quillmar"); });
    ASSERT_TRUE(deviceWindow);
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    const std::optional<WindowMessage> message = deviceWindow->Wait(5000);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->message, kReloadMessage);
    EXPECT_EQ(message->wParam, 0u);
    EXPECT_EQ(message->lParam, 0);
}

TEST_F(RegularSync, StepsAreAnnouncedInOrder) {
    PartnerLocally();
    std::vector<CSyncHelper::SyncStep> steps;
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.PerformRegularSync([&](CSyncHelper::SyncStep step) { steps.push_back(step); }),
              CSyncHelper::SyncResult_Done);
    const std::vector<CSyncHelper::SyncStep> expected{
        CSyncHelper::SyncStep_VerifyPartnership, CSyncHelper::SyncStep_Announce,
        CSyncHelper::SyncStep_DeviceSerialize,   CSyncHelper::SyncStep_Receive,
        CSyncHelper::SyncStep_DesktopSerialize,  CSyncHelper::SyncStep_Send,
        CSyncHelper::SyncStep_DesktopApply,      CSyncHelper::SyncStep_DeviceCommit,
        CSyncHelper::SyncStep_DesktopComplete};
    EXPECT_EQ(steps, expected);
}

TEST_F(ChangeFiles, AreCopiedByteForByteAtChunkEdges) {
    for (const size_t size : {size_t(0), size_t(1), size_t(8191), size_t(8192), size_t(8193), size_t(3 * 8192 + 5)}) {
        SCOPED_TRACE(size);
        const std::string toDevice = Pattern(size);
        const std::string fromDevice = Pattern(size + 1).substr(1);
        ASSERT_TRUE(WriteFileBytes(machine->DesktopFile("desktop.xml"), toDevice));
        ASSERT_TRUE(WriteFileBytes(machine->DeviceFile("device.xml"), fromDevice));
        CSyncHelper helper;
        ASSERT_EQ(helper.Initialize(), 1);
        ASSERT_EQ(helper.ExchangeChangeFiles(), 1) << helper.GetLastErrorText().ToUtf8();
        EXPECT_EQ(ReadFileBytes(DeviceFileNoCase("desktop.xml")), toDevice);
        EXPECT_EQ(ReadFileBytes(machine->DesktopFile("device.xml")), fromDevice);
    }
}

TEST_F(ChangeFiles, LeftoversOfAnUnfinishedSynchronisationAreNotCommittedAgain) {
    ASSERT_TRUE(WriteFileBytes(machine->DeviceFile("desktop.xml"),
                               "<quillmar>\r\n<client id=\"9\" refId=\"OLD9\"/>\r\n</quillmar>\r\n"));
    ASSERT_TRUE(WriteFileBytes(machine->DesktopFile("device.xml"),
                               "<quillmar>\r\n<client id=\"8\" refId=\"OLD8\"/>\r\n</quillmar>\r\n"));
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    ASSERT_EQ(helper.ExchangeChangeFiles(), 1) << helper.GetLastErrorText().ToUtf8();
    const DataSnapshot onDevice = DataSnapshot::Read(DeviceFileNoCase("desktop.xml"));
    EXPECT_TRUE(onDevice.loaded);
    EXPECT_TRUE(onDevice.records.empty());
    EXPECT_FALSE(FileExists(machine->DesktopFile("device.xml")));
}

TEST_F(ChangeFiles, CutWhileSendingKeepsTheDevicesFile) {
    const std::string previous = "<quillmar>\r\n</quillmar>\r\n";
    ASSERT_TRUE(WriteFileBytes(machine->DeviceFile("desktop.xml"), previous));
    ASSERT_TRUE(WriteFileBytes(machine->DesktopFile("desktop.xml"), Pattern(3 * 8192)));
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1);
    // Created and one chunk written, then the connection ends.
    machine->Proxy().Arm(LoopbackProxy::Fault::DropRequest, 2);
    EXPECT_EQ(helper.ExchangeChangeFiles(), 0);
    EXPECT_FALSE(helper.GetLastErrorText().IsEmpty());
    EXPECT_EQ(ReadFileBytes(DeviceFileNoCase("desktop.xml")), previous);
}

TEST_F(Driver, ReadsWhatTheDevicesDataFileHoldsWithoutChangingIt) {
    MakeWorkloadBase();
    PartnerLocally();
    // The device holds one client more than this computer.
    ASSERT_TRUE(machine->OnDevice([this] { NewClient("Only on the device"); }));
    const std::string before = ReadFileBytes(machine->DeviceDataFile());
    std::unique_ptr<CSyncDriver> driver = CSyncDriverCeRapi::Factory()();
    ASSERT_EQ(driver->Initialize(), 1);
    const std::optional<CDataFileSummary> device = driver->DeviceDataSummary();
    const std::optional<CDataFileSummary> desktop = CDataFileSummary::Read(GetCurrDataHelper()->GetDataFilePath());
    ASSERT_TRUE(device);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(device->clients, desktop->clients + 1);
    EXPECT_EQ(device->entries, desktop->entries);
    EXPECT_EQ(device->entries, 4);
    EXPECT_TRUE(device->lastChanged);
    EXPECT_TRUE(driver->GetLastErrorText().IsEmpty());
    EXPECT_EQ(ReadFileBytes(machine->DeviceDataFile()), before);
}

TEST_F(Driver, RunsTheLibrarysRegularSynchronisationToConvergence) {
    MakeWorkloadBase();
    PartnerLocally();
    WaitForNextSecond();
    MakeWorkloadChanges();
    std::unique_ptr<CSyncDriver> driver = CSyncDriverCeRapi::Factory()();
    ASSERT_EQ(driver->Initialize(), 1);
    ASSERT_EQ(driver->RegularSync({}), CSyncDriver::RegularDone) << driver->GetLastErrorText().ToUtf8();
    driver.reset();
    ExpectWorkloadOutcome();
}

TEST_F(Driver, ReportsAFailedSynchronisationAndAFullRepeatConverges) {
    MakeWorkloadBase();
    PartnerLocally();
    WaitForNextSecond();
    MakeWorkloadChanges();
    {
        std::unique_ptr<CSyncDriver> driver = CSyncDriverCeRapi::Factory()();
        ASSERT_EQ(driver->Initialize(), 1);
        machine->KillService();
        EXPECT_EQ(driver->RegularSync({}), CSyncDriver::RegularFailed);
        EXPECT_FALSE(driver->GetLastErrorText().IsEmpty());
    }
    ASSERT_TRUE(machine->StartService()) << machine->Problem();
    std::unique_ptr<CSyncDriver> driver = CSyncDriverCeRapi::Factory()();
    ASSERT_EQ(driver->Initialize(), 1);
    ASSERT_EQ(driver->RegularSync({}), CSyncDriver::RegularDone) << driver->GetLastErrorText().ToUtf8();
    driver.reset();
    ExpectWorkloadOutcome();
}
