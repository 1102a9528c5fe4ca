#pragma once
// What a report adds up for a group of entries. Types, distances and the paid amount are
// counted as the quick summary counts them; money is summed in cents (CAmount), so totals match
// the sums of the amounts as shown, to the cent.
#include "biz/Amount.h"
#include "biz/BizExport.h"

class CProjectItem;

class QUILLMAR_BIZ_EXPORT CReportTotals {
public:
    void Add(const CProjectItem& entry);
    void Add(const CReportTotals& other);

    int m_nCount = 0;   // entries of any type
    int m_nTimeCount = 0;
    int m_nExpenseCount = 0;
    int m_nMileageCount = 0;
    long long m_nMinutes = 0;   // durations of time entries, billable or not
    long long m_nBillableMinutes = 0;
    long long m_nDistance = 0;   // odometer end - start of mileage entries, billable or not
    CAmount m_billable;          // amounts of billable entries of any type
    CAmount m_expenses;          // amounts of expense entries, billable or not
    CAmount m_paid;              // amounts of paid entries (status 2), any type or flag
    CAmount m_unpaid;            // amounts of billable entries not paid yet (status 0 or 1)
};
