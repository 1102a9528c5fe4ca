#include "biz/ReportTotals.h"

#include "biz/ProjectItem.h"

void CReportTotals::Add(const CProjectItem& entry) {
    const CAmount amount = CAmount::FromFloat(entry.get_BillAmount());
    const bool billable = entry.get_IsBillable() != 0;
    const bool paid = entry.get_PymtStatus() == CProjectItem::PymtStatus_Paid;
    ++m_nCount;
    switch (entry.get_ItemType()) {
    case CProjectItem::ItemType_Time:
        ++m_nTimeCount;
        m_nMinutes += entry.get_DurationInMinutes();
        if (billable)
            m_nBillableMinutes += entry.get_DurationInMinutes();
        break;
    case CProjectItem::ItemType_Mileage:
        ++m_nMileageCount;
        m_nDistance += static_cast<long long>(entry.get_OdometerEnd()) - entry.get_OdometerStart();
        break;
    case CProjectItem::ItemType_Expense:
        ++m_nExpenseCount;
        m_expenses += amount;
        break;
    }
    if (billable)
        m_billable += amount;
    if (paid)
        m_paid += amount;
    else if (billable)
        m_unpaid += amount;
}

void CReportTotals::Add(const CReportTotals& other) {
    m_nCount += other.m_nCount;
    m_nTimeCount += other.m_nTimeCount;
    m_nExpenseCount += other.m_nExpenseCount;
    m_nMileageCount += other.m_nMileageCount;
    m_nMinutes += other.m_nMinutes;
    m_nBillableMinutes += other.m_nBillableMinutes;
    m_nDistance += other.m_nDistance;
    m_billable += other.m_billable;
    m_expenses += other.m_expenses;
    m_paid += other.m_paid;
    m_unpaid += other.m_unpaid;
}
