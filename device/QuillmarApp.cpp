#include "device/QuillmarApp.h"

#include <cstring>
#include <iterator>
#include <vector>

#include <QApplication>

#include "biz/BizApp.h"
#include "biz/Helpers.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/MainFrame.h"
#include "platform/Library.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

namespace {

CQuillmarApp* g_app = nullptr;

std::vector<uint8_t> FloatBytes(float value)
{
    // Stored as the value's four bytes in memory (little-endian on the machines we build for).
    std::vector<uint8_t> bytes(sizeof(float));
    std::memcpy(bytes.data(), &value, sizeof(float));
    return bytes;
}

}   // namespace

const CString CQuillmarApp::kAppKey = u"Software\\Kestovar\\Quillmar";
const CString CQuillmarApp::kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

CQuillmarApp* GetQuillmarApp()
{
    return g_app;
}

CQuillmarApp::CQuillmarApp()
{
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
    g_app = this;
    RestoreDefaults();
}

CQuillmarApp::~CQuillmarApp()
{
    ExitInstance();
    if (m_dialogLook)
        qApp->removeEventFilter(m_dialogLook.get());
    if (g_app == this)
        g_app = nullptr;
}

void CQuillmarApp::RestoreDefaults()
{
    m_nFirstDayOfWeek = 2;
    m_bHideClientsWithNoProjects = 0;
    m_bColorAltRows = 0;
    m_bStrikeOutPaidItems = 1;
    m_bGridlines = 0;
    m_fMileageRate = 0.35f;
    m_strCustomLabel1 = GetResString(devres::CustomLabel1, 1);
    m_strCustomLabel2 = GetResString(devres::CustomLabel2, 1);
    m_strCustomLabel3 = GetResString(devres::CustomLabel3, 1);
}

void CQuillmarApp::LoadSettings()
{
    const struct {
        const char16_t* name;
        int* value;
    } numbers[] = {{u"FirstDayOfWeek", &m_nFirstDayOfWeek},
                   {u"HideClientsWithNoProjects", &m_bHideClientsWithNoProjects},
                   {u"ColorAltRows", &m_bColorAltRows},
                   {u"StrikeOutPaidItems", &m_bStrikeOutPaidItems},
                   {u"Gridlines", &m_bGridlines}};
    for (const auto& setting : numbers) {
        *setting.value = static_cast<int>(
            Registry::GetDword(kSettingsKey, setting.name, static_cast<uint32_t>(*setting.value)));
    }
    if (const auto rate = Registry::QueryBinary(kSettingsKey, u"MileageRate"); rate && rate->size() == sizeof(float))
        std::memcpy(&m_fMileageRate, rate->data(), sizeof(float));
    m_strCustomLabel1 = Registry::GetString(kSettingsKey, u"CustomLabel1", m_strCustomLabel1);
    m_strCustomLabel2 = Registry::GetString(kSettingsKey, u"CustomLabel2", m_strCustomLabel2);
    m_strCustomLabel3 = Registry::GetString(kSettingsKey, u"CustomLabel3", m_strCustomLabel3);
}

bool CQuillmarApp::SaveOptionsSettings() const
{
    bool written = true;
    auto dword = [&](const char16_t* name, int value) {
        written = Registry::SetDword(kSettingsKey, name, static_cast<uint32_t>(value)) && written;
    };
    dword(u"FirstDayOfWeek", m_nFirstDayOfWeek);
    dword(u"HideClientsWithNoProjects", m_bHideClientsWithNoProjects);
    written = Registry::SetBinary(kSettingsKey, u"MileageRate", FloatBytes(m_fMileageRate)) && written;
    dword(u"ColorAltRows", m_bColorAltRows);
    dword(u"StrikeOutPaidItems", m_bStrikeOutPaidItems);
    dword(u"Gridlines", m_bGridlines);
    written = Registry::SetString(kSettingsKey, u"CustomLabel1", m_strCustomLabel1) && written;
    written = Registry::SetString(kSettingsKey, u"CustomLabel2", m_strCustomLabel2) && written;
    written = Registry::SetString(kSettingsKey, u"CustomLabel3", m_strCustomLabel3) && written;
    return written;
}

bool CQuillmarApp::InitInstance()
{
    // The device build opens its data store while it loads; without it there is nothing to show.
    if (QuillmarBizDeviceLoaded() == 0)
        return false;
    LoadSettings();
    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_pMainFrame->OnInitialUpdate();
    m_pMainFrame->show();
    return true;
}

void CQuillmarApp::ExitInstance()
{
    m_pMainFrame.reset();
}
