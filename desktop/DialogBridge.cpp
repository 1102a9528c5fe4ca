#include "desktop/DialogBridge.h"

#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/export/DlgExport.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditOptions.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/dialogs/SelectDateRange.h"

namespace dialogs {

int EditClient(CClient& client) { return ::EditClient(&client); }

int EditProject(CProject& project) { return ::EditProject(&project); }

int EditProjectItem(CProjectItem& entry) { return ::EditProjectItem(&entry); }

int ManageCategories() { return ::ManageCategories(nullptr); }

bool EditFilter(CProjectItemFilter& filter) { return ::EditFilter(&filter); }

int SelectDateRange(COleDateTime& start, COleDateTime& end) { return ::SelectDateRange(start, end); }

int EditOptions() { return ::EditOptions(); }

void ExportData(const CProjectItemFilter& filter) {
    CQuillmarApp* app = GetQuillmarApp();
    if (app == nullptr) {
        ::ExportData(filter);
        return;
    }
    ::ExportData(filter, app->GetMainFrame(), app->GetExcelFormats(),
                 [app](const ExcelCellFormats& formats) { app->KeepExcelFormats(formats); });
}

}   // namespace dialogs
