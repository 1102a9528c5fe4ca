// Record batches on the data document: the same edits made inside a batch and one by one must
// leave the data file byte for byte the same, whatever records, markers and document shapes
// are involved, and reads inside a batch must see every edit made so far.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "xml/MarkupArchive.h"

namespace {

class RecordBatchTest : public BizTest {
protected:
    void TearDown() override {
        CDataHelper::SetRecordBatchEnabled(true);
        BizTest::TearDown();
    }

    // The data file after `edits` ran inside a record batch on a data file holding `start`,
    // at the same clock every time.
    std::string EditedFile(const std::string& start, bool batched, const std::function<void()>& edits) {
        EXPECT_TRUE(WriteFileBytes(DataFilePath(), start));
        EXPECT_EQ(Store().Initialize(), 1);
        Clock::Set(TestNow());
        CDataHelper::SetRecordBatchEnabled(batched);
        Store().BeginRecordBatch();
        edits();
        EXPECT_EQ(Store().EndRecordBatch(), 1);
        CDataHelper::SetRecordBatchEnabled(true);
        return DataFileText();
    }

    void ExpectSameBothWays(const std::string& start, const std::function<void()>& edits) {
        const std::string oneByOne = EditedFile(start, false, edits);
        const std::string batched = EditedFile(start, true, edits);
        EXPECT_NE(oneByOne, start);
        EXPECT_EQ(batched, oneByOne);
    }

    // A data file with records of every kind, texts needing escapes and a deletion marker.
    std::string VariedDataFile() {
        Clock::Set(TestNow());
        CClient client;
        client.set_Description(u"Smith & \"Sons\" <Ltd>");
        client.set_Contact(u"Ann");
        client.Save();
        CProject project;
        project.set_Description(u"Roof");
        project.set_ClientRef(client.get_RefID());
        project.Save();
        for (int n = 0; n < 6; ++n) {
            CProjectItem entry(TestNow());
            entry.set_ProjectRef(project.get_RefID());
            entry.set_Custom1(CString(u"PO-") + CString(std::u16string(1, static_cast<char16_t>(u'0' + n))));
            entry.set_ItemType(n % 2 ? CProjectItem::ItemType_Mileage : CProjectItem::ItemType_Time);
            entry.Save();
        }
        CClient gone;
        gone.set_Description(u"Gone");
        gone.Save();
        m_boxes.Answer(IDOK);
        EXPECT_EQ(gone.Delete(), 1);
        m_goneId = gone.get_ID();
        m_goneRefId = gone.get_RefID();
        m_clientRefId = client.get_RefID();
        return DataFileText();
    }

    static CProjectItem NewEntry(const char16_t* custom) {
        CProjectItem entry(TestNow());
        entry.set_Custom1(custom);
        entry.set_ProjectRef(u"SAMP002");
        return entry;
    }

    int m_goneId = 0;
    CString m_goneRefId;
    CString m_clientRefId;
};

// Replaced, new, re-saved new, removed and marker edits in one batch.
void EditEveryWay(CDataHelper& store, const CString& clientRefId, int goneId, const CString& goneRefId) {
    CClient client;
    client.set_ID(store.RefID_To_ID(clientRefId, u"client"));
    ASSERT_EQ(client.Load(), 1);
    client.set_Address(u"1 High St");
    ASSERT_EQ(client.Save(), 1);

    CProjectItem entry(TestNow());
    entry.set_Custom1(u"new one");
    entry.set_ProjectRef(u"SAMP002");
    ASSERT_EQ(entry.Save(), 1);
    Clock::AdvanceSeconds(1);
    entry.set_Custom2(u"saved again");
    ASSERT_EQ(entry.Save(), 1);

    CProject project;
    project.set_RefID(u"PRESET7");
    project.set_Description(u"Preset");
    ASSERT_EQ(project.Save(), 1);

    // A record saved under the ID of a deleted one replaces its marker, as a lookup by ID finds it.
    CClient back;
    back.set_ID(goneId);
    back.set_RefID(goneRefId);
    back.set_Description(u"Back");
    ASSERT_EQ(back.Save(), 1);

    CDeletedMarker marker;
    marker.set_ID(4242);
    marker.set_RefID(u"MARK1");
    marker.set_Description(u"category");
    ASSERT_EQ(marker.Save(), 1);
    EXPECT_EQ(store.RemoveDeletedMarker(u"category", u"MARK1"), 1);
    EXPECT_EQ(store.RemoveDeletedMarker(u"category", u"MARK1"), 0);

    EXPECT_EQ(store.RemoveRecordByRefID(u"category", u"SAMP003"), 1);
    EXPECT_EQ(store.RemoveRecordByRefID(u"project", u"PRESET7"), 1);
    EXPECT_EQ(store.RemoveRecordByRefID(u"project", u"NOSUCH"), 0);

    CCategory unknownId;
    unknownId.set_ID(999);
    unknownId.set_RefID(u"CAT999");
    unknownId.set_Code(u"X");
    ASSERT_EQ(unknownId.Save(), 1);

    ASSERT_EQ(store.SetMetaDataValue(u"lastSync", u"12/8/2026 10:00:00 AM"), 1);
    ASSERT_EQ(store.SetMetaDataValue(u"extra", u"a < b"), 1);
}

TEST_F(RecordBatchTest, EditsOfEveryKindGiveTheSameFileAsOneByOne) {
    const std::string start = VariedDataFile();
    ExpectSameBothWays(start, [&] { EditEveryWay(Store(), m_clientRefId, m_goneId, m_goneRefId); });
}

TEST_F(RecordBatchTest, ReadsInsideABatchSeeEveryEditSoFar) {
    const std::string start = VariedDataFile();
    ExpectSameBothWays(start, [&] {
        CProjectItem entry = NewEntry(u"seen");
        entry.set_RefID(u"SEEN1");
        ASSERT_EQ(entry.Save(), 1);
        EXPECT_EQ(Store().RefID_To_ID(u"SEEN1", u"projectItem"), entry.get_ID());
        CString lastId;
        lastId.Format(u"%d", entry.get_ID());
        EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), lastId);
        CProjectItem loaded;
        loaded.set_ID(entry.get_ID());
        ASSERT_EQ(loaded.Load(), 1);
        EXPECT_EQ(loaded.get_Custom1(), CString(u"seen"));
        // Edits go on after a read brought the document up to date.
        loaded.set_Custom3(u"after the read");
        ASSERT_EQ(loaded.Save(), 1);
        CProjectItem another = NewEntry(u"another");
        ASSERT_EQ(another.Save(), 1);
        EXPECT_EQ(another.get_ID(), entry.get_ID() + 1);
    });
}

