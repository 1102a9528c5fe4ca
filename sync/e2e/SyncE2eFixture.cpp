#include "sync/e2e/SyncE2eFixture.h"

#include <filesystem>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "connection/Rapi.h"
#include "platform/Paths.h"

namespace {

template <typename Record>
std::string SaveNew(const std::string& description) {
    Record record;
    record.set_Description(CString(description));
    EXPECT_EQ(record.Save(), 1) << description;
    return record.get_RefID().ToUtf8();
}

template <typename Record>
bool LoadByRefId(Record& record, const std::string& refId) {
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(CString(refId), record.get_ElemName()));
    return record.get_ID() != 0 && record.Load();
}

template <typename Record>
void Change(const std::string& refId, const std::string& description) {
    Record record;
    ASSERT_TRUE(LoadByRefId(record, refId)) << refId;
    record.set_Description(CString(description));
    ASSERT_EQ(record.Save(), 1) << refId;
}

template <typename Record>
void Remove(const std::string& refId) {
    Record record;
    ASSERT_TRUE(LoadByRefId(record, refId)) << refId;
    ASSERT_EQ(record.Delete(), 1) << refId;
}

}   // namespace

void SyncE2eTest::SetUp() {
    machine = std::make_unique<SyncMachine>();
    ASSERT_TRUE(machine->Ready()) << machine->Problem();
    ASSERT_TRUE(machine->StartService()) << machine->Problem();
    // Confirmations of deletions are answered with their proceeding choice.
    boxes.emplace(ScriptedMessageBox::Unscripted::Confirm);
    // Two data files made independently, as on a new desktop and a new device.
    ASSERT_TRUE(machine->OnDevice([] {}));
    ASSERT_TRUE(machine->UseDesktopData());
}

void SyncE2eTest::TearDown() {
    CeRapiUninit();
    boxes.reset();
    machine.reset();
}

std::string SyncE2eTest::DeviceFileNoCase(const std::string& name) const {
    return ResolveNameNoCase(machine->DeviceAppFolder(), name).value_or(machine->DeviceFile(name));
}

void SyncE2eTest::PartnerLocally() {
    ASSERT_TRUE(machine->UseDesktopData());
    ASSERT_EQ(CSyncHelper().UpdateLastSyncDateTime(), 1);
    ASSERT_TRUE(WriteFileBytes(machine->DeviceDataFile(), ReadFileBytes(machine->DesktopDataFile())));
}

std::string SyncE2eTest::NewClient(const std::string& description) { return SaveNew<CClient>(description); }
std::string SyncE2eTest::NewCategory(const std::string& description) { return SaveNew<CCategory>(description); }
std::string SyncE2eTest::NewEntry(const std::string& description) { return SaveNew<CProjectItem>(description); }

void SyncE2eTest::ChangeDescription(const std::string& kind, const std::string& refId,
                                    const std::string& description) {
    if (kind == "client")
        Change<CClient>(refId, description);
    else if (kind == "category")
        Change<CCategory>(refId, description);
    else
        Change<CProjectItem>(refId, description);
}

void SyncE2eTest::DeleteRecord(const std::string& kind, const std::string& refId) {
    if (kind == "category")
        Remove<CCategory>(refId);
    else
        Remove<CProjectItem>(refId);
}

void SyncE2eTest::MakeWorkloadBase() {
    work.clientA = NewClient("Client A");
    work.clientB = NewClient("Client B");
    work.category = NewCategory("Category C");
    work.entryD = NewEntry("Entry D");
    work.entryE = NewEntry("Entry E");
    work.entryF = NewEntry("Entry F");
    work.entryG = NewEntry("Entry G");
}

void SyncE2eTest::MakeWorkloadChanges() {
    work.desktopNew = NewClient("New on the desktop");
    ChangeDescription("client", work.clientA, "Client A, desktop");
    DeleteRecord("projectItem", work.entryD);
    DeleteRecord("projectItem", work.entryF);
    ChangeDescription("projectItem", work.entryG, "Entry G, desktop");
    ASSERT_TRUE(machine->OnDevice([this] {
        work.deviceNew = NewClient("New on the device");
        ChangeDescription("client", work.clientB, "Client B, device");
        DeleteRecord("category", work.category);
        DeleteRecord("projectItem", work.entryE);
        ChangeDescription("projectItem", work.entryF, "Entry F, device");
        ChangeDescription("projectItem", work.entryG, "Entry G, device");
    }));
}

void SyncE2eTest::ExpectWorkloadOutcome() {
    ExpectConverged();
    const DataSnapshot desktop = Desktop();
    EXPECT_EQ(desktop.Description("client", work.desktopNew), "New on the desktop");
    EXPECT_EQ(desktop.Description("client", work.deviceNew), "New on the device");
    EXPECT_EQ(desktop.Description("client", work.clientA), "Client A, desktop");
    EXPECT_EQ(desktop.Description("client", work.clientB), "Client B, device");
    EXPECT_FALSE(desktop.Has("category", work.category));
    EXPECT_FALSE(desktop.Has("projectItem", work.entryD));
    EXPECT_FALSE(desktop.Has("projectItem", work.entryE));
    // Deleted here and changed there: the change is kept on both sides.
    EXPECT_EQ(desktop.Description("projectItem", work.entryF), "Entry F, device");
    // Changed on both sides: the desktop's version on both.
    EXPECT_EQ(desktop.Description("projectItem", work.entryG), "Entry G, desktop");
}

void SyncE2eTest::ExpectConverged() {
    const DataSnapshot desktop = Desktop();
    const DataSnapshot device = Device();
    EXPECT_EQ(DifferenceBetween(desktop, device), "");
    EXPECT_TRUE(desktop.markers.empty()) << desktop.markers.size() << " markers left on the desktop";
    EXPECT_TRUE(device.markers.empty()) << device.markers.size() << " markers left on the device";
    for (const char* name : {"desktop.xml", "device.xml"})
        EXPECT_FALSE(FileExists(machine->DesktopFile(name))) << name << " left on the desktop";
    for (const auto& entry : std::filesystem::directory_iterator(machine->DeviceAppFolder())) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.substr(name.size() >= 4 ? name.size() - 4 : 0), ".xml") << name << " left on the device";
    }
}
