#include "desktop/export/ExcelFont.h"

void CExcelFont::SetName(const CString& name) {
    m_range.ForEachCell([&](CCell& cell) { cell.style.fontName = name; });
}

void CExcelFont::SetSize(double size) {
    m_range.ForEachCell([&](CCell& cell) { cell.style.fontSize = size; });
}

void CExcelFont::SetBold(bool bold) {
    m_range.ForEachCell([&](CCell& cell) { cell.style.bold = bold; });
}
