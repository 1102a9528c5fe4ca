#include "desktop/dialogs/DlgManageClientsProjects.h"

#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "ui/shared/TreeCtrlEx.h"

CDlgManageClientsProjects::CDlgManageClientsProjects(QWidget* parent)
    : CDialog(u"Manage Clients and Projects", parent) {}

void CDlgManageClientsProjects::CreateControls() {
    m_tree = new CTreeCtrlEx(this);
    m_tree->setObjectName(QStringLiteral("clientsProjectsTree"));
    m_tree->m_bContextMenu = false;
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnOK(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(AddOkCancelButtons());
    resize(320, 360);
}

bool CDlgManageClientsProjects::OnInitDialog() {
    if (m_pProject)
        m_tree->SetPendingSelection(m_pProject->get_RefID());
    m_tree->Fill(m_bHideClientsWithNoProjects, m_pResLibrary);
    return CDialog::OnInitDialog();
}

void CDlgManageClientsProjects::OnOK() {
    if (!m_bSelectMode) {
        EndDialogOK();
        return;
    }
    // Only a project can be picked; a client or the no-client node leaves the dialog open.
    const QTreeWidgetItem* node = m_tree->SelectedNode();
    if (node == nullptr || CTreeCtrlEx::NodeLevel(node) != 1)
        return;
    const int id = CTreeCtrlEx::NodeValue(node);
    CProject project;
    project.set_ID(id);
    if (id == 0 || !project.Load()) {
        AfxMessageBox(GetResString(26, 1), MB_OK);
        return;
    }
    if (m_pProject)
        m_pProject->set_ID(id);
    EndDialogOK();
}
