// The quick summary: sums by type, billable flag and payment, and the 18 rows as displayed.
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/SummaryData.h"
#include "biz/tests/BizTestSupport.h"
#include "biz/tests/FakeControls.h"
#include "platform/Clock.h"

namespace {

using SummaryTest = BizTest;

CProjectItem Entry(CProjectItem::ItemType type, float amount, int billable = 1,
                   CProjectItem::PymtStatus status = CProjectItem::PymtStatus_NotBilled) {
    CProjectItem entry;
    entry.set_ItemType(type);
    entry.set_BillAmount(amount);
    entry.set_IsBillable(billable);
    entry.set_PymtStatus(status);
    return entry;
}

CString Column1(const FakeListCtrl& list, int row) { return list.GetItemText(row, 1); }

TEST_F(SummaryTest, ResetClearsTotalsAndDatesToday) {
    CSummaryData summary;
    summary.m_strTitle = u"x";
    summary.m_nTimeCount = 4;
    summary.m_fPaidAmount = 3.0f;
    summary.Reset();
    EXPECT_TRUE(summary.m_strTitle.IsEmpty());
    EXPECT_EQ(summary.m_nTimeCount, 0);
    EXPECT_EQ(summary.m_fPaidAmount, 0.0f);
    EXPECT_EQ(summary.m_dtStart, GetDatePortion(Clock::LocalNow()));
    EXPECT_EQ(summary.m_dtEnd, GetDatePortion(Clock::LocalNow()));
}

TEST_F(SummaryTest, SumsByTypeAndBillableFlag) {
    CSummaryData summary;
    CProjectItem time = Entry(CProjectItem::ItemType_Time, 75.0f);
    time.set_DurationInMinutes(90);
    CProjectItem freeTime = Entry(CProjectItem::ItemType_Time, 10.0f, 0);
    freeTime.set_DurationInMinutes(30);
    CProjectItem trip = Entry(CProjectItem::ItemType_Mileage, 20.0f);
    trip.set_OdometerStart(100);
    trip.set_OdometerEnd(150);
    CProjectItem backwards = Entry(CProjectItem::ItemType_Mileage, 1.0f, 0);
    backwards.set_OdometerStart(200);
    backwards.set_OdometerEnd(180);
    CProjectItem meal = Entry(CProjectItem::ItemType_Expense, 12.5f);
    for (CProjectItem* e : {&time, &freeTime, &trip, &backwards, &meal})
        summary.AddItem(e);

    EXPECT_EQ(summary.m_nTimeCount, 2);
    EXPECT_EQ(summary.m_nMileageCount, 2);
    EXPECT_EQ(summary.m_nExpenseCount, 1);
    EXPECT_EQ(summary.m_nBillableMinutes, 90);
    EXPECT_EQ(summary.m_nNonBillableMinutes, 30);
    EXPECT_EQ(summary.m_nBillableDistance, 50);
    EXPECT_EQ(summary.m_nNonBillableDistance, -20);
    EXPECT_FLOAT_EQ(summary.m_fBillableTimeAmount, 75.0f);
    EXPECT_FLOAT_EQ(summary.m_fNonBillableTimeAmount, 10.0f);
    EXPECT_FLOAT_EQ(summary.m_fBillableMileageAmount, 20.0f);
    EXPECT_FLOAT_EQ(summary.m_fNonBillableMileageAmount, 1.0f);
    EXPECT_FLOAT_EQ(summary.m_fBillableExpenseAmount, 12.5f);
    EXPECT_FLOAT_EQ(summary.m_fPaidAmount, 0.0f);
}

TEST_F(SummaryTest, PaidCountsAnyTypeAndUnknownTypesOnlyPaid) {
    CSummaryData summary;
    CProjectItem paidExpense = Entry(CProjectItem::ItemType_Expense, 8.0f, 0, CProjectItem::PymtStatus_Paid);
    CProjectItem odd = Entry(static_cast<CProjectItem::ItemType>(7), 5.0f, 1, CProjectItem::PymtStatus_Paid);
    summary.AddItem(&paidExpense);
    summary.AddItem(&odd);
    EXPECT_FLOAT_EQ(summary.m_fPaidAmount, 13.0f);
    EXPECT_EQ(summary.m_nExpenseCount, 1);
    EXPECT_EQ(summary.m_nTimeCount + summary.m_nMileageCount, 0);
    EXPECT_FLOAT_EQ(summary.m_fNonBillableExpenseAmount, 8.0f);
    EXPECT_FLOAT_EQ(summary.m_fBillableExpenseAmount, 0.0f);
}

TEST_F(SummaryTest, SetupGivesTwoColumnsAndEighteenLabels) {
    FakeListCtrl list;
    CSummaryData::SetupListCtrl(&list);
    ASSERT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnHeading(0), CString(u"        "));
    EXPECT_EQ(list.GetColumnHeading(1), CString(u"        "));
    EXPECT_EQ(list.GetColumnWidth(0), 90);
    EXPECT_EQ(list.GetColumnWidth(1), 110);
    EXPECT_EQ(list.GetExtendedStyle(), unsigned(LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP));
    ASSERT_EQ(list.GetItemCount(), 18);
    const int labels[18] = {63, 64, 65, 66, 67, 68, 69, 66, 67, 68, 73, 66, 67, 68, 74, 75, 76, 77};
    const bool indented[18] = {0, 0, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1};
    for (int row = 0; row < 18; ++row) {
        CString expected = GetResString(labels[row], 1);
        ASSERT_FALSE(expected.IsEmpty()) << row;
        if (indented[row])
            expected = CString(u"        ") + expected;
        EXPECT_EQ(list.GetItemText(row, 0), expected) << row;
    }
    for (int row : {0, 2, 6, 10, 14})
        EXPECT_EQ(list.GetItemData(row), static_cast<uintptr_t>(-1)) << row;
    for (int row : {1, 3, 7, 15, 17})
        EXPECT_EQ(list.GetItemData(row), 0u) << row;
}

