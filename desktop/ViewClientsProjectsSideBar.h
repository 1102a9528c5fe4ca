#pragma once
// The view inside the Clients and Projects bar: the clients and projects tree, from which the
// user edits and deletes clients and projects. Selecting a node changes nothing elsewhere.
#include <QWidget>

#include "platform/CString.h"

class CBaseObject;
class CTreeCtrlEx;

class CViewClientsProjectsSideBar : public QWidget {
    Q_OBJECT
public:
    explicit CViewClientsProjectsSideBar(QWidget* parent = nullptr);

    void OnInitialUpdate(const QFont& uiFont);
    // Rebuilds the tree with the current settings; tells `filled` so other lists of clients and
    // projects follow.
    void Fill();
    void SetPendingSelection(const CString& projectRefId);
    void ClearPendingSelection();
    CTreeCtrlEx* GetTreeCtrl() const { return m_tree; }

    // Edit (157) and Delete (158) on the selected node; enabled when it has a record.
    bool CanEditOrDelete() const;
    void OnEdit();
    void OnDelete();

signals:
    // A deletion changed more than the tree: the frame refreshes everything.
    void refreshAllRequested();
    // The tree was rebuilt: clients or projects may have been added, renamed or removed.
    void filled();

private:
    // Delete (which asks first) and, when something changed or a write failed, refresh all.
    void DeleteAndRefresh(CBaseObject& record);

    CTreeCtrlEx* m_tree;
};
