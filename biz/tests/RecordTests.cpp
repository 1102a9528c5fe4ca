// Records: stored layouts, save, load, delete and deletion markers of every kind.
#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"

namespace {

using BaseRecordTest = BizTest;
using CategoryTest = BizTest;
using ClientTest = BizTest;
using ProjectTest = BizTest;
using EntryTest = BizTest;
using DirtyFlagTest = BizTest;

CString Text(const char* utf8) { return CString(utf8); }

// The stored element of the record with `id` in the current document, "" when absent.
std::string StoredElement(int id) {
    CDataHelper* store = GetCurrDataHelper();
    CMarkupArchive* document = store->GetCurrentDataStore();
    document->ResetPos();
    CString idText;
    idText.Format(u"%d", id);
    if (!document->FindChildElemAttrib(u"any", u"id", idText))
        return std::string();
    return document->GetChildSubDoc().ToUtf8();
}

int CountElements(const char* name) {
    std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(CString(name)));
    return list->GetSize();
}

// The clock stands in the second of the new file's "lastSync": saves are dated after it.
const std::string kModified = "<modified>3/7/2004 02:05:01 PM</modified>\r\n";

}   // namespace

TEST_F(BaseRecordTest, NewRecordGetsNextIdAndRefIdEndingInIt) {
    CClient client;
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(client.get_ID(), 4);
    EXPECT_EQ(client.get_RefID(), FileTimeLowHex(TestNow()) + u"4");
    EXPECT_EQ(client.get_ModifiedTime(), TestNow() + COleDateTimeSpan(0, 0, 0, 1));
}

TEST_F(BaseRecordTest, PresetRefIdIsKept) {
    CClient client;
    client.set_RefID(u"MINE");
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(client.get_RefID(), Text("MINE"));
    EXPECT_EQ(StoredElement(client.get_ID()), "<client id=\"4\" refId=\"MINE\">\r\n" + kModified + "</client>\r\n");
}

TEST_F(BaseRecordTest, EmptyTextsAreNotStoredAndLoadEmpty) {
    CClient client;
    ASSERT_EQ(client.Save(), 1);
    CClient loaded;
    loaded.set_Description(u"stale");
    loaded.set_ID(client.get_ID());
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_Description(), Text("stale"));   // absent children keep the value
    CClient fresh;
    fresh.set_ID(client.get_ID());
    ASSERT_EQ(fresh.Load(), 1);
    EXPECT_EQ(fresh.get_Description(), CString());
    EXPECT_EQ(fresh.get_Notes(), CString());
    EXPECT_EQ(fresh.get_RefID(), client.get_RefID());
}

TEST_F(BaseRecordTest, SavingAgainMovesToTheEndWithNewModifiedTime) {
    CClient client;
    client.set_ID(1);
    ASSERT_EQ(client.Load(), 1);
    Clock::AdvanceSeconds(3600);
    client.set_Notes(u"a & b <c>");
    ASSERT_EQ(client.Save(), 1);
    const std::string text = DataFileText();
    const std::string tail = "<client id=\"1\" refId=\"SAMP001\">\r\n<description>" + GetResString(4, 1).ToUtf8() +
                             "</description>\r\n<notes>a &amp; b &lt;c&gt;</notes>\r\n"
                             "<modified>3/7/2004 03:05:00 PM</modified>\r\n</client>\r\n</quillmar>\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.find("<client"), text.rfind("<client"));
    CClient loaded;
    loaded.set_ID(1);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_Notes(), Text("a & b <c>"));
    EXPECT_EQ(loaded.get_ModifiedTime(), COleDateTime(2004, 3, 7, 15, 5, 0));
}

TEST_F(BaseRecordTest, SavingUnderAnUnknownIdAppendsIt) {
    CClient client;
    client.set_ID(77);
    client.set_RefID(u"R77");
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(client.get_ID(), 77);
    EXPECT_EQ(Store().RefID_To_ID(u"R77", u"client"), 77);
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), Text("3"));
}