// A caller that edits the document it was handed (a deletion finds and removes the element
// itself) must not leave the batch working on a stale view of it.
TEST_F(RecordBatchTest, DirectEditsInsideABatchAreNotLost) {
    const std::string start = VariedDataFile();
    m_boxes.Answer(IDYES);
    m_boxes.Answer(IDYES);
    ExpectSameBothWays(start, [&] {
        // Opens the batch without giving it anything to write.
        EXPECT_EQ(Store().RemoveRecordByRefID(u"client", u"NOSUCH"), 0);
        CDeletedMarker gone;
        gone.set_ID(m_goneId);
        EXPECT_EQ(gone.Delete(), 1);
        CProjectItem first;
        first.set_ID(6);
        ASSERT_EQ(first.Load(), 1);
        ASSERT_EQ(first.Delete(), 1);
        CProjectItem second;
        second.set_ID(7);
        second.set_RefID(u"R7");
        ASSERT_EQ(second.Save(), 1);
        Store().GetCurrentDataStore()->ResetPos();
        ASSERT_EQ(Store().FindObject(8, u"projectItem"), 1);
        ASSERT_TRUE(Store().GetCurrentDataStore()->RemoveElem());
        CProjectItem third;
        third.set_ID(9);
        third.set_RefID(u"R9");
        ASSERT_EQ(third.Save(), 1);
    });
    EXPECT_EQ(m_boxes.Unexpected(), 0);
}

TEST_F(RecordBatchTest, NothingEditedWritesNothingNew) {
    const std::string start = VariedDataFile();
    EXPECT_EQ(EditedFile(start, true, [] {}), start);
}

// Document shapes around "metaData" and between records; a shape the batch cannot gather
// exactly is edited one by one, with the same result.
struct Shape {
    const char* name;
    const char* text;
};

