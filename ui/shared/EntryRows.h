#pragma once
// The rows of an entries list, as both programs' entries views keep them: each row carries its
// entry's ID as item data, negated when the entry is paid (0: no entry).
#include <functional>
#include <vector>

#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CListCtrlEx;
class CProjectItem;
class CProjectItemFilter;
class CSummaryData;

class CEntryRows {
public:
    // Calls `addRow` for each stored entry that `filter` lets through, in the store's order, then
    // adds it to `summary`. Only the entries of the filter's dates are read; they live only for
    // the call.
    static void ForEachListed(const CProjectItemFilter& filter, CSummaryData& summary,
                              const std::function<void(CProjectItem&)>& addRow);
    // The first column: the weekday name of the entry's date in a week period, else the date in
    // the user's short date format.
    static CString DayText(const CProjectItem& entry, bool weekPeriod);
    // The row image of the entry's type: 0 time, 1 expense, 2 mileage.
    static int ImageIndex(const CProjectItem& entry);
    // The code of the entry's category, found by its reference; empty without a reference,
    // "(deleted category)" when the referred category is no longer stored.
    static CString CategoryCode(const CProjectItem& entry);
    // Makes `row` carry `entry`.
    static void SetRowEntry(CListCtrlEx& list, int row, const CProjectItem& entry);
    // The selected row's entry ID without its sign; 0 when no row is selected.
    static int SelectedEntryId(const CListCtrlEx& list);
    // Selects the first row of entry `id` (sign ignored) and scrolls it into view, if there is one.
    static void SelectEntry(CListCtrlEx& list, int id);
    // The IDs of the selected rows' entries, in row order.
    static std::vector<int> SelectedEntryIds(const CListCtrlEx& list);
    // Selects the rows of these entries too, keeping the rows already selected.
    static void AlsoSelectEntries(CListCtrlEx& list, const std::vector<int>& ids);
    // Loads the selected row's entry into `entry`. False when no row is selected or it does not load.
    static bool LoadSelected(const CListCtrlEx& list, CProjectItem& entry);
    // Deletes the selected row's entry (its Delete asks the user first) and, when it went, only
    // that row. The row's index, or -1 when nothing was deleted; a failed write is reported.
    static int DeleteSelected(CListCtrlEx& list);
    // Loads entry `id`, marks it paid and saves it. False when it did not load or save (a failed
    // write is reported).
    static bool MarkAsPaid(int id);

    // The dates a search across all dates found, for the summary of the entries it lists: its
    // totals are of those entries, so the period's title and dates would mislead.
    struct FoundDates {
        bool any = false;
        COleDateTime first;
        COleDateTime last;
        void Add(const CProjectItem& entry);
        // Titles the summary "All dates" and dates it from the first date found to the last
        // (the period's own dates stay when nothing was found).
        void ApplyTo(CSummaryData& summary) const;
    };
};
