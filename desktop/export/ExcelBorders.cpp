#include "desktop/export/ExcelBorders.h"

void SetRangeEdge(const CExcelRange& range, int edge, const CBorderEdge& value) {
    CWorkbookModel& sheet = range.Sheet();
    const int lastRow = range.Row() + range.RowCount() - 1;
    const int lastColumn = range.Column() + range.ColumnCount() - 1;
    switch (edge) {
    case xlEdgeTop:
    case xlEdgeBottom:
        for (int c = range.Column(); c <= lastColumn; ++c) {
            CCellStyle& style = sheet.At(edge == xlEdgeTop ? range.Row() : lastRow, c).style;
            (edge == xlEdgeTop ? style.top : style.bottom) = value;
        }
        break;
    case xlEdgeLeft:
    case xlEdgeRight:
        for (int r = range.Row(); r <= lastRow; ++r) {
            CCellStyle& style = sheet.At(r, edge == xlEdgeLeft ? range.Column() : lastColumn).style;
            (edge == xlEdgeLeft ? style.left : style.right) = value;
        }
        break;
    default: break;
    }
}

void CExcelBorder::SetLineStyle(int lineStyle) { SetRangeEdge(m_range, m_edge, CBorderEdge{lineStyle, xlThin}); }
