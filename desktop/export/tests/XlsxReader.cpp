#include "desktop/export/tests/XlsxReader.h"

#include <cstdio>
#include <memory>

#include "xml/Markup.h"

namespace {

std::string Unzipped(const std::string& archive, const std::string& member) {
    const std::string command = "unzip -p '" + archive + "' '" + member + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    if (!pipe)
        return text;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        text.append(buffer, read);
    return text;
}

bool OpenDocument(CMarkup& doc, const std::string& utf8, const char16_t* root) {
    if (utf8.empty() || !doc.SetDoc(CString::FromUtf8(utf8)))
        return false;
    return doc.FindElem(root) && doc.IntoElem();
}

int RowOf(const std::string& reference) {
    size_t i = 0;
    while (i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z')
        ++i;
    return std::stoi(reference.substr(i));
}

}   // namespace

bool XlsxReader::Open(const std::string& path) {
    m_path = path;
    return ReadSharedStrings() && ReadStyles() && ReadSheet();
}

bool XlsxReader::ReadSharedStrings() {
    const std::string xml = Unzipped(m_path, "xl/sharedStrings.xml");
    if (xml.empty())
        return true;   // a sheet without texts has none
    CMarkup doc;
    if (!OpenDocument(doc, xml, u"sst"))
        return false;
    while (doc.FindElem(u"si")) {
        doc.FindChildElem(u"t");
        m_strings.push_back(doc.GetChildData());
    }
    return true;
}

bool XlsxReader::ReadStyles() {
    CMarkup doc;
    if (!OpenDocument(doc, Unzipped(m_path, "xl/styles.xml"), u"styleSheet"))
        return false;
    // The built-in formats a workbook refers to by number only.
    std::map<int, CString> numberFormats = {{0, CString()},   {1, u"0"},         {2, u"0.00"}, {3, u"#,##0"},
                                            {4, u"#,##0.00"}, {14, u"m/d/yyyy"}, {49, u"@"}};
    if (doc.FindElem(u"numFmts")) {
        doc.IntoElem();
        while (doc.FindElem(u"numFmt"))
            numberFormats[std::stoi(doc.GetAttrib(u"numFmtId").ToUtf8())] = doc.GetAttrib(u"formatCode");
        doc.OutOfElem();
    }
    struct Font {
        bool bold;
        CString name;
        double size;
    };
    std::vector<Font> fonts;
    doc.ResetPos();
    doc.FindElem(u"styleSheet");
    doc.IntoElem();
    if (doc.FindElem(u"fonts")) {
        doc.IntoElem();
        while (doc.FindElem(u"font")) {
            Font font{false, CString(), 0};
            font.bold = doc.FindChildElem(u"b");
            doc.ResetChildPos();
            if (doc.FindChildElem(u"sz"))
                font.size = std::stod(doc.GetChildAttrib(u"val").ToUtf8());
            doc.ResetChildPos();
            if (doc.FindChildElem(u"name"))
                font.name = doc.GetChildAttrib(u"val");
            fonts.push_back(font);
        }
        doc.OutOfElem();
    }
    struct Border {
        CString left, right, top, bottom;
    };
    std::vector<Border> borders;
    if (doc.FindElem(u"borders")) {
        doc.IntoElem();
        while (doc.FindElem(u"border")) {
            Border border;
            for (auto [name, field] : {std::pair{u"left", &border.left}, std::pair{u"right", &border.right},
                                       std::pair{u"top", &border.top}, std::pair{u"bottom", &border.bottom}}) {
                doc.ResetChildPos();
                if (doc.FindChildElem(name))
                    *field = doc.GetChildAttrib(u"style");
            }
            borders.push_back(border);
        }
        doc.OutOfElem();
    }
    if (!doc.FindElem(u"cellXfs"))
        return false;
    doc.IntoElem();
    while (doc.FindElem(u"xf")) {
        XlsxStyle style;
        const Font& font = fonts.at(std::stoi(doc.GetAttrib(u"fontId").ToUtf8()));
        style.bold = font.bold;
        style.fontName = font.name;
        style.fontSize = font.size;
        const Border& border = borders.at(std::stoi(doc.GetAttrib(u"borderId").ToUtf8()));
        style.leftBorder = border.left;
        style.rightBorder = border.right;
        style.topBorder = border.top;
        style.bottomBorder = border.bottom;
        style.numberFormat = numberFormats[std::stoi(doc.GetAttrib(u"numFmtId").ToUtf8())];
        style.wrapText = doc.FindChildElem(u"alignment") && doc.GetChildAttrib(u"wrapText") == u"1";
        m_styles.push_back(style);
    }
    return true;
}

bool XlsxReader::ReadSheet() {
    m_sheetXml = Unzipped(m_path, "xl/worksheets/sheet1.xml");
    CMarkup doc;
    if (!OpenDocument(doc, m_sheetXml, u"worksheet"))
        return false;
    if (doc.FindElem(u"cols")) {
        doc.IntoElem();
        while (doc.FindElem(u"col")) {
            const int first = std::stoi(doc.GetAttrib(u"min").ToUtf8());
            m_widths[first - 1] = std::stod(doc.GetAttrib(u"width").ToUtf8());
        }
        doc.OutOfElem();
    }
    if (!doc.FindElem(u"sheetData"))
        return false;
    doc.IntoElem();
    while (doc.FindElem(u"row")) {
        const CString height = doc.GetAttrib(u"ht");
        if (!height.IsEmpty())
            m_heights[std::stoi(doc.GetAttrib(u"r").ToUtf8())] = std::stod(height.ToUtf8());
        doc.IntoElem();
        while (doc.FindElem(u"c")) {
            XlsxCell cell;
            const std::string reference = doc.GetAttrib(u"r").ToUtf8();
            cell.type = doc.GetAttrib(u"t").ToUtf8();
            const CString style = doc.GetAttrib(u"s");
            cell.style = style.IsEmpty() ? 0 : std::stoi(style.ToUtf8());
            if (doc.FindChildElem(u"f"))
                cell.formula = doc.GetChildData();
            doc.ResetChildPos();
            if (doc.FindChildElem(u"v"))
                cell.text = doc.GetChildData();
            if (cell.type == "s")
                cell.text = m_strings.at(std::stoi(cell.text.ToUtf8()));
            m_maxRow = std::max(m_maxRow, RowOf(reference));
            m_cells[reference] = cell;
        }
        doc.OutOfElem();
    }
    return true;
}

const XlsxCell* XlsxReader::Cell(const std::string& reference) const {
    auto found = m_cells.find(reference);
    return found == m_cells.end() ? nullptr : &found->second;
}

const XlsxStyle& XlsxReader::StyleOf(const XlsxCell& cell) const { return m_styles.at(cell.style); }

double XlsxReader::RowHeight(int row) const {
    auto found = m_heights.find(row);
    return found == m_heights.end() ? 0.0 : found->second;
}

double XlsxReader::ColumnWidth(int column) const {
    auto found = m_widths.find(column);
    return found == m_widths.end() ? 0.0 : found->second;
}