TEST_F(BaseRecordTest, LoadAndDeleteOfAbsentRecordsChangeNothing) {
    const std::string before = DataFileText();
    CClient client;
    client.set_ID(50);
    EXPECT_EQ(client.Load(), 0);
    m_boxes.Answer(IDOK);
    EXPECT_EQ(client.Delete(), 0);
    // A record of another kind under that ID is not this record.
    CCategory category;
    category.set_ID(1);
    EXPECT_EQ(category.Load(), 0);
    m_boxes.Answer(IDYES);
    EXPECT_EQ(category.Delete(), 0);
    EXPECT_EQ(DataFileText(), before);
}

TEST_F(BaseRecordTest, LoadFromXmlReadsOneElement) {
    CProjectItem entry;
    entry.LoadFromXml(
        u"<projectItem id=\"12\" refId=\"X12\" projectRef=\"P\"><description>d</description>"
        u"<modified>1/2/2003 04:05:06 PM</modified><itemType>3</itemType></projectItem>");
    EXPECT_EQ(entry.get_ID(), 12);
    EXPECT_EQ(entry.get_RefID(), Text("X12"));
    EXPECT_EQ(entry.get_ProjectRef(), Text("P"));
    EXPECT_EQ(entry.get_ItemType(), CProjectItem::ItemType_Expense);
    EXPECT_EQ(entry.get_ModifiedTime(), COleDateTime(2003, 1, 2, 16, 5, 6));
    EXPECT_EQ(entry.get_IsBillable(), 1);
    entry.LoadFromXml(u"not markup");
    EXPECT_EQ(entry.get_ID(), 12);
}

TEST_F(BaseRecordTest, DeleteLeavesOneMarkerAndDeletingTheMarkerLeavesNothing) {
    CCategory category;
    category.set_ID(3);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(category.Delete(), 1);
    EXPECT_EQ(StoredElement(3),
              "<deleted id=\"3\" refId=\"SAMP003\">\r\n<description>category</description>\r\n"
              "</deleted>\r\n");
    EXPECT_EQ(CountElements("category"), 0);
    std::unique_ptr<CObArray> markers(Store().GetObjectList(u"deleted"));
    ASSERT_EQ(markers->GetSize(), 1);
    auto* marker = dynamic_cast<CDeletedMarker*>(markers->GetAt(0));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->get_Description(), Text("category"));
    EXPECT_EQ(marker->get_ID(), 3);
    EXPECT_EQ(marker->get_ModifiedTime().GetStatus(), COleDateTime::null);
    EXPECT_EQ(marker->Delete(), 1);
    EXPECT_EQ(CountElements("deleted"), 0);
    EXPECT_EQ(StoredElement(3), "");
    EXPECT_EQ(m_boxes.Unexpected(), 0);
}

TEST_F(BaseRecordTest, MarkerSavedIntoChangeDocumentKeepsItsId) {
    CDeletedMarker marker;
    marker.set_ID(40);
    marker.set_RefID(u"R40");
    marker.set_Description(u"client");
    marker.set_Notes(u"never stored");
    ASSERT_EQ(marker.Save(), 1);
    EXPECT_EQ(marker.get_ID(), 40);
    EXPECT_EQ(StoredElement(40),
              "<deleted id=\"40\" refId=\"R40\">\r\n<description>client</description>\r\n"
              "</deleted>\r\n");
}

TEST_F(CategoryTest, StoredLayout) {
    CCategory category;
    category.set_Description(u"Design");
    category.set_Code(u"DES");
    category.set_Quillmar(42.5f);
    ASSERT_EQ(category.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<category id=\"4\" refId=\"" + category.get_RefID().ToUtf8() +
                                    "\">\r\n<description>Design</description>\r\n" + kModified +
                                    "<code>DES</code>\r\n<quillmar>42.5</quillmar>\r\n</category>\r\n");
    CCategory loaded;
    loaded.set_ID(4);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_Code(), Text("DES"));
    EXPECT_FLOAT_EQ(loaded.get_Quillmar(), 42.5f);
}

