// The device's project picker: its Manage Clients and Projects dialog in select mode.
#include "desktop/dialogs/SelectProject.h"

#include <QApplication>

#include "biz/Project.h"
#include "device/dialogs/DlgDeviceClientsProjects.h"
#include "platform/MessageBox.h"

int SelectProject(CProject* pProject)
{
    if (pProject == nullptr)
        return 0;
    CDlgDeviceClientsProjects dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = true;
    dialog.m_pProject = pProject;
    if (dialog.DoModal() != IDOK)
        return 0;
    return pProject->Load();
}
