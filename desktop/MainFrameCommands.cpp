// The main frame's command routing, enabling rules and command handlers.
#include "desktop/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDockWidget>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "desktop/AboutDlg.h"
#include "desktop/CommandIds.h"
#include "desktop/DialogBridge.h"
#include "desktop/DlgPairDevice.h"
#include "desktop/DlgSyncDirection.h"
#include "desktop/FrameTimer.h"
#include "desktop/ManualPages.h"
#include "desktop/QuillmarApp.h"
#include "desktop/SyncProgressDlg.h"
#include "desktop/TimerToolBar.h"
#include "desktop/ToolbarDatePicker.h"
#include "desktop/Version.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/ViewSummary.h"
#include "desktop/invoices/DlgCreateInvoice.h"
#include "desktop/invoices/DlgInvoices.h"
#include "desktop/reports/ReportWindow.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/WriteCheck.h"

namespace {
constexpr int kStatusMessageMs = 15000;
}   // namespace

void CMainFrame::ConnectCommands() {
    for (const auto& [id, action] : m_actions) {
        const unsigned command = id;
        connect(action, &QAction::triggered, this, [this, command] { ExecuteCommand(command); });
    }
    connect(m_pStandardBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pCustomViewsBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pClientsProjectsBar, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pQuickSummaryBar, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::ExecuteCommand(unsigned id) {
    UpdateCommandUI();
    QAction* action = CommandAction(id);
    if (!action || !action->isEnabled())
        return;
    CViewByDate* entries = m_pEntriesView;
    const bool fromEntries = m_activePane == Pane::Entries;
    switch (id) {
    case cmd::NewClient: OnNewClient(); break;
    case cmd::NewProject: OnNewProject(); break;
    case cmd::NewMileageEntry: OnNewEntry(CProjectItem::ItemType_Mileage); break;
    case cmd::NewTimeEntry: OnNewEntry(CProjectItem::ItemType_Time); break;
    case cmd::NewExpenseEntry: OnNewEntry(CProjectItem::ItemType_Expense); break;
    case cmd::SyncDevice: RunSyncFlow(false); break;
    case cmd::SyncTroubleshooting: RunSyncFlow(true); break;
    case cmd::PairDevice: OnPairDevice(); break;
    case cmd::ExportData:
        if (entries)
            dialogs::ExportData(entries->GetFilter());
        break;
    case cmd::FilePrint: OnPrint(); break;
    case cmd::ViewReports: OnReports(); break;
    case cmd::AppExit: close(); break;
    case cmd::EditProperties: OnProperties(); break;
    case cmd::MarkAsPaid: OnMarkAsPaid(); break;
    case cmd::MarkAsBilled:
        if (m_activePane == Pane::Entries && entries)
            entries->OnMarkAsBilled();
        break;
    case cmd::Find:
        if (entries)
            entries->OnFind();
        break;
    case cmd::EditDelete: OnDelete(); break;
    case cmd::ViewStandardToolbar: m_pStandardBar->setVisible(!m_pStandardBar->isVisibleTo(this)); break;
    case cmd::ViewCustomViewsToolbar: m_pCustomViewsBar->setVisible(!m_pCustomViewsBar->isVisibleTo(this)); break;
    case cmd::ViewMenuBar: menuBar()->setVisible(!menuBar()->isVisibleTo(this)); break;
    case cmd::ViewClientsProjects: m_pClientsProjectsBar->setVisible(!m_pClientsProjectsBar->isVisibleTo(this)); break;
    case cmd::ViewQuickSummary: m_pQuickSummaryBar->setVisible(!m_pQuickSummaryBar->isVisibleTo(this)); break;
    case cmd::PeriodDay:
        if (entries)
            entries->OnPeriodDay();
        break;
    case cmd::PeriodWeek:
        if (entries)
            entries->OnPeriodWeek();
        break;
    case cmd::PeriodMonth:
        if (entries)
            entries->OnPeriodMonth();
        break;
    case cmd::PeriodCustom:
        if (entries)
            entries->OnCustomDates();
        break;
    case cmd::FilterData:
        if (entries)
            entries->OnFilterData();
        break;
    case cmd::ViewRefresh: RefreshAll(); break;
    case cmd::ResetLayout: m_app.OnViewResetLayout(); break;
    case cmd::ManageCategories:
        dialogs::ManageCategories();
        m_pTimer->ToolBar()->FillChoices();
        break;
    case cmd::CreateInvoice: OnCreateInvoice(); break;
    case cmd::Invoices: OnInvoices(); break;
    case cmd::ToolsOptions: m_app.OnToolsOptions(); break;
    case cmd::Today:
        if (entries)
            entries->OnToday();
        break;
    case cmd::PreviousPeriod:
        if (entries)
            entries->OnPrevious();
        break;
    case cmd::NextPeriod:
        if (entries)
            entries->OnNext();
        break;
    case cmd::HelpWeb:
    case cmd::HelpFaq:
    case cmd::HelpForum:
    case cmd::HelpSupport:
    case cmd::HelpUpgrade: OnHelpLink(id); break;
    case cmd::AppAbout: OnAbout(); break;
    default: break;
    }
    if (fromEntries)
        KeepEntriesFocus();
    UpdateCommandUI();
}

void CMainFrame::KeepEntriesFocus() {
    // A dialog, or a control disabled while it had the focus (the date picker in the Custom
    // period), must not leave the focus on another pane: the entry commands would grey out.
    QWidget* focus = QApplication::focusWidget();
    const bool elsewhere = !focus || focus->window() != this ||
                           (m_pSideBarView && m_pSideBarView->isAncestorOf(focus)) ||
                           (m_pSummaryView && m_pSummaryView->isAncestorOf(focus));
    if (!m_pEntriesView || !elsewhere || !isVisible())
        return;
    m_pEntriesView->GetListCtrl()->setFocus(Qt::OtherFocusReason);
    m_activePane = Pane::Entries;
}

void CMainFrame::UpdateCommandUI() {
    if (m_actions.empty())
        return;
    const CViewByDate* entries = m_pEntriesView;
    const bool entriesActive = m_activePane == Pane::Entries && entries;
    const bool sideBarActive = m_activePane == Pane::SideBar && m_pSideBarView;
    const bool canEdit =
        (entriesActive && entries->CanEditOrDelete()) || (sideBarActive && m_pSideBarView->CanEditOrDelete());
    CommandAction(cmd::EditProperties)->setEnabled(canEdit);
    CommandAction(cmd::EditDelete)->setEnabled(canEdit);
    CommandAction(cmd::MarkAsPaid)->setEnabled(entriesActive && entries->CanMarkAsPaid());
    CommandAction(cmd::MarkAsBilled)->setEnabled(entriesActive && entries->CanMarkAsBilled());

    CommandAction(cmd::ViewStandardToolbar)->setChecked(m_pStandardBar->isVisibleTo(this));
    CommandAction(cmd::ViewCustomViewsToolbar)->setChecked(m_pCustomViewsBar->isVisibleTo(this));
    CommandAction(cmd::ViewMenuBar)->setChecked(menuBar()->isVisibleTo(this));
    CommandAction(cmd::ViewClientsProjects)->setChecked(m_pClientsProjectsBar->isVisibleTo(this));
    CommandAction(cmd::ViewQuickSummary)->setChecked(m_pQuickSummaryBar->isVisibleTo(this));

    const int period = entries ? entries->GetPeriodType() : -1;
    CommandAction(cmd::PeriodDay)->setChecked(period == CViewByDate::PeriodDay);
    CommandAction(cmd::PeriodWeek)->setChecked(period == CViewByDate::PeriodWeek);
    CommandAction(cmd::PeriodMonth)->setChecked(period == CViewByDate::PeriodMonth);
    CommandAction(cmd::PeriodCustom)->setChecked(period == CViewByDate::PeriodCustom);
    CommandAction(cmd::FilterData)->setChecked(entries && entries->IsFilterActive());

    const bool navigation = entries && entries->IsNavigationEnabled();
    for (unsigned id : {cmd::Today, cmd::PreviousPeriod, cmd::NextPeriod})
        CommandAction(id)->setEnabled(navigation);
    if (entries && entries->GetDatePicker())
        entries->GetDatePicker()->setEnabled(navigation);
}

void CMainFrame::OnNewClient() {
    CClient client;
    if (dialogs::EditClient(client) && m_pSideBarView)
        m_pSideBarView->Fill();
}

void CMainFrame::OnNewProject() {
    CProject project;
    if (!dialogs::EditProject(project) || !m_pSideBarView)
        return;
    m_pSideBarView->SetPendingSelection(project.get_RefID());
    m_pSideBarView->Fill();
}

void CMainFrame::OnNewEntry(int itemType) {
    CProjectItem entry;
    entry.set_ItemType(static_cast<CProjectItem::ItemType>(itemType));
    const bool saved = dialogs::EditProjectItem(entry);
    m_pTimer->ToolBar()->FillChoices();   // the editor may have added a category
    if (saved && m_pEntriesView)
        m_pEntriesView->Refresh(entry.get_ID());
}

CString CMainFrame::SideBarClientRef() const {
    const CTreeCtrlEx* tree = m_pSideBarView ? m_pSideBarView->GetTreeCtrl() : nullptr;
    const QTreeWidgetItem* node = tree ? tree->SelectedNode() : nullptr;
    CDataHelper* store = GetCurrDataHelper();
    if (!node || !store || CTreeCtrlEx::NodeValue(node) == 0)
        return CString();
    if (CTreeCtrlEx::NodeLevel(node) == 0)
        return store->ID_To_RefID(CTreeCtrlEx::NodeValue(node), u"client");
    CProject project;
    project.set_ID(CTreeCtrlEx::NodeValue(node));
    return project.Load() ? project.get_ClientRef() : CString();
}

void CMainFrame::OnCreateInvoice() {
    // The client chosen in the side bar (or the client of the project chosen) is the one meant.
    CDlgCreateInvoice dialog(this, SideBarClientRef());
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    // Issuing marked entries billed: the lists and the summary show it at once.
    RefreshAll();
    statusBar()->showMessage(dialog.IssuedMessage(), kStatusMessageMs);
}

void CMainFrame::OnInvoices() {
    CDlgInvoices dialog(this);
    RunModal(dialog);
    if (dialog.EntriesChanged())
        RefreshAll();
}

// With the report window open, Print prints the report; otherwise it offers the export.
void CMainFrame::OnPrint() {
    if (CReportWindow* report = GetReportWindow()) {
        report->raise();
        report->Print();
        return;
    }
    if (AfxMessageBox(StringTable::Get(ids::PrintAsk), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        ExecuteCommand(cmd::ExportData);
}

CReportWindow* CMainFrame::GetReportWindow() const {
    return m_pReportWindow && m_pReportWindow->isVisible() ? m_pReportWindow.data() : nullptr;
}

// One report window: opened again, it takes the view's period and filter as they are now.
void CMainFrame::OnReports() {
    if (!m_pEntriesView)
        return;
    const int firstDayOfWeek = m_app.m_nFirstDayOfWeek;
    if (!m_pReportWindow) {
        m_pReportWindow = new CReportWindow(m_pEntriesView->GetFilter(), firstDayOfWeek, this);
        m_pReportWindow->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        m_pReportWindow->SetFilter(m_pEntriesView->GetFilter());
    }
    m_pReportWindow->show();
    m_pReportWindow->raise();
    m_pReportWindow->activateWindow();
}

void CMainFrame::OnProperties() {
    if (m_activePane == Pane::Entries && m_pEntriesView)
        m_pEntriesView->OnEdit();
    else if (m_activePane == Pane::SideBar && m_pSideBarView)
        m_pSideBarView->OnEdit();
}

void CMainFrame::OnMarkAsPaid() {
    if (m_activePane == Pane::Entries && m_pEntriesView)
        m_pEntriesView->OnMarkAsPaid();
}

void CMainFrame::OnDelete() {
    if (m_activePane == Pane::Entries && m_pEntriesView)
        m_pEntriesView->OnDelete();
    else if (m_activePane == Pane::SideBar && m_pSideBarView)
        m_pSideBarView->OnDelete();
}

void CMainFrame::ReportSyncFailure(unsigned leadTextId, bool fromResLibrary, const CSyncDriver* engine) {
    CString message = fromResLibrary ? GetResString(leadTextId, 1) : StringTable::Get(leadTextId);
    const CString detail = engine ? engine->GetLastErrorText() : CString();
    if (!detail.IsEmpty())
        message += u"\n\n" + detail;
    AfxMessageBox(message, MB_ICONSTOP);
}

bool CMainFrame::OnPairDevice() {
    CDlgPairDevice dialog(this);
    return RunModal(dialog) == QDialog::Accepted;
}

void CMainFrame::RunSyncFlow(bool setupMode) {
    std::unique_ptr<CSyncDriver> engine = m_syncDriverFactory ? m_syncDriverFactory() : nullptr;
    // A new user pairs first; without a pairing there is nothing to connect to.
    if (engine && !engine->IsPaired() && !OnPairDevice())
        return;
    if (!engine || !engine->Initialize()) {
        ReportSyncFailure(res::SyncInitFailed, true, engine.get());
        return;
    }
    if (!setupMode) {
        CSyncProgressDlg progress(this);
        const int result = engine->RegularSync([&progress](int step) { progress.ShowStep(step); });
        const qint64 elapsedMs = progress.ElapsedMs();
        progress.close();
        if (result != CSyncDriver::RegularNotPartners) {
            // Whatever went in before a failed step shows; a failure is never shown as done.
            RefreshAll();
            if (result == CSyncDriver::RegularDone) {
                NoteSuccessfulSync();
                const QString summary = CSyncProgressDlg::SummaryText(engine->GetSummary(), elapsedMs);
                AfxMessageBox(GetResString(res::SyncDone, 1) + u"\n\n" + qtconv::FromQString(summary),
                              MB_ICONINFORMATION);
            } else {
                ReportSyncFailure(ids::SyncIncomplete, false, engine.get());
            }
            return;
        }
    }
    CDlgSyncDirection dialog(this);
    const CDataHelper* store = GetCurrDataHelper();
    dialog.ShowSides(store ? CDataFileSummary::Read(store->GetDataFilePath()) : std::nullopt,
                     engine->DeviceDataSummary());
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    const bool replaceDevice = dialog.ReplaceDeviceData();
    const bool done = engine->PerformFullSync(replaceDevice ? 1 : 0) != 0;
    if (!replaceDevice) {
        // The device's file is now this side's data file; one that does not load is said so,
        // and the completion message is not shown.
        CDataHelper* store = GetCurrDataHelper();
        if (done && store && !store->Initialize()) {
            RefreshAll();
            CWriteCheck::ReportReloadFailure();
            return;
        }
        RefreshAll();
    }
    if (done) {
        NoteSuccessfulSync();
        AfxMessageBox(GetResString(res::SyncDone, 1), MB_ICONINFORMATION);
    } else {
        ReportSyncFailure(ids::SyncIncomplete, false, engine.get());
    }
}

void CMainFrame::NoteSuccessfulSync() {
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    // The time is a convenience: a registry that cannot be written loses only the status text.
    Registry::SetString(CSharedSettings::kSettingsKey, kLastSyncSetting, qtconv::FromQString(now));
    UpdateLastSyncPane();
}

void CMainFrame::UpdateLastSyncPane() {
    if (!m_pLastSyncPane)
        return;
    const QDateTime when = QDateTime::fromString(
        qtconv::ToQString(Registry::GetString(CSharedSettings::kSettingsKey, kLastSyncSetting, CString())),
        Qt::ISODate);
    m_pLastSyncPane->setText(
        when.isValid() ? QStringLiteral("Last synchronized: %1").arg(QLocale().toString(when, QLocale::ShortFormat))
                       : QStringLiteral("Not synchronized yet"));
}

QString CMainFrame::VersionText() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionBuild);
}

void CMainFrame::OnHelpLink(unsigned commandId) {
    // A page that does not open is explained, as the About box's links do.
    OpenUrlOrReport(CManualPages::Address(CManualPages::PageFor(commandId)));
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    RunModal(dialog);
}
