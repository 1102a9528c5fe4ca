#include "desktop/DesktopHost.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/Project.h"
#include "desktop/QuillmarApp.h"
#include "desktop/dialogs/DlgManageClientsProjects.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/OptionsPages.h"

namespace {
void CopyIntoPages(const CQuillmarApp& app, CDlgOptionsPrefs& prefs, CDlgOptionsCustomFields& labels) {
    CopySharedSettingsIntoPages(app, prefs, labels);
    prefs.m_nTheme = app.m_nTheme;
}

void CopyIntoSettings(const CDlgOptionsPrefs& prefs, const CDlgOptionsCustomFields& labels, CQuillmarApp& app) {
    CopySharedSettingsFromPages(prefs, labels, app);
    app.m_nTheme = prefs.m_nTheme;
}
}   // namespace

const CSharedSettings& CDesktopHost::Settings() const { return m_app; }

int CDesktopHost::EditOptions() {
    CDlgOptionsPrefs prefs;
    CDlgOptionsCustomFields labels;
    CopyIntoPages(m_app, prefs, labels);

    CPropertySheetEx sheet(GetResString(47, 1), QApplication::activeWindow());
    sheet.AddPage(&prefs);
    sheet.AddPage(&labels);
    if (sheet.DoModal() != IDOK)
        return 0;

    CopyIntoSettings(prefs, labels, m_app);
    // Writes every setting (theme first, applied at once) and reloads the side bar and view.
    m_app.ApplyChangedSettings();
    return 1;
}

int CDesktopHost::SelectProject(CProject& project) {
    CDlgManageClientsProjects dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = true;
    dialog.m_pProject = &project;
    dialog.m_bHideClientsWithNoProjects = m_app.m_bHideClientsWithNoProjects != 0;
    dialog.m_pResLibrary = m_app.GetResourceLibrary();
    if (dialog.DoModal() != IDOK)
        return 0;
    return project.Load();
}
