#pragma once
// The program's own tree for the clients and projects side bar: clients at the top level
// with their projects below, plus a node gathering the projects without a client. Each
// node's value is its record's ID (0 for the no-client node); a node's level tells whether
// the ID is a client's (0) or a project's (1).
#include <functional>
#include <optional>

#include <QIcon>
#include <QTreeWidget>

#include "platform/CString.h"

class CObArray;
class Library;

class CTreeCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeCtrlEx(QWidget* parent = nullptr);

    // Rebuilds the tree from the data store. Clients without projects are left out when
    // `hideClientsWithNoProjects` is set; the pending selection is selected when found.
    void Fill(bool hideClientsWithNoProjects, const Library* resLibrary);

    void SetPendingSelection(const CString& projectRefId) { m_pendingSelection = projectRefId; }
    void ClearPendingSelection() { m_pendingSelection.reset(); }
    const std::optional<CString>& PendingSelection() const { return m_pendingSelection; }

    static int NodeValue(const QTreeWidgetItem* node);
    static int NodeLevel(const QTreeWidgetItem* node);
    QTreeWidgetItem* SelectedNode() const;
    // The value of the selected node; 0 when none is selected.
    int SelectedValue() const;
    QTreeWidgetItem* FindNode(int level, int value) const;

    bool m_bContextMenu = true;
    int m_nContextMenu = 0;

signals:
    // The user chose Edit (157) or Delete (158) from the context menu, or pressed Enter or Del.
    void editRequested();
    void deleteRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* AddSorted(QTreeWidgetItem* parent, const QString& text, int image, int value);
    // Adds below `node` the projects whose client reference `belongs` accepts.
    void AddProjectsOf(QTreeWidgetItem* node, const CObArray& projects,
                       const std::function<bool(const CString& clientRef)>& belongs);
    bool IsOnLabelOrIcon(QTreeWidgetItem* node, const QPoint& pos) const;
    void ShowContextMenu(const QPoint& globalPos);

    QIcon m_images[2];
    bool m_bImagesMade = false;
    std::optional<CString> m_pendingSelection;
    QTreeWidgetItem* m_pRightClicked = nullptr;
};
