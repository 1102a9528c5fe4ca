#include "desktop/dialogs/EditOptions.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "desktop/QuillmarApp.h"
#include "desktop/dialogs/OptionsPages.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"

namespace {
void CopyIntoPages(const CQuillmarApp& app, CDlgOptionsPrefs& prefs, CDlgOptionsCustomFields& labels) {
    CopySharedSettingsIntoPages(app, prefs, labels);
    prefs.m_nTheme = app.m_nTheme;
}

void CopyIntoSettings(const CDlgOptionsPrefs& prefs, const CDlgOptionsCustomFields& labels, CQuillmarApp& app) {
    CopySharedSettingsFromPages(prefs, labels, app);
    app.m_nTheme = prefs.m_nTheme;
}
}  // namespace

int EditOptions() {
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
    // Writes every setting (theme first, applied at once) and reloads the side bar and view.
    app->ApplyChangedSettings();
    return 1;
}
