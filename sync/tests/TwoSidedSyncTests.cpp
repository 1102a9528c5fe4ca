// A desktop (this process, desktop build) and a device (the Sync library loaded in a child
// process from the device's "AppPath" folder) synchronised the way the desktop drives it.
// After every round both data files must hold the same records.
#include <gtest/gtest.h>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "sync/tests/SyncTestSupport.h"

namespace {

class TwoSidedSync : public SyncTest {
protected:
    void SetUp() override {
        SyncTest::SetUp();
        // Partners, as after the first full synchronisation.
        FullSyncToDevice();
        ExpectConverged();
    }

    // Edits on the device a little later, so RefIDs made on both sides never coincide.
    void OnDeviceLater(const std::function<void()>& edit) {
        Advance(7);
        OnDevice(edit);
    }

    FileSnapshot Desktop() const { return ReadFileSnapshot(DesktopDataFile()); }
    FileSnapshot Device() const { return ReadFileSnapshot(DeviceDataFile()); }
};

TEST_F(TwoSidedSync, FirstRecordsOfEachSideReachTheOtherWithNewLocalIds) {
    const CString acme = Add<CClient>(u"Acme");
    const CString website = Add<CProject>(u"Website", [&](CProject& p) { p.set_ClientRef(acme); });
    CString globex;
    CString visit;
    OnDeviceLater([&] {
        globex = Add<CClient>(u"Globex");
        Add<CClient>(u"Initech");
        visit = Add<CProjectItem>(u"Site visit", [&](CProjectItem& e) {
            e.set_ProjectRef(u"SAMP002");
            e.set_ItemType(CProjectItem::ItemType_Mileage);
            e.set_OdometerStart(100);
            e.set_OdometerEnd(142);
        });
    });
    Synchronise();
    ExpectConverged();
    const FileSnapshot desktop = Desktop();
    const FileSnapshot device = Device();
    EXPECT_EQ(desktop.records.count(Key("client", globex)), 1u);
    EXPECT_EQ(device.records.count(Key("project", website)), 1u);
    EXPECT_NE(desktop.records.at(Key("projectItem", visit)).find("<odometerEnd>142"), std::string::npos);
    // Both sides created ID 4 first; the receiving side gives the newcomer an ID of its own.
    EXPECT_EQ(desktop.ids.at(Key("client", acme)), 4);
    EXPECT_EQ(device.ids.at(Key("client", globex)), 4);
    EXPECT_NE(desktop.ids.at(Key("client", globex)), 4);
    EXPECT_NE(device.ids.at(Key("client", acme)), 4);
}

TEST_F(TwoSidedSync, AmountsReachTheOtherSideToTheCent) {
    auto expense = [](float amount) {
        return [amount](CProjectItem& e) {
            e.set_ItemType(CProjectItem::ItemType_Expense);
            e.set_BillAmount(amount);
        };
    };
    const CString fromDesktop = Add<CProjectItem>(u"Server", expense(12345.67f));
    const CString rate = Add<CCategory>(u"Audit", [](CCategory& c) { c.set_Quillmar(150000.25f); });
    CString fromDevice;
    OnDeviceLater([&] { fromDevice = Add<CProjectItem>(u"Licence", expense(99999.99f)); });
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Device().records.at(Key("projectItem", fromDesktop)).find("<billAmount>12345.67"), std::string::npos);
    EXPECT_NE(Device().records.at(Key("category", rate)).find("<quillmar>150000.25"), std::string::npos);
    EXPECT_NE(Desktop().records.at(Key("projectItem", fromDevice)).find("<billAmount>99999.99"), std::string::npos);
    CProjectItem received;
    received.set_ID(Store().RefID_To_ID(fromDevice, u"projectItem"));
    ASSERT_EQ(received.Load(), 1);
    EXPECT_EQ(received.get_BillAmount(), 99999.99f);
}

