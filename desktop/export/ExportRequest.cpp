#include "desktop/export/ExportRequest.h"

#include "biz/Helpers.h"
#include "ui/shared/dialogs/SettingsAccess.h"

namespace {
constexpr unsigned kFieldNameStrings[ExportField_Count] = {
    78, 91, 34, 35, 43, 92, 93, 106, 94, 95, 42, 96, 97, 98, 84, 85, 86, 110,
};
}   // namespace

unsigned ExportFieldNameString(ExportField field) { return kFieldNameStrings[field]; }

CString ExportFieldName(ExportField field) { return GetResString(ExportFieldNameString(field), 1); }

CString ExportFieldXmlName(ExportField field) {
    CString name = ExportFieldName(field);
    name.Remove(u' ');
    return name;
}

CString ExportFieldCaption(ExportField field) {
    if (field == ExportField_Custom1)
        return CustomFieldLabel(1);
    if (field == ExportField_Custom2)
        return CustomFieldLabel(2);
    if (field == ExportField_Custom3)
        return CustomFieldLabel(3);
    return ExportFieldName(field);
}
