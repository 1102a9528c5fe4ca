// Fields the programs cannot use load as usable values, and an unreadable data file gives back
// every complete record it holds, with its IDs and RefIDs, into the new data file.
#include <cmath>
#include <cstdio>
#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SummaryData.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/MessageBox.h"

namespace {

using FieldLimitTest = BizTest;
using SalvageTest = BizTest;

const std::string kHeader =
    "<quillmar>\r\n<metaData>\r\n<docVer>1</docVer>\r\n<lastId>40</lastId>\r\n<syncID>KEEP0</syncID>\r\n"
    "<lastSync>3/1/2004 10:00:00 AM</lastSync>\r\n</metaData>\r\n";

std::string Entry(int id, const std::string& fields) {
    return "<projectItem id=\"" + std::to_string(id) + "\" refId=\"E" + std::to_string(id) +
           "\" projectRef=\"P2\">\r\n<description>Entry " + std::to_string(id) +
           "</description>\r\n<itemDate>3/5/2004</itemDate>\r\n" + fields + "</projectItem>\r\n";
}

// A file of every kind of record, in this order: client 1, project 2, category 3, entries 4
// to 6, a deletion marker 7.
std::string Records() {
    return "<client id=\"1\" "
           "refId=\"C1\">\r\n<description>Acme</description>\r\n<contact>Wile</contact>\r\n</client>\r\n"
           "<project id=\"2\" refId=\"P2\" clientRef=\"C1\">\r\n<description>Rockets</description>\r\n</project>\r\n"
           "<category id=\"3\" refId=\"K3\">\r\n<description>Design</description>\r\n<code>DSN</code>\r\n"
           "<quillmar>80</quillmar>\r\n</category>\r\n" +
           Entry(4, "<itemType>1</itemType>\r\n<duration>90</duration>\r\n") +
           Entry(5, "<itemType>3</itemType>\r\n<billAmount>12.5</billAmount>\r\n") +
           Entry(6,
                 "<itemType>2</itemType>\r\n<odometerStart>10</odometerStart>\r\n<odometerEnd>30</odometerEnd>\r\n") +
           "<deleted id=\"7\" refId=\"X7\">\r\n<description>client</description>\r\n</deleted>\r\n";
}

// Kind, ID and RefID of every record of the data file, in document order.
std::vector<std::string> RecordKeys(const std::string& text) {
    std::vector<std::string> keys;
    CMarkupArchive document;
    if (!document.SetDoc(CString::FromUtf8(text)) || !document.FindElem())
        return keys;
    while (document.FindChildElem()) {
        if (document.GetChildTagName() != u"metaData")
            keys.push_back(document.GetChildTagName().ToUtf8() + " " + document.GetChildAttrib(u"id").ToUtf8() + " " +
                           document.GetChildAttrib(u"refId").ToUtf8());
    }
    return keys;
}

std::unique_ptr<CProjectItem> LoadEntry(int id) {
    auto entry = std::make_unique<CProjectItem>();
    entry->set_ID(id);
    EXPECT_EQ(entry->Load(), 1);
    return entry;
}

}   // namespace

TEST_F(FieldLimitTest, GarbageFieldsLoadAsValuesTheProgramsCanUse) {
    ASSERT_TRUE(WriteFileBytes(
        DataFilePath(), kHeader +
                            Entry(4,
                                  "<itemType>7</itemType>\r\n<pymtStatus>9</pymtStatus>\r\n"
                                  "<isBillable>2</isBillable>\r\n<billAmount>nan</billAmount>\r\n") +
                            Entry(5,
                                  "<itemType>1</itemType>\r\n<duration>-30</duration>\r\n"
                                  "<billAmount>1e40</billAmount>\r\n") +
                            Entry(6,
                                  "<itemType>2</itemType>\r\n<odometerStart>-5</odometerStart>\r\n"
                                  "<odometerEnd>99999999999</odometerEnd>\r\n<billAmount>-inf</billAmount>\r\n") +
                            "<category id=\"3\" refId=\"K3\">\r\n<code>X</code>\r\n<quillmar>inf</quillmar>\r\n"
                            "</category>\r\n</quillmar>\r\n"));
    ASSERT_EQ(Store().Initialize(), 1);
    const auto unknown = LoadEntry(4);
    EXPECT_EQ(unknown->get_ItemType(), CProjectItem::ItemType_Time);
    EXPECT_EQ(unknown->get_PymtStatus(), CProjectItem::PymtStatus_NotBilled);
    EXPECT_EQ(unknown->get_IsBillable(), 1);
    EXPECT_EQ(unknown->get_BillAmount(), 0.0f);
    const auto time = LoadEntry(5);
    EXPECT_EQ(time->get_DurationInMinutes(), 0);
    EXPECT_EQ(time->get_BillAmount(), 0.0f);
    const auto mileage = LoadEntry(6);
    EXPECT_EQ(mileage->get_OdometerStart(), 0);
    EXPECT_EQ(mileage->get_OdometerEnd(), 99999999);
    CCategory category;
    category.set_ID(3);
    ASSERT_EQ(category.Load(), 1);
    EXPECT_EQ(category.get_Quillmar(), 0.0f);
    // Totals of what loads stay numbers.
    CSummaryData summary;
    std::unique_ptr<CObArray> entries(Store().GetObjectList(u"projectItem"));
    for (int i = 0; i < entries->GetSize(); ++i)
        summary.AddItem(static_cast<CProjectItem*>(entries->GetAt(i)));
    EXPECT_TRUE(std::isfinite(summary.m_fBillableTimeAmount + summary.m_fBillableMileageAmount +
                              summary.m_fBillableExpenseAmount + summary.m_fPaidAmount));
    EXPECT_GE(summary.m_nBillableMinutes, 0);
    EXPECT_TRUE(m_boxes.ShownBoxes().empty());
}

