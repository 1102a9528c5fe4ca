#include "ui/shared/dialogs/EditFilter.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/ProjectItemFilter.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgFilterCustom.h"
#include "ui/shared/dialogs/DlgFilterGeneral.h"
#include "ui/shared/dialogs/SettingsAccess.h"

namespace {
void CopyIntoPages(const CProjectItemFilter& filter, CDlgFilterGeneral& general, CDlgFilterCustom& custom) {
    general.m_strClientRef = filter.m_strClientRef;
    general.m_strProjectRef = filter.m_strProjectRef;
    general.m_strCategoryRef = filter.m_strCategoryRef;
    general.m_bIncludeTime = filter.m_bIncludeTime;
    general.m_bIncludeExpense = filter.m_bIncludeExpense;
    general.m_bIncludeMileage = filter.m_bIncludeMileage;
    general.m_bIncludeBillable = filter.m_bIncludeBillable;
    general.m_bIncludeNonBillable = filter.m_bIncludeNonBillable;
    general.m_bIncludeBilled = filter.m_bIncludeBilled;
    general.m_bIncludeNotBilled = filter.m_bIncludeNotBilled;
    general.m_bIncludePaid = filter.m_bIncludePaid;
    custom.m_strCustom1 = filter.m_strCustom1;
    custom.m_strCustom2 = filter.m_strCustom2;
    custom.m_strCustom3 = filter.m_strCustom3;
    custom.m_strLabel1 = CustomFieldLabel(1) + u":";
    custom.m_strLabel2 = CustomFieldLabel(2) + u":";
    custom.m_strLabel3 = CustomFieldLabel(3) + u":";
}

void CopyBack(const CDlgFilterGeneral& general, const CDlgFilterCustom& custom, CProjectItemFilter& filter) {
    filter.m_strClientRef = general.m_strClientRef;
    filter.m_strProjectRef = general.m_strProjectRef;
    filter.m_strCategoryRef = general.m_strCategoryRef;
    filter.m_bIncludeTime = general.m_bIncludeTime;
    filter.m_bIncludeExpense = general.m_bIncludeExpense;
    filter.m_bIncludeMileage = general.m_bIncludeMileage;
    filter.m_bIncludeBillable = general.m_bIncludeBillable;
    filter.m_bIncludeNonBillable = general.m_bIncludeNonBillable;
    filter.m_bIncludeBilled = general.m_bIncludeBilled;
    filter.m_bIncludeNotBilled = general.m_bIncludeNotBilled;
    filter.m_bIncludePaid = general.m_bIncludePaid;
    filter.m_strCustom1 = custom.m_strCustom1;
    filter.m_strCustom2 = custom.m_strCustom2;
    filter.m_strCustom3 = custom.m_strCustom3;
}
}   // namespace

bool EditFilter(CProjectItemFilter* pFilter) {
    if (pFilter == nullptr)
        return false;
    CDlgFilterGeneral general;
    CDlgFilterCustom custom;
    CopyIntoPages(*pFilter, general, custom);

    CPropertySheetEx sheet(GetResString(87, 1), QApplication::activeWindow());
    sheet.AddPage(&general);
    sheet.AddPage(&custom);
    if (sheet.DoModal() != IDOK)
        return false;
    CopyBack(general, custom, *pFilter);
    return true;
}
