// Reports: amounts in cents, the entries a filter passes, groups and totals against sums worked
// out by hand on the fixed data set, the hours series, and the report as CSV.
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "biz/Amount.h"
#include "biz/DataHelper.h"
#include "biz/FilteredEntries.h"
#include "biz/Helpers.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "biz/Report.h"
#include "biz/ReportCsvExport.h"
#include "biz/tests/BizTestSupport.h"
#include "biz/tests/ReportTestData.h"
#include "platform/ObArray.h"

namespace {

CAmount Cents(long long cents) { return CAmount::FromCents(cents); }

TEST(AmountTest, TakesTheDecimalValueOfAStoredFloat) {
    EXPECT_EQ(CAmount::FromFloat(49.99f).Cents(), 4999);
    EXPECT_EQ(CAmount::FromFloat(1234.5f).Cents(), 123450);
    EXPECT_EQ(CAmount::FromFloat(-2.75f).Cents(), -275);
    EXPECT_EQ(CAmount::FromFloat(0.1f).Cents() * 3, CAmount::FromFloat(0.3f).Cents());
    EXPECT_EQ(CAmount::FromFloat(std::numeric_limits<float>::quiet_NaN()).Cents(), 0);
    EXPECT_GT(CAmount::FromFloat(3.0e38f).Cents(), 0);
    EXPECT_LT(CAmount::FromFloat(-std::numeric_limits<float>::infinity()).Cents(), 1);
}

// The cents of the "%.2f" text, as every money text of the program shows an amount.
long long CentsOfText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    std::string digits(text);
    digits.erase(digits.find('.'), 1);
    return std::stoll(digits);
}

TEST(AmountTest, CentsAreThoseOfTheTwoDecimalText) {
    for (int i = -200000; i <= 200000; i += 7) {
        for (float value : {static_cast<float>(i) / 8.0f, static_cast<float>(i) * 0.01f, static_cast<float>(i) * 0.37f,
                            static_cast<float>(i) * 123.457f}) {
            ASSERT_EQ(CAmount::FromFloat(value).Cents(), CentsOfText(value)) << value;
        }
    }
}

TEST(AmountTest, SumsHaveNoFloatNoise) {
    CAmount sum;
    float floatSum = 0.0f;
    for (int i = 0; i < 10000; ++i) {
        sum += CAmount::FromFloat(49.99f);
        floatSum += 49.99f;
    }
    EXPECT_EQ(sum.Format(), CString(u"499900.00"));
    EXPECT_NE(CAmount::FromFloat(floatSum), sum);   // what summing floats would have shown
}

TEST(AmountTest, FormatsWithADotAndTwoDecimals) {
    EXPECT_EQ(Cents(4999).Format(), CString(u"49.99"));
    EXPECT_EQ(Cents(-500).Format(), CString(u"-5.00"));
    EXPECT_EQ(Cents(-5).Format(), CString(u"-0.05"));
    EXPECT_EQ(Cents(0).Format(), CString(u"0.00"));
    EXPECT_EQ(Cents(123456789).Format(), CString(u"1234567.89"));
}

TEST(AmountTest, PercentRoundsHalfAwayFromZero) {
    EXPECT_EQ(Cents(10000).TimesPercent(1900), Cents(1900));
    EXPECT_EQ(Cents(5).TimesPercent(1000), Cents(1));   // 0.5 cent
    EXPECT_EQ(Cents(-5).TimesPercent(1000), Cents(-1));
    EXPECT_EQ(Cents(4).TimesPercent(1000), Cents(0));         // 0.4 cent
    EXPECT_EQ(Cents(33333).TimesPercent(725), Cents(2417));   // 2416.64...
    EXPECT_EQ(Cents(12345).TimesPercent(0), Cents(0));
}

class ReportTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        data = ReportTestData::Create();
    }

    static CReport::Request MarchRequest(CReport::GroupBy groupBy, CReport::GroupBy thenBy = CReport::GroupBy_None) {
        CReport::Request request;
        request.filter.m_dtStart = March(1);
        request.filter.m_dtEnd = March(31);
        request.groupBy = groupBy;
        request.thenBy = thenBy;
        return request;
    }

    // RefIDs of what the view's own way passes: the whole list, then RunOnItem.
    static std::vector<CString> ThroughEntriesList(const CProjectItemFilter& filter) {
        std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        std::vector<CString> passed;
        for (int i = 0; i < list->GetSize(); ++i) {
            auto* entry = static_cast<CProjectItem*>(list->GetAt(i));
            if (filter.RunOnItem(entry) == 0)
                passed.push_back(entry->get_RefID());
        }
        return passed;
    }

    static std::vector<CString> Filtered(const CProjectItemFilter& filter) {
        const CRecordNames names;
        std::vector<CString> passed;
        for (const auto& entry : CFilteredEntries(filter, names))
            passed.push_back(entry->get_RefID());
        return passed;
    }

    static std::vector<CString> Labels(const std::vector<CReport::Group>& groups) {
        std::vector<CString> labels;
        for (const CReport::Group& group : groups)
            labels.push_back(group.label);
        return labels;
    }

    ReportTestData data;
};

TEST_F(ReportTest, FilteredEntriesPassWhatTheEntriesListPasses) {
    CProjectItemFilter filter;
    filter.m_dtStart = COleDateTime(2004, 2, 1, 0, 0, 0);
    filter.m_dtEnd = COleDateTime(2004, 4, 30, 0, 0, 0);
    // A re-saved entry moves behind the others of its date; both ways keep that order.
    CProjectItem moved = LoadEntry(data.entry[2]);
    moved.set_ItemDate(March(1));
    ASSERT_EQ(moved.Save(), 1);
    EXPECT_EQ(Filtered(filter), ThroughEntriesList(filter));

    filter.m_bActive = 1;
    filter.m_strClientRef = data.acme;
    EXPECT_EQ(Filtered(filter), ThroughEntriesList(filter));
    EXPECT_EQ(Filtered(filter), (std::vector<CString>{data.entry[1], data.entry[2], data.entry[3], data.entry[4]}));

    filter.m_strClientRef = data.bolt;
    filter.m_bIncludeExpense = 0;
    EXPECT_EQ(Filtered(filter), ThroughEntriesList(filter));
    EXPECT_EQ(Filtered(filter), (std::vector<CString>{data.entry[8], data.entry[5]}));

    // The client criterion applies only while the filter is active.
    filter.m_bActive = 0;
    EXPECT_EQ(Filtered(filter).size(), 8u);
}

TEST_F(ReportTest, GroupsByClientWithTotalsAsWorkedOutByHand) {
    const CReport report = CReport::Build(MarchRequest(CReport::GroupBy_Client));
    ASSERT_EQ(report.Groups().size(), 2u);
    const CReport::Group& acme = report.Groups()[0];
    const CReport::Group& bolt = report.Groups()[1];
    EXPECT_EQ(acme.label, CString(u"Acme"));
    EXPECT_EQ(acme.key, data.acme);
    EXPECT_EQ(acme.totals.m_nCount, 4);
    EXPECT_EQ(acme.totals.m_nMinutes, 165);
    EXPECT_EQ(acme.totals.m_nBillableMinutes, 120);
    EXPECT_EQ(acme.totals.m_billable, Cents(24509));   // 75.00 + 49.99 + 120.10
    EXPECT_EQ(acme.totals.m_expenses, Cents(12010));
    EXPECT_EQ(acme.totals.m_nDistance, 0);
    EXPECT_EQ(acme.totals.m_paid, Cents(4999));
    EXPECT_EQ(acme.totals.m_unpaid, Cents(19510));   // 75.00 + 120.10

    EXPECT_EQ(bolt.label, CString(u"Bolt"));
    EXPECT_EQ(bolt.totals.m_nCount, 2);
    EXPECT_EQ(bolt.totals.m_nMinutes, 0);
    EXPECT_EQ(bolt.totals.m_billable, Cents(970));   // 14.70 - 5.00
    EXPECT_EQ(bolt.totals.m_expenses, Cents(-500));
    EXPECT_EQ(bolt.totals.m_nDistance, 42);
    EXPECT_EQ(bolt.totals.m_paid, Cents(0));
    EXPECT_EQ(bolt.totals.m_unpaid, Cents(970));

    const CReportTotals& totals = report.Totals();
    EXPECT_EQ(totals.m_nCount, 6);
    EXPECT_EQ(totals.m_nTimeCount, 3);
    EXPECT_EQ(totals.m_nExpenseCount, 2);
    EXPECT_EQ(totals.m_nMileageCount, 1);
    EXPECT_EQ(totals.m_nMinutes, 165);
    EXPECT_EQ(totals.m_billable, Cents(25479));
    EXPECT_EQ(totals.m_expenses, Cents(11510));
    EXPECT_EQ(totals.m_nDistance, 42);
    EXPECT_EQ(totals.m_paid, Cents(4999));
    EXPECT_EQ(totals.m_unpaid, Cents(20480));
}

