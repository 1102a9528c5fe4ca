// CSyncHelper on one side (the desktop build in this process): what goes into the own change
// file, how the other side's change file is committed, and when markers and files go.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/SyncHelper.h"
#include "platform/Clock.h"
#include "platform/WriteFault.h"
#include "sync/tests/SyncTestSupport.h"

namespace {

class SyncHelperTest : public SyncTest {
protected:
    std::string OwnChangeFile() const { return DesktopFolder() + "/desktop.xml"; }
    std::string OtherChangeFile() const { return DesktopFolder() + "/device.xml"; }
    FileSnapshot Data() const { return ReadFileSnapshot(DesktopDataFile()); }

    static CString AddClient(const char16_t* name) { return Add<CClient>(name); }
    static void DeleteClient(const CString& refId) { Remove<CClient>(refId); }
    static void SetContact(const CString& refId, const char16_t* contact) {
        Edit<CClient>(refId, [contact](CClient& client) { client.set_Contact(contact); });
    }
    void WriteOtherChangeFile(const std::string& records) {
        std::ofstream(OtherChangeFile(), std::ios::binary) << "<quillmar>\r\n" << records << "</quillmar>\r\n";
    }
    static std::string RemoteClient(const char* refId, const char* contact) {
        return std::string("<client id=\"77\" refId=\"") + refId + "\">\r\n<description>Remote</description>\r\n" +
               "<modified>3/2/2026 09:30:00 AM</modified>\r\n<contact>" + contact + "</contact>\r\n</client>\r\n";
    }
    static std::string RemoteDeletion(const char* refId, const char* kind) {
        return std::string("<deleted id=\"78\" refId=\"") + refId + "\">\r\n<description>" + kind +
               "</description>\r\n</deleted>\r\n";
    }
    // Marks everything so far as synchronised.
    void SynchronisedNow() {
        ASSERT_EQ(CSyncHelper().UpdateLastSyncDateTime(), 1);
        Advance();
    }
};

TEST_F(SyncHelperTest, OnlyRecordsSavedAfterTheLastSynchronisationAreWrittenOnceWithANewTime) {
    const CString before = AddClient(u"Before");
    SynchronisedNow();
    const CString after = AddClient(u"After");
    Advance();
    CSyncHelper helper;
    EXPECT_EQ(helper.SerializeLocalChanges(), 1);
    const FileSnapshot changes = ReadFileSnapshot(OwnChangeFile());
    ASSERT_TRUE(changes.loaded);
    EXPECT_EQ(changes.records.size(), 1u);
    EXPECT_EQ(changes.records.count(Key("client", after)), 1u);
    EXPECT_EQ(changes.records.count(Key("client", before)), 0u);
    // The sender's local ID goes along; "modified" is the time of writing.
    EXPECT_EQ(changes.ids.at(Key("client", after)), Data().ids.at(Key("client", after)));
    EXPECT_NE(ReadFileBytes(OwnChangeFile()).find("<modified>3/2/2026 09:02:00 AM</modified>"), std::string::npos);
}

TEST_F(SyncHelperTest, ARecordSavedInTheSecondOfTheStampIsStillSent) {
    SynchronisedNow();
    const CString committed = AddClient(u"Committed");   // saved before this synchronisation's stamp
    ASSERT_EQ(CSyncHelper().UpdateLastSyncDateTime(), 1);
    const CString typedRightAfter = AddClient(u"Typed");   // the same second, after the stamp
    Advance();
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    const FileSnapshot changes = ReadFileSnapshot(OwnChangeFile());
    EXPECT_EQ(changes.records.count(Key("client", typedRightAfter)), 1u);
    EXPECT_EQ(changes.records.count(Key("client", committed)), 0u);
}

TEST_F(SyncHelperTest, KindsAreWrittenInTheirOrderWhateverTheSavingOrder) {
    SynchronisedNow();
    CCategory category;
    category.set_Description(u"Travel");
    ASSERT_EQ(category.Save(), 1);
    AddClient(u"Acme");
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 2);
    const std::string text = ReadFileBytes(OwnChangeFile());
    EXPECT_LT(text.find("<client"), text.find("<category"));
}

