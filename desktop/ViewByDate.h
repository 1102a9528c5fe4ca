#pragma once
// The main pane: the entries whose date falls in the current period (a day, a week, a month or
// a custom range around the anchor date), optionally narrowed by the user's filter. Every
// refresh also feeds the quick summary and the status bar's date range.
#include <memory>
#include <optional>
#include <vector>

#include <QIcon>
#include <QWidget>

#include "platform/OleDateTime.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/ListLayout.h"

class CListCtrlEx;
class CMainFrame;
class QCheckBox;
class QLabel;
class QLineEdit;
class CProjectItem;
class CProjectItemFilter;
class CSummaryData;
class CToolbarDatePicker;
class CTypingPause;

class CViewByDate : public QWidget {
    Q_OBJECT
public:
    enum PeriodType {
        PeriodDay = CDatePeriod::Day,
        PeriodWeek = CDatePeriod::Week,
        PeriodMonth = CDatePeriod::Month,
        PeriodCustom = CDatePeriod::Custom
    };

    explicit CViewByDate(CMainFrame* frame, QWidget* parent = nullptr);
    ~CViewByDate() override;

    // Fonts, columns, row icons, the date picker and the stored period type (default Week).
    void OnInitialUpdate(const QFont& uiFont);
    // Rebuilds the list, the summary and the status texts; selects the row of `idToSelect`.
    void Refresh(int idToSelect);

    int GetPeriodType() const { return m_nPeriodType; }
    void SetPeriodType(int type);
    void RecomputePeriod();
    const COleDateTime& GetAnchor() const { return m_dtAnchor; }
    // Puts `date` into the date picker and recomputes the period from it.
    void GoToDate(const COleDateTime& date);

    // Commands.
    void OnPeriodDay() { SetPeriodType(PeriodDay); }
    void OnPeriodWeek() { SetPeriodType(PeriodWeek); }
    void OnPeriodMonth() { SetPeriodType(PeriodMonth); }
    void OnCustomDates();
    void OnPrevious();
    void OnNext();
    void OnToday();
    void OnDatePicked();
    void OnFilterData();
    void OnEdit();
    // Mark as Paid, Mark as Billed and Delete act on every selected row.
    void OnMarkAsPaid();
    void OnMarkAsBilled();
    void OnDelete();

    bool IsFilterActive() const { return m_bFilterActive; }
    bool CanEditOrDelete() const;
    bool CanMarkAsPaid() const;
    bool CanMarkAsBilled() const;

    // Sorting: a header click sorts by its column, a second click reverses; kept in the settings.
    void OnSortColumn(int column);
    int SortColumn() const;
    bool IsSortAscending() const;
    // Writes the column order and the widths the user gave to the settings.
    void SaveColumnState();
    // Reset Layout: the columns' first order and widths and the date order, here and at the
    // next start.
    void ResetListLayout();

    // The search box on the toolbar (with its "All dates" box), which the frame places. Words
    // typed there narrow the list to the entries holding them, in the period or across all
    // dates; the status bar says how many match.
    QWidget* GetSearchBar() const { return m_searchBar; }
    QLineEdit* GetSearchBox() const { return m_searchBox; }
    QCheckBox* GetAllDatesBox() const { return m_allDatesBox; }
    QLabel* GetSearchPane() const { return m_searchPane; }
    bool IsSearching() const;
    // Ctrl+F: the search box takes the focus with its text selected.
    void OnFind();
    void ClearSearch();
    // Typing searches after this pause (0: at every key); Enter searches at once.
    void SetSearchPause(int milliseconds);
    // Settings value names.
    static constexpr const char16_t* kSortColumnSetting = CListLayout::kSortColumnSetting;
    static constexpr const char16_t* kSortAscendingSetting = CListLayout::kSortAscendingSetting;
    static constexpr const char16_t* kColumnsSetting = CListLayout::kColumnsSetting;
    bool IsNavigationEnabled() const { return m_nPeriodType != PeriodCustom; }

    CProjectItemFilter& GetFilter() { return *m_filter; }
    CSummaryData& GetSummaryData() { return *m_summary; }
    CListCtrlEx* GetListCtrl() const { return m_list; }
    CToolbarDatePicker* GetDatePicker() const { return m_datePicker; }
    // The date range text of the status bar ("start - end").
    QString RangeText() const;

signals:
    void selectionChanged();
    void periodChanged();

private:
    void SetupColumns();
    void ApplyListSettings();
    void AddRow(CProjectItem& entry);
    void UpdateStatusAndSummary();
    void ApplyPeriodColumn();
    void SetPickerDate(const COleDateTime& date);
    void ShowContextMenu(const QPoint& globalPos);
    // The selected row's entry ID (absolute value), 0 when none.
    int SelectedEntryId() const;
    std::vector<int> SelectedEntryIds() const;
    void CreateSearchBar(const QFont& uiFont);
    void FillRows();
    void ShowMatchCount();
    void RunSearch();
    // Refreshes with the given entries selected (the first scrolled into view).
    void RefreshSelecting(const std::vector<int>& ids);

    CMainFrame* m_pFrame;
    CListCtrlEx* m_list;
    CToolbarDatePicker* m_datePicker = nullptr;
    std::unique_ptr<CProjectItemFilter> m_filter;
    std::unique_ptr<CSummaryData> m_summary;
    COleDateTime m_dtAnchor;
    int m_nPeriodType = PeriodWeek;
    bool m_bFilterActive = false;
    CListLayout* m_layout = nullptr;
    QWidget* m_searchBar = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QCheckBox* m_allDatesBox = nullptr;
    QLabel* m_searchPane = nullptr;
    CTypingPause* m_searchTyping = nullptr;
    std::optional<CEntryRows::FoundDates> m_found;   // while a search across all dates lists
    QIcon m_rowIcons[3];
};
