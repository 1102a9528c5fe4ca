// The device's Options sheet: Preferences and Custom Field Labels, without themes.
#include "desktop/dialogs/EditOptions.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "desktop/dialogs/OptionsPages.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"

int EditOptions()
{
    CQuillmarApp* app = GetQuillmarApp();
    if (app == nullptr)
        return 0;
    CDlgOptionsPrefs prefs;
    CDlgOptionsCustomFields labels;
    // No theme on the device: only the shared settings go to and fro.
    CopySharedSettingsIntoPages(*app, prefs, labels);

    CPropertySheetEx sheet(GetResString(47, 1), QApplication::activeWindow());
    sheet.AddPage(&prefs);
    sheet.AddPage(&labels);
    if (sheet.DoModal() != IDOK)
        return 0;

    CopySharedSettingsFromPages(prefs, labels, *app);
    app->SaveOptionsSettings();
    // Recomputing also refreshes the list (no entry selected) and keeps a Week period's first day
    // in step with a changed "FirstDayOfWeek".
    if (CMainFrame* frame = app->GetMainFrame())
        frame->GetView()->RecomputePeriod();
    return 1;
}
