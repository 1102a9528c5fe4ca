#include "biz/ProjectItemFilter.h"

#include "biz/ProjectItem.h"

namespace {
bool MatchesWhenSet(const CString& required, const CString& actual) {
    return required.IsEmpty() || required == actual;
}
}   // namespace

CProjectItemFilter::CProjectItemFilter() { Reset(); }

void CProjectItemFilter::Reset() {
    m_bActive = 0;
    m_strClientRef.Empty();
    m_strProjectRef.Empty();
    m_strCategoryRef.Empty();
    m_strCustom1.Empty();
    m_strCustom2.Empty();
    m_strCustom3.Empty();
    m_bIncludeTime = m_bIncludeExpense = m_bIncludeMileage = 1;
    m_bIncludeBilled = m_bIncludeNotBilled = m_bIncludePaid = 1;
    m_bIncludeBillable = m_bIncludeNonBillable = 1;
}

int CProjectItemFilter::RunOnItem(CProjectItem* item) const {
    item->set_FilteredFromView(0);
    const COleDateTime date = item->get_ItemDate();
    bool passes = date >= m_dtStart && date <= m_dtEnd;
    // The tests run in this order and stop at the first failure; the client test loads the
    // entry's project, so it comes only after the cheap ones.
    if (passes && m_bActive) {
        passes = PassesType(*item) && PassesPaymentStatus(*item) && PassesBillable(*item) && PassesReferences(*item) &&
                 PassesCustomTexts(*item);
    }
    item->set_FilteredFromView(passes ? 0 : 1);
    return item->get_FilteredFromView();
}

bool CProjectItemFilter::PassesType(const CProjectItem& item) const {
    switch (item.get_ItemType()) {
    case CProjectItem::ItemType_Time: return m_bIncludeTime != 0;
    case CProjectItem::ItemType_Mileage: return m_bIncludeMileage != 0;
    case CProjectItem::ItemType_Expense: return m_bIncludeExpense != 0;
    }
    return true;
}

bool CProjectItemFilter::PassesPaymentStatus(const CProjectItem& item) const {
    switch (item.get_PymtStatus()) {
    case CProjectItem::PymtStatus_NotBilled: return m_bIncludeNotBilled != 0;
    case CProjectItem::PymtStatus_Billed: return m_bIncludeBilled != 0;
    case CProjectItem::PymtStatus_Paid: return m_bIncludePaid != 0;
    }
    return true;
}

bool CProjectItemFilter::PassesBillable(const CProjectItem& item) const {
    return item.get_IsBillable() ? m_bIncludeBillable != 0 : m_bIncludeNonBillable != 0;
}

bool CProjectItemFilter::PassesReferences(const CProjectItem& item) const {
    if (!m_strClientRef.IsEmpty() && item.get_ClientRef() != m_strClientRef)
        return false;
    return MatchesWhenSet(m_strProjectRef, item.get_ProjectRef()) &&
           MatchesWhenSet(m_strCategoryRef, item.get_CategoryRef());
}

bool CProjectItemFilter::PassesCustomTexts(const CProjectItem& item) const {
    return MatchesWhenSet(m_strCustom1, item.get_Custom1()) && MatchesWhenSet(m_strCustom2, item.get_Custom2()) &&
           MatchesWhenSet(m_strCustom3, item.get_Custom3());
}
