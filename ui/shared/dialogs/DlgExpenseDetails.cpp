#include "ui/shared/dialogs/DlgExpenseDetails.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/SortedComboBox.h"

const std::array<const char16_t*, 28> CDlgExpenseDetails::kExpenseTypes = {
    u"Airfare", u"Breakfast", u"Bus",     u"Business Meals", u"Car Rental",  u"Dinner",  u"Entertainment",
    u"Fax",     u"Gas",       u"Gifts",   u"Hotel",          u"Incidentals", u"Laundry", u"Limo",
    u"Lodging", u"Lunch",     u"Mileage", u"Other",          u"Parking",     u"Postage", u"Snack",
    u"Subway",  u"Supplies",  u"Taxi",    u"Telephone",      u"Tips",        u"Tolls",   u"Train",
};

CDlgExpenseDetails::CDlgExpenseDetails(QWidget* parent) : CDlgEntryDetailsBase(parent) {}

void CDlgExpenseDetails::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Expense Information"), this, grid);
    CreateCommonControls(grid, 1);

    m_type = Named(new QComboBox(this), "expenseTypeCombo");
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    CSortedComboBox types(m_type, false);
    for (const char16_t* type : kExpenseTypes)
        types.AddString(type);
    grid->addWidget(MakeBuddyLabel(tr("Expense &Type:"), m_type, this), 2, 0);
    grid->addWidget(m_type, 2, 1, 1, 2);

    grid->addWidget(MakeBuddyLabel(tr("&Memo (e.g: Flight to Los Angeles):"), m_description, this), 3, 0, 1, 3);
    grid->addWidget(m_description, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

void CDlgExpenseDetails::DoDataExchange(CDataExchange* pDX) {
    CDlgEntryDetailsBase::DoDataExchange(pDX);
    DDX_Text(pDX, m_type, m_strDescription2);
    DDV_MaxChars(pDX, m_strDescription2, kExpenseTypeLimit);
}

bool CDlgExpenseDetails::OnKillActive() {
    if (!UpdateData(true))
        return false;
    if (!CheckProjectChosen())
        return false;
    if (m_strDescription2.IsEmpty()) {
        AfxMessageBox(GetResString(109, 1), MB_OK);
        m_type->setFocus(Qt::OtherFocusReason);
        m_type->showPopup();
        return false;
    }
    return true;
}

const DeviceLook& CDlgExpenseDetails::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::ExpenseTitle,
        .captions =
            EntryDeviceCaptions({{"expenseTypeCombo", devstr::ExpenseType}, {"descriptionEdit", devstr::ExpenseMemo}}),
    };
    return look;
}
