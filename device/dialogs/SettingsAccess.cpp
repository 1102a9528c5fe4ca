// The settings the shared dialogs show, from the device's application object.
#include "desktop/dialogs/SettingsAccess.h"

#include "biz/Helpers.h"
#include "device/CommandIds.h"
#include "device/QuillmarApp.h"

CString CustomFieldLabel(int n)
{
    if (n < 1 || n > 3)
        return CString();
    if (const CQuillmarApp* app = GetQuillmarApp()) {
        const CString* labels[] = {&app->m_strCustomLabel1, &app->m_strCustomLabel2, &app->m_strCustomLabel3};
        return *labels[n - 1];
    }
    return GetResString(devres::CustomLabel1 + static_cast<unsigned>(n - 1), 1);
}

float MileageRateSetting()
{
    if (const CQuillmarApp* app = GetQuillmarApp())
        return app->m_fMileageRate;
    return 0.35f;
}
