#include "ui/shared/dialogs/DlgFilterGeneral.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/SortedComboBox.h"

namespace {
// The leading entry (ID 0) of a list, selected; the lists do not show the current filter.
// It reads "(Any)": here it means no restriction, not "no client" as in the project editor.
void FillWithLeadingEntry(QComboBox* combo, const char16_t* elemName) {
    CSortedComboBox list(combo, true);
    PopulateComboBoxWithObjectList(&list, elemName, 0, true, GetResString(res::NoRestriction, 1));
}

CString SelectedRefID(QComboBox* combo, const char16_t* elemName) {
    CQtComboBox list(combo);
    const int selected = list.GetCurSel();
    const int id = selected == CB_ERR ? 0 : static_cast<int>(list.GetItemData(selected));
    // ID 0, the leading entry, is no record: its reference is empty.
    return id == 0 ? CString() : GetCurrDataHelper()->ID_To_RefID(id, elemName);
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}
}   // namespace

CDlgFilterGeneral::CDlgFilterGeneral(QWidget* parent) : CPropertyPage(u"General", parent) {}

void CDlgFilterGeneral::CreateControls() {
    QGridLayout* byGrid = nullptr;
    QGroupBox* byGroup = MakeGroup(tr("Filter items by"), this, byGrid);
    m_client = Named(new QComboBox(this), "clientCombo");
    m_project = Named(new QComboBox(this), "projectCombo");
    m_category = Named(new QComboBox(this), "categoryCombo");
    byGrid->addWidget(MakeBuddyLabel(tr("&Client:"), m_client, this), 0, 0);
    byGrid->addWidget(m_client, 0, 1);
    byGrid->addWidget(MakeBuddyLabel(tr("&Project:"), m_project, this), 1, 0);
    byGrid->addWidget(m_project, 1, 1);
    byGrid->addWidget(MakeBuddyLabel(tr("C&ategory:"), m_category, this), 2, 0);
    byGrid->addWidget(m_category, 2, 1);
    byGrid->setColumnStretch(1, 1);

    QGridLayout* moreGrid = nullptr;
    QGroupBox* moreGroup = MakeGroup(tr("More options"), this, moreGrid);
    m_time = Named(new QCheckBox(tr("&Time"), this), "timeCheck");
    m_expense = Named(new QCheckBox(tr("&Expense"), this), "expenseCheck");
    m_mileage = Named(new QCheckBox(tr("&Mileage"), this), "mileageCheck");
    m_billable = Named(new QCheckBox(tr("&Billable"), this), "billableCheck");
    m_nonBillable = Named(new QCheckBox(tr("&Non Billable"), this), "nonBillableCheck");
    m_billed = Named(new QCheckBox(tr("B&illed"), this), "billedCheck");
    m_notBilled = Named(new QCheckBox(tr("N&ot Billed"), this), "notBilledCheck");
    m_paid = Named(new QCheckBox(tr("Pai&d"), this), "paidCheck");
    moreGrid->addWidget(new QLabel(tr("Item Types:"), this), 0, 0);
    moreGrid->addLayout(Row({m_time, m_expense, m_mileage}), 0, 1);
    moreGrid->addWidget(new QLabel(tr("Is Billable:"), this), 1, 0);
    moreGrid->addLayout(Row({m_billable, m_nonBillable}), 1, 1);
    moreGrid->addWidget(Named(new QLabel(tr("Billing Status:"), this), "billingStatusLabel"), 2, 0);
    moreGrid->addLayout(Row({m_billed, m_notBilled, m_paid}), 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(byGroup);
    layout->addWidget(moreGroup);
    layout->addStretch(1);
}

QCheckBox* CDlgFilterGeneral::Check(const char* objectName) const {
    return findChild<QCheckBox*>(QString::fromLatin1(objectName));
}

bool CDlgFilterGeneral::OnInitDialog() {
    FillWithLeadingEntry(m_client, u"client");
    FillWithLeadingEntry(m_project, u"project");
    FillWithLeadingEntry(m_category, u"category");
    return CPropertyPage::OnInitDialog();
}

void CDlgFilterGeneral::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, m_time, m_bIncludeTime);
    DDX_Check(pDX, m_expense, m_bIncludeExpense);
    DDX_Check(pDX, m_mileage, m_bIncludeMileage);
    DDX_Check(pDX, m_billable, m_bIncludeBillable);
    DDX_Check(pDX, m_nonBillable, m_bIncludeNonBillable);
    DDX_Check(pDX, m_billed, m_bIncludeBilled);
    DDX_Check(pDX, m_notBilled, m_bIncludeNotBilled);
    DDX_Check(pDX, m_paid, m_bIncludePaid);
}

void CDlgFilterGeneral::OnOK() {
    m_strClientRef = SelectedRefID(m_client, u"client");
    m_strProjectRef = SelectedRefID(m_project, u"project");
    m_strCategoryRef = SelectedRefID(m_category, u"category");
}

const DeviceLook& CDlgFilterGeneral::GetDeviceLook() const {
    // The groups say what the check boxes filter by; the handheld kept them.
    static const DeviceLook look{.captions = {{"billingStatusLabel", devstr::BillingStatus}}, .keepGroups = true};
    return look;
}
