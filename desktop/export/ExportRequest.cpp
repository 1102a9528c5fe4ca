#include "desktop/export/ExportRequest.h"

#include "biz/Helpers.h"
#include "desktop/QuillmarApp.h"

namespace {
constexpr unsigned kFieldNameStrings[ExportField_Count] = {
    78, 91, 34, 35, 43, 92, 93, 106, 94, 95, 42, 96, 97, 98, 84, 85, 86, 110,
};
}  // namespace

unsigned ExportFieldNameString(ExportField field) {
    return kFieldNameStrings[field];
}

CString ExportFieldName(ExportField field) {
    return GetResString(ExportFieldNameString(field), 1);
}

CString ExportFieldXmlName(ExportField field) {
    CString name = ExportFieldName(field);
    name.Remove(u' ');
    return name;
}

CString ExportFieldCaption(ExportField field) {
    const CQuillmarApp* app = GetQuillmarApp();
    if (app) {
        if (field == ExportField_Custom1) return app->m_strCustomLabel1;
        if (field == ExportField_Custom2) return app->m_strCustomLabel2;
        if (field == ExportField_Custom3) return app->m_strCustomLabel3;
    }
    return ExportFieldName(field);
}
