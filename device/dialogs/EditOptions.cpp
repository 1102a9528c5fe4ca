// The device's Options sheet: Preferences and Custom Field Labels, without themes.
#include "desktop/dialogs/EditOptions.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "desktop/dialogs/DlgOptionsCustomFields.h"
#include "desktop/dialogs/DlgOptionsPrefs.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "platform/MessageBox.h"
#include "platform/qt/PropertySheetEx.h"

namespace {

void CopyIntoPages(const CQuillmarApp& app, CDlgOptionsPrefs& prefs, CDlgOptionsCustomFields& labels)
{
    prefs.m_nFirstDayOfWeek = app.m_nFirstDayOfWeek;
    prefs.m_bHideClientsWithNoProjects = app.m_bHideClientsWithNoProjects;
    prefs.m_fMileageRate = app.m_fMileageRate;
    prefs.m_bColorAltRows = app.m_bColorAltRows;
    prefs.m_bGridlines = app.m_bGridlines;
    prefs.m_bStrikeOutPaidItems = app.m_bStrikeOutPaidItems;
    labels.m_strCustomLabel1 = app.m_strCustomLabel1;
    labels.m_strCustomLabel2 = app.m_strCustomLabel2;
    labels.m_strCustomLabel3 = app.m_strCustomLabel3;
}

void CopyIntoSettings(const CDlgOptionsPrefs& prefs, const CDlgOptionsCustomFields& labels, CQuillmarApp& app)
{
    app.m_nFirstDayOfWeek = prefs.m_nFirstDayOfWeek;
    app.m_bHideClientsWithNoProjects = prefs.m_bHideClientsWithNoProjects;
    app.m_fMileageRate = prefs.m_fMileageRate;
    app.m_bColorAltRows = prefs.m_bColorAltRows;
    app.m_bGridlines = prefs.m_bGridlines;
    app.m_bStrikeOutPaidItems = prefs.m_bStrikeOutPaidItems;
    app.m_strCustomLabel1 = labels.m_strCustomLabel1;
    app.m_strCustomLabel2 = labels.m_strCustomLabel2;
    app.m_strCustomLabel3 = labels.m_strCustomLabel3;
}

}   // namespace

int EditOptions()
{
    CQuillmarApp* app = GetQuillmarApp();
    if (app == nullptr)
        return 0;
    CDlgOptionsPrefs prefs;
    CDlgOptionsCustomFields labels;
    CopyIntoPages(*app, prefs, labels);

    CPropertySheetEx sheet(GetResString(47, 1), QApplication::activeWindow());
    sheet.AddPage(&prefs);
    sheet.AddPage(&labels);
    if (sheet.DoModal() != IDOK)
        return 0;

    CopyIntoSettings(prefs, labels, *app);
    app->SaveOptionsSettings();
    // Recomputing also refreshes the list (no entry selected) and keeps a Week period's first day
    // in step with a changed "FirstDayOfWeek".
    if (CMainFrame* frame = app->GetMainFrame())
        frame->GetView()->RecomputePeriod();
    return 1;
}
