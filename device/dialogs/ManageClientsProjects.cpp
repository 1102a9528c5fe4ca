#include "device/dialogs/ManageClientsProjects.h"

#include <QApplication>

#include "device/dialogs/DlgDeviceClientsProjects.h"

int ManageClientsProjects() {
    CDlgDeviceClientsProjects dialog(QApplication::activeWindow());
    dialog.DoModal();
    return 0;
}
