// The data store: the new data file, identifiers, metadata, lists, phases and the data file's
// failures.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace {

using DataFileTest = BizTest;
using IdentifierTest = BizTest;
using MetaDataTest = BizTest;
using ObjectListTest = BizTest;
using SyncPhaseTest = BizTest;

CString Text(const char* utf8) { return CString(utf8); }

int SaveEntry(const COleDateTime& date, const CString& description) {
    CProjectItem entry;
    entry.set_ItemDate(date);
    entry.set_Description(description);
    EXPECT_EQ(entry.Save(), 1);
    return entry.get_ID();
}

std::vector<CString> Descriptions(const CObArray& list) {
    std::vector<CString> texts;
    for (int i = 0; i < list.GetSize(); ++i)
        texts.push_back(static_cast<CBaseObject*>(list.GetAt(i))->get_Description());
    return texts;
}

}   // namespace

TEST_F(DataFileTest, NewDataFileHasExactText) {
    EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
    EXPECT_EQ(Store().GetDataFilePath().ToUtf8(), DataFilePath());
}

TEST_F(DataFileTest, ChangeFilesOfTheDesktopBuild) {
    EXPECT_EQ(Store().GetOwnChangeFilePath().ToUtf8(), m_home.DataFolder() + "/desktop.xml");
    EXPECT_EQ(Store().GetOtherChangeFilePath().ToUtf8(), m_home.DataFolder() + "/device.xml");
}

TEST_F(DataFileTest, ExistingDataFileIsLoadedUnchanged) {
    CClient client;
    client.set_Description(u"Acme");
    ASSERT_EQ(client.Save(), 1);
    const std::string before = DataFileText();
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(DataFileText(), before);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("4"));
}

TEST_F(DataFileTest, UnparsableDataFileIsKeptAndUserTold) {
    const std::string damaged = "<quillmar><metaData><lastId>9</lastId></metaData><client id=\"1\"";
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), damaged));
    Clock::Set(COleDateTime(2005, 11, 2, 9, 8, 7));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    const std::string kept = DataFilePath() + ".unreadable-20051102-090807";
    EXPECT_EQ(ReadFileBytes(kept), damaged);
    ASSERT_EQ(m_boxes.ShownBoxes().size(), 1u);
    EXPECT_GE(m_boxes.ShownBoxes()[0].text.Find(CString::FromUtf8(kept)), 0);
    // What still reads is carried over: "lastId", but no sample records in place of the cut client.
    EXPECT_GE(m_boxes.ShownBoxes()[0].text.Find(u"0 records were recovered"), 0);
    EXPECT_GE(m_boxes.ShownBoxes()[0].text.Find(u"1 record was damaged"), 0);
    EXPECT_NE(DataFileText().find("<lastId>9</lastId>"), std::string::npos);
    EXPECT_EQ(DataFileText().find("SAMP001"), std::string::npos);
}

TEST_F(DataFileTest, WellFormedFileOfAnotherKindIsKept) {
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), "<html><body/></html>"));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(ReadFileBytes(DataFilePath() + ".unreadable-20040307-140500"), "<html><body/></html>");
    EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
}

TEST_F(DataFileTest, SecondUnreadableFileInTheSameSecondGetsItsOwnName) {
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), "first"));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), "second"));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(ReadFileBytes(DataFilePath() + ".unreadable-20040307-140500"), "first");
    EXPECT_EQ(ReadFileBytes(DataFilePath() + ".unreadable-20040307-140500-2"), "second");
}

TEST_F(DataFileTest, DataFileThatDisappearedStartsFreshWithoutOldRecords) {
    CClient client;
    client.set_Description(u"Gone");
    ASSERT_EQ(client.Save(), 1);
    ASSERT_EQ(std::remove(DataFilePath().c_str()), 0);
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
    EXPECT_TRUE(m_boxes.ShownBoxes().empty());
}

TEST_F(DataFileTest, NewFileThatCannotBeWrittenFailsInitialize) {
    // A data folder below a plain file can be made by nobody, the superuser included.
    const std::string blocker = m_home.Home() + "/blocker";
    ASSERT_TRUE(WriteFileBytes(blocker, "x"));
    setenv("QUILLMAR_DATA_DIR", (blocker + "/data").c_str(), 1);
    EXPECT_EQ(Store().Initialize(), 0);
    EXPECT_TRUE(m_boxes.ShownBoxes().empty());
    setenv("QUILLMAR_DATA_DIR", m_home.DataFolder().c_str(), 1);
    EXPECT_EQ(Store().Initialize(), 1);
}

