#include "ui/shared/dialogs/DlgClient.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"

CDlgClient::CDlgClient(QWidget* parent) : CPropertyPage(u"Details", parent) {}

void CDlgClient::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Client Information"), this, grid);
    m_name = Named(new QLineEdit(this), "nameEdit");
    m_address = Named(new QPlainTextEdit(this), "addressEdit");
    m_address->setTabChangesFocus(true);
    m_accountNum = Named(new QLineEdit(this), "accountNumEdit");
    m_contact = Named(new QLineEdit(this), "contactEdit");

    grid->addWidget(MakeBuddyLabel(tr("&Name:"), m_name, this), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(Named(new QLabel(tr("(e.g: Northwind Traders)"), this), "exampleLabel"), 0, 2);
    grid->addWidget(MakeBuddyLabel(tr("&Address:"), m_address, this), 1, 0, Qt::AlignTop);
    grid->addWidget(m_address, 1, 1, 1, 2);
    grid->addWidget(MakeBuddyLabel(tr("A&ccount Number:"), m_accountNum, this), 2, 0);
    grid->addWidget(m_accountNum, 2, 1, 1, 2);
    grid->addWidget(MakeBuddyLabel(tr("Contact &Person:"), m_contact, this), 3, 0);
    grid->addWidget(m_contact, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

void CDlgClient::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_name, m_strDescription);
    DDV_MaxChars(pDX, m_strDescription, kNameLimit);
    DDX_Text(pDX, m_address, m_strAddress);
    DDX_Text(pDX, m_accountNum, m_strAccountNum);
    DDV_MaxChars(pDX, m_strAccountNum, kAccountNumLimit);
    DDX_Text(pDX, m_contact, m_strContact);
    DDV_MaxChars(pDX, m_strContact, kContactLimit);
}

const DeviceLook& CDlgClient::GetDeviceLook() const {
    // The name takes the room of the example the device does not show.
    static const DeviceLook look{
        .titleId = res::ClientTitle,
        .captions = {{"nameEdit", devstr::Name},
                     {"addressEdit", devstr::Address},
                     {"accountNumEdit", devstr::AccountNumber},
                     {"contactEdit", devstr::Contact}},
        .hidden = {"exampleLabel"},
        .widened = "nameEdit",
    };
    return look;
}
