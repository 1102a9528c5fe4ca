// Edits that must survive synchronisation however the processes sharing a data file and the
// clock line up: saves in the second of a stamp by another process, a program writing a
// document older than the file, and edits made against a deletion of their parent.
#include <gtest/gtest.h>

#include <fstream>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "sync/tests/SyncTestSupport.h"

namespace {

class SyncSafety : public SyncTest {
protected:
    void SetUp() override {
        SyncTest::SetUp();
        FullSyncToDevice();
        Advance();
    }
    // Both sides serialise, the files are exchanged and this computer commits; the device's
    // commit is the caller's, so the device program can act just before it.
    void SynchroniseUpToTheDevicesCommit() {
        ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
        CSyncHelper desktop;
        ASSERT_GE(desktop.SerializeLocalChanges(), 0);
        ExchangeChangeFiles();
        ASSERT_EQ(desktop.CommitRemoteChanges(), 1);
    }
    FileSnapshot Desktop() const { return ReadFileSnapshot(DesktopDataFile()); }
    FileSnapshot Device() const { return ReadFileSnapshot(DeviceDataFile()); }
    void PutOnDevice(const std::string& name, const std::string& text) {
        std::ofstream(DeviceFolder() + "/" + name, std::ios::binary) << text;
    }
};

TEST_F(SyncSafety, ARecordSavedByTheProgramInTheSecondOfTheDevicesSerialisationIsSentNextTime) {
    // The sync library's process serialises and commits; the program saves in between, all
    // within one second of the clock.
    ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
    CString typed;
    OnDevice([&] { typed = Add<CClient>(u"Typed during the synchronisation"); });
    CSyncHelper desktop;
    ASSERT_GE(desktop.SerializeLocalChanges(), 0);
    ExchangeChangeFiles();
    ASSERT_EQ(desktop.CommitRemoteChanges(), 1);
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    EXPECT_EQ(Desktop().records.count(Key("client", typed)), 0u);
    Advance();
    Synchronise();
    EXPECT_EQ(Desktop().records.count(Key("client", typed)), 1u);
    ExpectConverged();
}

TEST_F(SyncSafety, AProgramHoldingAnOlderDocumentSavesIntoTheCommittedFile) {
    const CString acme = Add<CClient>(u"Acme");
    Synchronise();
    // The device program has the file loaded; the sync library commits a new client into it.
    UseDataFolder(DeviceFolder());
    CClient held = Loaded<CClient>(acme);
    PutOnDevice("Desktop.xml",
                "<quillmar>\r\n<client id=\"9\" refId=\"FROMDESK9\">\r\n<description>From the "
                "desktop</description>\r\n</client>\r\n</quillmar>\r\n");
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    held.set_Contact(u"Edited in the program");
    ASSERT_EQ(held.Save(), 1);
    UseDataFolder(DesktopFolder());
    const FileSnapshot device = Device();
    EXPECT_EQ(device.records.count(Key("client", u"FROMDESK9")), 1u);
    EXPECT_NE(device.records.at(Key("client", acme)).find("Edited in the program"), std::string::npos);
}

TEST_F(SyncSafety, AnEntryEditedOrAddedOnTheDeviceBringsBackTheProjectAndClientTheDesktopDeleted) {
    const CString client = Add<CClient>(u"Client");
    const CString project = Add<CProject>(u"Project", [&](CProject& p) { p.set_ClientRef(client); });
    const CString edited = Add<CProjectItem>(u"Edited", [&](CProjectItem& e) { e.set_ProjectRef(project); });
    const CString untouched = Add<CProjectItem>(u"Untouched", [&](CProjectItem& e) { e.set_ProjectRef(project); });
    Synchronise();
    CString added;
    OnDevice([&] {
        CProjectItem entry = Loaded<CProjectItem>(edited);
        entry.set_Description(u"Edited on the device");
        ASSERT_EQ(entry.Save(), 1);
        added = Add<CProjectItem>(u"Added on the device", [&](CProjectItem& e) { e.set_ProjectRef(project); });
    });
    CClient doomed = Loaded<CClient>(client);
    ASSERT_EQ(doomed.Delete(), 1);
    Advance();
    Synchronise();
    for (const FileSnapshot& side : {Desktop(), Device()}) {
        EXPECT_EQ(side.records.count(Key("project", project)), 1u);
        EXPECT_EQ(side.records.count(Key("client", client)), 1u);
        EXPECT_EQ(side.records.count(Key("projectItem", added)), 1u);
        EXPECT_NE(side.records.at(Key("projectItem", edited)).find("Edited on the device"), std::string::npos);
        EXPECT_EQ(side.records.count(Key("projectItem", untouched)), 0u);
    }
    ExpectConverged();
}

TEST_F(SyncSafety, AProjectDeletedOnTheDeviceStaysForAnEntryTheDesktopEdited) {
    const CString project = Add<CProject>(u"Project", [&](CProject& p) { p.set_ClientRef(u"SAMP001"); });
    const CString entry = Add<CProjectItem>(u"Entry", [&](CProjectItem& e) { e.set_ProjectRef(project); });
    Synchronise();
    OnDevice([&] {
        CProject doomed = Loaded<CProject>(project);
        ASSERT_EQ(doomed.Delete(), 1);
    });
    CProjectItem kept = Loaded<CProjectItem>(entry);
    kept.set_Description(u"Edited on the desktop");
    ASSERT_EQ(kept.Save(), 1);
    Advance();
    Synchronise();
    for (const FileSnapshot& side : {Desktop(), Device()}) {
        EXPECT_EQ(side.records.count(Key("project", project)), 1u);
        EXPECT_EQ(side.records.count(Key("projectItem", entry)), 1u);
    }
    ExpectConverged();
}

}   // namespace

