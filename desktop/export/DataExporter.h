#pragma once
// Exports the entries the entries view lists (those its filter lets through) into a new
// spreadsheet workbook, an XML file or a CSV file.
#include "desktop/export/ExcelRange.h"
#include "desktop/export/ExportRequest.h"

class CProjectItem;
class QWidget;

class CDataExporter {
public:
    // Dispatches on the request's format; false with the request's error text set (or its
    // cancelled mark) when the export failed.
    static bool Run(ExportRequest& request, QWidget* parent = nullptr);
    static bool ExportToExcel(ExportRequest& request);
    // Asks for the file through a save-file dialog (modal-dialog hook), then writes it.
    static bool ExportToXml(ExportRequest& request, QWidget* parent = nullptr);
    // Writes the XML file to the request's output path without asking.
    static bool WriteXmlFile(ExportRequest& request);
    // As ExportToXml, for a CSV file.
    static bool ExportToCsv(ExportRequest& request, QWidget* parent = nullptr);
    // Writes the CSV file (CEntryCsvExport) to the request's output path without asking.
    static bool WriteCsvFile(ExportRequest& request);

    // The spreadsheet value of one field of an entry, and its XML text.
    static CVariant CellValue(ExportField field, CProjectItem& entry);
    static CString XmlText(ExportField field, CProjectItem& entry);
};