TEST_F(ReportTest, SecondLevelSplitsEachGroupAndAddsUpToIt) {
    const CReport report = CReport::Build(MarchRequest(CReport::GroupBy_Client, CReport::GroupBy_Week));
    ASSERT_EQ(report.Groups().size(), 2u);
    const CReport::Group& acme = report.Groups()[0];
    EXPECT_EQ(Labels(acme.subgroups), (std::vector<CString>{u"Week of 3/1/2004", u"Week of 3/8/2004"}));
    EXPECT_EQ(acme.subgroups[0].key, CString(u"2004-03-01"));
    EXPECT_EQ(acme.subgroups[0].start, March(1));
    EXPECT_EQ(acme.subgroups[0].totals.m_billable, Cents(12499));
    EXPECT_EQ(acme.subgroups[1].totals.m_billable, Cents(12010));
    const CReport::Group& bolt = report.Groups()[1];
    // Wednesday 31 March belongs to the week of Monday 29 March.
    EXPECT_EQ(Labels(bolt.subgroups), (std::vector<CString>{u"Week of 3/15/2004", u"Week of 3/29/2004"}));
    for (const CReport::Group& group : report.Groups()) {
        CReportTotals sum;
        for (const CReport::Group& subgroup : group.subgroups)
            sum.Add(subgroup.totals);
        EXPECT_EQ(sum.m_nCount, group.totals.m_nCount);
        EXPECT_EQ(sum.m_billable, group.totals.m_billable);
        EXPECT_EQ(sum.m_unpaid, group.totals.m_unpaid);
    }
}

TEST_F(ReportTest, WeeksFollowTheFirstDayOfTheWeek) {
    CReport::Request request = MarchRequest(CReport::GroupBy_Week);
    request.firstDayOfWeek = 1;   // Sunday: Monday 1 March is in the week of 29 February
    const CReport report = CReport::Build(request);
    ASSERT_FALSE(report.Groups().empty());
    EXPECT_EQ(report.Groups()[0].key, CString(u"2004-02-29"));
    EXPECT_EQ(report.Groups()[0].totals.m_nCount, 2);
}

TEST_F(ReportTest, ProjectsCategoriesAndTypesInTheirOrder) {
    EXPECT_EQ(Labels(CReport::Build(MarchRequest(CReport::GroupBy_Project)).Groups()),
              (std::vector<CString>{u"Acme: Audit", u"Acme: Website", u"Bolt: Repair"}));
    const CReport byClientAndProject = CReport::Build(MarchRequest(CReport::GroupBy_Client, CReport::GroupBy_Project));
    EXPECT_EQ(Labels(byClientAndProject.Groups()[0].subgroups), (std::vector<CString>{u"Audit", u"Website"}));

    const CReport byCategory = CReport::Build(MarchRequest(CReport::GroupBy_Category));
    EXPECT_EQ(Labels(byCategory.Groups()), (std::vector<CString>{u"Design", u"Support", GetResString(18, 1)}));
    EXPECT_EQ(byCategory.Groups()[2].key, CString());
    EXPECT_EQ(byCategory.Groups()[2].totals.m_nCount, 3);

    const CReport byType = CReport::Build(MarchRequest(CReport::GroupBy_EntryType));
    EXPECT_EQ(Labels(byType.Groups()),
              (std::vector<CString>{GetResString(30, 1), GetResString(52, 1), GetResString(53, 1)}));
    EXPECT_EQ(byType.Groups()[1].totals.m_expenses, Cents(11510));
}

TEST_F(ReportTest, EntriesWithoutAClientGoLast) {
    CReport::Request request = MarchRequest(CReport::GroupBy_Client, CReport::GroupBy_Month);
    request.filter.m_dtEnd = COleDateTime(2004, 4, 30, 0, 0, 0);
    const CReport report = CReport::Build(request);
    EXPECT_EQ(Labels(report.Groups()), (std::vector<CString>{u"Acme", u"Bolt", GetResString(3, 1)}));
    EXPECT_EQ(report.Groups()[2].key, CString());
    ASSERT_EQ(report.Groups()[2].subgroups.size(), 1u);
    EXPECT_EQ(report.Groups()[2].subgroups[0].label, CString(u"April 2004"));
    EXPECT_EQ(report.Groups()[2].subgroups[0].key, CString(u"2004-04"));
}

