#include "desktop/export/ExcelWorkbook.h"

std::optional<CExcelWorksheet> CExcelWorksheets::Item(int index) const {
    if (index != 1)
        return std::nullopt;
    return CExcelWorksheet(m_sheet);
}
