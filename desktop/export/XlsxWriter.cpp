#include "desktop/export/XlsxWriter.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string_view>
#include <tuple>

namespace {

constexpr double kMaxColumnWidth = 255.0;

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

lxw_format_borders BorderKind(const CBorderEdge& edge) {
    if (!edge.IsDrawn())
        return LXW_BORDER_NONE;
    switch (edge.weight) {
    case xlHairline: return LXW_BORDER_HAIR;
    case xlMedium: return LXW_BORDER_MEDIUM;
    case xlThick: return LXW_BORDER_THICK;
    default: return LXW_BORDER_THIN;
    }
}

bool IsTimeOnly(double oleDate) { return oleDate >= 0.0 && oleDate < 1.0; }

// What a date value shows when its column has no format of its own, as the spreadsheet
// gives a date assigned through automation.
CString DefaultDateFormat(double oleDate) {
    if (IsTimeOnly(oleDate))
        return u"h:mm:ss AM/PM";
    if (oleDate == std::floor(oleDate))
        return u"m/d/yyyy";
    return u"m/d/yyyy h:mm";
}

// Formats are shared between cells of the same look, as the file format expects.
class FormatCache {
public:
    explicit FormatCache(lxw_workbook* workbook) : m_workbook(workbook) {}

    lxw_format* Get(const CCellStyle& style, const CString& numberFormat, bool wrap = false) {
        const std::string fontName = style.fontName.ToUtf8();
        const std::string number = numberFormat.ToUtf8();
        auto key = std::make_tuple(fontName, style.fontSize, style.bold, BorderKind(style.left), BorderKind(style.top),
                                   BorderKind(style.right), BorderKind(style.bottom), number, wrap);
        auto found = m_formats.find(key);
        if (found != m_formats.end())
            return found->second;
        lxw_format* format = workbook_add_format(m_workbook);
        format_set_font_name(format, fontName.c_str());
        format_set_font_size(format, style.fontSize);
        if (style.bold)
            format_set_bold(format);
        format_set_left(format, BorderKind(style.left));
        format_set_top(format, BorderKind(style.top));
        format_set_right(format, BorderKind(style.right));
        format_set_bottom(format, BorderKind(style.bottom));
        if (!number.empty())
            format_set_num_format(format, number.c_str());
        if (wrap)
            format_set_text_wrap(format);
        m_formats.emplace(key, format);
        return format;
    }

private:
    using Key = std::tuple<std::string, double, bool, int, int, int, int, std::string, bool>;
    lxw_workbook* m_workbook;
    std::map<Key, lxw_format*> m_formats;
};

CString NumberFormatOf(const CWorkbookModel& sheet, int column, const CCell& cell) {
    if (const CString* columnFormat = sheet.ColumnFormat(column))
        return *columnFormat;
    if (cell.value.GetKind() == CVariant::Kind::Date)
        return DefaultDateFormat(cell.value.GetNumber());
    return CString();
}

// Reads an A1 reference ("K12") at pos; rows and columns come back counting from 0.
bool ReadReference(const std::u16string& text, size_t& pos, int& row, int& column) {
    long letters = 0, digits = 0;
    size_t start = pos;
    while (pos < text.size() && text[pos] >= u'A' && text[pos] <= u'Z' && letters < 100000)
        letters = letters * 26 + (text[pos++] - u'A' + 1);
    if (pos == start)
        return false;
    start = pos;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9' && digits < 10000000)
        digits = digits * 10 + (text[pos++] - u'0');
    if (pos == start || digits == 0)
        return false;
    row = static_cast<int>(digits - 1);
    column = static_cast<int>(letters - 1);
    return true;
}

// Digits after the point in the shortest text of the value (49.99 has 2); 15 when it needs more.
int DecimalsOf(double value) {
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    const std::string_view shown(text, static_cast<size_t>(result.ptr - text));
    const size_t point = shown.find('.');
    if (result.ec != std::errc() || point == std::string_view::npos)
        return result.ec != std::errc() ? 15 : 0;
    return std::min(15, static_cast<int>(shown.size() - point - 1));
}

// The decimal sum a person would get: 49.99 + 163.25 is 213.24, not 213.24000000000001.
double RoundedTo(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}

// The value of a "=SUM(A1:B2)" formula over the sheet's numbers, stored with the formula so
// that programs which do not recalculate on opening still show the total. Other formulas: 0.
double FormulaResult(const CWorkbookModel& sheet, const CString& formula) {
    const std::u16string& text = formula.str();
    const std::u16string prefix = u"=SUM(";
    if (text.compare(0, prefix.size(), prefix) != 0)
        return 0.0;
    size_t pos = prefix.size();
    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
    if (!ReadReference(text, pos, firstRow, firstColumn))
        return 0.0;
    lastRow = firstRow;
    lastColumn = firstColumn;
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        if (!ReadReference(text, pos, lastRow, lastColumn))
            return 0.0;
    }
    if (pos + 1 != text.size() || text[pos] != u')')
        return 0.0;
    double sum = 0.0;
    int decimals = 0;
    for (const auto& [position, cell] : sheet.Cells()) {
        const auto [row, column] = position;
        const bool inside = row >= std::min(firstRow, lastRow) && row <= std::max(firstRow, lastRow) &&
                            column >= std::min(firstColumn, lastColumn) && column <= std::max(firstColumn, lastColumn);
        const CVariant::Kind kind = cell.value.GetKind();
        if (inside && cell.formula.IsEmpty() && (kind == CVariant::Kind::Number || kind == CVariant::Kind::Date)) {
            sum += cell.value.GetNumber();
            decimals = std::max(decimals, DecimalsOf(cell.value.GetNumber()));
        }
    }
    return RoundedTo(sum, decimals);
}

