#pragma once
// What the Export dialog hands to the exporter: the format, the fields to include and the
// entries view's filter, and what the exporter hands back (its error text, a cancelled mark).
#include <array>
#include <functional>

#include "desktop/export/ExcelCellFormats.h"
#include "platform/CString.h"

class CProjectItemFilter;

// The 18 export fields, in their order.
enum ExportField : int {
    ExportField_Date,
    ExportField_Client,
    ExportField_Project,
    ExportField_Category,
    ExportField_Description,
    ExportField_StartTime,
    ExportField_EndTime,
    ExportField_Duration,
    ExportField_Type,
    ExportField_Billable,
    ExportField_Amount,
    ExportField_BillingStatus,
    ExportField_OdometerStart,
    ExportField_OdometerEnd,
    ExportField_Custom1,
    ExportField_Custom2,
    ExportField_Custom3,
    ExportField_Notes,
    ExportField_Count
};

enum ExportFormat : int { ExportFormat_Excel = 0, ExportFormat_Xml = 1, ExportFormat_Csv = 2 };

struct ExportRequest {
    int m_bCancelled = 0;                            // set when the user cancelled the file dialog
    CString m_strOutputPath;                         // the XML or CSV file chosen
    const CProjectItemFilter* m_pFilter = nullptr;   // the entries view's filter, not owned
    CString m_strError;                              // why the export failed
    int m_nFormat = ExportFormat_Excel;
    bool m_bCsvUserDates = false;                      // CSV: the user's short date and time instead of ISO 8601
    std::array<int, ExportField_Count> m_bInclude{};   // 1 = include the field
    int m_nColumn = 0;                                 // counters while the spreadsheet is filled
    int m_nRow = 0;
    // The cell formats the spreadsheet gets: the program's, which Advanced Settings may change.
    ExcelCellFormats m_formats = ExcelCellFormats::Defaults();
    // Keeps the formats confirmed in Advanced Settings in the program's settings; when empty
    // they last for this export only.
    std::function<void(const ExcelCellFormats&)> m_keepFormats;

    ExportRequest() { m_bInclude.fill(1); }
};

// Resource-library string naming a field: its registry value name in "ExportFields", its
// spreadsheet header (custom fields use the user's labels instead) and, with spaces removed,
// its XML element name.
unsigned ExportFieldNameString(ExportField field);
CString ExportFieldName(ExportField field);
CString ExportFieldXmlName(ExportField field);
// The header and list text: the user's label for the custom fields (SettingsAccess.h), the
// name otherwise.
CString ExportFieldCaption(ExportField field);