TEST_F(DataFileTest, FlushReportsWhetherTheFileWasWritten) {
    EXPECT_EQ(Store().Flush(), 1);
    // A folder where the data file should be makes every write fail.
    ASSERT_EQ(std::remove(DataFilePath().c_str()), 0);
    ASSERT_EQ(mkdir(DataFilePath().c_str(), 0700), 0);
    EXPECT_EQ(Store().Flush(), 0);
    CClient client;
    client.set_Description(u"Lost");
    EXPECT_EQ(client.Save(), 0);
    EXPECT_EQ(client.get_IsDirty(), 1);
    CClient sample;
    sample.set_ID(1);
    ASSERT_EQ(sample.Load(), 1);
    m_boxes.Answer(IDOK);
    EXPECT_EQ(sample.Delete(), 0);
    EXPECT_EQ(Store().SetMetaDataValue(u"lastSync", u"x"), 0);
    rmdir(DataFilePath().c_str());
}

TEST_F(IdentifierTest, NewIdsFollowLastIdAndAreNeverReused) {
    EXPECT_EQ(Store().GenerateNewID(), 4);
    EXPECT_EQ(Store().GenerateNewID(), 5);
    CClient client;
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(client.get_ID(), 6);
    m_boxes.Answer(IDOK);
    ASSERT_EQ(client.Delete(), 1);
    CClient next;
    ASSERT_EQ(next.Save(), 1);
    EXPECT_EQ(next.get_ID(), 7);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("7"));
}

TEST_F(IdentifierTest, LastIdKeepsItsPlaceInMetaData) {
    Store().GenerateNewID();
    ASSERT_EQ(Store().Flush(), 1);
    const std::string text = DataFileText();
    EXPECT_NE(text.find("<docVer>1</docVer>\r\n<lastId>4</lastId>\r\n<syncID>"), std::string::npos);
}

TEST_F(IdentifierTest, RefIdIsLowFileTimeInHexFollowedById) {
    EXPECT_EQ(Store().GenerateRefID(0), FileTimeLowHex(TestNow()) + u"0");
    EXPECT_EQ(Store().GenerateRefID(42), FileTimeLowHex(TestNow()) + u"42");
    Clock::AdvanceSeconds(1);
    EXPECT_NE(Store().GenerateRefID(42), FileTimeLowHex(TestNow()) + u"42");
}

TEST_F(IdentifierTest, IdsAndRefIdsTranslateBothWays) {
    EXPECT_EQ(Store().ID_To_RefID(2, u"project"), Text("SAMP002"));
    EXPECT_EQ(Store().RefID_To_ID(u"SAMP003", u"category"), 3);
    EXPECT_EQ(Store().ID_To_RefID(0, u"project"), CString());
    EXPECT_EQ(Store().ID_To_RefID(99, u"project"), CString());
    EXPECT_EQ(Store().RefID_To_ID(u"", u"project"), 0);
    EXPECT_EQ(Store().RefID_To_ID(u"NOPE", u"project"), 0);
}

TEST_F(IdentifierTest, LargeIdsAreFoundLikeAnyOther) {
    ASSERT_EQ(Store().SetMetaDataValue(u"lastId", u"1233"), 1);
    CClient client;
    client.set_Description(u"Big");
    ASSERT_EQ(client.Save(), 1);
    ASSERT_EQ(client.get_ID(), 1234);
    EXPECT_EQ(Store().FindObject(1234, u"client"), 1);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetTagName(), Text("client"));
    EXPECT_EQ(Store().ID_To_RefID(1234, u"client"), client.get_RefID());
    EXPECT_EQ(Store().RefID_To_ID(client.get_RefID(), u"client"), 1234);
    // "123" must not match "1234".
    EXPECT_EQ(Store().FindObject(123, u"client"), 0);
    EXPECT_EQ(Store().FindObject(0, u"client"), 0);
}

TEST_F(IdentifierTest, FindObjectOfADeletedRecordFindsItsMarker) {
    CProject project;
    project.set_ID(2);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(project.Delete(), 1);
    ASSERT_EQ(Store().FindObject(2, u"project"), 1);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetTagName(), Text("deleted"));
}