TEST_F(SummaryTest, EmptyPeriodShowsZeroesAndMoneyAlone) {
    FakeListCtrl list;
    CSummaryData::SetupListCtrl(&list);
    CSummaryData summary;
    summary.m_strTitle = u"Week of 3/1/2004";
    summary.m_dtStart = COleDateTime(2004, 3, 1, 0, 0, 0);
    summary.m_dtEnd = COleDateTime(2004, 3, 7, 0, 0, 0);
    summary.DisplayInListCtrl(&list);
    EXPECT_EQ(Column1(list, 0), CString(u"Week of 3/1/2004"));
    EXPECT_EQ(Column1(list, 1), CString(u"3/1/2004 - 3/7/2004"));
    for (int row : {2, 6, 10, 14})
        EXPECT_TRUE(Column1(list, row).IsEmpty()) << row;
    for (int row : {3, 4, 5})
        EXPECT_EQ(Column1(list, row), CString(u"0")) << row;
    for (int row : {7, 8, 9, 11, 12, 13, 15, 16, 17})
        EXPECT_EQ(Column1(list, row), CString(u"$0.00")) << row;
}

TEST_F(SummaryTest, MixOfEntriesAsDisplayed) {
    FakeListCtrl list;
    CSummaryData::SetupListCtrl(&list);
    CSummaryData summary;
    summary.m_dtStart = COleDateTime(2004, 3, 1, 0, 0, 0);
    summary.m_dtEnd = COleDateTime(2004, 3, 1, 13, 30, 0);
    CProjectItem time = Entry(CProjectItem::ItemType_Time, 75.0f);
    time.set_DurationInMinutes(90);
    CProjectItem trip = Entry(CProjectItem::ItemType_Mileage, 437.5f, 0);
    trip.set_OdometerStart(0);
    trip.set_OdometerEnd(1250);
    CProjectItem paid = Entry(CProjectItem::ItemType_Expense, 100.0f, 0, CProjectItem::PymtStatus_Paid);
    for (CProjectItem* e : {&time, &trip, &paid})
        summary.AddItem(e);
    summary.DisplayInListCtrl(&list);

    EXPECT_EQ(Column1(list, 1), CString(u"3/1/2004 - 3/1/2004 1:30:00 PM"));
    EXPECT_EQ(Column1(list, 3), CString(u"1"));
    const CString hours = GetResString(8, 1);
    const CString minutes = GetResString(9, 1);
    EXPECT_EQ(Column1(list, 7), CString(u"1") + hours + u" 30" + minutes + u" ($75.00)");
    EXPECT_EQ(Column1(list, 9), CString(u"$0.00"));
    EXPECT_EQ(Column1(list, 13), CString(u"1,250 ($437.50)"));
    EXPECT_EQ(Column1(list, 12), CString(u"$100.00"));
    EXPECT_EQ(Column1(list, 15), CString(u"$100.00"));
    // A non-billable paid expense makes the unpaid billable total negative.
    EXPECT_EQ(Column1(list, 16), CString(u"($25.00)"));
    EXPECT_EQ(Column1(list, 17), CString(u"$75.00"));
}

TEST_F(SummaryTest, CopyCarriesEveryField) {
    CSummaryData summary;
    summary.m_strTitle = u"t";
    summary.m_nNonBillableDistance = -3;
    summary.m_fBillableExpenseAmount = 2.5f;
    CSummaryData copy;
    copy = summary;
    EXPECT_EQ(copy.m_strTitle, CString(u"t"));
    EXPECT_EQ(copy.m_nNonBillableDistance, -3);
    EXPECT_FLOAT_EQ(copy.m_fBillableExpenseAmount, 2.5f);
}

}   // namespace
