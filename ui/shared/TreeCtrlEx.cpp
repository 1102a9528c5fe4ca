#include "ui/shared/TreeCtrlEx.h"

#include <memory>
#include <set>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/ObArray.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/Icons.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/ResStrings.h"

namespace {

constexpr int kValueRole = Qt::UserRole + 1;
constexpr int kImageClient = 0;
constexpr int kImageProject = 1;

}   // namespace

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);   // hot tracking
    setDragEnabled(false);
    setIconSize(QSize(16, 16));
    setSortingEnabled(false);
}

int CTreeCtrlEx::NodeValue(const QTreeWidgetItem* node) { return node ? node->data(0, kValueRole).toInt() : 0; }

int CTreeCtrlEx::NodeLevel(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* parent = node ? node->parent() : nullptr; parent; parent = parent->parent())
        ++level;
    return level;
}

QTreeWidgetItem* CTreeCtrlEx::SelectedNode() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int CTreeCtrlEx::SelectedValue() const { return NodeValue(SelectedNode()); }

QTreeWidgetItem* CTreeCtrlEx::FindNode(int level, int value) const {
    for (int top = 0; top < topLevelItemCount(); ++top) {
        QTreeWidgetItem* node = topLevelItem(top);
        if (level == 0 && NodeValue(node) == value)
            return node;
        for (int child = 0; level == 1 && child < node->childCount(); ++child) {
            if (NodeValue(node->child(child)) == value)
                return node->child(child);
        }
    }
    return nullptr;
}

QTreeWidgetItem* CTreeCtrlEx::AddSorted(QTreeWidgetItem* parent, const QString& text, int image, int value) {
    auto* node = new QTreeWidgetItem(QStringList(text));
    node->setIcon(0, m_images[image]);
    node->setData(0, kValueRole, value);
    node->setToolTip(0, text);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int position = count;
    for (int index = 0; index < count; ++index) {
        const QTreeWidgetItem* sibling = parent ? parent->child(index) : topLevelItem(index);
        if (QString::compare(text, sibling->text(0), Qt::CaseInsensitive) < 0) {
            position = index;
            break;
        }
    }
    if (parent)
        parent->insertChild(position, node);
    else
        insertTopLevelItem(position, node);
    return node;
}

void CTreeCtrlEx::AddProjectsOf(QTreeWidgetItem* node, const CObArray& projects,
                                const std::function<bool(const CString& clientRef)>& belongs) {
    for (int index = 0; index < projects.GetSize(); ++index) {
        auto* project = dynamic_cast<CProject*>(projects.GetAt(index));
        if (!project || !belongs(project->get_ClientRef()))
            continue;
        QTreeWidgetItem* child =
            AddSorted(node, qtconv::ToQString(project->get_Description()), kImageProject, project->get_ID());
        if (m_pendingSelection && project->get_RefID() == *m_pendingSelection) {
            setCurrentItem(child);
            child->setSelected(true);
        }
    }
}

