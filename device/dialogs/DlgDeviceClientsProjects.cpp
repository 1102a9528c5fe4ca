#include "device/dialogs/DlgDeviceClientsProjects.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/EntryMatcher.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "device/DeviceDialogLook.h"
#include "device/QuillmarApp.h"
#include "device/TapAndHold.h"
#include "platform/MessageBox.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditProject.h"

namespace {
constexpr int kClientLevel = 0;
constexpr int kProjectLevel = 1;
}   // namespace

CDlgDeviceClientsProjects::CDlgDeviceClientsProjects(QWidget* parent)
    : CDialog(u"Manage Clients and Projects", parent) {
    setObjectName(QStringLiteral("manageClientsProjectsDialog"));
}

void CDlgDeviceClientsProjects::CreateControls() {
    m_tree = new CTreeCtrlEx(this);
    m_tree->setObjectName(QStringLiteral("clientsProjectsTree"));
    // Tap-and-hold takes the place of the side bar's context menu.
    m_tree->m_bContextMenu = false;
    m_tapAndHold = new CTapAndHold(m_tree->viewport());
    connect(m_tapAndHold, &CTapAndHold::held, this, [this](const QPoint& pos) { OnHoldAt(pos); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnDoubleTap(); });
    m_hint = new QLabel(tr("Tap and hold an item to edit or delete it."), this);
    m_hint->setObjectName(QStringLiteral("hintLabel"));
    m_hint->setWordWrap(true);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findBox"));
    m_find->setPlaceholderText(tr("Find a client or project"));
    m_find->setClearButtonEnabled(true);
    connect(m_find, &QLineEdit::textChanged, this, &CDlgDeviceClientsProjects::ShowOnlyHolding);
    m_tree->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_find);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_hint);
    layout->addLayout(AddOkCancelButtons());
    FitToDeviceScreen(this);
}

bool CDlgDeviceClientsProjects::OnInitDialog() {
    FillTree(m_pProject ? m_pProject->get_RefID() : CString());
    return CDialog::OnInitDialog();
}

void CDlgDeviceClientsProjects::FillTree(const CString& projectRefId) {
    if (projectRefId.IsEmpty())
        m_tree->ClearPendingSelection();
    else
        m_tree->SetPendingSelection(projectRefId);
    const CQuillmarApp* app = GetQuillmarApp();
    m_tree->Fill(app && app->m_bHideClientsWithNoProjects, app ? app->GetResourceLibrary() : nullptr);
    if (m_find && !m_find->text().isEmpty())
        ShowOnlyHolding(m_find->text());
}

bool CDlgDeviceClientsProjects::eventFilter(QObject* watched, QEvent* event) {
    // The tree's own type-ahead would only jump between names that start with the key.
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool printable = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (printable && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_find->setFocus(Qt::OtherFocusReason);
            m_find->insert(key->text());
            return true;
        }
    }
    return CDialog::eventFilter(watched, event);
}

void CDlgDeviceClientsProjects::ShowOnlyHolding(const QString& typed) {
    const std::u16string folded = CEntryMatcher::Fold(typed.trimmed().toStdU16String());
    auto holds = [&folded](const QString& text) {
        return folded.empty() || CEntryMatcher::ContainsFolded(text.toStdU16String(), folded);
    };
    QTreeWidgetItem* first = nullptr;
    for (int index = 0; index < m_tree->topLevelItemCount(); ++index) {
        QTreeWidgetItem* client = m_tree->topLevelItem(index);
        const bool clientHolds = holds(client->text(0));
        bool anyProject = false;
        for (int child = 0; child < client->childCount(); ++child) {
            QTreeWidgetItem* project = client->child(child);
            // "Client: Project" as the other project boxes name it, so both parts count.
            const bool shown = clientHolds || holds(client->text(0) + QStringLiteral(": ") + project->text(0));
            project->setHidden(!shown);
            anyProject = anyProject || shown;
            if (shown && first == nullptr)
                first = project;
        }
        client->setHidden(!clientHolds && !anyProject);
        if (!folded.empty() && anyProject)
            client->setExpanded(true);
    }
    if (folded.empty())
        return;
    m_tree->clearSelection();
    if (first) {
        m_tree->setCurrentItem(first);
        first->setSelected(true);
        m_tree->scrollToItem(first);
    }
}

void CDlgDeviceClientsProjects::OnHoldAt(const QPoint& viewportPos) {
    QTreeWidgetItem* node = m_tree->itemAt(viewportPos);
    if (node == nullptr)
        return;
    m_tree->setCurrentItem(node);
    node->setSelected(true);
    ShowItemMenu(m_tree->viewport()->mapToGlobal(viewportPos));
}

void CDlgDeviceClientsProjects::ShowItemMenu(const QPoint& globalPos) {
    if (m_tree->SelectedNode() == nullptr)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("itemContextMenu"));
    QAction* edit = menu.addAction(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("contextEdit"));
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("contextDelete"));
    // The no-client node carries no record.
    const bool hasRecord = m_tree->SelectedValue() != 0;
    edit->setEnabled(hasRecord);
    remove->setEnabled(hasRecord);
    QAction* chosen = RunPopupMenu(menu, globalPos);
    if (chosen == nullptr || !chosen->isEnabled())
        return;
    if (chosen == edit)
        EditSelected();
    else if (chosen == remove)
        DeleteSelected();
}

bool CDlgDeviceClientsProjects::EditSelected() {
    const QTreeWidgetItem* node = m_tree->SelectedNode();
    const int id = CTreeCtrlEx::NodeValue(node);
    if (node == nullptr || id == 0)
        return false;
    if (CTreeCtrlEx::NodeLevel(node) == kClientLevel) {
        CClient client;
        client.set_ID(id);
        if (!client.Load() || !EditClient(&client))
            return false;
        FillTree(CString());
        if (QTreeWidgetItem* again = m_tree->FindNode(kClientLevel, id)) {
            m_tree->setCurrentItem(again);
            again->setSelected(true);
        }
        return true;
    }
    CProject project;
    project.set_ID(id);
    if (!project.Load() || !EditProject(&project))
        return false;
    FillTree(project.get_RefID());
    return true;
}

bool CDlgDeviceClientsProjects::DeleteSelected() {
    const QTreeWidgetItem* node = m_tree->SelectedNode();
    const int id = CTreeCtrlEx::NodeValue(node);
    if (node == nullptr || id == 0)
        return false;
    int deleted = 0;
    const CWriteCheck check;
    if (CTreeCtrlEx::NodeLevel(node) == kClientLevel) {
        CClient client;
        client.set_ID(id);
        deleted = client.Load() ? client.Delete() : 0;
    } else if (CTreeCtrlEx::NodeLevel(node) == kProjectLevel) {
        CProject project;
        project.set_ID(id);
        deleted = project.Load() ? project.Delete() : 0;
    }
    // After a failed write (reported) a cascade may have gone part of the way: the tree shows
    // what the file holds.
    const bool failed = check.ReportIfFailed();
    if (deleted || failed)
        FillTree(CString());
    return deleted != 0;
}

void CDlgDeviceClientsProjects::OnDoubleTap() {
    if (m_bSelectMode)
        OnOK();
    else
        EditSelected();
}

void CDlgDeviceClientsProjects::OnOK() {
    if (!m_bSelectMode) {
        EndDialogOK();
        return;
    }
    // Only a project can be picked; a client or the no-client node leaves the dialog open.
    const QTreeWidgetItem* node = m_tree->SelectedNode();
    if (node == nullptr || CTreeCtrlEx::NodeLevel(node) != kProjectLevel)
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