TEST_F(SyncHelperTest, NoChangesSendNothingAndReplaceAStaleChangeFile) {
    SynchronisedNow();
    std::ofstream(OwnChangeFile()) << "<quillmar>\r\n" << RemoteClient("STALE1", "old") << "</quillmar>\r\n";
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 0);
    // The file still goes: it carries the identities that make a repeated round safe.
    const FileSnapshot changes = ReadFileSnapshot(OwnChangeFile());
    ASSERT_TRUE(changes.loaded);
    EXPECT_TRUE(changes.records.empty());
}

TEST_F(SyncHelperTest, SerialisingAgainInTheSameProcessStartsAFreshChangeFile) {
    SynchronisedNow();
    const CString first = AddClient(u"First");
    Advance();
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    const CString second = AddClient(u"Second");
    Advance();
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 2);
    const std::string text = ReadFileBytes(OwnChangeFile());
    EXPECT_EQ(text.find("refId=\"" + first.ToUtf8() + "\""), text.rfind("refId=\"" + first.ToUtf8() + "\""));
    EXPECT_EQ(ReadFileSnapshot(OwnChangeFile()).records.size(), 2u);
    EXPECT_EQ(ReadFileSnapshot(OwnChangeFile()).records.count(Key("client", second)), 1u);
}

TEST_F(SyncHelperTest, RecordsSharingAnIdInADamagedFileGoOutAsTheLaterOne) {
    SynchronisedNow();
    const CString client = AddClient(u"Acme");
    CCategory category;
    category.set_Description(u"Travel");
    ASSERT_EQ(category.Save(), 1);
    const std::string clientId = std::to_string(Data().ids.at(Key("client", client)));
    const std::string categoryId = std::to_string(category.get_ID());
    std::string text = ReadFileBytes(DesktopDataFile());
    const std::string categoryTag = "<category id=\"" + categoryId + "\"";
    ASSERT_NE(text.find(categoryTag), std::string::npos);
    text.replace(text.find(categoryTag), categoryTag.size(), "<category id=\"" + clientId + "\"");
    ASSERT_TRUE(WriteFileBytes(DesktopDataFile(), text));
    ASSERT_EQ(Store().Initialize(), 1);
    Advance();
    // Saved by ID, the category takes the place of the client that carries its ID.
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 2);
    const FileSnapshot changes = ReadFileSnapshot(OwnChangeFile());
    EXPECT_EQ(changes.records.count(Key("category", category.get_RefID())), 1u);
    EXPECT_EQ(changes.records.count(Key("client", client)), 0u);
}

TEST_F(SyncHelperTest, LastSyncTimeIsReadFromTheDataFile) {
    SynchronisedNow();
    CSyncHelper helper;
    const std::string stored = Data().metaData.at("lastSync");
    helper.SerializeLocalChanges();
    EXPECT_EQ(helper.get_LastSyncTime(), CDateTimeFormatter::GetDateTimeFromDB(CString::FromUtf8(stored)));
}

TEST_F(SyncHelperTest, DeletionMarkersStayInTheDataFileUntilTheCommit) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    DeleteClient(acme);
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    EXPECT_EQ(ReadFileSnapshot(OwnChangeFile()).markers.size(), 1u);
    EXPECT_EQ(Data().markers.size(), 1u);
    EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_TRUE(Data().markers.empty());
    EXPECT_FALSE(FileExists(OwnChangeFile()));
}

TEST_F(SyncHelperTest, AMarkerMadeAfterSerialisingWaitsForTheNextSynchronisation) {
    const CString acme = AddClient(u"Acme");
    const CString globex = AddClient(u"Globex");
    SynchronisedNow();
    DeleteClient(acme);
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    DeleteClient(globex);
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    const FileSnapshot data = Data();
    ASSERT_EQ(data.markers.size(), 1u);
    EXPECT_EQ(data.markers[0], Key("client", globex));
}

