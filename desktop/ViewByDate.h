#pragma once
// The main pane: the entries whose date falls in the current period (a day, a week, a month or
// a custom range around the anchor date), optionally narrowed by the user's filter. Every
// refresh also feeds the quick summary and the status bar's date range.
#include <memory>

#include <QIcon>
#include <QWidget>

#include "platform/OleDateTime.h"
#include "ui/shared/DatePeriod.h"

class CListCtrlEx;
class CMainFrame;
class CProjectItem;
class CProjectItemFilter;
class CSummaryData;
class CToolbarDatePicker;

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
    void OnMarkAsPaid();
    void OnDelete();

    bool IsFilterActive() const { return m_bFilterActive; }
    bool CanEditOrDelete() const;
    bool CanMarkAsPaid() const;
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

    CMainFrame* m_pFrame;
    CListCtrlEx* m_list;
    CToolbarDatePicker* m_datePicker = nullptr;
    std::unique_ptr<CProjectItemFilter> m_filter;
    std::unique_ptr<CSummaryData> m_summary;
    COleDateTime m_dtAnchor;
    int m_nPeriodType = PeriodWeek;
    bool m_bFilterActive = false;
    QIcon m_rowIcons[3];
};
