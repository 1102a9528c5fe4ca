#include "device/QuillmarApp.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "biz/BizApp.h"
#include "biz/Helpers.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/DeviceHost.h"
#include "device/MainFrame.h"
#include "device/ProgramStrings.h"
#include "device/SoftKeyboard.h"
#include "platform/Library.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/qt/SingleInstance.h"

namespace {

CQuillmarApp* g_app = nullptr;

}   // namespace

CQuillmarApp* GetQuillmarApp() { return g_app; }

CQuillmarApp::CQuillmarApp() {
    RegisterDeviceProgramStrings();
    m_resLibrary = Library::Load(u"QuillmarRes.dll");
    m_dialogFont = QApplication::font();
    m_dialogFont.setPixelSize(kBaseFontPixels);
    // Narrow like the handheld's own font, so its captions fit its 240 pixels.
    m_dialogFont.setStretch(QFont::SemiCondensed);
    // The handheld's system font is small; every window and dialog uses it.
    QApplication::setFont(m_dialogFont);
    // Tap targets of 7 mm at the screen's density.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double dotsPerInch = std::clamp(screen->physicalDotsPerInch(), 72.0, 640.0);
        SetDeviceTapTarget(static_cast<int>(std::ceil(7.0 / 25.4 * dotsPerInch)));
    }
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

bool CQuillmarApp::FitFontToWindow(const QSize& windowSize) {
    const double scale = std::max(1.0, std::min(windowSize.width() / 240.0, windowSize.height() / 320.0));
    const int pixels = static_cast<int>(std::lround(kBaseFontPixels * scale));
    if (pixels == m_dialogFont.pixelSize())
        return false;
    m_dialogFont.setPixelSize(pixels);
    QApplication::setFont(m_dialogFont);
    return true;
}

void CQuillmarApp::RestoreDefaults() {
    RestoreSharedDefaults();
    m_bSoftKeyboard = 0;
}

void CQuillmarApp::LoadSettings() {
    LoadSharedSettings(kSettingsKey);
    m_bSoftKeyboard = Registry::GetDword(kSettingsKey, kSoftKeyboardValue, 0) != 0;
}

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
    dword(kSoftKeyboardValue, m_bSoftKeyboard);
    return written;
}

bool CQuillmarApp::InitInstance() {
    // main() started the data store; without it there is nothing to show.
    if (QuillmarBizDeviceLoaded() == 0)
        return false;
    // Two copies over one data file would each save their own older document over the other's.
    m_instance = std::make_unique<CSingleInstance>(GetWindowTitle());
    if (!m_instance->Claim()) {
        m_instance.reset();
        m_bOtherInstance = true;
        return false;
    }
    LoadSettings();
    m_softKeyboard = std::make_unique<CSoftKeyboard>();
    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_pMainFrame->OnInitialUpdate();
    ShowMainWindow();
    return true;
}

void CQuillmarApp::ShowMainWindow() {
    // On a handheld-sized screen the program is the screen; on a larger one it is a window of
    // the handheld's size, which may be enlarged.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableSize() : QSize();
    if (available.isValid() && available.width() <= 2 * 240 && available.height() <= 2 * 480)
        m_pMainFrame->showMaximized();
    else
        m_pMainFrame->show();
}

void CQuillmarApp::ExitInstance() {
    m_pMainFrame.reset();
    m_softKeyboard.reset();
    m_instance.reset();
}
