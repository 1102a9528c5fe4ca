#pragma once
// A rectangle of cells of the in-memory worksheet, with the members of a spreadsheet range
// that the export calls. A light handle: copies refer to the same sheet.
#include <memory>
#include <vector>

#include "desktop/export/WorkbookModel.h"

class CExcelFont;
class CExcelBorders;

class CExcelRange {
public:
    using Array = std::vector<std::vector<CVariant>>;   // [row][column]

    CExcelRange(std::shared_ptr<CWorkbookModel> sheet, int row, int column, int rows, int columns,
                bool wholeColumns = false);

    CExcelRange Offset(int rowOffset, int columnOffset) const;
    CExcelRange Resize(int rows, int columns) const;
    CExcelRange EntireColumn() const;

    // Fills the range from the array's top-left part in one assignment.
    void SetValue(const Array& values);
    void SetValue(const CVariant& value);   // every cell of the range
    // "=SUM(R2C5:R9C5)" style; kept in A1 form for the workbook file.
    void SetFormulaR1C1(const CString& formula);
    void SetNumberFormat(const CString& format);   // whole columns only, as the export uses it
    void AutoFit();                                // whole columns only
    CExcelFont Font() const;
    CExcelBorders Borders() const;
    void BorderAround(int lineStyle, int weight, int colorIndex, long color);

    int Row() const { return m_row; }
    int Column() const { return m_column; }
    int RowCount() const { return m_rows; }
    int ColumnCount() const { return m_columns; }
    bool IsWholeColumns() const { return m_wholeColumns; }
    CWorkbookModel& Sheet() const { return *m_sheet; }
    // Calls `apply` for every cell of the range (making them).
    template <typename Apply>
    void ForEachCell(Apply apply) const {
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c)
                apply(m_sheet->At(m_row + r, m_column + c));
    }

private:
    std::shared_ptr<CWorkbookModel> m_sheet;
    int m_row, m_column, m_rows, m_columns;
    bool m_wholeColumns;
};

// "R2C5" references of an R1C1 formula turned into "E2" references.
CString FormulaR1C1ToA1(const CString& formula);
// "A1", "AB12" to 0-based row and column; false when the text is no cell reference.
bool ParseCellReference(const CString& reference, int& row, int& column);
CString ColumnLetters(int column);   // 0 -> "A"