TEST_F(SyncHelperTest, CommittingTwiceChangesNothingTheSecondTime) {
    WriteOtherChangeFile(RemoteClient("REMOTE1", "Wile"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_FALSE(FileExists(OtherChangeFile()));
    const FileSnapshot first = Data();
    Advance();
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    const FileSnapshot second = Data();
    EXPECT_EQ(second.records, first.records);
    // Without a serialisation nothing was sent, so the point up to which changes went stays.
    EXPECT_EQ(second.metaData.at("lastSync"), first.metaData.at("lastSync"));
}

TEST_F(SyncHelperTest, ARecordNewHereGetsANewLocalIdAndKeepsItsRefId) {
    WriteOtherChangeFile(RemoteClient("REMOTE1", "Wile"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    const FileSnapshot data = Data();
    EXPECT_EQ(data.ids.at(Key("client", u"REMOTE1")), 4);
    EXPECT_EQ(data.metaData.at("lastId"), "4");
    EXPECT_NE(data.records.at(Key("client", u"REMOTE1")).find("<contact>Wile"), std::string::npos);
}

TEST_F(SyncHelperTest, AKnownRecordReplacesTheStoredOneUnderItsLocalId) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    const int localId = Data().ids.at(Key("client", acme));
    WriteOtherChangeFile(RemoteClient(acme.ToUtf8().c_str(), "Coyote"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    const FileSnapshot data = Data();
    EXPECT_EQ(data.ids.at(Key("client", acme)), localId);
    EXPECT_NE(data.records.at(Key("client", acme)).find("<contact>Coyote"), std::string::npos);
}

TEST_F(SyncHelperTest, OwnChangeWinsWhenOwnChangesWinAndLosesOtherwise) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    SetContact(acme, u"Mine");
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    WriteOtherChangeFile(RemoteClient(acme.ToUtf8().c_str(), "Theirs"));
    CSyncHelper desktop;
    EXPECT_TRUE(desktop.get_OwnChangesWin());
    ASSERT_EQ(desktop.ApplyRemoteChanges(), 1);
    EXPECT_NE(Data().records.at(Key("client", acme)).find("<contact>Mine"), std::string::npos);

    CSyncHelper device;
    device.set_OwnChangesWin(false);
    ASSERT_EQ(device.CommitRemoteChanges(), 1);
    EXPECT_NE(Data().records.at(Key("client", acme)).find("<contact>Theirs"), std::string::npos);
}

TEST_F(SyncHelperTest, ADeletionOfARecordChangedHereIsNotApplied) {
    const CString acme = AddClient(u"Acme");
    const CString globex = AddClient(u"Globex");
    SynchronisedNow();
    SetContact(acme, u"Still here");
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    WriteOtherChangeFile(RemoteDeletion(acme.ToUtf8().c_str(), "client") +
                         RemoteDeletion(globex.ToUtf8().c_str(), "client"));
    CSyncHelper device;
    device.set_OwnChangesWin(false);
    ASSERT_EQ(device.CommitRemoteChanges(), 1);
    const FileSnapshot data = Data();
    EXPECT_EQ(data.records.count(Key("client", acme)), 1u);
    EXPECT_EQ(data.records.count(Key("client", globex)), 0u);
    EXPECT_TRUE(data.markers.empty());
}

TEST_F(SyncHelperTest, ARecordDeletedHereComesBackAsANewRecordAndItsMarkerGoes) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    const int oldId = Data().ids.at(Key("client", acme));
    DeleteClient(acme);
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    WriteOtherChangeFile(RemoteClient(acme.ToUtf8().c_str(), "Changed there"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    const FileSnapshot data = Data();
    ASSERT_EQ(data.records.count(Key("client", acme)), 1u);
    EXPECT_NE(data.ids.at(Key("client", acme)), oldId);
    EXPECT_TRUE(data.markers.empty());
}

TEST_F(SyncHelperTest, ADeletionRemovesOnlyARecordOfItsKindAndLeavesNoMarker) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    WriteOtherChangeFile(RemoteDeletion(acme.ToUtf8().c_str(), "project") + RemoteDeletion("NOSUCH", "client") +
                         RemoteDeletion(acme.ToUtf8().c_str(), "quillmar"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_EQ(Data().records.count(Key("client", acme)), 1u);
    WriteOtherChangeFile(RemoteDeletion(acme.ToUtf8().c_str(), "client"));
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_EQ(Data().records.count(Key("client", acme)), 0u);
    EXPECT_TRUE(Data().markers.empty());
}

TEST_F(SyncHelperTest, AnUnreadableChangeFileCommitsNothingAndKeepsTheFilesAndLastSync) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    DeleteClient(acme);
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    std::ofstream(OtherChangeFile()) << "<quillmar><client id=\"3\"";
    const FileSnapshot before = Data();
    Advance();
    EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 0);
    const FileSnapshot after = Data();
    EXPECT_EQ(after.metaData.at("lastSync"), before.metaData.at("lastSync"));
    EXPECT_EQ(after.markers, before.markers);
    EXPECT_TRUE(FileExists(OtherChangeFile()));
    EXPECT_TRUE(FileExists(OwnChangeFile()));
}

TEST_F(SyncHelperTest, ACommitWhoseDataFileCannotBeWrittenLeavesNothingInMemory) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    DeleteClient(acme);
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    WriteOtherChangeFile(RemoteClient("REMOTE1", "Wile"));
    const FileSnapshot before = Data();
    Advance();
    for (WriteFault::Op op : {WriteFault::Op::Write, WriteFault::Op::Sync, WriteFault::Op::Rename}) {
        WriteFault::Scope fault(op, 1, ENOSPC);
        EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 0);
        EXPECT_TRUE(WriteFault::Fired());
    }
    // Neither the remote record, nor the new "lastSync", nor the removal of the sent marker
    // stays in memory for an unrelated save to write.
    EXPECT_EQ(Store().RefID_To_ID(u"REMOTE1", u"client"), 0);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastSync").ToUtf8(), before.metaData.at("lastSync"));
    std::unique_ptr<CObArray> markers(Store().GetObjectList(u"deleted"));
    EXPECT_EQ(markers->GetSize(), 1);
    AddClient(u"Unrelated");
    const FileSnapshot after = Data();
    EXPECT_EQ(after.records.count(Key("client", u"REMOTE1")), 0u);
    EXPECT_EQ(after.metaData.at("lastSync"), before.metaData.at("lastSync"));
    EXPECT_EQ(after.markers, before.markers);
    EXPECT_TRUE(FileExists(OtherChangeFile()));
    EXPECT_TRUE(FileExists(OwnChangeFile()));
    // The commit can be repeated once the disk takes writes again.
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_EQ(Data().records.count(Key("client", u"REMOTE1")), 1u);
    EXPECT_TRUE(Data().markers.empty());
}

TEST_F(SyncHelperTest, AChangeFileThatCannotBeWrittenIsNotKeptInMemory) {
    SynchronisedNow();
    AddClient(u"Acme");
    {
        WriteFault::Scope fault(WriteFault::Op::Rename, 1, EIO);
        EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), -1);
    }
    EXPECT_FALSE(FileExists(OwnChangeFile()));
    ASSERT_EQ(Store().SwitchSyncPhase(CSyncHelper::SyncPhase_SerializeLocalChanges), 1);
    std::unique_ptr<CObArray> sent(Store().GetObjectList(u"client"));
    Store().SwitchSyncPhase(CSyncHelper::SyncPhase_None);
    EXPECT_EQ(sent->GetSize(), 0);
}

