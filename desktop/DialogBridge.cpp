#include "desktop/DialogBridge.h"

#include "desktop/dialogs/EditClient.h"
#include "desktop/dialogs/EditProject.h"
#include "desktop/dialogs/EditProjectItem.h"
#include "desktop/dialogs/ManageCategories.h"
#include "desktop/export/DlgExport.h"

namespace dialogs {

int EditClient(CClient& client)
{
    return ::EditClient(&client);
}

int EditProject(CProject& project)
{
    return ::EditProject(&project);
}

int EditProjectItem(CProjectItem& entry)
{
    return ::EditProjectItem(&entry);
}

int ManageCategories()
{
    return ::ManageCategories(nullptr);
}

bool EditFilter(CProjectItemFilter&)
{
    return false;
}

int SelectDateRange(COleDateTime&, COleDateTime&)
{
    return 0;
}

int EditOptions()
{
    return 0;
}

void ExportData(const CProjectItemFilter& filter)
{
    ::ExportData(filter);
}

}   // namespace dialogs
