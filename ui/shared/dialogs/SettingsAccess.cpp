#include "ui/shared/dialogs/SettingsAccess.h"

#include "biz/Helpers.h"
#include "ui/shared/AppHost.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/SharedSettings.h"

CString CustomFieldLabel(int n) {
    if (n < 1 || n > 3)
        return CString();
    if (const CAppHost* host = GetAppHost()) {
        const CSharedSettings& settings = host->Settings();
        const CString* labels[] = {&settings.m_strCustomLabel1, &settings.m_strCustomLabel2,
                                   &settings.m_strCustomLabel3};
        return *labels[n - 1];
    }
    return GetResString(res::CustomLabel1 + static_cast<unsigned>(n - 1), 1);
}

float MileageRateSetting() {
    if (const CAppHost* host = GetAppHost())
        return host->Settings().m_fMileageRate;
    return CSharedSettings().m_fMileageRate;
}
