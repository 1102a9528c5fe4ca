// Searching entries by typed words: every field, case and accents, names of the project,
// client and category, the period or all dates, and the filter's criteria.
#include <set>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/EntryMatcher.h"
#include "biz/EntrySearch.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "biz/tests/BizTestSupport.h"

namespace {

class EntrySearchTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        CClient client;
        client.set_Description(u"Müller & Söhne");
        ASSERT_EQ(client.Save(), 1);
        CProject project;
        project.set_Description(u"Façade renewal");
        project.set_ClientRef(client.get_RefID());
        ASSERT_EQ(project.Save(), 1);
        m_projectRef = project.get_RefID();
        CCategory category;
        category.set_Code(u"CONS");
        category.set_Description(u"Consultancy");
        ASSERT_EQ(category.Save(), 1);
        m_categoryRef = category.get_RefID();
    }

    // A time entry on 10 May 2004 (or `date`) with the plain texts given.
    int AddEntry(const CString& description, const COleDateTime& date = COleDateTime(2004, 5, 10, 0, 0, 0)) {
        CProjectItem entry;
        entry.set_ItemType(CProjectItem::ItemType_Time);
        entry.set_Description(description);
        entry.set_ItemDate(date);
        entry.set_ProjectRef(u"SAMP002");
        EXPECT_EQ(entry.Save(), 1);
        return entry.get_ID();
    }

    std::set<int> Found(const CString& typed, bool allDates = true, CProjectItemFilter filter = MayFilter()) {
        const CRecordNames names;
        const CEntryMatcher matcher(typed);
        std::set<int> ids;
        for (const auto& entry : CEntrySearch(filter, matcher, allDates, names))
            ids.insert(entry->get_ID());
        return ids;
    }

    static CProjectItemFilter MayFilter() {
        CProjectItemFilter filter;
        filter.m_dtStart = COleDateTime(2004, 5, 1, 0, 0, 0);
        filter.m_dtEnd = COleDateTime(2004, 5, 31, 23, 59, 59);
        return filter;
    }

    CString m_projectRef;
    CString m_categoryRef;
};

TEST(EntryMatcherFold, CaseAndLatinAccentsFoldAway) {
    EXPECT_EQ(CEntryMatcher::Fold(u"RÉSUMÉ Zürich ÅSA Łódź Œuvre ÇA"),
              std::u16string(u"resume zurich asa lodz œuvre ca"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Draft Résumé for Ana", u"resume"));
    EXPECT_FALSE(CEntryMatcher::ContainsFolded(u"Résumé", u"resumes"));
    EXPECT_EQ(CEntryMatcher(u"  two\twords ").Words(), (std::vector<std::u16string>{u"two", u"words"}));
    EXPECT_TRUE(CEntryMatcher(u"   ").IsEmpty());
}

TEST(EntryMatcherFold, OtherScriptsFoldCaseAndMarksToo) {
    // Vietnamese, pinyin and Romanian letters, and Latin letters with dots below.
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Họp ở Hà Nội", u"hop o ha noi"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"NGUYỄN Thị Ưng", u"nguyen thi ung"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Lǚ Běijīng", u"lu beijing"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Timișoara Constanța", u"timisoara constanta"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Ṣọla Ḥāmid", u"sola hamid"));
    // Greek and Cyrillic: capitals, tonos, final sigma, the e with diaeresis.
    EXPECT_EQ(CEntryMatcher::Fold(u"ΑΘΉΝΑ Αθήνα"), std::u16string(u"αθηνα αθηνα"));
    EXPECT_TRUE(CEntryMatcher::ContainsFolded(u"Οδυσσεύς", u"οδυσσευσ"));
    EXPECT_EQ(CEntryMatcher::Fold(u"МОСКВА Москва ЁЛКА"), std::u16string(u"москва москва елка"));
    // Letters that are letters of their own stay apart.
    EXPECT_FALSE(CEntryMatcher::ContainsFolded(u"Йошкар-Ола", u"иошкар"));
}

