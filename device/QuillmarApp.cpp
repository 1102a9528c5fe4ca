#include "device/QuillmarApp.h"

#include <QApplication>

#include "biz/BizApp.h"
#include "biz/Helpers.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/DeviceHost.h"
#include "device/MainFrame.h"
#include "device/ProgramStrings.h"
#include "platform/Library.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

namespace {

CQuillmarApp* g_app = nullptr;

}   // namespace

CQuillmarApp* GetQuillmarApp() { return g_app; }

CQuillmarApp::CQuillmarApp() {
    RegisterDeviceProgramStrings();
    m_resLibrary = Library::Load(u"QuillmarRes.dll");
    m_dialogFont = QApplication::font();
    m_dialogFont.setPixelSize(11);
    // Narrow like the handheld's own font, so its captions fit its 240 pixels.
    m_dialogFont.setStretch(QFont::SemiCondensed);
    // The handheld's system font is small; every window and dialog uses it.
    QApplication::setFont(m_dialogFont);
    m_dialogLook = std::make_unique<CDeviceDialogLook>();
    qApp->installEventFilter(m_dialogLook.get());
    SetMessageBoxCaption(GetWindowTitle());
    m_host = std::make_unique<CDeviceHost>(*this);
    SetAppHost(m_host.get());
    g_app = this;
    RestoreDefaults();
}

CQuillmarApp::~CQuillmarApp() {
    ExitInstance();
    if (m_dialogLook)
        qApp->removeEventFilter(m_dialogLook.get());
    if (GetAppHost() == m_host.get())
        SetAppHost(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

void CQuillmarApp::RestoreDefaults() { RestoreSharedDefaults(); }

void CQuillmarApp::LoadSettings() { LoadSharedSettings(kSettingsKey); }

bool CQuillmarApp::SaveOptionsSettings() const {
    bool written = true;
    auto dword = [&](const char16_t* name, int value) {
        written = Registry::SetDword(kSettingsKey, name, static_cast<uint32_t>(value)) && written;
    };
    dword(u"FirstDayOfWeek", m_nFirstDayOfWeek);
    dword(u"HideClientsWithNoProjects", m_bHideClientsWithNoProjects);
    written = Registry::SetBinary(kSettingsKey, u"MileageRate", MileageRateBytes(m_fMileageRate)) && written;
    dword(u"ColorAltRows", m_bColorAltRows);
    dword(u"StrikeOutPaidItems", m_bStrikeOutPaidItems);
    dword(u"Gridlines", m_bGridlines);
    written = Registry::SetString(kSettingsKey, u"CustomLabel1", m_strCustomLabel1) && written;
    written = Registry::SetString(kSettingsKey, u"CustomLabel2", m_strCustomLabel2) && written;
    written = Registry::SetString(kSettingsKey, u"CustomLabel3", m_strCustomLabel3) && written;
    return written;
}

bool CQuillmarApp::InitInstance() {
    // main() started the data store; without it there is nothing to show.
    if (QuillmarBizDeviceLoaded() == 0)
        return false;
    LoadSettings();
    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_pMainFrame->OnInitialUpdate();
    m_pMainFrame->show();
    return true;
}

void CQuillmarApp::ExitInstance() { m_pMainFrame.reset(); }