TEST_F(MetaDataTest, ValuesAreReadReplacedInPlaceAndAdded) {
    EXPECT_EQ(Store().GetMetaDataValue(u"docVer"), Text("1"));
    EXPECT_EQ(Store().GetMetaDataValue(u"absent"), CString());
    ASSERT_EQ(Store().SetMetaDataValue(u"lastSync", u"1/2/2005 03:04:05 AM"), 1);
    ASSERT_EQ(Store().SetMetaDataValue(u"extra", u"x"), 1);
    const std::string text = DataFileText();
    EXPECT_NE(text.find("0</syncID>\r\n<lastSync>1/2/2005 03:04:05 AM</lastSync>\r\n<extra>x</extra>\r\n</metaData>"),
              std::string::npos);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastSync"), Text("1/2/2005 03:04:05 AM"));
}

TEST_F(MetaDataTest, FirstValueReplacedMovesToTheEnd) {
    ASSERT_EQ(Store().SetMetaDataValue(u"docVer", u"2"), 1);
    EXPECT_NE(DataFileText().find("</lastSync>\r\n<docVer>2</docVer>\r\n</metaData>"), std::string::npos);
}

TEST_F(ObjectListTest, ListsHoldEveryRecordOfTheKindInDocumentOrder) {
    CClient second;
    second.set_Description(u"Second");
    ASSERT_EQ(second.Save(), 1);
    std::unique_ptr<CObArray> clients(Store().GetObjectList(u"client"));
    ASSERT_EQ(clients->GetSize(), 2);
    EXPECT_NE(dynamic_cast<CClient*>(clients->GetAt(0)), nullptr);
    EXPECT_EQ(Descriptions(*clients), (std::vector<CString>{GetResString(4, 1), Text("Second")}));
    std::unique_ptr<CObArray> categories(Store().GetObjectList(u"category"));
    ASSERT_EQ(categories->GetSize(), 1);
    EXPECT_EQ(static_cast<CCategory*>(categories->GetAt(0))->get_Code(), GetResString(7, 1));
}

TEST_F(ObjectListTest, KindWithoutRecordsGivesAnEmptyList) {
    std::unique_ptr<CObArray> entries(Store().GetObjectList(u"projectItem"));
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries->GetSize(), 0);
}

TEST_F(ObjectListTest, EntriesComeByDateAndEqualDatesInDocumentOrder) {
    const int marchA = SaveEntry(COleDateTime(2004, 3, 5, 0, 0, 0), u"March A");
    SaveEntry(COleDateTime(2004, 1, 9, 0, 0, 0), u"January");
    SaveEntry(COleDateTime(2004, 3, 5, 0, 0, 0), u"March B");
    SaveEntry(COleDateTime(2004, 2, 1, 0, 0, 0), u"February");
    std::unique_ptr<CObArray> entries(Store().GetObjectList(u"projectItem"));
    EXPECT_EQ(Descriptions(*entries),
              (std::vector<CString>{Text("January"), Text("February"), Text("March A"), Text("March B")}));

    // Saving again moves an entry behind the others of its date.
    CProjectItem again;
    again.set_ID(marchA);
    ASSERT_EQ(again.Load(), 1);
    ASSERT_EQ(again.Save(), 1);
    entries.reset(Store().GetObjectList(u"projectItem"));
    EXPECT_EQ(Descriptions(*entries),
              (std::vector<CString>{Text("January"), Text("February"), Text("March B"), Text("March A")}));
}

TEST_F(ObjectListTest, ProjectsOfAClient) {
    CProject other;
    other.set_Description(u"Other");
    other.set_ClientRef(u"SOMEONE");
    ASSERT_EQ(other.Save(), 1);
    CProject mine;
    mine.set_Description(u"Mine");
    mine.set_ClientRef(u"SAMP001");
    ASSERT_EQ(mine.Save(), 1);
    std::unique_ptr<CObArray> projects(Store().GetProjectsForClient(1));
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(Descriptions(*projects), (std::vector<CString>{GetResString(5, 1), Text("Mine")}));
    EXPECT_EQ(static_cast<CProject*>(projects->GetAt(1))->get_ClientRef(), Text("SAMP001"));
}

TEST_F(ObjectListTest, ProjectsOfSomethingThatIsNoClientGiveNoList) {
    EXPECT_EQ(Store().GetProjectsForClient(99), nullptr);
    EXPECT_EQ(Store().GetProjectsForClient(0), nullptr);
    EXPECT_EQ(Store().GetProjectsForClient(2), nullptr);   // a project's ID
}

