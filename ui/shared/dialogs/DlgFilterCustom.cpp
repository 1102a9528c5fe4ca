#include "ui/shared/dialogs/DlgFilterCustom.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DialogLayout.h"

CDlgFilterCustom::CDlgFilterCustom(QWidget* parent) : CPropertyPage(u"Custom Fields", parent) {}

void CDlgFilterCustom::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Filter items that match these custom fields"), this, grid);
    const CString* labels[3] = {&m_strLabel1, &m_strLabel2, &m_strLabel3};
    for (int i = 0; i < 3; ++i) {
        m_edits[i] = new QLineEdit(this);
        m_edits[i]->setObjectName(QStringLiteral("custom%1Edit").arg(i + 1));
        // A user's label is plain text: an "&" in it is not a mnemonic.
        QString label = qtconv::ToQString(*labels[i]).replace(QLatin1Char('&'), QStringLiteral("&&"));
        grid->addWidget(MakeBuddyLabel(label, m_edits[i], this), i, 0);
        grid->addWidget(m_edits[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CDlgFilterCustom::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_edits[0], m_strCustom1);
    DDV_MaxChars(pDX, m_strCustom1, kCustomLimit);
    DDX_Text(pDX, m_edits[1], m_strCustom2);
    DDV_MaxChars(pDX, m_strCustom2, kCustomLimit);
    DDX_Text(pDX, m_edits[2], m_strCustom3);
    DDV_MaxChars(pDX, m_strCustom3, kCustomLimit);
}

const DeviceLook& CDlgFilterCustom::GetDeviceLook() const {
    static const DeviceLook look{.keepGroups = true};
    return look;
}
