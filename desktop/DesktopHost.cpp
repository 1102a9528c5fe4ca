#include "desktop/DesktopHost.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/Project.h"
#include "desktop/FrameTimer.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/TimerOptionsPage.h"
#include "desktop/dialogs/DlgManageClientsProjects.h"
#include "desktop/invoices/InvoiceOptionsPage.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/TimerControl.h"
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

// The timer's options live with the running timer when there is a window, else in the settings.
CTimerControl::Options TimerOptionsOf(const CQuillmarApp& app) {
    const CMainFrame* frame = app.GetMainFrame();
    return frame && frame->GetTimer() ? frame->GetTimer()->Control().GetOptions() : CTimerControl::LoadOptions();
}

void KeepTimerOptions(const CQuillmarApp& app, const CTimerOptionsPage& page) {
    const CTimerControl::Options options{page.m_nIdleHours * 60, page.m_bEditAfterStop != 0};
    const CMainFrame* frame = app.GetMainFrame();
    const bool kept = frame && frame->GetTimer() ? frame->GetTimer()->Control().SetOptions(options)
                                                 : CTimerControl::SaveOptions(options);
    if (!kept)
        AfxMessageBox(u"The timer options could not be saved; the previous ones stay in effect.", MB_ICONEXCLAMATION);
}
}   // namespace

const CSharedSettings& CDesktopHost::Settings() const { return m_app; }

int CDesktopHost::EditOptions() {
    CDlgOptionsPrefs prefs;
    CDlgOptionsCustomFields labels;
    CopyIntoPages(m_app, prefs, labels);
    CTimerOptionsPage timer;
    const CTimerControl::Options options = TimerOptionsOf(m_app);
    timer.m_nIdleHours = (options.idleThresholdMinutes + 59) / 60;
    timer.m_bEditAfterStop = options.editAfterStop ? 1 : 0;

    CPropertySheetEx sheet(GetResString(47, 1), QApplication::activeWindow());
    sheet.AddPage(&prefs);
    sheet.AddPage(&labels);
    sheet.AddPage(&timer);
    CInvoiceOptionsPage invoice;
    invoice.m_settings = CInvoiceSettings::Load();
    sheet.AddPage(&invoice);
    if (sheet.DoModal() != IDOK)
        return 0;
    KeepTimerOptions(m_app, timer);
    if (!invoice.m_settings.Save())
        AfxMessageBox(u"The invoice options could not be saved; the previous ones stay in effect.",
                      MB_ICONEXCLAMATION);

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
