#pragma once
// Totals of the entries a view shows: counts, minutes, distances and money by item type and
// billable flag, plus the amount already paid, laid out as an 18-row, two-column report.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CListCtrl;
class CProjectItem;

class QUILLMAR_BIZ_EXPORT CSummaryData {
public:
    CSummaryData();
    CSummaryData(const CSummaryData&) = default;
    CSummaryData& operator=(const CSummaryData&) = default;
    virtual ~CSummaryData() = default;

    // Empty title, both dates today at 00:00:00, every total 0.
    void Reset();
    void AddItem(CProjectItem* item);

    // Prepares an empty report list: two columns and the 18 row labels (headings carry -1).
    static void SetupListCtrl(CListCtrl* list);
    // Writes the values into column 1 of a list prepared by SetupListCtrl.
    void DisplayInListCtrl(CListCtrl* list) const;

    enum : int { RowCount = 18 };

    CString m_strTitle;
    COleDateTime m_dtStart;
    COleDateTime m_dtEnd;
    int m_nTimeCount = 0;
    int m_nExpenseCount = 0;
    int m_nMileageCount = 0;
    int m_nBillableMinutes = 0;
    int m_nBillableDistance = 0;
    int m_nNonBillableMinutes = 0;
    int m_nNonBillableDistance = 0;
    float m_fBillableTimeAmount = 0.0f;
    float m_fBillableMileageAmount = 0.0f;
    float m_fBillableExpenseAmount = 0.0f;
    float m_fNonBillableTimeAmount = 0.0f;
    float m_fNonBillableMileageAmount = 0.0f;
    float m_fNonBillableExpenseAmount = 0.0f;
    float m_fPaidAmount = 0.0f;

private:
    CString PeriodText() const;
    static CString DurationWithMoney(int minutes, float amount);
    static CString DistanceWithMoney(int distance, float amount);
};
