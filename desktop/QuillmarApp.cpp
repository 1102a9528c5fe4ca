#include "desktop/QuillmarApp.h"

#include <iterator>

#include <QApplication>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "desktop/CommandIds.h"
#include "desktop/DesktopHost.h"
#include "desktop/DialogBridge.h"
#include "desktop/MainFrame.h"
#include "desktop/ProgramStrings.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "platform/Library.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "platform/WindowMessages.h"
#include "ui/qt/SingleInstance.h"
#include "ui/qt/WindowMessageNotifier.h"

// Compiled-in icons live in a static library; the linker keeps them only when asked for.
static void InitDesktopResources() { Q_INIT_RESOURCE(quillmar); }

namespace {

CQuillmarApp* g_app = nullptr;

const char16_t* const kSettingNames[] = {
    u"FirstDayOfWeek", u"Theme", u"HideClientsWithNoProjects", u"ColorAltRows", u"StrikeOutPaidItems", u"Gridlines"};

}   // namespace

const CString CQuillmarApp::kCompanyKey = u"Software\\Kestovar";
const CString CQuillmarApp::kExcelFmtsKey = u"Software\\Kestovar\\Quillmar\\ExcelFmts";
const CString CQuillmarApp::kLayoutKey = u"Software\\Kestovar\\Quillmar\\ProfUIS222";

CQuillmarApp* GetQuillmarApp() { return g_app; }

CQuillmarApp::CQuillmarApp() {
    InitDesktopResources();
    RegisterProgramStrings();
    m_resLibrary = Library::Load(u"QuillmarRes.dll");
    RestoreDefaults();
    m_uiFont = QFont(QStringLiteral("Tahoma"));
    m_uiFont.setPixelSize(11);
    m_uiFont.setWeight(QFont::Normal);
    m_host = std::make_unique<CDesktopHost>(*this);
    SetAppHost(m_host.get());
    g_app = this;
}

