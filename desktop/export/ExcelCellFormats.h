#pragma once
// The five cell formats of the spreadsheet export ("ExcelFmts"). The program keeps the user's
// in its settings and hands them to each export (ExportRequest).
#include "platform/CString.h"

struct ExcelCellFormats {
    CString currency, date, time, number, duration;
    // The program's defaults: its string table's 57609 to 57613.
    static ExcelCellFormats Defaults();
};