const Shape kShapes[] = {
    {"canonical",
     "<quillmar>\r\n<metaData>\r\n<docVer>1</docVer>\r\n<lastId>3</lastId>\r\n<syncID>AB0</syncID>\r\n"
     "<lastSync>3/7/2004 02:05:00 PM</lastSync>\r\n</metaData>\r\n"
     "<client id=\"1\" refId=\"SAMP001\">\r\n<description>A</description>\r\n</client>\r\n"
     "<project id=\"2\" refId=\"SAMP002\" clientRef=\"SAMP001\">\r\n<description>P</description>\r\n</project>\r\n"
     "<category id=\"3\" refId=\"SAMP003\">\r\n<description>C</description>\r\n<code>c</code>\r\n</category>\r\n"
     "</quillmar>\r\n"},
    {"lastIdMissing",
     "<quillmar>\r\n<metaData>\r\n<docVer>1</docVer>\r\n<syncID>AB0</syncID>\r\n</metaData>\r\n"
     "<client id=\"1\" refId=\"SAMP001\"/>\r\n<project id=\"2\" refId=\"SAMP002\"/>\r\n"
     "<category id=\"3\" refId=\"SAMP003\"/>\r\n</quillmar>\r\n"},
    {"lastIdFirstAndOddSpacing",
     "<quillmar>\n\t<metaData>  <lastId>3</lastId> <docVer>1</docVer>x<syncID>AB0</syncID></metaData>\n\t"
     "<client id=\"1\" refId=\"SAMP001\">\n<description>A</description></client>  "
     "<project id=\"2\" refId=\"SAMP002\"/>\t<category id=\"3\" refId=\"SAMP003\"/></quillmar>"},
    {"emptyMetaData",
     "<quillmar><metaData/><client id=\"1\" refId=\"SAMP001\"/><project id=\"2\" refId=\"SAMP002\"/>"
     "<category id=\"3\" refId=\"SAMP003\"/></quillmar>\r\n"},
    {"recordsBeforeMetaData",
     "<quillmar>\r\n<client id=\"1\" refId=\"SAMP001\"/>\r\n<metaData>\r\n<lastId>3</lastId>\r\n</metaData>\r\n"
     "<project id=\"2\" refId=\"SAMP002\"/>\r\n<metaData>\r\n<lastId>50</lastId>\r\n</metaData>\r\n"
     "<category id=\"3\" refId=\"SAMP003\"/>\r\n</quillmar>\r\n"},
    {"commentBetweenRecords",
     "<?xml version=\"1.0\"?>\r\n<quillmar>\r\n<metaData>\r\n<lastId>3</lastId>\r\n</metaData>\r\n"
     "<client id=\"1\" refId=\"SAMP001\"/>\r\n<!-- kept -->\r\n<project id=\"2\" refId=\"SAMP002\"/>\r\n"
     "<category id=\"3\" refId=\"SAMP003\"/>\r\ntail text</quillmar>\r\n<!-- after -->\r\n"},
    {"duplicateIds",
     "<quillmar>\r\n<metaData>\r\n<lastId>3</lastId>\r\n</metaData>\r\n"
     "<deleted id=\"1\" refId=\"OLD1\">\r\n<description>client</description>\r\n</deleted>\r\n"
     "<client id=\"1\" refId=\"SAMP001\"/>\r\n<project id=\"2\" refId=\"SAMP002\"/>\r\n"
     "<project id=\"2\" refId=\"SAMP002\"/>\r\n<category id=\"3\" refId=\"SAMP003\"/>\r\n</quillmar>\r\n"},
    {"metaDataWithId",
     "<quillmar>\r\n<metaData id=\"1\">\r\n<lastId>3</lastId>\r\n</metaData>\r\n"
     "<client id=\"1\" refId=\"SAMP001\"/>\r\n<project id=\"2\" refId=\"SAMP002\"/>\r\n"
     "<category id=\"3\" refId=\"SAMP003\"/>\r\n</quillmar>\r\n"},
};

void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }

class RecordBatchShapeTest : public RecordBatchTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(RecordBatchShapeTest, GivesTheSameFileAsOneByOne) {
    ExpectSameBothWays(GetParam().text, [&] {
        CClient client;
        client.set_ID(1);
        client.set_RefID(u"SAMP001");
        client.set_Description(u"Renamed");
        ASSERT_EQ(client.Save(), 1);
        CProjectItem first = NewEntry(u"one");
        ASSERT_EQ(first.Save(), 1);
        CProjectItem second = NewEntry(u"two");
        ASSERT_EQ(second.Save(), 1);
        ASSERT_EQ(first.Save(), 1);
        CProject project;
        project.set_ID(2);
        project.set_RefID(u"SAMP002");
        ASSERT_EQ(project.Save(), 1);
        EXPECT_EQ(Store().RemoveRecordByRefID(u"category", u"SAMP003"), 1);
        ASSERT_EQ(Store().SetMetaDataValue(u"lastSync", u"12/8/2026 10:00:00 AM"), 1);
    });
}

TEST_P(RecordBatchShapeTest, RemovingTheLastRecordsThenAddingGivesTheSameFile) {
    ExpectSameBothWays(GetParam().text, [&] {
        EXPECT_EQ(Store().RemoveRecordByRefID(u"category", u"SAMP003"), 1);
        EXPECT_EQ(Store().RemoveRecordByRefID(u"project", u"SAMP002"), 1);
        CCategory category;
        category.set_Code(u"new");
        ASSERT_EQ(category.Save(), 1);
        EXPECT_EQ(Store().RemoveRecordByRefID(u"client", u"SAMP001"), 1);
    });
}

