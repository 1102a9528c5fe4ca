#pragma once
// The device's only view: the entries of a day, a week, a month or a custom range, under a
// header strip that names the period, with previous / next / today buttons and a month
// calendar that a tap on the header text opens. Tap a row to edit it; hold the stylus on it
// (or right-click) for Edit, Mark as Paid and Delete.
#include <memory>
#include <optional>
#include <vector>

#include <QIcon>
#include <QRect>
#include <QWidget>

#include "device/EntriesList.h"
#include "platform/OleDateTime.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/ListLayout.h"

class CProjectItem;
class CProjectItemFilter;
class CSummaryData;
class CTapAndHold;
class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
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
    static constexpr int kHeaderHeight = 24;   // the handheld's strip the list stays below

    explicit CViewByDate(QWidget* parent = nullptr);
    ~CViewByDate() override;

    // The strip above the list: the handheld's 23 pixels, or more so that its buttons are whole
    // tap targets; the list starts one pixel below it.
    int StripHeight() const;
    int HeaderHeight() const;
    // After the application's font changed with the screen's size.
    void OnFontChanged();
    // Columns, row images, button icons and the stored period type (default Week).
    void OnInitialUpdate();
    // Rebuilds the list and the summary; selects and shows the row of `idToSelect` (0: none).
    void Refresh(int idToSelect);

    int GetPeriodType() const { return m_nPeriodType; }
    // Day, Week and Month at once; Custom only after the date range dialog returned OK.
    void SetPeriodType(int type);
    void RecomputePeriod();
    const COleDateTime& GetAnchor() const { return m_dtAnchor; }
    // Sets the anchor and recomputes the period around it.
    void GoToDate(const COleDateTime& date);

    void OnPrevious();
    void OnNext();
    void OnToday();
    void OnFilterData();
    void OnEdit();
    // Delete, Mark as Paid and Mark as Billed act on every selected row.
    void OnDelete();
    void OnMarkAsPaid();
    void OnMarkAsBilled();

    // A tap on a column's header sorts by it, a second tap reverses; kept in the settings, as
    // are the columns' order and the widths given them by dragging their edges.
    void OnSortColumn(int column);
    int SortColumn() const;
    bool IsSortAscending() const;
    void SaveColumnState();
    static constexpr const char16_t* kSortColumnSetting = CListLayout::kSortColumnSetting;
    static constexpr const char16_t* kSortAscendingSetting = CListLayout::kSortAscendingSetting;
    static constexpr const char16_t* kColumnsSetting = CListLayout::kColumnsSetting;

    // Find: a search line below the header strip narrows the list to the entries holding the
    // words typed, in the period or across all dates; the totals line says how many match.
    // Escape (or emptying it) clears it and hides the line.
    void OnFind();
    void ClearSearch();
    // Typing searches after this pause (0: at every key); Enter searches at once.
    void SetSearchPause(int milliseconds);
    bool IsSearching() const;
    QLineEdit* SearchBox() const { return m_searchBox; }
    QCheckBox* AllDatesBox() const { return m_allDatesBox; }
    bool IsSearchShown() const;

    // Holding the stylus at a point of the list: selects the row there and shows its menu.
    void OnHoldAt(const QPoint& viewportPos);
    // The context menu of the selected row ("Edit", "Mark as Paid", "Delete").
    void ShowContextMenu(const QPoint& globalPos);
    // What lifting the stylus at a point of the view does (the header text opens the calendar).
    void OnStylusUp(const QPoint& pos);

    bool IsFilterActive() const { return m_bFilterActive; }
    // The line below the list: the number of listed entries, their hours and billable amount.
    QString TotalsText() const;
    QLabel* TotalsLabel() const { return m_totals; }
    QLabel* FilterMark() const { return m_filterMark; }
    CProjectItemFilter& GetFilter() { return *m_filter; }
    CSummaryData& GetSummaryData() { return *m_summary; }
    // After the period's title and dates: a search across all dates titles and dates the summary
    // by what it found.
    void ApplySearchDates(CSummaryData& summary) const;
    CEntriesList* GetListCtrl() const { return m_list; }
    const QString& HeaderText() const { return m_headerText; }
    QRect HeaderTextRect() const { return m_headerTextRect; }
    QToolButton* PreviousButton() const { return m_previous; }
    QToolButton* NextButton() const { return m_next; }
    QToolButton* TodayButton() const { return m_today; }
    QCalendarWidget* Calendar() const { return m_calendar; }
    bool IsCalendarShown() const;
    // The date a new entry starts with: now when today lies in the shown period, else the
    // period's first day.
    COleDateTime NewEntryDate() const;
    // A short date picture without its year: "M/d/yyyy" gives "M/d".
    static CString PictureWithoutYear(const CString& picture);
    // The selected row's entry ID without sign; 0 when none is selected.
    int SelectedEntryId() const;
    std::vector<int> SelectedEntryIds() const;

signals:
    void periodChanged();
    void filterChanged();
    // The summary of the listed entries was recounted.
    void totalsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RecountSummary();
    void FillRows(CSummaryData& summary, bool addRows);
    void CreateSearchLine();
    int SearchLineHeight() const;
    void RefreshSelecting(const std::vector<int>& ids);
    // The first column: the weekday in a week, else the date (without the year the header names).
    CString DayText(const CProjectItem& entry) const;
    void ShowTotals();
    void FitColumns();
    void SetupColumns();
    void ApplyPeriodColumn();
    void ShowNavigationButtons(bool shown);
    void ApplyListSettings();
    void AddRow(CProjectItem& entry);
    void ShowCalendar();
    void HideCalendar();
    void OnDatePicked(const QDate& date);
    void OnTapAt(const QPoint& viewportPos);
    void LayoutChildren();
    CString FormatHeaderDate(const COleDateTime& date, const char16_t* picture) const;
    // The header text of the period just computed (the anchor not yet moved to its start).
    CString PeriodHeader() const;

    CEntriesList* m_list;
    CTapAndHold* m_tapAndHold;
    QToolButton* m_previous;
    QToolButton* m_next;
    QToolButton* m_today;
    QCalendarWidget* m_calendar = nullptr;
    QLabel* m_totals = nullptr;
    QLabel* m_filterMark = nullptr;
    std::unique_ptr<CProjectItemFilter> m_filter;
    std::unique_ptr<CSummaryData> m_summary;
    COleDateTime m_dtAnchor;
    int m_nPeriodType = PeriodWeek;
    bool m_bFilterActive = false;
    CListLayout* m_layout = nullptr;
    QWidget* m_searchLine = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QCheckBox* m_allDatesBox = nullptr;
    CTypingPause* m_searchTyping = nullptr;
    std::optional<CEntryRows::FoundDates> m_found;   // while a search across all dates lists
    std::vector<int> m_selectionAtPress;             // entry IDs selected when the stylus came down
    QIcon m_rowIcons[3];
    QString m_headerText;
    QRect m_headerTextRect;
};
