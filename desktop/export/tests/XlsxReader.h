#pragma once
// Reads back what a test needs of a written .xlsx: cells with their values, formulas and
// styles (font boldness, borders, number format, wrapping) and row heights. Unpacks the file with the unzip tool.
#include <map>
#include <string>
#include <vector>

#include "platform/CString.h"

struct XlsxCell {
    std::string type;   // "s" shared string, "n" number (or empty), "str" formula text
    CString text;       // the shared string, or the number's text
    CString formula;
    int style = 0;
};

struct XlsxStyle {
    bool bold = false;
    CString fontName;
    double fontSize = 0;
    CString topBorder, bottomBorder, leftBorder, rightBorder;   // "medium", "thin", ""
    CString numberFormat;                                       // the format code, "" for General
    bool wrapText = false;
};

class XlsxReader {
public:
    bool Open(const std::string& path);
    const XlsxCell* Cell(const std::string& reference) const;
    const XlsxStyle& StyleOf(const XlsxCell& cell) const;
    int MaxRow() const { return m_maxRow; }
    double ColumnWidth(int column) const;   // 0 when not set
    double RowHeight(int row) const;        // in points, counting from 1; 0 when not set
    const std::string& SheetXml() const { return m_sheetXml; }

private:
    bool ReadSharedStrings();
    bool ReadStyles();
    bool ReadSheet();

    std::string m_path;
    std::string m_sheetXml;
    std::vector<CString> m_strings;
    std::vector<XlsxStyle> m_styles;
    std::map<std::string, XlsxCell> m_cells;
    std::map<int, double> m_widths;
    std::map<int, double> m_heights;
    int m_maxRow = 0;
};