TEST_F(SyncHelperTest, AChangeFileOfAnotherKindIsUnreadable) {
    std::ofstream(OtherChangeFile()) << "<settings>\r\n" << RemoteClient("REMOTE1", "x") << "</settings>\r\n";
    EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 0);
    EXPECT_EQ(Data().records.count(Key("client", u"REMOTE1")), 0u);
}

TEST_F(SyncHelperTest, AnEmptyChangeDocumentCommitsNothingAndGoes) {
    std::ofstream(OtherChangeFile()) << "<quillmar/>\r\n";
    const FileSnapshot before = Data();
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_EQ(Data().records, before.records);
    EXPECT_FALSE(FileExists(OtherChangeFile()));
}

TEST_F(SyncHelperTest, ARecordWithoutRefIdIsNotCommitted) {
    WriteOtherChangeFile(RemoteClient("", "Nobody"));
    const size_t before = Data().records.size();
    ASSERT_EQ(CSyncHelper().CommitRemoteChanges(), 1);
    EXPECT_EQ(Data().records.size(), before);
}

TEST_F(SyncHelperTest, ApplyingKeepsFilesMarkersAndLastSyncUntilCompletion) {
    const CString acme = AddClient(u"Acme");
    SynchronisedNow();
    DeleteClient(acme);
    ASSERT_EQ(CSyncHelper().SerializeLocalChanges(), 1);
    WriteOtherChangeFile(RemoteClient("REMOTE1", "Wile"));
    const std::string lastSync = Data().metaData.at("lastSync");
    Advance();
    ASSERT_EQ(CSyncHelper().ApplyRemoteChanges(), 1);
    FileSnapshot data = Data();
    EXPECT_EQ(data.records.count(Key("client", u"REMOTE1")), 1u);
    EXPECT_EQ(data.markers.size(), 1u);
    EXPECT_EQ(data.metaData.at("lastSync"), lastSync);
    EXPECT_TRUE(FileExists(OwnChangeFile()));
    EXPECT_TRUE(FileExists(OtherChangeFile()));
    Advance();
    ASSERT_EQ(CSyncHelper().CompleteSynchronisation(), 1);
    data = Data();
    EXPECT_TRUE(data.markers.empty());
    // Everything saved up to the serialisation went out; later saves are dated after it.
    EXPECT_NE(data.metaData.at("lastSync"), lastSync);
    EXPECT_FALSE(FileExists(OwnChangeFile()));
    EXPECT_FALSE(FileExists(OtherChangeFile()));
}

