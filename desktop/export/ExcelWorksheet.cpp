#include "desktop/export/ExcelWorksheet.h"

CExcelRange CExcelWorksheet::Range(const CString& cell) const {
    int row = 0, column = 0;
    if (!ParseCellReference(cell, row, column))
        return CExcelRange(m_sheet, 0, 0, 0, 0);
    return CExcelRange(m_sheet, row, column, 1, 1);
}
