#pragma once
// One worksheet held in memory while the spreadsheet export builds it: cell values and
// formulas, fonts, borders, whole-column number formats and the columns to fit to their text.
#include <map>
#include <set>
#include <utility>

#include "desktop/export/ExcelConstants.h"
#include "desktop/export/Variant.h"

struct CBorderEdge {
    int lineStyle = xlNone;
    int weight = xlThin;
    bool IsDrawn() const { return lineStyle != xlNone; }
};

struct CCellStyle {
    CString fontName = u"Calibri";   // the workbook default of a new file
    double fontSize = 11.0;
    bool bold = false;
    CBorderEdge left, top, right, bottom;
};

struct CCell {
    CVariant value;
    CString formula;   // A1 form ("=SUM(B2:B9)"); empty when the cell holds a plain value
    CCellStyle style;
};

class CWorkbookModel {
public:
    // Rows and columns count from 0 here; the automation layer speaks from 1 ("A1").
    CCell& At(int row, int column) { return m_cells[{row, column}]; }
    const CCell* Find(int row, int column) const;
    const std::map<std::pair<int, int>, CCell>& Cells() const { return m_cells; }

    void SetColumnFormat(int column, const CString& format) { m_columnFormats[column] = format; }
    const CString* ColumnFormat(int column) const;
    void MarkAutoFit(int column) { m_autoFit.insert(column); }
    bool IsAutoFit(int column) const { return m_autoFit.count(column) != 0; }
    int LastColumn() const;   // -1 when empty

private:
    std::map<std::pair<int, int>, CCell> m_cells;
    std::map<int, CString> m_columnFormats;
    std::set<int> m_autoFit;
};