TEST_F(CategoryTest, ZeroOrNegativeRateAndEmptyCode) {
    CCategory category;
    category.set_Quillmar(-3.0f);
    ASSERT_EQ(category.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<category id=\"4\" refId=\"" + category.get_RefID().ToUtf8() + "\">\r\n" + kModified +
                                    "<code/>\r\n</category>\r\n");
    CCategory loaded;
    loaded.set_ID(4);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_Quillmar(), 0.0f);
    EXPECT_EQ(loaded.get_Code(), CString());
}

TEST_F(CategoryTest, RateKeepsEveryDigitTheFloatHolds) {
    CCategory category;
    category.set_Quillmar(1234567.0f);
    ASSERT_EQ(category.Save(), 1);
    EXPECT_NE(StoredElement(4).find("<quillmar>1234567</quillmar>"), std::string::npos);
}

TEST_F(EntryTest, AmountsAndRatesSurviveSaveAndReloadToTheCent) {
    for (float amount : {12345.67f, 99999.99f, 150000.25f, 49.99f, 85.5f}) {
        CProjectItem entry;
        entry.set_ItemType(CProjectItem::ItemType_Expense);
        entry.set_BillAmount(amount);
        ASSERT_EQ(entry.Save(), 1);
        CCategory category;
        category.set_Quillmar(amount);
        ASSERT_EQ(category.Save(), 1);
        const std::string text = CMarkupArchive::FloatText(amount).ToUtf8();
        EXPECT_NE(StoredElement(entry.get_ID()).find("<billAmount>" + text + "</billAmount>"), std::string::npos);
        EXPECT_NE(StoredElement(category.get_ID()).find("<quillmar>" + text + "</quillmar>"), std::string::npos);

        ASSERT_EQ(Store().Initialize(), 1);   // read back from the file
        CProjectItem loaded;
        loaded.set_ID(entry.get_ID());
        ASSERT_EQ(loaded.Load(), 1);
        EXPECT_EQ(loaded.get_BillAmount(), amount);
        CCategory loadedCategory;
        loadedCategory.set_ID(category.get_ID());
        ASSERT_EQ(loadedCategory.Load(), 1);
        EXPECT_EQ(loadedCategory.get_Quillmar(), amount);
    }
    EXPECT_NE(DataFileText().find("<billAmount>12345.67</billAmount>"), std::string::npos);
    EXPECT_NE(DataFileText().find("<billAmount>85.5</billAmount>"), std::string::npos);
}

TEST_F(CategoryTest, DeleteAsksAndKeepsEntriesReferringToIt) {
    CProjectItem entry;
    entry.set_CategoryRef(u"SAMP003");
    ASSERT_EQ(entry.Save(), 1);
    CCategory category;
    category.set_ID(3);
    m_boxes.Answer(IDNO);
    EXPECT_EQ(category.Delete(), 0);
    EXPECT_EQ(CountElements("category"), 1);
    m_boxes.Answer(IDYES);
    EXPECT_EQ(category.Delete(), 1);
    ASSERT_EQ(m_boxes.ShownBoxes().size(), 2u);
    EXPECT_EQ(m_boxes.ShownBoxes()[0].text, GetResString(25, 1));
    EXPECT_EQ(m_boxes.ShownBoxes()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    CProjectItem kept;
    kept.set_ID(entry.get_ID());
    ASSERT_EQ(kept.Load(), 1);
    EXPECT_EQ(kept.get_CategoryRef(), Text("SAMP003"));
}

TEST_F(ClientTest, StoredLayoutInOrderAddressContactAccount) {
    CClient client;
    client.set_Description(u"Acme");
    client.set_AccountNum(u"A-1");
    client.set_Contact(u"Wile \"E\"");
    client.set_Address(u"1 Road\r\nDesert");
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<client id=\"4\" refId=\"" + client.get_RefID().ToUtf8() +
                                    "\">\r\n<description>Acme</description>\r\n" + kModified +
                                    "<address>1 Road\r\nDesert</address>\r\n<contact>Wile \"E\"</contact>\r\n"
                                    "<accountNum>A-1</accountNum>\r\n</client>\r\n");
    CClient loaded;
    loaded.set_ID(4);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_Address(), Text("1 Road\r\nDesert"));
    EXPECT_EQ(loaded.get_Contact(), Text("Wile \"E\""));
    EXPECT_EQ(loaded.get_AccountNum(), Text("A-1"));
}

