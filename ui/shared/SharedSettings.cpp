#include "ui/shared/SharedSettings.h"

#include <cstring>

#include "biz/Helpers.h"
#include "platform/Registry.h"
#include "ui/shared/ResStrings.h"

const CString CSharedSettings::kAppKey = u"Software\\Kestovar\\Quillmar";
const CString CSharedSettings::kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

void CSharedSettings::RestoreSharedDefaults() {
    m_nFirstDayOfWeek = 2;
    m_bHideClientsWithNoProjects = 0;
    m_bColorAltRows = 0;
    m_bStrikeOutPaidItems = 1;
    m_bGridlines = 0;
    m_fMileageRate = 0.35f;
    m_strCustomLabel1 = GetResString(res::CustomLabel1, 1);
    m_strCustomLabel2 = GetResString(res::CustomLabel2, 1);
    m_strCustomLabel3 = GetResString(res::CustomLabel3, 1);
}

void CSharedSettings::LoadSharedSettings(const CString& settingsKey) {
    const struct {
        const char16_t* name;
        int* value;
    } numbers[] = {{u"FirstDayOfWeek", &m_nFirstDayOfWeek},
                   {u"HideClientsWithNoProjects", &m_bHideClientsWithNoProjects},
                   {u"ColorAltRows", &m_bColorAltRows},
                   {u"StrikeOutPaidItems", &m_bStrikeOutPaidItems},
                   {u"Gridlines", &m_bGridlines}};
    for (const auto& setting : numbers) {
        *setting.value =
            static_cast<int>(Registry::GetDword(settingsKey, setting.name, static_cast<uint32_t>(*setting.value)));
    }
    if (const auto rate = Registry::QueryBinary(settingsKey, u"MileageRate"); rate && rate->size() == sizeof(float))
        std::memcpy(&m_fMileageRate, rate->data(), sizeof(float));
    m_strCustomLabel1 = Registry::GetString(settingsKey, u"CustomLabel1", m_strCustomLabel1);
    m_strCustomLabel2 = Registry::GetString(settingsKey, u"CustomLabel2", m_strCustomLabel2);
    m_strCustomLabel3 = Registry::GetString(settingsKey, u"CustomLabel3", m_strCustomLabel3);
}

std::vector<uint8_t> CSharedSettings::MileageRateBytes(float rate) {
    // Little-endian on the machines we build for.
    std::vector<uint8_t> bytes(sizeof(float));
    std::memcpy(bytes.data(), &rate, sizeof(float));
    return bytes;
}
