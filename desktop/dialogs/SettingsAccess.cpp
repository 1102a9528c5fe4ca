#include "desktop/dialogs/SettingsAccess.h"

#include "biz/Helpers.h"
#include "desktop/QuillmarApp.h"

CString CustomFieldLabel(int n) {
    if (const CQuillmarApp* app = GetQuillmarApp()) {
        switch (n) {
        case 1: return app->m_strCustomLabel1;
        case 2: return app->m_strCustomLabel2;
        case 3: return app->m_strCustomLabel3;
        default: return CString();
        }
    }
    if (n < 1 || n > 3)
        return CString();
    return GetResString(83u + static_cast<unsigned>(n), 1);
}

float MileageRateSetting() {
    if (const CQuillmarApp* app = GetQuillmarApp())
        return app->m_fMileageRate;
    return 0.35f;
}