namespace {

TEST_F(SyncSafety, AProjectAddedOnTheDeviceBringsBackTheClientTheDesktopDeleted) {
    const CString client = Add<CClient>(u"Client");
    Synchronise();
    CString project;
    OnDevice([&] { project = Add<CProject>(u"New project", [&](CProject& p) { p.set_ClientRef(client); }); });
    CClient doomed = Loaded<CClient>(client);
    ASSERT_EQ(doomed.Delete(), 1);
    Advance();
    Synchronise();
    for (const FileSnapshot& side : {Desktop(), Device()}) {
        EXPECT_EQ(side.records.count(Key("project", project)), 1u);
        EXPECT_EQ(side.records.count(Key("client", client)), 1u);
    }
    ExpectConverged();
}

TEST_F(SyncSafety, AParentTheDeviceEditedThenDeletedDuringTheSynchronisationComesBackAsTheDeviceSentIt) {
    const CString client = Add<CClient>(u"Client");
    const CString project = Add<CProject>(u"Project", [&](CProject& p) { p.set_ClientRef(client); });
    Synchronise();
    OnDevice([&] {
        CProject edited = Loaded<CProject>(project);
        edited.set_Description(u"Edited on the device");
        ASSERT_EQ(edited.Save(), 1);
    });
    // The desktop's new entry sends the project along as its parent, as the desktop had it.
    Add<CProjectItem>(u"Added on the desktop", [&](CProjectItem& e) { e.set_ProjectRef(project); });
    Advance();
    ASSERT_NO_FATAL_FAILURE(SynchroniseUpToTheDevicesCommit());
    // The device program deletes the project before the device commits.
    OnDevice([&] {
        CProject doomed = Loaded<CProject>(project);
        ASSERT_EQ(doomed.Delete(), 1);
    });
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    for (const FileSnapshot& side : {Desktop(), Device()}) {
        ASSERT_EQ(side.records.count(Key("project", project)), 1u);
        EXPECT_NE(side.records.at(Key("project", project)).find("Edited on the device"), std::string::npos);
    }
    ExpectConverged();
}

TEST_F(SyncSafety, AProjectKeptOnlyForAnEntryTypedDuringTheSynchronisationGoesBackToTheDesktop) {
    const CString project = Add<CProject>(u"Project", [&](CProject& p) { p.set_ClientRef(u"SAMP001"); });
    Synchronise();
    CProject doomed = Loaded<CProject>(project);
    ASSERT_EQ(doomed.Delete(), 1);
    Advance();
    ASSERT_NO_FATAL_FAILURE(SynchroniseUpToTheDevicesCommit());
    // Typed on the device after it serialised: its commit keeps the project for it.
    CString entry;
    OnDevice(
        [&] { entry = Add<CProjectItem>(u"Typed meanwhile", [&](CProjectItem& e) { e.set_ProjectRef(project); }); });
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    // The entry goes again before the next synchronisation; the project it kept must not be
    // left on the device alone.
    OnDevice([&] {
        CProjectItem gone = Loaded<CProjectItem>(entry);
        ASSERT_EQ(gone.Delete(), 1);
    });
    Advance();
    Synchronise();
    EXPECT_EQ(Device().records.count(Key("project", project)), Desktop().records.count(Key("project", project)));
    ExpectConverged();
}

}   // namespace