TEST_F(ClientTest, OnlyDescriptionStoresNoOtherChildren) {
    CClient client;
    client.set_Description(u"Solo");
    ASSERT_EQ(client.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<client id=\"4\" refId=\"" + client.get_RefID().ToUtf8() +
                                    "\">\r\n<description>Solo</description>\r\n" + kModified + "</client>\r\n");
}

TEST_F(ProjectTest, ClientRefIsAnAttributeOnlyWhenSet) {
    CProject project;
    project.set_Description(u"Loose");
    ASSERT_EQ(project.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<project id=\"4\" refId=\"" + project.get_RefID().ToUtf8() +
                                    "\">\r\n<description>Loose</description>\r\n" + kModified + "</project>\r\n");
    project.set_ClientRef(u"C&1");
    ASSERT_EQ(project.Save(), 1);
    const std::string prefix =
        "<project id=\"4\" refId=\"" + project.get_RefID().ToUtf8() + "\" clientRef=\"C&amp;1\">\r\n";
    EXPECT_EQ(StoredElement(4).rfind(prefix, 0), 0u) << StoredElement(4);
    CProject loaded;
    loaded.set_ID(4);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_ClientRef(), Text("C&1"));
}

TEST_F(EntryTest, NewTimeEntryDefaultsAndLayout) {
    Clock::Set(COleDateTime(2004, 3, 7, 14, 35, 20));
    CProjectItem entry;
    EXPECT_EQ(entry.get_ItemType(), CProjectItem::ItemType_Time);
    EXPECT_EQ(entry.get_PymtStatus(), CProjectItem::PymtStatus_NotBilled);
    EXPECT_EQ(entry.get_IsBillable(), 1);
    EXPECT_EQ(entry.get_DurationInMinutes(), 60);
    EXPECT_EQ(entry.get_ItemDate(), COleDateTime(2004, 3, 7, 14, 35, 20));
    COleDateTime start;
    start.SetTime(14, 0, 0);
    COleDateTime end;
    end.SetTime(15, 0, 0);
    EXPECT_EQ(entry.get_StartTime(), start);
    EXPECT_EQ(entry.get_EndTime(), end);
    EXPECT_EQ(entry.get_IsDirty(), 0);
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<projectItem id=\"4\" refId=\"" + entry.get_RefID().ToUtf8() +
                                    "\">\r\n<modified>3/7/2004 02:35:20 PM</modified>\r\n"
                                    "<itemDate>3/7/2004</itemDate>\r\n<itemType>1</itemType>\r\n"
                                    "<pymtStatus>0</pymtStatus>\r\n<duration>60</duration>\r\n"
                                    "<startTime>02:00:00 PM</startTime>\r\n<endTime>03:00:00 PM</endTime>\r\n"
                                    "</projectItem>\r\n");
}