CQuillmarApp::~CQuillmarApp() {
    ExitInstance();
    if (GetAppHost() == m_host.get())
        SetAppHost(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

void CQuillmarApp::RestoreDefaults() {
    RestoreSharedDefaults();
    m_nTheme = ThemeOffice2003;
    m_strExcelFmtCurrency = StringTable::Get(ids::FmtCurrency);
    m_strExcelFmtDate = StringTable::Get(ids::FmtDate);
    m_strExcelFmtTime = StringTable::Get(ids::FmtTime);
    m_strExcelFmtNumber = StringTable::Get(ids::FmtNumber);
    m_strExcelFmtDuration = StringTable::Get(ids::FmtDuration);
}

CString CQuillmarApp::GetWindowTitle() {
    const CString templateText = StringTable::Get(ids::DocTemplate);
    const int lineBreak = templateText.Find(u'\n');
    return lineBreak < 0 ? templateText : templateText.Left(lineBreak);
}

std::string CQuillmarApp::InstanceLockPath() { return CSingleInstance::LockPath(GetWindowTitle()); }

void CQuillmarApp::LoadSettings() {
    LoadSharedSettings(kSettingsKey);
    m_nTheme = static_cast<int>(Registry::GetDword(kSettingsKey, u"Theme", static_cast<uint32_t>(m_nTheme)));
    m_strExcelFmtCurrency = Registry::GetString(kExcelFmtsKey, u"Currency", m_strExcelFmtCurrency);
    m_strExcelFmtDate = Registry::GetString(kExcelFmtsKey, u"Date", m_strExcelFmtDate);
    m_strExcelFmtTime = Registry::GetString(kExcelFmtsKey, u"Time", m_strExcelFmtTime);
    m_strExcelFmtNumber = Registry::GetString(kExcelFmtsKey, u"Number", m_strExcelFmtNumber);
    m_strExcelFmtDuration = Registry::GetString(kExcelFmtsKey, u"Duration", m_strExcelFmtDuration);
}

bool CQuillmarApp::SaveSettings() const {
    const int values[] = {m_nFirstDayOfWeek,     m_nTheme,    m_bHideClientsWithNoProjects, m_bColorAltRows,
                          m_bStrikeOutPaidItems, m_bGridlines};
    bool written = true;
    for (size_t index = 0; index < std::size(values); ++index)
        written &= Registry::SetDword(kSettingsKey, kSettingNames[index], static_cast<uint32_t>(values[index]));
    written &= Registry::SetBinary(kSettingsKey, u"MileageRate", MileageRateBytes(m_fMileageRate));
    written &= Registry::SetString(kSettingsKey, u"CustomLabel1", m_strCustomLabel1);
    written &= Registry::SetString(kSettingsKey, u"CustomLabel2", m_strCustomLabel2);
    written &= Registry::SetString(kSettingsKey, u"CustomLabel3", m_strCustomLabel3);
    return written;
}

bool CQuillmarApp::SaveExcelFormats() const {
    bool written = Registry::SetString(kExcelFmtsKey, u"Currency", m_strExcelFmtCurrency);
    written &= Registry::SetString(kExcelFmtsKey, u"Date", m_strExcelFmtDate);
    written &= Registry::SetString(kExcelFmtsKey, u"Time", m_strExcelFmtTime);
    written &= Registry::SetString(kExcelFmtsKey, u"Number", m_strExcelFmtNumber);
    written &= Registry::SetString(kExcelFmtsKey, u"Duration", m_strExcelFmtDuration);
    return written;
}

ExcelCellFormats CQuillmarApp::GetExcelFormats() const {
    return {m_strExcelFmtCurrency, m_strExcelFmtDate, m_strExcelFmtTime, m_strExcelFmtNumber, m_strExcelFmtDuration};
}

void CQuillmarApp::KeepExcelFormats(const ExcelCellFormats& formats) {
    m_strExcelFmtCurrency = formats.currency;
    m_strExcelFmtDuration = formats.duration;
    m_strExcelFmtTime = formats.time;
    m_strExcelFmtNumber = formats.number;
    m_strExcelFmtDate = formats.date;
    SaveExcelFormats();
}

bool CQuillmarApp::ClaimSingleInstance() {
    m_instanceLock = std::make_unique<CSingleInstance>(GetWindowTitle());
    if (m_instanceLock->Claim())
        return true;
    m_instanceLock.reset();
    return false;
}

bool CQuillmarApp::InitInstance() {
    if (!ClaimSingleInstance())
        return false;
    SetMessageBoxCaption(StringTable::Get(ids::AppTitle));
    LoadSettings();

    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_bSaveLayout = true;
    m_windowMessages =
        std::make_unique<CWindowMessageNotifier>(GetWindowTitle(), [this](const WindowMessage& message) {
            if (message.message == kRestoreAndRaiseMessage && m_pMainFrame)
                CSingleInstance::BringForward(*m_pMainFrame);
        });

    CDataHelper* store = GetCurrDataHelper();
    if (!store || store->Initialize() == 0) {
        // Nothing of the window was shown; its layout is not worth keeping.
        m_bSaveLayout = false;
        return false;
    }
    m_pMainFrame->CreateViews();
    m_pMainFrame->ApplySavedPlacement();
    m_pMainFrame->show();
    m_pMainFrame->GetSideBarView()->Fill();
    return true;
}

void CQuillmarApp::ExitInstance() {
    m_windowMessages.reset();
    m_pMainFrame.reset();
    m_instanceLock.reset();
}

void CQuillmarApp::ApplyChangedSettings() {
    SaveSettings();
    if (!m_pMainFrame)
        return;
    m_pMainFrame->ApplyTheme(m_nTheme);
    if (CViewClientsProjectsSideBar* sideBar = m_pMainFrame->GetSideBarView()) {
        sideBar->ClearPendingSelection();
        sideBar->Fill();
    }
    if (CViewByDate* entries = m_pMainFrame->GetEntriesView())
        entries->Refresh(0);
}

void CQuillmarApp::OnToolsOptions() {
    // On OK the Options sheet has stored and applied the settings (ApplyChangedSettings).
    dialogs::EditOptions();
}

void CQuillmarApp::OnViewResetLayout() {
    if (AfxMessageBox(StringTable::Get(ids::ResetLayoutAsk), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    Registry::DeleteTree(kLayoutKey);
    if (m_pMainFrame)
        m_pMainFrame->LoadLayout();
    // The entries list's columns and sort are part of the layout too.
    if (CViewByDate* entries = m_pMainFrame ? m_pMainFrame->GetEntriesView() : nullptr)
        entries->ResetListLayout();
    m_bSaveLayout = false;
    AfxMessageBox(StringTable::Get(ids::RestartNeeded), MB_ICONINFORMATION);
    if (m_pMainFrame)
        m_pMainFrame->close();
}
