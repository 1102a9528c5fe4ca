// The entry filter: date range, order of tests, and their effect on FilteredFromView.
#include "biz/Client.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/tests/BizTestSupport.h"

namespace {

class FilterTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        m_filter.m_dtStart = COleDateTime(2004, 3, 1, 0, 0, 0);
        m_filter.m_dtEnd = COleDateTime(2004, 3, 31, 0, 0, 0);
        m_entry.set_ItemDate(COleDateTime(2004, 3, 7, 0, 0, 0));
        m_entry.set_ProjectRef(u"SAMP002");   // the sample project of the sample client
        m_entry.set_CategoryRef(u"SAMP003");
    }
    int Run() { return m_filter.RunOnItem(&m_entry); }

    CProjectItemFilter m_filter;
    CProjectItem m_entry;
};

TEST(FilterConstruction, FreshFilterAdmitsOnlyTheZeroDate) {
    CProjectItemFilter filter;
    EXPECT_EQ(filter.m_dtStart, COleDateTime(0.0));
    EXPECT_EQ(filter.m_dtEnd, COleDateTime(0.0));
    EXPECT_EQ(filter.m_bActive, 0);
    CProjectItem entry;
    entry.set_ItemDate(COleDateTime(2004, 3, 7, 0, 0, 0));
    EXPECT_EQ(filter.RunOnItem(&entry), 1);
    entry.set_ItemDate(COleDateTime(0.0));
    EXPECT_EQ(filter.RunOnItem(&entry), 0);
}

TEST_F(FilterTest, DateBoundsAreInclusiveToTheSecond) {
    m_entry.set_ItemDate(m_filter.m_dtStart);
    EXPECT_EQ(Run(), 0);
    m_entry.set_ItemDate(m_filter.m_dtEnd);
    EXPECT_EQ(Run(), 0);
    m_entry.set_ItemDate(COleDateTime(2004, 3, 31, 0, 0, 1));
    EXPECT_EQ(Run(), 1);
    m_entry.set_ItemDate(COleDateTime(2004, 2, 29, 23, 59, 59));
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, InactiveFilterAppliesOnlyTheDateRange) {
    m_filter.m_bIncludeTime = m_filter.m_bIncludeExpense = m_filter.m_bIncludeMileage = 0;
    m_filter.m_strClientRef = u"nobody";
    m_filter.m_strCustom1 = u"x";
    EXPECT_EQ(Run(), 0);
    m_filter.m_bActive = 1;
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, ResultIsStoredInTheEntryWithoutMarkingItDirty) {
    m_entry.set_IsDirty(0);
    m_filter.m_bActive = 1;
    m_filter.m_bIncludeTime = 0;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_entry.get_FilteredFromView(), 1);
    m_filter.m_bIncludeTime = 1;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_entry.get_FilteredFromView(), 0);
    EXPECT_EQ(m_entry.get_IsDirty(), 0);
}

TEST_F(FilterTest, TypeFlagsHideTheirKindOnly) {
    m_filter.m_bActive = 1;
    m_filter.m_bIncludeMileage = 0;
    m_entry.set_ItemType(CProjectItem::ItemType_Mileage);
    EXPECT_EQ(Run(), 1);
    m_entry.set_ItemType(CProjectItem::ItemType_Expense);
    EXPECT_EQ(Run(), 0);
    m_filter.m_bIncludeExpense = 0;
    EXPECT_EQ(Run(), 1);
    m_entry.set_ItemType(static_cast<CProjectItem::ItemType>(9));   // unknown kinds pass
    m_filter.m_bIncludeTime = 0;
    EXPECT_EQ(Run(), 0);
}

TEST_F(FilterTest, PaidPassesWhenOnlyPaidIsIncluded) {
    m_filter.m_bActive = 1;
    m_filter.m_bIncludeBilled = m_filter.m_bIncludeNotBilled = 0;
    m_entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    EXPECT_EQ(Run(), 0);
    m_entry.set_PymtStatus(CProjectItem::PymtStatus_Billed);
    EXPECT_EQ(Run(), 1);
    m_entry.set_PymtStatus(CProjectItem::PymtStatus_NotBilled);
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, BillableFlags) {
    m_filter.m_bActive = 1;
    m_filter.m_bIncludeNonBillable = 0;
    EXPECT_EQ(Run(), 0);
    m_entry.set_IsBillable(0);
    EXPECT_EQ(Run(), 1);
    m_filter.m_bIncludeNonBillable = 1;
    m_filter.m_bIncludeBillable = 0;
    EXPECT_EQ(Run(), 0);
    m_entry.set_IsBillable(1);
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, ClientIsDerivedThroughTheProject) {
    m_filter.m_bActive = 1;
    m_filter.m_strClientRef = u"SAMP001";
    EXPECT_EQ(Run(), 0);
    m_filter.m_strClientRef = u"samp001";   // references compare case-sensitively
    EXPECT_EQ(Run(), 1);
    m_filter.m_strClientRef = u"SAMP001";
    m_entry.set_ProjectRef(u"GONE");
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, ProjectAndCategoryReferences) {
    m_filter.m_bActive = 1;
    m_filter.m_strProjectRef = u"SAMP002";
    m_filter.m_strCategoryRef = u"SAMP003";
    EXPECT_EQ(Run(), 0);
    m_entry.set_CategoryRef(u"");
    EXPECT_EQ(Run(), 1);
    m_entry.set_CategoryRef(u"SAMP003");
    m_entry.set_ProjectRef(u"OTHER");
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, CustomTextsMatchWholeAndCaseSensitively) {
    m_filter.m_bActive = 1;
    m_filter.m_strCustom2 = u"abc";
    m_entry.set_Custom2(u"abc");
    EXPECT_EQ(Run(), 0);
    m_entry.set_Custom2(u"ABC");
    EXPECT_EQ(Run(), 1);
    m_entry.set_Custom2(u"abcd");
    EXPECT_EQ(Run(), 1);
    m_entry.set_Custom2(u"abc");
    m_filter.m_strCustom3 = u"z";
    EXPECT_EQ(Run(), 1);
}

TEST_F(FilterTest, ResetIncludesEverythingButKeepsTheDates) {
    m_filter.m_bActive = 1;
    m_filter.m_bIncludePaid = 0;
    m_filter.m_strCustom1 = u"x";
    m_filter.m_strProjectRef = u"P";
    m_filter.Reset();
    EXPECT_EQ(m_filter.m_bActive, 0);
    EXPECT_EQ(m_filter.m_bIncludePaid, 1);
    EXPECT_TRUE(m_filter.m_strCustom1.IsEmpty());
    EXPECT_TRUE(m_filter.m_strProjectRef.IsEmpty());
    EXPECT_EQ(m_filter.m_dtStart, COleDateTime(2004, 3, 1, 0, 0, 0));
    EXPECT_EQ(m_filter.m_dtEnd, COleDateTime(2004, 3, 31, 0, 0, 0));
}

TEST_F(FilterTest, CopiesCarryEveryField) {
    m_filter.m_bActive = 1;
    m_filter.m_strCustom3 = u"c";
    m_filter.m_bIncludeBilled = 0;
    CProjectItemFilter copy(m_filter);
    EXPECT_EQ(copy.m_bActive, 1);
    EXPECT_EQ(copy.m_strCustom3, CString(u"c"));
    EXPECT_EQ(copy.m_bIncludeBilled, 0);
    EXPECT_EQ(copy.m_dtEnd, m_filter.m_dtEnd);
}

}   // namespace
