#include "ui/shared/dialogs/DlgProject.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/SortedComboBox.h"

CDlgProject::CDlgProject(QWidget* parent) : CPropertyPage(u"Details", parent) {}

void CDlgProject::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Project Information"), this, grid);
    m_description = Named(new QLineEdit(this), "descriptionEdit");
    m_client = Named(new QComboBox(this), "clientCombo");
    grid->addWidget(MakeBuddyLabel(tr("&Description:"), m_description, this), 0, 0);
    grid->addWidget(m_description, 0, 1);
    grid->addWidget(new QLabel(tr("(e.g: Database upgrade project)"), this), 1, 1);
    grid->addWidget(MakeBuddyLabel(tr("&Client:"), m_client, this), 2, 0);
    grid->addWidget(m_client, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

bool CDlgProject::OnInitDialog() {
    CSortedComboBox clients(m_client, true);
    PopulateComboBoxWithObjectList(&clients, u"client", static_cast<unsigned long>(m_nClientID), true,
                                   GetResString(18, 1));
    return CPropertyPage::OnInitDialog();
}

void CDlgProject::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_description, m_strDescription);
    DDV_MaxChars(pDX, m_strDescription, kDescriptionLimit);
}

void CDlgProject::OnOK() {
    CQtComboBox clients(m_client);
    const int selected = clients.GetCurSel();
    m_nClientID = selected == CB_ERR ? 0 : static_cast<int>(clients.GetItemData(selected));
}

const DeviceLook& CDlgProject::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::ProjectTitle,
        .captions = {{"descriptionEdit", devstr::Name}, {"clientCombo", devstr::Client}},
    };
    return look;
}
