#pragma once
// Manage Clients and Projects: the clients and projects tree with OK and Cancel. In select
// mode OK (or a double click) picks the selected project into the caller's CProject.
#include "ui/qt/Dialog.h"

class CProject;
class CTreeCtrlEx;
class Library;

class CDlgManageClientsProjects : public CDialog {
public:
    explicit CDlgManageClientsProjects(QWidget* parent = nullptr);

    bool m_bSelectMode = false;
    // Tells the tree which project to highlight (its RefID) and receives the chosen ID.
    CProject* m_pProject = nullptr;
    // The program's settings and resource library the tree is filled with.
    bool m_bHideClientsWithNoProjects = false;
    const Library* m_pResLibrary = nullptr;

    CTreeCtrlEx* Tree() const { return m_tree; }

    void OnOK() override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;

private:
    CTreeCtrlEx* m_tree = nullptr;
};