TEST_F(EntryTest, FullLayoutOrderOfAttributesAndChildren) {
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    entry.set_CategoryRef(u"SAMP003");
    entry.set_Description(u"Work");
    entry.set_Notes(u"N");
    entry.set_ItemDate(COleDateTime(2004, 12, 31, 0, 0, 0));
    entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    entry.set_IsBillable(0);
    entry.set_BillAmount(-5.0f);
    entry.set_DurationInMinutes(90);
    COleDateTime start;
    start.SetTime(9, 30, 0);
    COleDateTime end;
    end.SetTime(11, 0, 0);
    entry.set_StartTime(start);
    entry.set_EndTime(end);
    entry.set_Description2(u"D2");
    entry.set_Custom1(u"C1");
    entry.set_Custom3(u"C3");
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_EQ(StoredElement(4), "<projectItem id=\"4\" refId=\"" + entry.get_RefID().ToUtf8() +
                                    "\" projectRef=\"SAMP002\" categoryRef=\"SAMP003\">\r\n"
                                    "<description>Work</description>\r\n<notes>N</notes>\r\n" +
                                    kModified +
                                    "<itemDate>12/31/2004</itemDate>\r\n<itemType>1</itemType>\r\n"
                                    "<pymtStatus>2</pymtStatus>\r\n<isBillable>0</isBillable>\r\n"
                                    "<billAmount>-5</billAmount>\r\n<duration>90</duration>\r\n"
                                    "<startTime>09:30:00 AM</startTime>\r\n<endTime>11:00:00 AM</endTime>\r\n"
                                    "<description2>D2</description2>\r\n<custom1>C1</custom1>\r\n"
                                    "<custom3>C3</custom3>\r\n</projectItem>\r\n");
    CProjectItem loaded;
    loaded.set_ID(4);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_ProjectRef(), Text("SAMP002"));
    EXPECT_EQ(loaded.get_CategoryRef(), Text("SAMP003"));
    EXPECT_EQ(loaded.get_PymtStatus(), CProjectItem::PymtStatus_Paid);
    EXPECT_EQ(loaded.get_IsBillable(), 0);
    EXPECT_EQ(loaded.get_BillAmount(), -5.0f);
    EXPECT_EQ(loaded.get_DurationInMinutes(), 90);
    EXPECT_EQ(loaded.get_StartTime(), start);
    EXPECT_EQ(loaded.get_EndTime(), end);
    EXPECT_EQ(loaded.get_ItemDate(), COleDateTime(2004, 12, 31, 0, 0, 0));
    EXPECT_EQ(loaded.get_Description2(), Text("D2"));
    EXPECT_EQ(loaded.get_Custom1(), Text("C1"));
    EXPECT_EQ(loaded.get_Custom2(), CString());
    EXPECT_EQ(loaded.get_Custom3(), Text("C3"));
    EXPECT_EQ(loaded.get_IsDirty(), 0);
}

TEST_F(EntryTest, MileageStoresOdometersOnlyAndExpenseNoneOfTheFive) {
    CProjectItem mileage;
    mileage.set_ItemType(CProjectItem::ItemType_Mileage);
    mileage.set_OdometerStart(1000);
    mileage.set_OdometerEnd(1042);
    mileage.set_BillAmount(0.0f);
    ASSERT_EQ(mileage.Save(), 1);
    const std::string stored = StoredElement(mileage.get_ID());
    EXPECT_NE(stored.find("<itemType>2</itemType>\r\n<pymtStatus>0</pymtStatus>\r\n"
                          "<odometerStart>1000</odometerStart>\r\n<odometerEnd>1042</odometerEnd>\r\n"),
              std::string::npos);
    for (const char* absent : {"duration", "startTime", "endTime", "billAmount", "isBillable"})
        EXPECT_EQ(stored.find(absent), std::string::npos) << absent;

    CProjectItem expense;
    expense.set_ItemType(CProjectItem::ItemType_Expense);
    expense.set_OdometerStart(5);
    ASSERT_EQ(expense.Save(), 1);
    const std::string storedExpense = StoredElement(expense.get_ID());
    for (const char* absent : {"duration", "startTime", "endTime", "odometerStart", "odometerEnd"})
        EXPECT_EQ(storedExpense.find(absent), std::string::npos) << absent;
}

TEST_F(EntryTest, ChangingTimeToExpenseDropsTimeFields) {
    CProjectItem entry;
    entry.set_DurationInMinutes(15);
    ASSERT_EQ(entry.Save(), 1);
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_EQ(StoredElement(entry.get_ID()).find("duration"), std::string::npos);
    Clock::Set(COleDateTime(2004, 3, 8, 9, 0, 0));
    CProjectItem loaded;
    loaded.set_ID(entry.get_ID());
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_ItemType(), CProjectItem::ItemType_Expense);
    EXPECT_EQ(loaded.get_DurationInMinutes(), 60);
    COleDateTime nine;
    nine.SetTime(9, 0, 0);
    EXPECT_EQ(loaded.get_StartTime(), nine);
}

