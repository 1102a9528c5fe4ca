#include "desktop/DialogBridge.h"

#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/dialogs/EditClient.h"
#include "desktop/dialogs/EditFilter.h"
#include "desktop/dialogs/EditOptions.h"
#include "desktop/dialogs/EditProject.h"
#include "desktop/dialogs/EditProjectItem.h"
#include "desktop/dialogs/ManageCategories.h"
#include "desktop/dialogs/SelectDateRange.h"
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

bool EditFilter(CProjectItemFilter& filter)
{
    return ::EditFilter(&filter);
}

int SelectDateRange(COleDateTime& start, COleDateTime& end)
{
    return ::SelectDateRange(start, end);
}

int EditOptions()
{
    return ::EditOptions();
}

void ExportData(const CProjectItemFilter& filter)
{
    const CQuillmarApp* app = GetQuillmarApp();
    ::ExportData(filter, app ? app->GetMainFrame() : nullptr);
}

}   // namespace dialogs