TEST_F(SyncPhaseTest, RecordsGoIntoTheCurrentDocument) {
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    EXPECT_EQ(Store().GetSyncPhase(), 1);
    CClient client;
    client.set_Description(u"Changed");
    ASSERT_EQ(client.Save(), 1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseData), 1);
    const std::string changes = ReadFileBytes(Store().GetOwnChangeFilePath().ToUtf8());
    EXPECT_EQ(changes, "<quillmar>\r\n<client id=\"4\" refId=\"" + client.get_RefID().ToUtf8() +
                           "\">\r\n<description>Changed</description>\r\n"
                           "<modified>3/7/2004 02:05:00 PM</modified>\r\n</client>\r\n</quillmar>\r\n");
    // The ID came from the data document, whose file is written by the next flush only.
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("4"));
    EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
}

TEST_F(SyncPhaseTest, RemoteChangesWithoutTheirFileLeavePhaseZero) {
    EXPECT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseRemoteChanges), 0);
    EXPECT_EQ(Store().GetSyncPhase(), 0);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetDoc(), CString::FromUtf8(ExpectedNewDataFile()));
}

TEST_F(SyncPhaseTest, RemoteChangesAreReadFromTheOtherChangeFile) {
    ASSERT_TRUE(WriteFileBytes(Store().GetOtherChangeFilePath().ToUtf8(),
                               "<quillmar>\r\n<client id=\"9\" refId=\"R9\">\r\n</client>\r\n</quillmar>\r\n"));
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseRemoteChanges), 1);
    std::unique_ptr<CObArray> clients(Store().GetObjectList(u"client"));
    ASSERT_EQ(clients->GetSize(), 1);
    EXPECT_EQ(static_cast<CClient*>(clients->GetAt(0))->get_RefID(), Text("R9"));
    // Lookups by ID and RefID always consult the data document.
    EXPECT_EQ(Store().RefID_To_ID(u"R9", u"client"), 0);
    EXPECT_EQ(Store().RefID_To_ID(u"SAMP001", u"client"), 1);
    // Any other value selects the data document.
    ASSERT_EQ(Store().SwitchSyncPhase(7), 1);
    std::unique_ptr<CObArray> local(Store().GetObjectList(u"client"));
    EXPECT_EQ(static_cast<CClient*>(local->GetAt(0))->get_RefID(), Text("SAMP001"));
}

TEST_F(SyncPhaseTest, InitializeEmptiesTheLocalChangeDocument) {
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    CClient client;
    ASSERT_EQ(client.Save(), 1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseData), 1);
    ASSERT_EQ(Store().Initialize(), 1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetDoc(), Text("<quillmar/>\r\n"));
}

TEST_F(SyncPhaseTest, InitializeUnlessCurrentKeepsTheLoadedDataAndEmptiesTheLocalChanges) {
    CClient client;
    client.set_Description(u"Kept");
    ASSERT_EQ(client.Save(), 1);
    const std::string stored = DataFileText();
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    ASSERT_EQ(client.Save(), 1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseData), 1);
    ASSERT_EQ(Store().InitializeUnlessCurrent(), 1);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetDoc(), CString::FromUtf8(stored));
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    EXPECT_EQ(Store().GetCurrentDataStore()->GetDoc(), Text("<quillmar/>\r\n"));
}

TEST_F(SyncPhaseTest, InitializeUnlessCurrentReadsWhatAnotherWriterLeft) {
    CDataHelper other(Store());
    ASSERT_EQ(other.SetMetaDataValue(u"lastSync", u"1/2/2004 03:04:05 PM"), 1);
    ASSERT_EQ(Store().InitializeUnlessCurrent(), 1);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastSync"), Text("1/2/2004 03:04:05 PM"));
}

TEST_F(SyncPhaseTest, InitializeUnlessCurrentDropsWhatMemoryHoldsBeyondTheFile) {
    // An ID handed out changes "lastId" in memory only, until the next write.
    ASSERT_EQ(Store().GenerateNewID(), 4);
    ASSERT_EQ(Store().InitializeUnlessCurrent(), 1);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("3"));
    EXPECT_EQ(Store().GenerateNewID(), 4);
}

TEST_F(SyncPhaseTest, InitializeUnlessCurrentStartsAFileThatDisappeared) {
    ASSERT_EQ(std::remove(DataFilePath().c_str()), 0);
    ASSERT_EQ(Store().InitializeUnlessCurrent(), 1);
    EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
}

TEST_F(SyncPhaseTest, CopiesAreIndependent) {
    CDataHelper copy(Store());
    EXPECT_EQ(copy.GetDataFilePath(), Store().GetDataFilePath());
    copy.GenerateNewID();
    EXPECT_EQ(copy.GetMetaDataValue(u"lastId"), Text("4"));
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("3"));
}
