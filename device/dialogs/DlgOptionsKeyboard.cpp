#include "device/dialogs/DlgOptionsKeyboard.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"

CDlgOptionsKeyboard::CDlgOptionsKeyboard(QWidget* parent) : CPropertyPage(u"Keyboard", parent) {}

void CDlgOptionsKeyboard::CreateControls() {
    m_check = new QCheckBox(tr("Use the on-screen keyboard"), this);
    m_check->setObjectName(QStringLiteral("softKeyboardCheck"));
    auto* note = new QLabel(tr("Without a hardware keyboard it is always used. A change takes effect when Quillmar "
                               "starts again."),
                            this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_check);
    layout->addWidget(note);
    layout->addStretch(1);
}

void CDlgOptionsKeyboard::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, m_check, m_bSoftKeyboard); }
