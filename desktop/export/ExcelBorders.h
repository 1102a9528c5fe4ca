#pragma once
// The borders of a range and one edge of them.
#include "desktop/export/ExcelRange.h"

class CExcelBorder {
public:
    CExcelBorder(CExcelRange range, int edge) : m_range(std::move(range)), m_edge(edge) {}
    // Sets the line style of that edge of the range (its outer cells' edge).
    void SetLineStyle(int lineStyle);

private:
    CExcelRange m_range;
    int m_edge;
};

class CExcelBorders {
public:
    explicit CExcelBorders(CExcelRange range) : m_range(std::move(range)) {}
    CExcelBorder Item(int edge) const { return CExcelBorder(m_range, edge); }

private:
    CExcelRange m_range;
};

// Sets one outer edge of a range to a line style and weight.
void SetRangeEdge(const CExcelRange& range, int edge, const CBorderEdge& value);
