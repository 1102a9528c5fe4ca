#include "device/DeviceHost.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/Project.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgDeviceClientsProjects.h"
#include "device/dialogs/DlgOptionsKeyboard.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/OptionsPages.h"

const CSharedSettings& CDeviceHost::Settings() const { return m_app; }

int CDeviceHost::EditOptions() {
    CDlgOptionsPrefs prefs;
    CDlgOptionsCustomFields labels;
    CDlgOptionsKeyboard keyboard;
    // No theme on the device: only the shared settings go to and fro, and the keyboard's.
    CopySharedSettingsIntoPages(m_app, prefs, labels);
    keyboard.m_bSoftKeyboard = m_app.m_bSoftKeyboard;

    CPropertySheetEx sheet(GetResString(47, 1), QApplication::activeWindow());
    sheet.AddPage(&prefs);
    sheet.AddPage(&labels);
    sheet.AddPage(&keyboard);
    if (sheet.DoModal() != IDOK)
        return 0;

    CopySharedSettingsFromPages(prefs, labels, m_app);
    m_app.m_bSoftKeyboard = keyboard.m_bSoftKeyboard != 0;
    m_app.SaveOptionsSettings();
    // Recomputing also refreshes the list (no entry selected) and keeps a Week period's first day
    // in step with a changed "FirstDayOfWeek".
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->GetView()->RecomputePeriod();
    return 1;
}

int CDeviceHost::SelectProject(CProject& project) {
    CDlgDeviceClientsProjects dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = true;
    dialog.m_pProject = &project;
    if (dialog.DoModal() != IDOK)
        return 0;
    return project.Load();
}