INSTANTIATE_TEST_SUITE_P(Shapes, RecordBatchShapeTest, ::testing::ValuesIn(kShapes),
                         [](const ::testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

TEST_F(RecordBatchTest, BatchesNestAndOnlyTheOutermostWrites) {
    const std::string start = VariedDataFile();
    Store().BeginRecordBatch();
    Store().BeginRecordBatch();
    CProjectItem entry = NewEntry(u"nested");
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_EQ(Store().EndRecordBatch(), 1);
    EXPECT_EQ(DataFileText(), start);
    EXPECT_EQ(Store().EndRecordBatch(), 1);
    EXPECT_NE(DataFileText().find("nested"), std::string::npos);
    EXPECT_EQ(Store().EndRecordBatch(), 1);   // an End without a Begin changes nothing
}

TEST_F(RecordBatchTest, ChangeDocumentsAreNotPartOfTheBatch) {
    VariedDataFile();
    Store().BeginRecordBatch();
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    CProjectItem entry = NewEntry(u"to the change file");
    entry.set_ID(77);
    entry.set_RefID(u"CH77");
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_NE(Store().GetCurrentDataStore()->GetDoc().Find(u"CH77"), -1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseData), 1);
    EXPECT_EQ(Store().RefID_To_ID(u"CH77", u"projectItem"), 0);
    EXPECT_EQ(Store().EndRecordBatch(), 1);
    EXPECT_EQ(DataFileText().find("CH77"), std::string::npos);
}

// The list serialising takes: the records GetObjectList gives whose ModifiedTime is later than
// the time, in the same order, including entries sorted by item date with equal dates.
TEST_F(RecordBatchTest, ListOfRecordsModifiedAfterATimeKeepsTheListOrder) {
    const std::string start =
        "<quillmar>\r\n<metaData>\r\n<lastId>9</lastId>\r\n</metaData>\r\n"
        "<projectItem id=\"1\" refId=\"A\">\r\n<modified>3/7/2004 02:06:00 "
        "PM</modified>\r\n<itemDate>3/2/2004</itemDate>\r\n</projectItem>\r\n"
        "<projectItem id=\"2\" refId=\"B\">\r\n<modified>3/7/2004 02:05:00 "
        "PM</modified>\r\n<itemDate>3/1/2004</itemDate>\r\n</projectItem>\r\n"
        "<projectItem id=\"3\" refId=\"C\">\r\n<itemDate>3/1/2004</itemDate>\r\n</projectItem>\r\n"
        "<projectItem id=\"4\" refId=\"D\">\r\n<modified>3/8/2004 09:00:00 "
        "AM</modified>\r\n<itemDate>3/1/2004</itemDate>\r\n"
        "<modified>1/1/2000 09:00:00 AM</modified>\r\n</projectItem>\r\n"
        "<projectItem id=\"5\" refId=\"E\">\r\n<modified>not a "
        "date</modified>\r\n<itemDate>3/1/2004</itemDate>\r\n</projectItem>\r\n"
        "<projectItem id=\"6\" refId=\"F\">\r\n<modified>3/9/2004 09:00:00 "
        "AM</modified>\r\n<itemDate>2/1/2004</itemDate>\r\n</projectItem>\r\n"
        "<client id=\"7\" refId=\"G\">\r\n<modified>3/9/2004 09:00:00 AM</modified>\r\n</client>\r\n"
        "<projectItem id=\"8\" refId=\"H\">\r\n<modified>3/9/2004 09:00:00 "
        "AM</modified>\r\n<itemDate>3/1/2004</itemDate>\r\n</projectItem>\r\n"
        "</quillmar>\r\n";
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), start));
    ASSERT_EQ(Store().Initialize(), 1);
    const COleDateTime time(2004, 3, 7, 14, 5, 0);
    for (const char16_t* kind : {u"projectItem", u"client", u"category"}) {
        std::unique_ptr<CObArray> all(Store().GetObjectList(kind));
        std::unique_ptr<CObArray> newer(Store().GetObjectListModifiedAfter(kind, time));
        std::vector<std::string> expected;
        for (auto& item : all->Items()) {
            const auto* record = static_cast<const CBaseObject*>(item.get());
            if (record->get_ModifiedTime() > time)
                expected.push_back(record->get_RefID().ToUtf8());
        }
        std::vector<std::string> listed;
        for (auto& item : newer->Items())
            listed.push_back(static_cast<const CBaseObject*>(item.get())->get_RefID().ToUtf8());
        EXPECT_EQ(listed, expected);
    }
    std::unique_ptr<CObArray> entries(Store().GetObjectListModifiedAfter(u"projectItem", time));
    std::vector<std::string> order;
    for (auto& item : entries->Items())
        order.push_back(static_cast<const CBaseObject*>(item.get())->get_RefID().ToUtf8());
    EXPECT_EQ(order, (std::vector<std::string>{"F", "D", "H", "A"}));
}

}   // namespace