TEST_F(TwoSidedSync, EditsOnBothSidesMeet) {
    const CString acme = Add<CClient>(u"Acme");
    const CString globex = Add<CClient>(u"Globex");
    Synchronise();
    Edit<CClient>(acme, [](CClient& c) { c.set_Contact(u"Road Runner"); });
    OnDeviceLater([&] { Edit<CClient>(globex, [](CClient& c) { c.set_Address(u"1 Main Street"); }); });
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Device().records.at(Key("client", acme)).find("<contact>Road Runner"), std::string::npos);
    EXPECT_NE(Desktop().records.at(Key("client", globex)).find("<address>1 Main Street"), std::string::npos);
}

TEST_F(TwoSidedSync, DeletionsOnBothSidesAreAppliedAndTheirMarkersGo) {
    const CString acme = Add<CClient>(u"Acme");
    const CString globex = Add<CClient>(u"Globex");
    Synchronise();
    Remove<CClient>(acme);
    OnDeviceLater([&] { Remove<CClient>(globex); });
    Synchronise();
    ExpectConverged();
    EXPECT_EQ(Desktop().records.count(Key("client", acme)), 0u);
    EXPECT_EQ(Desktop().records.count(Key("client", globex)), 0u);
    EXPECT_EQ(Device().records.count(Key("client", acme)), 0u);
}

TEST_F(TwoSidedSync, RecordChangedOnBothSidesEndsWithTheDesktopVersion) {
    const CString acme = Add<CClient>(u"Acme");
    Synchronise();
    Edit<CClient>(acme, [](CClient& c) { c.set_Contact(u"Desktop contact"); });
    OnDeviceLater([&] { Edit<CClient>(acme, [](CClient& c) { c.set_Contact(u"Device contact"); }); });
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Device().records.at(Key("client", acme)).find("<contact>Desktop contact"), std::string::npos);
    // The next round brings nothing back.
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Desktop().records.at(Key("client", acme)).find("<contact>Desktop contact"), std::string::npos);
}

TEST_F(TwoSidedSync, RecordDeletedOnDesktopAndChangedOnDeviceIsKeptOnBoth) {
    const CString acme = Add<CClient>(u"Acme");
    Synchronise();
    Remove<CClient>(acme);
    OnDeviceLater([&] { Edit<CClient>(acme, [](CClient& c) { c.set_Notes(u"Call back on Monday"); }); });
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Desktop().records.at(Key("client", acme)).find("<notes>Call back on Monday"), std::string::npos);
}

TEST_F(TwoSidedSync, RecordDeletedOnDeviceAndChangedOnDesktopIsKeptOnBoth) {
    const CString acme = Add<CClient>(u"Acme");
    Synchronise();
    Edit<CClient>(acme, [](CClient& c) { c.set_Notes(u"Invoice sent"); });
    OnDeviceLater([&] { Remove<CClient>(acme); });
    Synchronise();
    ExpectConverged();
    EXPECT_NE(Device().records.at(Key("client", acme)).find("<notes>Invoice sent"), std::string::npos);
}

TEST_F(TwoSidedSync, ProjectDeletedWithItsEntriesOnOneSideGoesWithThemOnTheOther) {
    const CString website = Add<CProject>(u"Website", [](CProject& p) { p.set_ClientRef(u"SAMP001"); });
    const CString first = Add<CProjectItem>(u"Design", [&](CProjectItem& e) { e.set_ProjectRef(website); });
    const CString second = Add<CProjectItem>(u"Build", [&](CProjectItem& e) { e.set_ProjectRef(website); });
    const CString other = Add<CProjectItem>(u"Support", [](CProjectItem& e) { e.set_ProjectRef(u"SAMP002"); });
    Synchronise();
    ASSERT_EQ(Device().records.count(Key("projectItem", first)), 1u);
    OnDeviceLater([&] { Remove<CProject>(website); });
    Synchronise();
    ExpectConverged();
    const FileSnapshot desktop = Desktop();
    EXPECT_EQ(desktop.records.count(Key("project", website)), 0u);
    EXPECT_EQ(desktop.records.count(Key("projectItem", first)), 0u);
    EXPECT_EQ(desktop.records.count(Key("projectItem", second)), 0u);
    EXPECT_EQ(desktop.records.count(Key("projectItem", other)), 1u);
}