void CTreeCtrlEx::Fill(bool hideClientsWithNoProjects, const Library* resLibrary) {
    if (!m_bImagesMade) {
        m_images[kImageClient] = ResLibraryIcon(resLibrary, 12);
        m_images[kImageProject] = ResLibraryIcon(resLibrary, 13);
        m_bImagesMade = true;
    }
    setUpdatesEnabled(false);
    m_pRightClicked = nullptr;
    clear();

    CDataHelper* store = GetCurrDataHelper();
    // The lists own their records; releasing a list releases them all.
    std::unique_ptr<CObArray> clients(store ? store->GetObjectList(u"client") : new CObArray);
    std::unique_ptr<CObArray> projects(store ? store->GetObjectList(u"project") : new CObArray);

    std::vector<QTreeWidgetItem*> topNodes;
    QTreeWidgetItem* noClient =
        new QTreeWidgetItem(QStringList(qtconv::ToQString(GetResString(res::NoClientNode, 1))));
    noClient->setIcon(0, m_images[kImageClient]);
    noClient->setData(0, kValueRole, 0);
    addTopLevelItem(noClient);
    // Projects kept when their client was deleted (here or on the other side) go with those
    // that never had one, so they can still be found, edited and picked.
    std::set<CString> clientRefs;
    for (int index = 0; index < clients->GetSize(); ++index)
        if (auto* client = dynamic_cast<CClient*>(clients->GetAt(index)))
            clientRefs.insert(client->get_RefID());
    AddProjectsOf(noClient, *projects, [&](const CString& ref) { return ref.IsEmpty() || !clientRefs.count(ref); });
    topNodes.push_back(noClient);

    for (int index = 0; index < clients->GetSize(); ++index) {
        auto* client = dynamic_cast<CClient*>(clients->GetAt(index));
        if (!client)
            continue;
        QTreeWidgetItem* node =
            AddSorted(nullptr, qtconv::ToQString(client->get_Description()), kImageClient, client->get_ID());
        const CString clientRef = client->get_RefID();
        AddProjectsOf(node, *projects, [&](const CString& ref) { return !ref.IsEmpty() && ref == clientRef; });
        topNodes.push_back(node);
    }
    for (QTreeWidgetItem* node : topNodes) {
        if (node->childCount() > 0)
            node->setExpanded(true);
        else if (hideClientsWithNoProjects)
            delete node;
    }
    if (QTreeWidgetItem* selected = SelectedNode())
        scrollToItem(selected);
    setUpdatesEnabled(true);
    viewport()->update();
}

bool CTreeCtrlEx::IsOnLabelOrIcon(QTreeWidgetItem* node, const QPoint& pos) const {
    const QRect rect = visualItemRect(node);
    const int labelWidth = iconSize().width() + 6 + fontMetrics().horizontalAdvance(node->text(0)) + 6;
    return rect.contains(pos) && pos.x() <= rect.left() + labelWidth;
}

void CTreeCtrlEx::mousePressEvent(QMouseEvent* event) {
    // A right click does not move the selection; the menu acts on the clicked node later.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CTreeCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_bContextMenu)
        return;
    if (event->reason() == QContextMenuEvent::Mouse) {
        QTreeWidgetItem* node = itemAt(event->pos());
        if (!node || !IsOnLabelOrIcon(node, event->pos()))
            return;
        // The node under the pointer is selected first, so the menu's greying and its
        // commands both follow the node the user clicked.
        setCurrentItem(node);
        node->setSelected(true);
        m_pRightClicked = node;
        ShowContextMenu(event->globalPos());
        return;
    }
    QTreeWidgetItem* selected = SelectedNode();
    if (!selected)
        return;
    const QRect rect = visualItemRect(selected);
    const QRect textRect(rect.left() + iconSize().width() + 4, rect.top(), rect.width(), rect.height());
    ShowContextMenu(viewport()->mapToGlobal(textRect.topLeft() + QPoint(15, 8)));
}

void CTreeCtrlEx::ShowContextMenu(const QPoint& globalPos) {
    QMenu menu(window());
    menu.setObjectName(QStringLiteral("sideBarContextMenu"));
    QAction* edit = menu.addAction(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("contextEdit"));
    menu.addSeparator();
    QAction* remove = menu.addAction(QStringLiteral("&Delete"));
    remove->setObjectName(QStringLiteral("contextDelete"));
    const bool enabled = SelectedValue() != 0;
    edit->setEnabled(enabled);
    remove->setEnabled(enabled);

    // The menu opens with Edit highlighted, so Enter chooses it at once.
    if (enabled)
        menu.setActiveAction(edit);
    QAction* chosen = RunPopupMenu(menu, globalPos);
    QTreeWidgetItem* clicked = m_pRightClicked;
    m_pRightClicked = nullptr;
    if (!chosen || !chosen->isEnabled())
        return;
    if (clicked) {
        setCurrentItem(clicked);
        clicked->setSelected(true);
    }
    if (chosen == edit)
        emit editRequested();
    else if (chosen == remove)
        emit deleteRequested();
}

void CTreeCtrlEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        return;
    }
    // Enter edits the selected node where the tree has its own menu (in a dialog it presses OK).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && m_bContextMenu && SelectedValue() != 0) {
        emit editRequested();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
