#include "desktop/export/ExcelRange.h"

#include <algorithm>

#include "desktop/export/ExcelBorders.h"
#include "desktop/export/ExcelFont.h"

namespace {
constexpr int kSheetRows = 1048576;   // a worksheet's rows, for whole-column ranges
}

CExcelRange::CExcelRange(std::shared_ptr<CWorkbookModel> sheet, int row, int column, int rows, int columns,
                         bool wholeColumns)
    : m_sheet(std::move(sheet)), m_row(row), m_column(column), m_rows(std::max(rows, 0)),
      m_columns(std::max(columns, 0)), m_wholeColumns(wholeColumns) {}

CExcelRange CExcelRange::Offset(int rowOffset, int columnOffset) const {
    return CExcelRange(m_sheet, m_row + rowOffset, m_column + columnOffset, m_rows, m_columns);
}

CExcelRange CExcelRange::Resize(int rows, int columns) const {
    return CExcelRange(m_sheet, m_row, m_column, rows, columns);
}

CExcelRange CExcelRange::EntireColumn() const {
    return CExcelRange(m_sheet, 0, m_column, kSheetRows, m_columns, true);
}

void CExcelRange::SetValue(const Array& values) {
    const int rows = std::min<int>(m_rows, static_cast<int>(values.size()));
    for (int r = 0; r < rows; ++r) {
        const int columns = std::min<int>(m_columns, static_cast<int>(values[r].size()));
        for (int c = 0; c < columns; ++c) {
            CCell& cell = m_sheet->At(m_row + r, m_column + c);
            cell.value = values[r][c];
            cell.formula.Empty();
        }
    }
}

void CExcelRange::SetValue(const CVariant& value) {
    ForEachCell([&](CCell& cell) {
        cell.value = value;
        cell.formula.Empty();
    });
}

void CExcelRange::SetFormulaR1C1(const CString& formula) {
    const CString a1 = FormulaR1C1ToA1(formula);
    ForEachCell([&](CCell& cell) {
        cell.formula = a1;
        cell.value = CVariant();
    });
}

void CExcelRange::SetNumberFormat(const CString& format) {
    for (int c = 0; c < m_columns; ++c)
        m_sheet->SetColumnFormat(m_column + c, format);
}

void CExcelRange::AutoFit() {
    for (int c = 0; c < m_columns; ++c)
        m_sheet->MarkAutoFit(m_column + c);
}

CExcelFont CExcelRange::Font() const { return CExcelFont(*this); }

CExcelBorders CExcelRange::Borders() const { return CExcelBorders(*this); }

void CExcelRange::BorderAround(int lineStyle, int weight, int /*colorIndex*/, long /*color*/) {
    // Colour index 0 and colour 0 are the automatic colour, which is all the export asks for.
    const CBorderEdge edge{lineStyle, weight};
    for (int side : {xlEdgeLeft, xlEdgeTop, xlEdgeRight, xlEdgeBottom})
        SetRangeEdge(*this, side, edge);
}

CString ColumnLetters(int column) {
    std::u16string letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char16_t>(u'A' + (n - 1) % 26));
    return CString(letters);
}

bool ParseCellReference(const CString& reference, int& row, int& column) {
    const std::u16string& text = reference.str();
    size_t i = 0;
    int col = 0;
    while (i < text.size() && text[i] >= u'A' && text[i] <= u'Z')
        col = col * 26 + (text[i++] - u'A' + 1);
    if (i == 0 || i == text.size() || col > 16384)
        return false;
    long r = 0;
    for (size_t j = i; j < text.size(); ++j) {
        if (text[j] < u'0' || text[j] > u'9')
            return false;
        r = r * 10 + (text[j] - u'0');
        if (r > kSheetRows)
            return false;
    }
    if (r < 1)
        return false;
    row = static_cast<int>(r) - 1;
    column = col - 1;
    return true;
}

CString FormulaR1C1ToA1(const CString& formula) {
    const std::u16string& in = formula.str();
    std::u16string out;
    auto readNumber = [&](size_t& pos, long& value) {
        const size_t start = pos;
        value = 0;
        while (pos < in.size() && in[pos] >= u'0' && in[pos] <= u'9' && value < kSheetRows * 10L)
            value = value * 10 + (in[pos++] - u'0');
        return pos > start;
    };
    for (size_t i = 0; i < in.size();) {
        size_t pos = i + 1;
        long row = 0, column = 0;
        if (in[i] == u'R' && readNumber(pos, row) && pos < in.size() && in[pos] == u'C' &&
            (++pos, readNumber(pos, column)) && row >= 1 && column >= 1) {
            out += ColumnLetters(static_cast<int>(column) - 1).str();
            out += CString::Formatted(u"%ld", row).str();
            i = pos;
        } else {
            out += in[i++];
        }
    }
    return CString(out);
}
