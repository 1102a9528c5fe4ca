#pragma once
// The settings both programs keep under "Settings" by the same names and with the same
// defaults. Each program's application object adds its own (the desktop's theme, for one) and
// writes them back in its own order.
#include <cstdint>
#include <vector>

#include "platform/CString.h"

class CSharedSettings {
public:
    // Registry places, relative to HKEY_CURRENT_USER.
    static const CString kAppKey;        // "Software\\Kestovar\\Quillmar"
    static const CString kSettingsKey;   // kAppKey + "\\Settings"

    int m_nFirstDayOfWeek = 2;   // 1 = Sunday ... 7 = Saturday
    int m_bHideClientsWithNoProjects = 0;
    int m_bColorAltRows = 0;
    int m_bStrikeOutPaidItems = 1;
    int m_bGridlines = 0;
    float m_fMileageRate = 0.35f;
    CString m_strCustomLabel1;   // resource library string 84 by default
    CString m_strCustomLabel2;   // 85
    CString m_strCustomLabel3;   // 86

    // Every shared setting back to its default.
    void RestoreSharedDefaults();
    // Reads the shared settings from `settingsKey`; missing ones keep their values, and
    // "MileageRate" is taken only when it holds exactly the four bytes of a float.
    void LoadSharedSettings(const CString& settingsKey);
    // "MileageRate" as stored: the float's four bytes in memory.
    static std::vector<uint8_t> MileageRateBytes(float rate);
};