TEST_F(TwoSidedSync, SynchronisationStoppedBeforeCommittingIsRepeatedWithNothingLost) {
    const CString acme = Add<CClient>(u"Acme");
    const CString globex = Add<CClient>(u"Globex");
    Synchronise();
    Remove<CClient>(acme);
    const CString initech = Add<CClient>(u"Initech");
    CString hooli;
    OnDeviceLater([&] {
        Remove<CClient>(globex);
        hooli = Add<CClient>(u"Hooli");
    });
    // Both sides serialise and the files are exchanged; then the connection is lost.
    ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
    ASSERT_GE(CSyncHelper().SerializeLocalChanges(), 2);
    ExchangeChangeFiles();
    Advance();
    // The markers are still there to be sent again.
    EXPECT_EQ(Desktop().markers.size(), 1u);
    EXPECT_EQ(Device().markers.size(), 1u);
    const CString later = Add<CClient>(u"Umbrella");
    Synchronise();
    ExpectConverged();
    const FileSnapshot device = Device();
    EXPECT_EQ(device.records.count(Key("client", acme)), 0u);
    EXPECT_EQ(device.records.count(Key("client", globex)), 0u);
    EXPECT_EQ(device.records.count(Key("client", initech)), 1u);
    EXPECT_EQ(device.records.count(Key("client", later)), 1u);
    EXPECT_EQ(Desktop().records.count(Key("client", hooli)), 1u);
}

TEST_F(TwoSidedSync, SynchronisationStoppedAfterTheDeviceSerialisedIsRepeatedWithNothingLost) {
    CString globex;
    OnDeviceLater([&] { globex = Add<CClient>(u"Globex"); });
    ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
    Advance();
    Synchronise();
    ExpectConverged();
    EXPECT_EQ(Desktop().records.count(Key("client", globex)), 1u);
}

// The desktop may apply the device's changes first and complete only once the device has
// committed; when the device never commits, the repeated round still brings both sides together.
TEST_F(TwoSidedSync, RoundStoppedBeforeTheDeviceCommittedIsRepeatedWithNothingLost) {
    const CString acme = Add<CClient>(u"Acme");
    const CString globex = Add<CClient>(u"Globex");
    Synchronise();
    Edit<CClient>(acme, [](CClient& c) { c.set_Contact(u"Desktop contact"); });
    Remove<CClient>(globex);
    CString hooli;
    OnDeviceLater([&] {
        hooli = Add<CClient>(u"Hooli");
        Edit<CClient>(acme, [](CClient& c) { c.set_Notes(u"Device notes"); });
    });
    const auto applyStep = [this] {
        ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
        ASSERT_GE(CSyncHelper().SerializeLocalChanges(), 0);
        ExchangeChangeFiles();
        ASSERT_EQ(CSyncHelper().ApplyRemoteChanges(), 1);
    };
    applyStep();
    Advance();
    applyStep();
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    ASSERT_EQ(CSyncHelper().CompleteSynchronisation(), 1);
    ExpectConverged();
    const FileSnapshot device = Device();
    EXPECT_NE(device.records.at(Key("client", acme)).find("<contact>Desktop contact"), std::string::npos);
    EXPECT_EQ(device.records.count(Key("client", globex)), 0u);
    EXPECT_EQ(Desktop().records.count(Key("client", hooli)), 1u);
    // Nothing comes back the round after.
    Advance();
    Synchronise();
    ExpectConverged();
}

TEST_F(TwoSidedSync, RoundWithoutChangesSendsNoRecordAndMovesLastSyncOnBothSides) {
    const std::string desktopBefore = Desktop().metaData.at("lastSync");
    const std::string deviceBefore = Device().metaData.at("lastSync");
    ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 0);
    EXPECT_TRUE(ReadFileSnapshot(DeviceFolder() + "/device.xml").records.empty());
    EXPECT_TRUE(ReadFileSnapshot(DesktopFolder() + "/desktop.xml").records.empty());
    ExchangeChangeFiles();
    EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    ExpectConverged();
    EXPECT_NE(Desktop().metaData.at("lastSync"), desktopBefore);
    EXPECT_NE(Device().metaData.at("lastSync"), deviceBefore);
}

}   // namespace
