#pragma once
// Moving the settings both programs share between their application object and the Options
// sheet's Preferences and Custom Field Labels pages. The desktop's theme is not among them.
#include "ui/shared/SharedSettings.h"
#include "ui/shared/dialogs/DlgOptionsCustomFields.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"

inline void CopySharedSettingsIntoPages(const CSharedSettings& settings, CDlgOptionsPrefs& prefs,
                                        CDlgOptionsCustomFields& labels) {
    prefs.m_nFirstDayOfWeek = settings.m_nFirstDayOfWeek;
    prefs.m_bHideClientsWithNoProjects = settings.m_bHideClientsWithNoProjects;
    prefs.m_fMileageRate = settings.m_fMileageRate;
    prefs.m_bColorAltRows = settings.m_bColorAltRows;
    prefs.m_bGridlines = settings.m_bGridlines;
    prefs.m_bStrikeOutPaidItems = settings.m_bStrikeOutPaidItems;
    labels.m_strCustomLabel1 = settings.m_strCustomLabel1;
    labels.m_strCustomLabel2 = settings.m_strCustomLabel2;
    labels.m_strCustomLabel3 = settings.m_strCustomLabel3;
}

inline void CopySharedSettingsFromPages(const CDlgOptionsPrefs& prefs, const CDlgOptionsCustomFields& labels,
                                        CSharedSettings& settings) {
    settings.m_nFirstDayOfWeek = prefs.m_nFirstDayOfWeek;
    settings.m_bHideClientsWithNoProjects = prefs.m_bHideClientsWithNoProjects;
    settings.m_fMileageRate = prefs.m_fMileageRate;
    settings.m_bColorAltRows = prefs.m_bColorAltRows;
    settings.m_bGridlines = prefs.m_bGridlines;
    settings.m_bStrikeOutPaidItems = prefs.m_bStrikeOutPaidItems;
    settings.m_strCustomLabel1 = labels.m_strCustomLabel1;
    settings.m_strCustomLabel2 = labels.m_strCustomLabel2;
    settings.m_strCustomLabel3 = labels.m_strCustomLabel3;
}