TEST_F(ReportTest, TheViewsFilterNarrowsTheReport) {
    CReport::Request request = MarchRequest(CReport::GroupBy_Client);
    request.filter.m_bActive = 1;
    request.filter.m_bIncludePaid = 0;
    request.filter.m_bIncludeNonBillable = 0;
    const CReport report = CReport::Build(request);
    EXPECT_EQ(report.Totals().m_nCount, 4);
    EXPECT_EQ(report.Totals().m_paid, Cents(0));
    EXPECT_EQ(report.Totals().m_billable, Cents(20480));
}

TEST_F(ReportTest, SeriesHoldsEveryDayOrWeekOfThePeriod) {
    CReport::Request request = MarchRequest(CReport::GroupBy_Client);
    CReport report = CReport::Build(request);
    ASSERT_EQ(report.Series().size(), 31u);
    EXPECT_EQ(report.Series()[0].start, March(1));
    EXPECT_EQ(report.Series()[0].minutes, 90);
    EXPECT_EQ(report.Series()[1].minutes, 30);
    EXPECT_EQ(report.Series()[7].minutes, 45);
    EXPECT_EQ(report.Series()[30].start, March(31));
    EXPECT_EQ(report.Series()[30].minutes, 0);

    request.seriesStep = CReport::SeriesStep_Week;
    report = CReport::Build(request);
    std::vector<long long> weekly;
    for (const CReport::Point& point : report.Series())
        weekly.push_back(point.minutes);
    EXPECT_EQ(weekly, (std::vector<long long>{120, 45, 0, 0, 0}));
    EXPECT_EQ(report.Series().back().start, March(29));
}

TEST_F(ReportTest, LongPeriodsGetACoarserSeriesAndBadOnesNone) {
    CReport::Request request = MarchRequest(CReport::GroupBy_Month);
    request.filter.m_dtStart = COleDateTime(1990, 1, 1, 0, 0, 0);
    request.filter.m_dtEnd = COleDateTime(2009, 12, 31, 0, 0, 0);
    CReport report = CReport::Build(request);
    EXPECT_EQ(report.GetSeriesStep(), CReport::SeriesStep_Week);
    EXPECT_LE(report.Series().size(), static_cast<size_t>(CReport::MaxSeriesPoints));
    long long minutes = 0;
    for (const CReport::Point& point : report.Series())
        minutes += point.minutes;
    EXPECT_EQ(minutes, report.Totals().m_nMinutes);

    request.filter.m_dtEnd = COleDateTime(1989, 1, 1, 0, 0, 0);
    report = CReport::Build(request);
    EXPECT_TRUE(report.Series().empty());
    EXPECT_TRUE(report.Groups().empty());
    EXPECT_EQ(report.Totals().m_nCount, 0);
}

TEST_F(ReportTest, ReportTableAsCsv) {
    const CReport report = CReport::Build(MarchRequest(CReport::GroupBy_Client, CReport::GroupBy_Month));
    const std::string csv = CReportCsvExport::Build(report, CCsvWriter::Format());
    EXPECT_EQ(csv,
              "Client,Month,Entries,Hours,Minutes,Billable,Expenses,Mileage,Paid,Unpaid\r\n"
              "Acme,2004-03,4,2.75,165,245.09,120.10,0,49.99,195.10\r\n"
              "Acme,Total,4,2.75,165,245.09,120.10,0,49.99,195.10\r\n"
              "Bolt,2004-03,2,0.00,0,9.70,-5.00,42,0.00,9.70\r\n"
              "Bolt,Total,2,0.00,0,9.70,-5.00,42,0.00,9.70\r\n"
              "Total,,6,2.75,165,254.79,115.10,42,49.99,204.80\r\n");

    CCsvWriter::Format userDates;
    userDates.userDateFormat = true;
    const CReport byDay = CReport::Build(MarchRequest(CReport::GroupBy_Day));
    const std::string dayCsv = CReportCsvExport::Build(byDay, userDates);
    EXPECT_NE(dayCsv.find("\r\n3/1/2004,1,1.50,90,75.00,0.00,0,0.00,75.00\r\n"), std::string::npos) << dayCsv;
    EXPECT_NE(dayCsv.find("\r\nTotal,6,"), std::string::npos) << dayCsv;
}

}   // namespace
