#pragma once
// Decides, entry by entry, whether an entry is hidden from the entries view, the quick summary
// and the export: always by the date range of the period shown and, when the user confirmed a
// filter (active), also by type, billing status, billable flag, references and custom texts.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CProjectItem;

class QUILLMAR_BIZ_EXPORT CProjectItemFilter {
public:
    CProjectItemFilter();
    CProjectItemFilter(const CProjectItemFilter&) = default;
    CProjectItemFilter& operator=(const CProjectItemFilter&) = default;
    virtual ~CProjectItemFilter() = default;

    // Clears the active flag and the six texts and includes everything; the dates stay.
    void Reset();
    // 1 when the entry is hidden, 0 when it passes; also stored in the entry's
    // FilteredFromView without marking it dirty.
    int RunOnItem(CProjectItem* item) const;

    // Public data: the views and the filter dialogs set these directly.
    COleDateTime m_dtStart;     // first date-time admitted (inclusive)
    COleDateTime m_dtEnd;       // last date-time admitted (inclusive)
    CString m_strClientRef;     // empty = any client
    CString m_strProjectRef;    // empty = any project
    CString m_strCategoryRef;   // empty = any category
    CString m_strCustom1;       // empty = any; otherwise the whole value, case-sensitive
    CString m_strCustom2;
    CString m_strCustom3;
    int m_bIncludeTime = 1;
    int m_bIncludeExpense = 1;
    int m_bIncludeMileage = 1;
    int m_bIncludeBilled = 1;
    int m_bIncludeNotBilled = 1;
    int m_bIncludePaid = 1;
    int m_bIncludeBillable = 1;
    int m_bIncludeNonBillable = 1;
    int m_bActive = 0;   // whether anything but the date range applies

private:
    bool PassesType(const CProjectItem& item) const;
    bool PassesPaymentStatus(const CProjectItem& item) const;
    bool PassesBillable(const CProjectItem& item) const;
    bool PassesReferences(const CProjectItem& item) const;
    bool PassesCustomTexts(const CProjectItem& item) const;
};