TEST_F(EntryTest, DescriptionExAndClientRef) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    entry.set_Description2(u"Airfare");
    entry.set_Description(u"Trip");
    EXPECT_EQ(entry.get_DescriptionEx(), Text("Airfare: Trip"));
    entry.set_Description(u"");
    EXPECT_EQ(entry.get_DescriptionEx(), Text("Airfare"));
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_Description(u"Coding");
    EXPECT_EQ(entry.get_DescriptionEx(), Text("Coding"));

    EXPECT_EQ(entry.get_ClientRef(), CString());
    entry.set_ProjectRef(u"SAMP002");
    EXPECT_EQ(entry.get_ClientRef(), Text("SAMP001"));
    entry.set_ProjectRef(u"GONE");
    EXPECT_EQ(entry.get_ClientRef(), CString());
}

TEST_F(EntryTest, ClientRefOfAnEntryWhoseProjectWasDeletedIsEmpty) {
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    CProject project;
    project.set_ID(2);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(project.Delete(), 1);
    EXPECT_EQ(entry.get_ClientRef(), CString());
}

TEST_F(EntryTest, DeleteAsksWithText21) {
    CProjectItem entry;
    ASSERT_EQ(entry.Save(), 1);
    m_boxes.Answer(IDNO);
    EXPECT_EQ(entry.Delete(), 0);
    m_boxes.Answer(IDYES);
    EXPECT_EQ(entry.Delete(), 1);
    EXPECT_EQ(m_boxes.ShownBoxes()[0].text, GetResString(21, 1));
    EXPECT_EQ(StoredElement(entry.get_ID()), "<deleted id=\"4\" refId=\"" + entry.get_RefID().ToUtf8() +
                                                 "\">\r\n<description>projectItem</description>\r\n</deleted>\r\n");
}

TEST_F(EntryTest, StoredTimesUseAmPmWhateverTheUserLocale) {
    Locale german = Locale::EnglishUS();
    german.timePicture = u"HH:mm:ss";
    german.amDesignator = u"";
    german.pmDesignator = u"";
    Locale::OverrideUserDefault(&german);
    CProjectItem entry;
    COleDateTime start;
    start.SetTime(13, 15, 0);
    entry.set_StartTime(start);
    ASSERT_EQ(entry.Save(), 1);
    EXPECT_NE(StoredElement(entry.get_ID()).find("<startTime>01:15:00 PM</startTime>"), std::string::npos);
    CProjectItem loaded;
    loaded.set_ID(entry.get_ID());
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.get_StartTime(), start);
    Locale::OverrideUserDefault(&Locale::EnglishUS());
}

TEST_F(DirtyFlagTest, SettersMarkDirtyOnlyOnChange) {
    CProjectItem entry;
    entry.set_Description(u"");
    entry.set_ID(5);
    entry.set_RefID(u"R");
    entry.set_FilteredFromView(1);
    entry.set_BillAmount(0.0f);
    entry.set_ItemDate(entry.get_ItemDate());
    EXPECT_EQ(entry.get_IsDirty(), 0);
    entry.set_Description(u"a");
    EXPECT_EQ(entry.get_IsDirty(), 1);
    entry.set_IsDirty(0);
    entry.set_Description(u"A");
    EXPECT_EQ(entry.get_IsDirty(), 1);
    entry.set_IsDirty(0);
    COleDateTime invalid = entry.get_ItemDate();
    invalid.SetStatus(COleDateTime::invalid);
    entry.set_ItemDate(invalid);
    EXPECT_EQ(entry.get_IsDirty(), 1);
    entry.set_IsDirty(0);
    entry.set_BillAmount(0.001f);
    EXPECT_EQ(entry.get_IsDirty(), 1);

    CCategory category;
    category.set_Quillmar(0.0f);
    EXPECT_EQ(category.get_IsDirty(), 0);
    category.set_Code(u"X");
    EXPECT_EQ(category.get_IsDirty(), 1);
    ASSERT_EQ(category.Save(), 1);
    EXPECT_EQ(category.get_IsDirty(), 0);
    CClient client;
    client.set_Contact(u"");
    EXPECT_EQ(client.get_IsDirty(), 0);
    client.set_Contact(u"c");
    EXPECT_EQ(client.get_IsDirty(), 1);
}
