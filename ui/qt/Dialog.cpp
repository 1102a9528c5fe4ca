#include "ui/qt/Dialog.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"

CDialog::CDialog(const CString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtconv::ToQString(caption));
}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    if (!m_created) {
        m_created = true;
        CreateControls();
        OnInitDialog();
    }
    return RunModal(*this) == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

bool CDialog::ValidateQuietly() {
    CDataExchange dx(this, true, true);
    DoDataExchange(&dx);
    return !dx.Failed();
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialogOK();
}

void CDialog::OnCancel() { EndDialogCancel(); }

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

QBoxLayout* CDialog::AddOkCancelButtons() {
    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_okButton, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_okButton);
    row->addWidget(m_cancelButton);
    return row;
}
