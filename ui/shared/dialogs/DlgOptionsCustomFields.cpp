#include "ui/shared/dialogs/DlgOptionsCustomFields.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"

CDlgOptionsCustomFields::CDlgOptionsCustomFields(QWidget* parent) : CPropertyPage(u"Custom Fields", parent) {}

void CDlgOptionsCustomFields::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Custom Field Labels"), this, grid);
    auto* note = new QLabel(tr("Custom Fields enable you to store additional project or client specific information "
                               "such as project codes, invoice numbers etc. Below, you can specify your own labels "
                               "for the 3 custom fields available for each entry."),
                            this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setWordWrap(true);
    grid->addWidget(note, 0, 0, 1, 2);
    const QString captions[3] = {tr("Field &1:"), tr("Field &2:"), tr("Field &3:")};
    for (int i = 0; i < 3; ++i) {
        m_edits[i] = new QLineEdit(this);
        m_edits[i]->setObjectName(QStringLiteral("label%1Edit").arg(i + 1));
        grid->addWidget(MakeBuddyLabel(captions[i], m_edits[i], this), i + 1, 0);
        grid->addWidget(m_edits[i], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CDlgOptionsCustomFields::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_edits[0], m_strCustomLabel1);
    DDV_MaxChars(pDX, m_strCustomLabel1, kLabelLimit);
    DDX_Text(pDX, m_edits[1], m_strCustomLabel2);
    DDV_MaxChars(pDX, m_strCustomLabel2, kLabelLimit);
    DDX_Text(pDX, m_edits[2], m_strCustomLabel3);
    DDV_MaxChars(pDX, m_strCustomLabel3, kLabelLimit);
}

const DeviceLook& CDlgOptionsCustomFields::GetDeviceLook() const {
    // The explanation does not fit the handheld's screen.
    static const DeviceLook look{
        .captions = {{"label1Edit", devstr::Field1}, {"label2Edit", devstr::Field2}, {"label3Edit", devstr::Field3}},
        .hidden = {"noteLabel"},
    };
    return look;
}
