// Rows of the entries lists: what each row carries, finding and selecting entries, listing what
// the filter lets through, and marking an entry paid.
#include <QtTest>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "platform/Locale.h"
#include "platform/ObArray.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/tests/UiTestEnvironment.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

COleDateTime Date(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

CProjectItem Loaded(int id) {
    CProjectItem entry;
    entry.set_ID(id);
    entry.Load();
    return entry;
}

int AddRow(CListCtrlEx& list, int id) {
    const int row = list.AsListCtrl().InsertItem(list.AsListCtrl().GetItemCount(), u"row");
    CEntryRows::SetRowEntry(list, row, Loaded(id));
    return row;
}

int AddCategory(const CString& code) {
    CCategory category;
    category.set_Code(code);
    category.Save();
    return category.get_ID();
}

}   // namespace

class EntryRowsTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CListCtrlEx> m_list;

private slots:
    void init() {
        ResetUserData();
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);
        m_list = std::make_unique<CListCtrlEx>();
        m_list->AsListCtrl().InsertColumn(0, u"Day", 0, 50);
    }
    void cleanup() { m_list.reset(); }

    void aPaidEntrysRowCarriesItsIdNegated() {
        const int open = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 10.0f);
        const int paid = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 10.0f, 1);
        QCOMPARE(m_list->GetRowValue(AddRow(*m_list, open)), open);
        QCOMPARE(m_list->GetRowValue(AddRow(*m_list, paid)), -paid);
    }

    void theSelectedEntryIdIsWithoutItsSign() {
        const int paid = AddEntry(CProjectItem::ItemType_Expense, Date(2026, 5, 4), 0, 3.0f, 1);
        QCOMPARE(CEntryRows::SelectedEntryId(*m_list), 0);
        const int row = AddRow(*m_list, paid);
        QCOMPARE(CEntryRows::SelectedEntryId(*m_list), 0);
        m_list->SelectRow(row);
        QCOMPARE(CEntryRows::SelectedEntryId(*m_list), paid);
    }

    void selectingFindsAPaidEntryByItsId() {
        const int first = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f);
        const int paid = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 5), 0, 2.0f, 1);
        AddRow(*m_list, first);
        const int paidRow = AddRow(*m_list, paid);
        CEntryRows::SelectEntry(*m_list, paid);
        QCOMPARE(m_list->GetSelectedRow(), paidRow);
        CEntryRows::SelectEntry(*m_list, -first);
        QCOMPARE(m_list->GetSelectedRow(), 0);
    }

    void selectingAnEntryNotListedKeepsTheSelection() {
        const int first = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f);
        AddRow(*m_list, first);
        m_list->SelectRow(0);
        CEntryRows::SelectEntry(*m_list, first + 100);
        QCOMPARE(m_list->GetSelectedRow(), 0);
    }

    void listingGivesWhatTheFilterLetsThroughInStoreOrder() {
        const int inside = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 6), 0, 1.0f);
        AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 11), 0, 1.0f);
        const int expense = AddEntry(CProjectItem::ItemType_Expense, Date(2026, 5, 4), 0, 4.0f);
        AddEntry(CProjectItem::ItemType_Mileage, Date(2026, 5, 3), 0, 1.0f);
        CProjectItemFilter filter;
        filter.m_dtStart = Date(2026, 5, 4);
        filter.m_dtEnd = Date(2026, 5, 10);
        CSummaryData summary;
        std::vector<int> listed;
        CEntryRows::ForEachListed(filter, summary, [&](CProjectItem& entry) { listed.push_back(entry.get_ID()); });
        // In whatever order the store gives its records.
        std::vector<int> expected;
        const std::unique_ptr<CObArray> stored(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        for (int index = 0; index < stored->GetSize(); ++index) {
            const int id = dynamic_cast<CProjectItem*>(stored->GetAt(index))->get_ID();
            if (id == inside || id == expense)
                expected.push_back(id);
        }
        QCOMPARE(expected.size(), size_t{2});
        QCOMPARE(listed, expected);
        QCOMPARE(summary.m_nTimeCount, 1);
        QCOMPARE(summary.m_nExpenseCount, 1);
        QCOMPARE(summary.m_nMileageCount, 0);
    }

    void theDayColumnIsTheWeekdayInAWeekElseTheDate() {
        const CProjectItem entry = Loaded(AddEntry(CProjectItem::ItemType_Time, Date(2026, 12, 9), 0, 1.0f));
        const Locale& locale = Locale::UserDefault();
        QCOMPARE(qtconv::ToQString(CEntryRows::DayText(entry, true)),
                 qtconv::ToQString(CDateTimeFormatter::FormatWeekday(Date(2026, 12, 9), 0)));
        QCOMPARE(qtconv::ToQString(CEntryRows::DayText(entry, false)),
                 qtconv::ToQString(locale.FormatDate(Date(2026, 12, 9), locale.shortDatePicture)));
    }

    void eachEntryTypeHasItsImage() {
        QCOMPARE(CEntryRows::ImageIndex(Loaded(AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f))), 0);
        QCOMPARE(CEntryRows::ImageIndex(Loaded(AddEntry(CProjectItem::ItemType_Expense, Date(2026, 5, 4), 0, 1.0f))),
                 1);
        QCOMPARE(CEntryRows::ImageIndex(Loaded(AddEntry(CProjectItem::ItemType_Mileage, Date(2026, 5, 4), 0, 1.0f))),
                 2);
    }

    void theCategoryCodeIsFoundByReferenceAndAGoneCategorySaysSo() {
        const int category = AddCategory(u"DEV");
        CProjectItem entry = Loaded(AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f));
        QCOMPARE(qtconv::ToQString(CEntryRows::CategoryCode(entry)), QString());
        entry.set_CategoryRef(RefIdOf(category, u"category"));
        QCOMPARE(qtconv::ToQString(CEntryRows::CategoryCode(entry)), QStringLiteral("DEV"));
        entry.set_CategoryRef(u"no-such-category");
        QCOMPARE(qtconv::ToQString(CEntryRows::CategoryCode(entry)), QStringLiteral("(deleted category)"));
    }

    void loadingTheSelectedEntryNeedsASelectedRowThatLoads() {
        const int id = AddEntry(CProjectItem::ItemType_Expense, Date(2026, 5, 4), 0, 7.0f, 1);
        AddRow(*m_list, id);
        CProjectItem entry;
        QVERIFY(!CEntryRows::LoadSelected(*m_list, entry));
        m_list->SelectRow(0);
        QVERIFY(CEntryRows::LoadSelected(*m_list, entry));
        QCOMPARE(entry.get_ID(), id);
        QCOMPARE(entry.get_PymtStatus(), CProjectItem::PymtStatus_Paid);
        const MessageBoxScript boxes({IDYES});
        QVERIFY(Loaded(id).Delete());
        QVERIFY(!CEntryRows::LoadSelected(*m_list, entry));
    }

    void deletingRemovesTheEntryAndOnlyItsRow() {
        const int first = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f);
        const int second = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 5), 0, 2.0f);
        AddRow(*m_list, first);
        AddRow(*m_list, second);
        QCOMPARE(CEntryRows::DeleteSelected(*m_list), -1);
        m_list->SelectRow(1);
        {
            MessageBoxScript boxes({IDNO});
            QCOMPARE(CEntryRows::DeleteSelected(*m_list), -1);
            QCOMPARE(boxes.Shown().size(), size_t(1));
            QCOMPARE(m_list->topLevelItemCount(), 2);
        }
        MessageBoxScript boxes({IDYES});
        QCOMPARE(CEntryRows::DeleteSelected(*m_list), 1);
        QCOMPARE(m_list->topLevelItemCount(), 1);
        QCOMPARE(m_list->GetRowValue(0), first);
        CProjectItem gone;
        gone.set_ID(second);
        QVERIFY(!gone.Load());
    }

    void markingAsPaidSavesThePaidStatus() {
        const int id = AddEntry(CProjectItem::ItemType_Time, Date(2026, 5, 4), 0, 1.0f);
        QVERIFY(CEntryRows::MarkAsPaid(id));
        QCOMPARE(Loaded(id).get_PymtStatus(), CProjectItem::PymtStatus_Paid);
    }

    void markingNoEntryOrAMissingOneFails() {
        QVERIFY(!CEntryRows::MarkAsPaid(0));
        QVERIFY(!CEntryRows::MarkAsPaid(4711));
    }
};

UI_TEST_MAIN(EntryRowsTests)
#include "EntryRowsTests.moc"
