#include "ui/shared/dialogs/DlgEditCategory.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "biz/FieldLimits.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"

CDlgEditCategory::CDlgEditCategory(QWidget* parent) : CDialog(u"Edit Category", parent) {}

void CDlgEditCategory::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Category Properties"), this, grid);
    m_name = Named(new QLineEdit(this), "nameEdit");
    m_code = Named(new QLineEdit(this), "codeEdit");
    m_rate = Named(new QLineEdit(this), "rateEdit");
    m_spin = Named(new CFloatSpinButtonCtrl(this), "rateSpin");
    m_spin->SetBuddy(m_rate);
    m_spin->SetAccel(2000, 10);
    grid->addWidget(MakeBuddyLabel(tr("&Name (e.g: Travel Time):"), m_name, this), 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(MakeBuddyLabel(tr("&Code (e.g: TRAV):"), m_code, this), 1, 0);
    grid->addWidget(m_code, 1, 1, 1, 2);
    grid->addWidget(MakeBuddyLabel(tr("&Rate per hour:"), m_rate, this), 2, 0);
    grid->addWidget(m_rate, 2, 1);
    grid->addWidget(m_spin, 2, 2);
    grid->setColumnStretch(1, 1);

    connect(m_name, &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    connect(m_code, &QLineEdit::textEdited, this, [this] { ForceCodeUpperCase(); });
    connect(m_code, &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    // A corrected rate must enable OK again, not only a change of the name or code.
    connect(m_rate, &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(AddOkCancelButtons());
    OkButton()->setEnabled(false);
}

bool CDlgEditCategory::OnInitDialog() {
    // Loading the boxes one by one must not read the half-filled dialog back.
    m_loading = true;
    CDialog::OnInitDialog();
    m_loading = false;
    m_spin->SetRangeAndDelta(0.0, 5000000.0, 1.0);
    m_spin->SetDecimalPlaces(2);
    m_spin->SetKeepTypedDecimals(true);
    m_spin->SyncPositionWithBuddy();
    UpdateOkButton();
    return true;
}

void CDlgEditCategory::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_name, m_strDescription);
    DDV_MaxChars(pDX, m_strDescription, kNameLimit);
    DDX_Text(pDX, m_code, m_strCode);
    DDV_MaxChars(pDX, m_strCode, kCodeLimit);
    DDX_Rate(pDX, m_rate, m_fRate);
    DDV_MinMaxFloat(pDX, m_fRate, 0.0f, CFieldLimits::kMaxAmount);
}

bool CDlgEditCategory::Validate(bool showMessages) {
    const bool read = showMessages ? UpdateData(true) : ValidateQuietly();
    return read && !m_strDescription.IsEmpty() && !m_strCode.IsEmpty();
}

void CDlgEditCategory::UpdateOkButton() {
    // While the user types, a rate that does not read only keeps OK disabled; the message
    // comes when OK is pressed.
    if (OkButton() && !m_loading)
        OkButton()->setEnabled(Validate(false));
}

void CDlgEditCategory::ForceCodeUpperCase() {
    const QString upper = m_code->text().toUpper();
    if (upper == m_code->text())
        return;
    const int cursor = m_code->cursorPosition();
    m_code->setText(upper);
    m_code->setCursorPosition(cursor);
}

void CDlgEditCategory::OnOK() {
    const bool valid = Validate(true);
    OkButton()->setEnabled(valid);
    if (valid && (!m_okCheck || m_okCheck()))
        EndDialogOK();
}

const DeviceLook& CDlgEditCategory::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::CategoryTitle,
        .windowTitleId = devstr::CategoryCaption,
        .captions = {{"nameEdit", devstr::CategoryName},
                     {"codeEdit", devstr::CategoryCode},
                     {"rateEdit", devstr::CategoryRate}},
        // The long captions would leave the boxes too narrow for what they hold.
        .captionsAbove = true,
    };
    return look;
}
