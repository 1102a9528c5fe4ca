#include "desktop/ViewClientsProjectsSideBar.h"

#include <QVBoxLayout>

#include "biz/Client.h"
#include "biz/Project.h"
#include "desktop/DialogBridge.h"
#include "desktop/QuillmarApp.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/WriteCheck.h"

CViewClientsProjectsSideBar::CViewClientsProjectsSideBar(QWidget* parent)
    : QWidget(parent), m_tree(new CTreeCtrlEx(this)) {
    setObjectName(QStringLiteral("viewClientsProjects"));
    m_tree->setObjectName(QStringLiteral("clientsProjectsTree"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    connect(m_tree, &CTreeCtrlEx::editRequested, this, &CViewClientsProjectsSideBar::OnEdit);
    connect(m_tree, &CTreeCtrlEx::deleteRequested, this, &CViewClientsProjectsSideBar::OnDelete);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (CTreeCtrlEx::NodeLevel(node) == 1)
            OnEdit();
    });
}

void CViewClientsProjectsSideBar::OnInitialUpdate(const QFont& uiFont) { m_tree->setFont(uiFont); }

void CViewClientsProjectsSideBar::Fill() {
    const CQuillmarApp* app = GetQuillmarApp();
    m_tree->Fill(app && app->m_bHideClientsWithNoProjects, app ? app->GetResourceLibrary() : nullptr);
    emit filled();
}

void CViewClientsProjectsSideBar::SetPendingSelection(const CString& projectRefId) {
    m_tree->SetPendingSelection(projectRefId);
}

void CViewClientsProjectsSideBar::ClearPendingSelection() { m_tree->ClearPendingSelection(); }

bool CViewClientsProjectsSideBar::CanEditOrDelete() const { return m_tree->SelectedValue() != 0; }

void CViewClientsProjectsSideBar::OnEdit() {
    QTreeWidgetItem* node = m_tree->SelectedNode();
    const int id = CTreeCtrlEx::NodeValue(node);
    if (!node || id == 0)
        return;
    if (CTreeCtrlEx::NodeLevel(node) == 0) {
        CClient client;
        client.set_ID(id);
        if (!client.Load())
            return;
        m_tree->ClearPendingSelection();
        if (dialogs::EditClient(client))
            Fill();
        return;
    }
    CProject project;
    project.set_ID(id);
    if (!project.Load())
        return;
    m_tree->SetPendingSelection(project.get_RefID());
    if (dialogs::EditProject(project))
        Fill();
}

void CViewClientsProjectsSideBar::OnDelete() {
    QTreeWidgetItem* node = m_tree->SelectedNode();
    const int id = CTreeCtrlEx::NodeValue(node);
    if (!node || id == 0)
        return;
    if (CTreeCtrlEx::NodeLevel(node) == 0) {
        CClient client;
        client.set_ID(id);
        if (!client.Load())
            return;
        m_tree->ClearPendingSelection();
        DeleteAndRefresh(client);
        return;
    }
    CProject project;
    project.set_ID(id);
    if (!project.Load())
        return;
    m_tree->ClearPendingSelection();
    DeleteAndRefresh(project);
}

void CViewClientsProjectsSideBar::DeleteAndRefresh(CBaseObject& record) {
    const CWriteCheck check;
    const int deleted = record.Delete();
    // After a failed write (reported) the cascade may have gone part of the way; the tree and
    // the list show what the file holds.
    if (check.ReportIfFailed() || deleted)
        emit refreshAllRequested();
}
