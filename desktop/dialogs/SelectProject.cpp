#include "desktop/dialogs/SelectProject.h"

#include <QApplication>

#include "biz/Project.h"
#include "desktop/dialogs/DlgManageClientsProjects.h"
#include "platform/MessageBox.h"

int SelectProject(CProject* pProject) {
    if (pProject == nullptr)
        return 0;
    CDlgManageClientsProjects dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = true;
    dialog.m_pProject = pProject;
    if (dialog.DoModal() != IDOK)
        return 0;
    return pProject->Load();
}
