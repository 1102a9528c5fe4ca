#pragma once
// Moving the settings both programs share between their application object and the Options
// sheet's Preferences and Custom Field Labels pages. `Settings` is either program's application
// object; both name these settings alike. The desktop's theme is not among them.
#include "desktop/dialogs/DlgOptionsCustomFields.h"
#include "desktop/dialogs/DlgOptionsPrefs.h"

template <class Settings>
void CopySharedSettingsIntoPages(const Settings& settings, CDlgOptionsPrefs& prefs,
                                 CDlgOptionsCustomFields& labels)
{
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

template <class Settings>
void CopySharedSettingsFromPages(const CDlgOptionsPrefs& prefs, const CDlgOptionsCustomFields& labels,
                                 Settings& settings)
{
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
