#include "ui/shared/EntryRows.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "platform/Locale.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/WriteCheck.h"

namespace {

int Unsigned(int value) { return value < 0 ? -value : value; }

}   // namespace

void CEntryRows::ForEachListed(const CProjectItemFilter& filter, CSummaryData& summary,
                               const std::function<void(CProjectItem&)>& addRow) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return;
    // Only the period's entries are built; they go after the summary has read them.
    const std::vector<std::unique_ptr<CProjectItem>> entries =
        store->GetEntriesInRange(filter.m_dtStart, filter.m_dtEnd);
    for (const std::unique_ptr<CProjectItem>& entry : entries) {
        if (filter.RunOnItem(entry.get()) != 0)
            continue;
        addRow(*entry);
        summary.AddItem(entry.get());
    }
}

CString CEntryRows::DayText(const CProjectItem& entry, bool weekPeriod) {
    const COleDateTime date = entry.get_ItemDate();
    if (weekPeriod)
        return CDateTimeFormatter::FormatWeekday(date, 0);
    const Locale& locale = Locale::UserDefault();
    return locale.FormatDate(date, locale.shortDatePicture);
}

int CEntryRows::ImageIndex(const CProjectItem& entry) {
    switch (entry.get_ItemType()) {
    case CProjectItem::ItemType_Time: return 0;
    case CProjectItem::ItemType_Expense: return 1;
    default: return 2;
    }
}

CString CEntryRows::CategoryCode(const CProjectItem& entry) {
    CDataHelper* store = GetCurrDataHelper();
    CCategory category;
    category.set_ID(store ? store->RefID_To_ID(entry.get_CategoryRef(), u"category") : 0);
    if (category.get_ID() != 0 && category.Load())
        return category.get_Code();
    // The entry keeps the reference of a deleted category; the column says so.
    return entry.get_CategoryRef().IsEmpty() ? CString() : DeletedCategoryText();
}

void CEntryRows::SetRowEntry(CListCtrlEx& list, int row, const CProjectItem& entry) {
    const bool paid = entry.get_PymtStatus() == CProjectItem::PymtStatus_Paid;
    const int value = paid ? -entry.get_ID() : entry.get_ID();
    list.AsListCtrl().SetItemData(row, static_cast<uintptr_t>(static_cast<intptr_t>(value)));
}

int CEntryRows::SelectedEntryId(const CListCtrlEx& list) {
    const int row = list.GetSelectedRow();
    return row < 0 ? 0 : Unsigned(list.GetRowValue(row));
}

void CEntryRows::SelectEntry(CListCtrlEx& list, int id) {
    const int wanted = Unsigned(id);
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (Unsigned(list.GetRowValue(row)) == wanted) {
            list.SelectRow(row);
            list.AsListCtrl().EnsureVisible(row, false);
            return;
        }
    }
}

std::vector<int> CEntryRows::SelectedEntryIds(const CListCtrlEx& list) {
    std::vector<int> ids;
    for (int row : list.GetSelectedRows()) {
        if (const int id = Unsigned(list.GetRowValue(row)); id != 0)
            ids.push_back(id);
    }
    return ids;
}

void CEntryRows::AlsoSelectEntries(CListCtrlEx& list, const std::vector<int>& ids) {
    for (const int id : ids) {
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            if (Unsigned(list.GetRowValue(row)) == Unsigned(id))
                list.topLevelItem(row)->setSelected(true);
        }
    }
}

bool CEntryRows::LoadSelected(const CListCtrlEx& list, CProjectItem& entry) {
    entry.set_ID(SelectedEntryId(list));
    return entry.get_ID() != 0 && entry.Load();
}

int CEntryRows::DeleteSelected(CListCtrlEx& list) {
    const int row = list.GetSelectedRow();
    CProjectItem entry;
    if (row < 0 || !LoadSelected(list, entry))
        return -1;
    const CWriteCheck check;
    if (!entry.Delete()) {
        check.ReportIfFailed();
        return -1;
    }
    list.AsListCtrl().DeleteItem(row);
    return row;
}

bool CEntryRows::MarkAsPaid(int id) {
    CProjectItem entry;
    entry.set_ID(id);
    if (entry.get_ID() == 0 || !entry.Load())
        return false;
    entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    const CWriteCheck check;
    if (entry.Save() != 0)
        return true;
    check.ReportIfFailed();
    return false;
}

void CEntryRows::FoundDates::Add(const CProjectItem& entry) {
    const COleDateTime date = GetDatePortion(entry.get_ItemDate());
    if (!any || date < first)
        first = date;
    if (!any || last < date)
        last = date;
    any = true;
}

void CEntryRows::FoundDates::ApplyTo(CSummaryData& summary) const {
    summary.m_strTitle = u"All dates";
    if (!any)
        return;
    summary.m_dtStart = first;
    summary.m_dtEnd = last;
}
