#include "ui/shared/dialogs/EditProjectItem.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgCustom.h"
#include "ui/shared/dialogs/DlgExpenseDetails.h"
#include "ui/shared/dialogs/DlgMileageDetails.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/dialogs/SettingsAccess.h"

namespace {

// The three pages every entry sheet has besides its Details page.
struct CommonPages {
    CDlgBillingDetails billing;
    CDlgCustom custom;
    CDlgNotes notes;
};

void CopyDetailsIn(const CProjectItem& item, CDlgEntryDetailsBase& details) {
    details.m_strDescription = item.get_Description();
    details.m_strProjectRef = item.get_ProjectRef();
    details.m_ItemDate = item.get_ItemDate();
}

void CopyCommonIn(const CProjectItem& item, CommonPages& pages) {
    pages.billing.m_fBillAmount = item.get_BillAmount();
    pages.billing.m_bIsBillable = item.get_IsBillable();
    pages.billing.m_nPymtStatus = item.get_PymtStatus();
    pages.billing.m_nItemType = item.get_ItemType();
    pages.custom.m_strLabel1 = CustomFieldLabel(1) + u":";
    pages.custom.m_strLabel2 = CustomFieldLabel(2) + u":";
    pages.custom.m_strLabel3 = CustomFieldLabel(3) + u":";
    pages.custom.m_strCustom1 = item.get_Custom1();
    pages.custom.m_strCustom2 = item.get_Custom2();
    pages.custom.m_strCustom3 = item.get_Custom3();
    pages.notes.m_strNotes = item.get_Notes();
}

void WriteDetailsBack(const CDlgEntryDetailsBase& details, CProjectItem& item) {
    item.set_Description(details.m_strDescription);
    item.set_ProjectRef(details.m_strProjectRef);
    item.set_ItemDate(details.m_ItemDate);
}

void WriteCommonBack(const CommonPages& pages, CProjectItem& item) {
    item.set_BillAmount(pages.billing.m_fBillAmount);
    item.set_IsBillable(pages.billing.m_bIsBillable);
    item.set_PymtStatus(static_cast<CProjectItem::PymtStatus>(pages.billing.m_nPymtStatus));
    item.set_Custom1(pages.custom.m_strCustom1);
    item.set_Custom2(pages.custom.m_strCustom2);
    item.set_Custom3(pages.custom.m_strCustom3);
    item.set_Notes(pages.notes.m_strNotes);
}

// Shows the sheet with the Details page first. On OK `writeBack` copies the pages into the
// entry, which is then saved while the sheet is still open: a failed write is reported and
// keeps the sheet with what was typed. The result of the save (0 when nothing changed or the
// sheet was cancelled).
template <typename WriteBack>
int RunEntrySheet(CDlgEntryDetailsBase& details, CommonPages& pages, CProjectItem& item, WriteBack writeBack) {
    CPropertySheetEx sheet(GetResString(28, 1), QApplication::activeWindow());
    sheet.AddPage(&details);
    sheet.AddPage(&pages.billing);
    sheet.AddPage(&pages.custom);
    sheet.AddPage(&pages.notes);
    int saved = 0;
    sheet.SetOkCheck([&] {
        writeBack();
        WriteCommonBack(pages, item);
        saved = CWriteCheck::SaveIfDirty(item);
        return saved >= 0;
    });
    if (sheet.DoModal() != IDOK)
        return 0;
    return saved > 0 ? 1 : 0;
}

}   // namespace

int EditProjectItem(CProjectItem* pItem) {
    if (pItem == nullptr)
        return 0;
    switch (pItem->get_ItemType()) {
    case CProjectItem::ItemType_Time: return EditTimeEntry(pItem);
    case CProjectItem::ItemType_Mileage: return EditMileageEntry(pItem);
    case CProjectItem::ItemType_Expense: return EditExpenseEntry(pItem);
    default: return 0;
    }
}

int EditTimeEntry(CProjectItem* pItem) {
    if (pItem == nullptr)
        return 0;
    CDlgTimeDetails details;
    CommonPages pages;
    CopyDetailsIn(*pItem, details);
    details.m_strCategoryRef = pItem->get_CategoryRef();
    details.m_pProjectItem = pItem;
    pages.billing.m_pTimeDetails = &details;
    CopyCommonIn(*pItem, pages);
    return RunEntrySheet(details, pages, *pItem, [&] {
        WriteDetailsBack(details, *pItem);
        pItem->set_CategoryRef(details.m_strCategoryRef);
    });
}

int EditExpenseEntry(CProjectItem* pItem) {
    if (pItem == nullptr)
        return 0;
    CDlgExpenseDetails details;
    CommonPages pages;
    CopyDetailsIn(*pItem, details);
    details.m_strDescription2 = pItem->get_Description2();
    CopyCommonIn(*pItem, pages);
    return RunEntrySheet(details, pages, *pItem, [&] {
        WriteDetailsBack(details, *pItem);
        pItem->set_Description2(details.m_strDescription2);
    });
}

int EditMileageEntry(CProjectItem* pItem) {
    if (pItem == nullptr)
        return 0;
    CDlgMileageDetails details;
    CommonPages pages;
    CopyDetailsIn(*pItem, details);
    details.m_nOdometerStart = pItem->get_OdometerStart();
    details.m_nOdometerEnd = pItem->get_OdometerEnd();
    pages.billing.m_pMileageDetails = &details;
    CopyCommonIn(*pItem, pages);
    return RunEntrySheet(details, pages, *pItem, [&] {
        WriteDetailsBack(details, *pItem);
        pItem->set_OdometerStart(details.m_nOdometerStart);
        pItem->set_OdometerEnd(details.m_nOdometerEnd);
    });
}