TEST_F(EntrySearchTest, EachTextFieldOfTheEntryIsSearched) {
    const int description = AddEntry(u"Résumé review");
    CProjectItem expense;
    expense.set_ItemType(CProjectItem::ItemType_Expense);
    expense.set_ItemDate(COleDateTime(2004, 5, 11, 0, 0, 0));
    expense.set_Description2(u"Taxi");
    ASSERT_EQ(expense.Save(), 1);
    CProjectItem other;
    other.set_ItemDate(COleDateTime(2004, 5, 12, 0, 0, 0));
    other.set_Notes(u"Call about the kick-off");
    other.set_Custom1(u"PO-4711");
    other.set_Custom2(u"Großauftrag");
    other.set_Custom3(u"north wing");
    ASSERT_EQ(other.Save(), 1);

    EXPECT_EQ(Found(u"resume"), std::set<int>{description});
    EXPECT_EQ(Found(u"RÉSUMÉ"), std::set<int>{description});
    EXPECT_EQ(Found(u"taxi"), std::set<int>{expense.get_ID()});
    EXPECT_EQ(Found(u"KICK-OFF"), std::set<int>{other.get_ID()});
    EXPECT_EQ(Found(u"po-4711"), std::set<int>{other.get_ID()});
    EXPECT_EQ(Found(u"großauftrag"), std::set<int>{other.get_ID()});
    EXPECT_EQ(Found(u"North"), std::set<int>{other.get_ID()});
    EXPECT_TRUE(Found(u"nowhere").empty());
}

TEST_F(EntrySearchTest, ProjectClientAndCategoryNamesCountAndEveryWordMustBeFound) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ItemDate(COleDateTime(2004, 5, 10, 0, 0, 0));
    entry.set_Description(u"Drawings");
    entry.set_ProjectRef(m_projectRef);
    entry.set_CategoryRef(m_categoryRef);
    ASSERT_EQ(entry.Save(), 1);
    AddEntry(u"Drawings for the sample project");

    const std::set<int> only{entry.get_ID()};
    EXPECT_EQ(Found(u"facade"), only);                 // project
    EXPECT_EQ(Found(u"muller"), only);                 // client
    EXPECT_EQ(Found(u"& söhne"), only);                // a markup character, looked for in the record
    EXPECT_EQ(Found(u"cons"), only);                   // category code
    EXPECT_EQ(Found(u"consultancy drawings"), only);   // words from two fields
    EXPECT_EQ(Found(u"drawings").size(), size_t(2));
    EXPECT_TRUE(Found(u"drawings nowhere").empty());
}

TEST_F(EntrySearchTest, ThePeriodOrAllDatesInDateOrderAndTheFilterStillApplies) {
    const int june = AddEntry(u"Site visit", COleDateTime(2004, 6, 3, 0, 0, 0));
    const int lateMay = AddEntry(u"Site visit", COleDateTime(2004, 5, 20, 0, 0, 0));
    const int earlyMay = AddEntry(u"site visit", COleDateTime(2004, 5, 2, 0, 0, 0));
    EXPECT_EQ(Found(u"site", false), (std::set<int>{lateMay, earlyMay}));

    const CRecordNames names;
    const CEntryMatcher matcher(u"visit");
    const CEntrySearch all(MayFilter(), matcher, true, names);
    ASSERT_EQ(all.GetSize(), 3);
    EXPECT_EQ(all[0].get_ID(), earlyMay);
    EXPECT_EQ(all[1].get_ID(), lateMay);
    EXPECT_EQ(all[2].get_ID(), june);

    CProjectItem paid;
    paid.set_ID(june);
    ASSERT_TRUE(paid.Load());
    paid.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    ASSERT_EQ(paid.Save(), 1);
    CProjectItemFilter unpaid = MayFilter();
    unpaid.m_bIncludePaid = 0;
    unpaid.m_bActive = 1;
    EXPECT_EQ(Found(u"visit", true, unpaid), (std::set<int>{lateMay, earlyMay}));
}

}   // namespace
