#pragma once
// Writes the in-memory worksheet as an .xlsx workbook file.
#include <string>

#include "desktop/export/WorkbookModel.h"

class CXlsxWriter {
public:
    // False when the file could not be written.
    static bool Write(const CWorkbookModel& sheet, const std::string& path);
    // The width, in characters of the default font, that fits a column's text.
    static double FittedWidth(const CWorkbookModel& sheet, int column);
};
