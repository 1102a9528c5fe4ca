#include "ui/shared/dialogs/DlgBillingDetails.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "biz/Category.h"
#include "biz/FieldLimits.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "platform/ComboBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/DlgMileageDetails.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"
#include "ui/shared/dialogs/SettingsAccess.h"

namespace {
// 1/60 in single precision, as the amount has always been computed with it.
constexpr float kMinutesToHours = 0.016666668f;
}   // namespace

CDlgBillingDetails::CDlgBillingDetails(QWidget* parent) : CPropertyPage(u"Billing", parent) {}

float CDlgBillingDetails::TimeAmount(int minutes, float hourlyRate) {
#ifdef QUILLMAR_DEVICE_BUILD
    // The handheld forms every product in single precision.
    return static_cast<float>(minutes) * kMinutesToHours * hourlyRate;
#else
    const long double amount = static_cast<long double>(minutes) * static_cast<long double>(kMinutesToHours) *
                               static_cast<long double>(hourlyRate);
    return static_cast<float>(amount);
#endif
}

float CDlgBillingDetails::MileageAmount(int odometerStart, int odometerEnd, float rate) {
    return static_cast<float>(odometerEnd - odometerStart) * rate;
}

void CDlgBillingDetails::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Billing Information"), this, grid);
    m_billable = Named(new QCheckBox(tr("This item is bi&llable"), this), "billableCheck");
    grid->addWidget(m_billable, 0, 0, 1, 4);

    m_amount = Named(new QLineEdit(this), "amountEdit");
    m_spin = Named(new CFloatSpinButtonCtrl(this), "amountSpin");
    m_spin->SetBuddy(m_amount);
    m_spin->SetAccel(2000, 10);
    m_calc = Named(new QPushButton(tr("&Calc."), this), "calcButton");
    connect(m_calc, &QPushButton::clicked, this, [this] { OnCalc(); });
    grid->addWidget(MakeBuddyLabel(tr("Billable &Amount:"), m_amount, this), 1, 0);
    grid->addWidget(m_amount, 1, 1);
    grid->addWidget(m_spin, 1, 2);
    grid->addWidget(m_calc, 1, 3);

    grid->addWidget(new QLabel(tr("Billing Status:"), this), 2, 0);
    const char* names[3] = {"notBilledRadio", "billedRadio", "paidRadio"};
    const QString captions[3] = {tr("&Not billed"), tr("&Billed"), tr("&Paid")};
    auto* statusRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_status[i] = Named(new QRadioButton(captions[i], this), names[i]);
        statusRow->addWidget(m_status[i]);
    }
    statusRow->addStretch(1);
    grid->addLayout(statusRow, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

bool CDlgBillingDetails::OnInitDialog() {
    if (m_nItemType == CProjectItem::ItemType_Expense)
        m_calc->hide();
    CPropertyPage::OnInitDialog();
    m_spin->SyncPositionWithBuddy();
    for (int i = 0; i < 3; ++i)
        m_status[i]->setChecked(i == m_nPymtStatus);
    return true;
}

void CDlgBillingDetails::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, m_billable, m_bIsBillable);
    DDX_Money(pDX, m_amount, m_fBillAmount);
    DDV_MinMaxFloat(pDX, m_fBillAmount, -CFieldLimits::kMaxAmount, CFieldLimits::kMaxAmount);
}

QRadioButton* CDlgBillingDetails::StatusButton(int status) const {
    return status >= 0 && status < 3 ? m_status[status] : nullptr;
}

float CDlgBillingDetails::CalcTimeAmount() const {
    if (m_pTimeDetails == nullptr || m_pTimeDetails->m_pProjectItem == nullptr)
        return 0.0f;
    const int minutes = m_pTimeDetails->m_pProjectItem->get_DurationInMinutes();
    const int categoryId = m_pTimeDetails->GetSelectedCategoryID();
    if (minutes == 0 || categoryId == CB_ERR)
        return 0.0f;
    CCategory category;
    category.set_ID(categoryId);
    if (!category.Load())
        return 0.0f;
    return TimeAmount(minutes, category.get_Quillmar());
}

float CDlgBillingDetails::CalcMileageAmount() const {
    if (m_pMileageDetails == nullptr)
        return 0.0f;
    return MileageAmount(m_pMileageDetails->m_nOdometerStart, m_pMileageDetails->m_nOdometerEnd, MileageRateSetting());
}

void CDlgBillingDetails::OnCalc() {
    float amount = 0.0f;
    if (m_nItemType == CProjectItem::ItemType_Time)
        amount = CalcTimeAmount();
    else if (m_nItemType == CProjectItem::ItemType_Mileage)
        amount = CalcMileageAmount();
    else
        return;
    // The amount as shown, to the cent, so an untouched box saves what it shows.
    m_fBillAmount = Rounded(amount);
    m_spin->SetPos(m_fBillAmount);
}

void CDlgBillingDetails::OnOK() {
    for (int status = 0; status < 3; ++status) {
        if (m_status[status]->isChecked()) {
            m_nPymtStatus = status;
            return;
        }
    }
}

const DeviceLook& CDlgBillingDetails::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::BillingTitle,
        .captions = {{"billableCheck", devstr::Billable},
                     {"amountEdit", devstr::BillableAmount},
                     {"calcButton", devstr::Calc},
                     {"notBilledRadio", devstr::NotBilled},
                     {"billedRadio", devstr::Billed},
                     {"paidRadio", devstr::Paid}},
        // The amount box gets the width of the screen, not what the caption leaves of it.
        .captionsAbove = true,
    };
    return look;
}