TEST_F(SyncHelperTest, ACommitThatCannotRemoveAChangeFileReportsFailure) {
    std::filesystem::create_directories(OtherChangeFile() + "/keep");
    EXPECT_EQ(CSyncHelper().CommitRemoteChanges(), 0);
}

TEST_F(SyncHelperTest, SerialisingWithoutADataFileFolderFails) {
    setenv("QUILLMAR_DATA_DIR", (DesktopFolder() + "/Quillmar.dat/inside").c_str(), 1);
    EXPECT_EQ(CSyncHelper().SerializeLocalChanges(), -1);
    EXPECT_EQ(Store().GetSyncPhase(), 0);
    UseDataFolder(DesktopFolder());
}

// Deferred writing gives the bytes of writing after every change, in one write at the end.
TEST_F(SyncHelperTest, DeferredFlushWritesOnceWithTheSameBytes) {
    const std::string batchedFolder = m_root + "/batched";
    std::filesystem::create_directories(batchedFolder);
    const auto addThree = [] {
        for (const char16_t* name : {u"One", u"Two", u"Three"}) {
            CClient client;
            client.set_Description(name);
            ASSERT_EQ(client.Save(), 1);
        }
    };
    addThree();
    const std::string direct = ReadFileBytes(DesktopDataFile());

    UseDataFolder(batchedFolder);
    const std::string batchedPath = batchedFolder + "/Quillmar.dat";
    const std::string initial = ReadFileBytes(batchedPath);
    Store().BeginDeferredFlush();
    addThree();
    EXPECT_EQ(ReadFileBytes(batchedPath), initial);
    EXPECT_EQ(Store().EndDeferredFlush(), 1);
    EXPECT_EQ(ReadFileBytes(batchedPath), direct);
    UseDataFolder(DesktopFolder());
}

TEST_F(SyncHelperTest, DeferredFlushNestsAndOnlyTheOutermostEndWrites) {
    const std::string initial = ReadFileBytes(DesktopDataFile());
    Store().BeginDeferredFlush();
    Store().BeginDeferredFlush();
    AddClient(u"Nested");
    ASSERT_EQ(Store().SetMetaDataValue(u"lastSync", u"3/2/2026 09:00:00 AM"), 1);
    EXPECT_EQ(Store().EndDeferredFlush(), 1);
    EXPECT_EQ(ReadFileBytes(DesktopDataFile()), initial);
    EXPECT_EQ(Store().EndDeferredFlush(), 1);
    EXPECT_NE(ReadFileBytes(DesktopDataFile()).find("Nested"), std::string::npos);
    // Unbalanced ends change nothing.
    EXPECT_EQ(Store().EndDeferredFlush(), 1);
}

}   // namespace