int LineCount(const CCell& cell) {
    if (cell.value.GetKind() != CVariant::Kind::Text)
        return 1;
    int lines = 1;
    for (char16_t ch : cell.value.GetText().str())
        lines += ch == u'\n' ? 1 : 0;
    return lines;
}

// A text with line breaks wraps at them, as the spreadsheet does when such a text is assigned.
bool Wraps(const CCell& cell) { return LineCount(cell) > 1; }

// Points a row needs to show every line of its cells.
double RowHeightFor(const CCell& cell) {
    constexpr double kLineSpacing = 1.35;
    return LineCount(cell) * cell.style.fontSize * kLineSpacing;
}

lxw_error WriteCell(lxw_worksheet* worksheet, int row, int column, const CCell& cell, lxw_format* format,
                    const CWorkbookModel& sheet) {
    if (!cell.formula.IsEmpty())
        return worksheet_write_formula_num(worksheet, row, column, cell.formula.ToUtf8().c_str(), format,
                                           FormulaResult(sheet, cell.formula));
    switch (cell.value.GetKind()) {
    case CVariant::Kind::Number:
    case CVariant::Kind::Date: return worksheet_write_number(worksheet, row, column, cell.value.GetNumber(), format);
    case CVariant::Kind::Text:
        if (!cell.value.GetText().IsEmpty())
            return worksheet_write_string(worksheet, row, column, cell.value.GetText().ToUtf8().c_str(), format);
        [[fallthrough]];
    case CVariant::Kind::Empty: return worksheet_write_blank(worksheet, row, column, format);
    }
    return LXW_NO_ERROR;
}

double NumberLength(double number, const CString& numberFormat) {
    const double value = std::fabs(number);
    const int digits = value < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(value))) + 1;
    const bool grouped = numberFormat.Find(u',') >= 0;
    const bool currency = numberFormat.Find(u'$') >= 0;
    return digits + (grouped ? (digits - 1) / 3 : 0) + 3 + (currency ? 1 : 0) + (number < 0 ? 2 : 0);
}

// Characters a cell shows, as far as its width is concerned.
double ShownLength(const CWorkbookModel& sheet, const CCell& cell, const CString& numberFormat) {
    if (!cell.formula.IsEmpty())
        return NumberLength(FormulaResult(sheet, cell.formula), numberFormat);
    switch (cell.value.GetKind()) {
    case CVariant::Kind::Text: {
        int longest = 0, current = 0;
        for (char16_t ch : cell.value.GetText().str()) {
            current = ch == u'\n' ? 0 : current + 1;
            longest = std::max(longest, current);
        }
        return longest;
    }
    case CVariant::Kind::Number: return NumberLength(cell.value.GetNumber(), numberFormat);
    case CVariant::Kind::Date: return IsTimeOnly(cell.value.GetNumber()) ? 11 : 10;
    case CVariant::Kind::Empty: break;
    }
    return 0;
}

}   // namespace

double CXlsxWriter::FittedWidth(const CWorkbookModel& sheet, int column) {
    double width = 0.0;
    for (const auto& [position, cell] : sheet.Cells()) {
        if (position.second != column)
            continue;
        const double scale = cell.style.fontSize / 11.0 * (cell.style.bold ? 1.1 : 1.0);
        width = std::max(width, ShownLength(sheet, cell, NumberFormatOf(sheet, column, cell)) * scale + 1.5);
    }
    return std::min(width, kMaxColumnWidth);
}

bool CXlsxWriter::Write(const CWorkbookModel& sheet, const std::string& path) {
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new(path.c_str()));
    if (!workbook)
        return false;
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook.get(), nullptr);
    if (!worksheet)
        return false;
    FormatCache formats(workbook.get());

    const CCellStyle plain;
    for (int column = 0; column <= sheet.LastColumn(); ++column) {
        const CString* numberFormat = sheet.ColumnFormat(column);
        lxw_format* columnFormat = numberFormat ? formats.Get(plain, *numberFormat) : nullptr;
        const double width = sheet.IsAutoFit(column) ? FittedWidth(sheet, column) : LXW_DEF_COL_WIDTH;
        if (columnFormat || sheet.IsAutoFit(column))
            worksheet_set_column(worksheet, column, column, width, columnFormat);
    }
    std::map<int, double> rowHeights;
    for (const auto& [position, cell] : sheet.Cells()) {
        const auto [row, column] = position;
        lxw_format* format = formats.Get(cell.style, NumberFormatOf(sheet, column, cell), Wraps(cell));
        if (WriteCell(worksheet, row, column, cell, format, sheet) != LXW_NO_ERROR)
            return false;
        if (Wraps(cell))
            rowHeights[row] = std::max(rowHeights[row], RowHeightFor(cell));
    }
    for (const auto& [row, height] : rowHeights)
        if (worksheet_set_row(worksheet, row, height, nullptr) != LXW_NO_ERROR)
            return false;
    return workbook_close(workbook.release()) == LXW_NO_ERROR;
}