TEST_F(SalvageTest, FileCutAnywhereGivesBackEveryRecordBeforeTheCut) {
    const std::string whole = kHeader + Records() + "</quillmar>\r\n";
    const std::vector<std::string> all = RecordKeys(whole);
    ASSERT_EQ(all.size(), 7u);
    // Cut at every few bytes, through tags, texts and line breaks alike.
    for (size_t cut = kHeader.size(); cut + 14 < whole.size(); cut += 7) {
        const std::string part = whole.substr(0, cut);
        ASSERT_TRUE(WriteFileBytes(DataFilePath(), part));
        m_boxes.Answer(IDOK);
        ASSERT_EQ(Store().Initialize(), 1) << cut;
        const std::vector<std::string> recovered = RecordKeys(DataFileText());
        // Exactly the records whose end tag lies before the cut, in order, as they were.
        size_t complete = 0;
        for (const std::string& key : all) {
            const std::string kind = key.substr(0, key.find(' '));
            const size_t start = whole.find("<" + kind + " id=\"" +
                                            key.substr(key.find(' ') + 1, key.rfind(' ') - key.find(' ') - 1) + "\"");
            const size_t end = whole.find("</" + kind + ">", start);
            if (end + kind.size() + 3 <= cut)
                ++complete;
        }
        ASSERT_EQ(recovered.size(), complete) << cut;
        for (size_t i = 0; i < complete; ++i)
            EXPECT_EQ(recovered[i], all[i]) << cut;
        const CString& message = m_boxes.ShownBoxes().back().text;
        EXPECT_GE(
            message.Find(CString::Formatted(complete == 1 ? u"%d record was recovered" : u"%d records were recovered",
                                            static_cast<int>(complete))),
            0)
            << message.ToUtf8();
        EXPECT_NE(DataFileText().find("<syncID>KEEP0</syncID>"), std::string::npos);
        EXPECT_EQ(DataFileText().find("SAMP001"), std::string::npos);
        ASSERT_EQ(ReadFileBytes(DataFilePath() + ".unreadable-20040307-140500"), part);
        std::remove((DataFilePath() + ".unreadable-20040307-140500").c_str());
    }
    EXPECT_EQ(m_boxes.Unexpected(), 0);
}

TEST_F(SalvageTest, DamagedRecordIsDroppedAndTheOthersKeptWithTheirIds) {
    std::string text = kHeader + Records() + "</quillmar>\r\n";
    text.replace(text.find("</contact>"), 10, "</cont");   // the client no longer closes properly
    text.replace(text.find("<itemType>3"), 1, "\xff");     // nor does the expense entry
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), text));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    const std::vector<std::string> expected = {"project 2 P2", "category 3 K3", "projectItem 4 E4", "projectItem 6 E6",
                                               "deleted 7 X7"};
    EXPECT_EQ(RecordKeys(DataFileText()), expected);
    const CString& message = m_boxes.ShownBoxes().back().text;
    EXPECT_GE(message.Find(u"5 records were recovered"), 0) << message.ToUtf8();
    EXPECT_GE(message.Find(u"2 records were damaged"), 0) << message.ToUtf8();
    EXPECT_GE(message.Find(CString::FromUtf8(DataFilePath() + ".unreadable-20040307-140500")), 0);
    // The new file is a data file like any other: its records load, and new IDs follow "lastId".
    CProject project;
    project.set_ID(2);
    ASSERT_EQ(project.Load(), 1);
    EXPECT_EQ(project.get_ClientRef(), CString(u"C1"));
    CClient client;
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(client.get_ID(), 41);
}

TEST_F(SalvageTest, UnusableFieldsAreCorrectedAndNamed) {
    const std::string text = kHeader + Entry(4, "<itemType>7</itemType>\r\n<billAmount>nan</billAmount>\r\n") +
                             Entry(5, "<itemType>1</itemType>\r\n<duration>-30</duration>\r\n") +
                             "<client id=\"8\" refId=\"C8\">";   // cut off
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), text));
    m_boxes.Answer(IDOK);
    ASSERT_EQ(Store().Initialize(), 1);
    const std::string message = m_boxes.ShownBoxes().back().text.ToUtf8();
    EXPECT_NE(message.find("Entry 4 \"Entry 4\": the entry type \"7\" was changed to 1."), std::string::npos)
        << message;
    EXPECT_NE(message.find("Entry 4 \"Entry 4\": the amount \"nan\" was changed to 0."), std::string::npos) << message;
    EXPECT_NE(message.find("Entry 5 \"Entry 5\": the duration \"-30\" was changed to 0."), std::string::npos)
        << message;
    EXPECT_NE(message.find("1 record was damaged"), std::string::npos) << message;
    EXPECT_NE(DataFileText().find("<itemType>1</itemType>\r\n<billAmount>0</billAmount>"), std::string::npos);
    EXPECT_NE(DataFileText().find("<duration>0</duration>"), std::string::npos);
}

TEST_F(SalvageTest, FileWithNothingOfOursStartsWithTheSampleRecords) {
    for (const std::string& text :
         {std::string("\x89PNG\r\n\x1a\n binary"), std::string("<quillmar><client id=\"x")}) {
        ASSERT_TRUE(WriteFileBytes(DataFilePath(), text));
        m_boxes.Answer(IDOK);
        ASSERT_EQ(Store().Initialize(), 1);
        EXPECT_EQ(DataFileText(), ExpectedNewDataFile());
        EXPECT_GE(m_boxes.ShownBoxes().back().text.Find(u"No records could be recovered"), 0);
    }
}
