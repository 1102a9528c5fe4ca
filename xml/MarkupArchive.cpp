#include "xml/MarkupArchive.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "platform/Locale.h"

namespace {

// Numbers are written and read in the C locale's form whatever locale the process runs in
// (the programs switch to the user's locale at start-up), so the stored text never depends on it.
CString FormatSigned(long long value) {
    char buffer[32];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return CString(std::u16string(buffer, result.ptr));
}

// "%g": six significant digits, exponent form outside 1e-4 .. 1e6.
CString FormatGeneral(double value) {
    char buffer[64];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return CString(std::u16string(buffer, result.ptr));
}

// The scanner's own classes (tokens end at a delimiter; only these four are white space).
bool IsTokenSpace(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }

bool IsTokenDelimiter(char16_t ch) {
    switch (ch) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\r':
    case u'<':
    case u'>':
    case u'=':
    case u'\\':
    case u'/':
    case u'?':
    case u'!': return true;
    default: return false;
    }
}

constexpr int kSiblingsAhead = 8;

enum class QuickAttrib { Found, Absent, Unsure };

// Looks an attribute up in the start tag opening at `open` the way the general attribute scan
// does, but only for the usual shape (tag name, then name="value" pairs up to '>', '/' or '?'),
// which it walks in one tight pass; anything else is Unsure and left to the general scan. Finding
// a record by ID scans every record's start tag, so this decides how fast that is.
QuickAttrib FindAttribQuickly(const char16_t* text, int open, std::u16string_view name, int& left, int& right) {
    if (name.find_first_of(std::u16string_view(u" =/[\0", 5)) != std::u16string_view::npos)
        return QuickAttrib::Unsure;   // names the general scan may also match by a prefix
    int p = open + 1;
    if (text[p] == 0 || text[p] == u'"' || text[p] == u'\'' || IsTokenDelimiter(text[p]))
        return QuickAttrib::Unsure;
    while (text[p] && !IsTokenDelimiter(text[p]))
        ++p;
    for (;;) {
        while (IsTokenSpace(text[p]))
            ++p;
        const char16_t first = text[p];
        if (first == u'/' || first == u'>' || first == u'?')
            return QuickAttrib::Absent;
        if (first == 0 || first == u'"' || first == u'\'' || IsTokenDelimiter(first))
            return QuickAttrib::Unsure;
        const int nameStart = p;
        while (text[p] && !IsTokenDelimiter(text[p]))
            ++p;
        const std::u16string_view attribName(text + nameStart, static_cast<size_t>(p - nameStart));
        while (IsTokenSpace(text[p]))
            ++p;
        if (text[p] != u'=')
            return QuickAttrib::Unsure;
        ++p;
        while (IsTokenSpace(text[p]))
            ++p;
        const char16_t quote = text[p];
        if (quote != u'"' && quote != u'\'')
            return QuickAttrib::Unsure;
        const int valueStart = ++p;
        while (text[p] && text[p] != quote)
            ++p;
        if (!text[p])
            return QuickAttrib::Unsure;
        if (attribName == name) {
            left = valueStart;
            right = p - 1;
            return QuickAttrib::Found;
        }
        ++p;
    }
}

bool IsScanSpace(char16_t ch) {
    return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\v' || ch == u'\f' || ch == u'\r';
}

// A "%d" / "%u" conversion: leading whitespace, an optional sign, decimal digits. The value
// wraps to 32 bits as the C library's scanners do with too many digits. False when no digit.
bool ScanInteger(std::u16string_view text, size_t& at, uint32_t& value) {
    while (at < text.size() && IsScanSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    size_t firstDigit = at;
    uint32_t magnitude = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[at] - u'0');
        ++at;
    }
    if (at == firstDigit)
        return false;
    value = negative ? 0u - magnitude : magnitude;
    return true;
}

int ScanInt(const CString& text) {
    size_t at = 0;
    uint32_t value = 0;
    ScanInteger(text.str(), at, value);
    return static_cast<int>(value);
}

unsigned int ScanUnsigned(const CString& text) {
    size_t at = 0;
    uint32_t value = 0;
    ScanInteger(text.str(), at, value);
    return value;
}

// A "%f" / "%lf" conversion of the leading number; 0 when there is none.
template <typename Real>
Real ScanReal(const CString& text) {
    std::u16string_view view = text.str();
    size_t at = 0;
    while (at < view.size() && IsScanSpace(view[at]))
        ++at;
    if (at < view.size() && view[at] == u'+')
        ++at;
    std::string ascii;
    for (; at < view.size() && view[at] < 0x80 && ascii.size() < 512; ++at)
        ascii += static_cast<char>(view[at]);
    Real value = 0;
    std::from_chars_result result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec != std::errc())
        return 0;
    return value;
}

// "%g" keeps six significant digits, so 12345.67 would read back as 12345.7. A float is written
// as "%g" when that text reads back to the same value (so "85.5" and "0.35" stay as they were),
// otherwise as the shortest text that does ("12345.67").
CString FormatFloat(float value) {
    CString general = FormatGeneral(value);
    if (ScanReal<float>(general) == value)
        return general;
    char buffer[64];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return CString(std::u16string(buffer, result.ptr));
}

COleDateTimeSpan ScanSpan(const CString& text) {
    std::u16string_view view = text.str();
    uint32_t fields[4] = {0, 0, 0, 0};
    const char16_t separators[3] = {u',', u':', u':'};
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at >= view.size() || view[at] != separators[i - 1])
                break;
            ++at;
        }
        if (!ScanInteger(view, at, fields[i]))
            break;
    }
    return COleDateTimeSpan(static_cast<int>(fields[0]), static_cast<int>(fields[1]), static_cast<int>(fields[2]),
                            static_cast<int>(fields[3]));
}

COleDateTime ScanDateTime(const CString& text) { return ParseDateTimeEnglishUS(text); }

const char16_t* BoolText(bool value) { return value ? u"true" : u"false"; }

}   // namespace

CMarkupArchive::CMarkupArchive(unsigned long mode) : m_nMode(mode), m_strEncoding(u"ISO-8859-1") {}

CMarkupArchive::~CMarkupArchive() = default;

void CMarkupArchive::SetEncodingString(TextArg encoding) {
    if (!encoding.IsNull())
        m_strEncoding = CString(encoding.View());
}

bool CMarkupArchive::SetNameSpace(TextArg nameSpace) {
    m_strNameSpace = CString(nameSpace.View());
    if (!m_strNameSpace.IsEmpty())
        m_strNameSpace += u':';
    return true;
}

CString CMarkupArchive::GetNameSpace() const {
    if (m_strNameSpace.IsEmpty())
        return CString();
    return m_strNameSpace.Left(m_strNameSpace.GetLength() - 1);
}

bool CMarkupArchive::OpenString(TextArg text) {
    if (text.IsNull())
        return false;
    m_nMode &= ~static_cast<unsigned long>(ArchiveModeStoring);
    m_strFileName.Empty();
    m_bOpen = true;
    return SetDoc(text);
}

CString CMarkupArchive::x_PrefixedName(TextArg name) const {
    std::u16string prefixed = m_strNameSpace.str();
    prefixed += name.View();
    return CString(std::move(prefixed));
}

bool CMarkupArchive::AddElem(TextArg name, TextArg value) {
    if (m_strNameSpace.IsEmpty())
        return CMarkup::AddElem(name, value);
    return CMarkup::AddElem(x_PrefixedName(name), value);
}

bool CMarkupArchive::AddChildElem(TextArg name, TextArg value) {
    if (m_strNameSpace.IsEmpty())
        return CMarkup::AddChildElem(name, value);
    return CMarkup::AddChildElem(x_PrefixedName(name), value);
}

bool CMarkupArchive::FindElem(TextArg name) {
    if (name.IsNull() || m_strNameSpace.IsEmpty())
        return CMarkup::FindElem(name);
    return CMarkup::FindElem(x_PrefixedName(name));
}

bool CMarkupArchive::FindChildElem(TextArg name) {
    if (name.IsNull() || m_strNameSpace.IsEmpty())
        return CMarkup::FindChildElem(name);
    return CMarkup::FindChildElem(x_PrefixedName(name));
}

// Attributes are read here whatever the node type, so a search that starts without a main
// element can still compare them. `tagName` is the namespace-prefixed element name.
bool CMarkupArchive::x_MatchesByAttrib(int iPos, std::u16string_view tagName, TextArg attribName,
                                       TextArg attribValue) const {
    TokenPos token(m_strDoc.GetString());
    token.next = m_aPos[iPos].startTagOpen + 1;
    QuickAttrib quick = QuickAttrib::Unsure;
    if (!attribValue.IsEmpty())
        quick = FindAttribQuickly(token.text, m_aPos[iPos].startTagOpen, attribName.View(), token.left, token.right);
    if (quick == QuickAttrib::Absent)
        return false;
    bool present = quick == QuickAttrib::Found || x_FindAttrib(token, attribName);
    if (!attribValue.IsEmpty()) {
        if (!present)
            return false;
        std::u16string_view raw(token.text + token.left,
                                static_cast<size_t>(std::max(0, token.right - token.left + 1)));
        // Most values hold no reference; compare those without decoding a copy.
        if (raw.find(u'&') == std::u16string_view::npos)
            return raw == attribValue.View();
        return x_TextFromDoc(token.left, token.right).str() == attribValue.View();
    }
    return present && token.right >= token.left && x_TagNameView(iPos) == tagName;
}

bool CMarkupArchive::FindChildElemAttrib(TextArg elemName, TextArg attribName, TextArg attribValue) {
    if (elemName.IsEmpty() || attribName.IsEmpty())
        return false;
    if (!m_iPos)
        FindElem();
    if (!m_iPos || m_aPos[m_iPos].IsEmptyElement())
        return false;
    CString tagName = x_PrefixedName(elemName);
    int iPos = m_iPosChild ? m_aPos[m_iPosChild].nextSibling : m_aPos[m_iPos].firstChild;
    // Each start tag lies far from the last in a large document: ask for the ones a few
    // siblings ahead while this one is compared, so the scan does not wait on memory.
    int iPosAhead = iPos;
    for (int k = 0; k < kSiblingsAhead && iPosAhead; ++k)
        iPosAhead = m_aPos[iPosAhead].nextSibling;
    for (; iPos; iPos = m_aPos[iPos].nextSibling) {
        if (iPosAhead) {
            __builtin_prefetch(m_strDoc.GetString() + m_aPos[iPosAhead].startTagOpen);
            iPosAhead = m_aPos[iPosAhead].nextSibling;
        }
        if (x_MatchesByAttrib(iPos, tagName, attribName, attribValue)) {
            m_iPosChild = iPos;
            return true;
        }
    }
    return false;
}

bool CMarkupArchive::FindElemAttrib(TextArg elemName, TextArg attribName, TextArg attribValue) {
    if (m_aPos.empty() || elemName.IsEmpty() || attribName.IsEmpty())
        return false;
    // Without a main element the search starts at the first element of the current level
    // (the root at document level).
    CString tagName = x_PrefixedName(elemName);
    int iPos = m_iPos ? m_aPos[m_iPos].nextSibling : m_aPos[m_iPosParent].firstChild;
    for (; iPos; iPos = m_aPos[iPos].nextSibling) {
        if (x_MatchesByAttrib(iPos, tagName, attribName, attribValue)) {
            x_SetPos(m_iPosParent, iPos, 0);
            return true;
        }
    }
    return false;
}

CString CMarkupArchive::FloatText(float value) { return FormatFloat(value); }

// Typed writers.
bool CMarkupArchive::AddElemEx(TextArg name, bool value) { return AddElem(name, BoolText(value)); }
bool CMarkupArchive::AddElemEx(TextArg name, unsigned int value) {
    m_strValue = FormatSigned(value);
    return AddElem(name, m_strValue);
}
bool CMarkupArchive::AddElemEx(TextArg name, unsigned long value) {
    return AddElemEx(name, static_cast<unsigned int>(value));
}
bool CMarkupArchive::AddElemEx(TextArg name, int value) {
    m_strValue = FormatSigned(value);
    return AddElem(name, m_strValue);
}
bool CMarkupArchive::AddElemEx(TextArg name, long value) { return AddElemEx(name, static_cast<int>(value)); }
bool CMarkupArchive::AddElemEx(TextArg name, float value) {
    m_strValue = FormatFloat(value);
    return AddElem(name, m_strValue);
}
bool CMarkupArchive::AddElemEx(TextArg name, double value) {
    m_strValue = FormatGeneral(value);
    return AddElem(name, m_strValue);
}

bool CMarkupArchive::AddChildElemEx(TextArg name, bool value) { return AddChildElem(name, BoolText(value)); }
bool CMarkupArchive::AddChildElemEx(TextArg name, unsigned int value) {
    m_strValue = FormatSigned(value);
    return AddChildElem(name, m_strValue);
}
bool CMarkupArchive::AddChildElemEx(TextArg name, unsigned long value) {
    return AddChildElemEx(name, static_cast<unsigned int>(value));
}
bool CMarkupArchive::AddChildElemEx(TextArg name, int value) {
    m_strValue = FormatSigned(value);
    return AddChildElem(name, m_strValue);
}
bool CMarkupArchive::AddChildElemEx(TextArg name, long value) { return AddChildElemEx(name, static_cast<int>(value)); }
bool CMarkupArchive::AddChildElemEx(TextArg name, float value) {
    m_strValue = FormatFloat(value);
    return AddChildElem(name, m_strValue);
}
bool CMarkupArchive::AddChildElemEx(TextArg name, double value) {
    m_strValue = FormatGeneral(value);
    return AddChildElem(name, m_strValue);
}

bool CMarkupArchive::AddAttribEx(TextArg name, bool value) { return x_SetAttrib(m_iPos, name, BoolText(value)); }
bool CMarkupArchive::AddAttribEx(TextArg name, unsigned int value) {
    m_strValue = FormatSigned(value);
    return x_SetAttrib(m_iPos, name, m_strValue);
}
bool CMarkupArchive::AddAttribEx(TextArg name, unsigned long value) {
    return AddAttribEx(name, static_cast<unsigned int>(value));
}
bool CMarkupArchive::AddAttribEx(TextArg name, int value) {
    m_strValue = FormatSigned(value);
    return x_SetAttrib(m_iPos, name, m_strValue);
}
bool CMarkupArchive::AddAttribEx(TextArg name, long value) { return AddAttribEx(name, static_cast<int>(value)); }
bool CMarkupArchive::AddAttribEx(TextArg name, float value) {
    m_strValue = FormatFloat(value);
    return x_SetAttrib(m_iPos, name, m_strValue);
}
bool CMarkupArchive::AddAttribEx(TextArg name, double value) {
    m_strValue = FormatGeneral(value);
    return x_SetAttrib(m_iPos, name, m_strValue);
}

bool CMarkupArchive::AddChildAttribEx(TextArg name, bool value) {
    return x_SetAttrib(m_iPosChild, name, BoolText(value));
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, unsigned int value) {
    m_strValue = FormatSigned(value);
    return x_SetAttrib(m_iPosChild, name, m_strValue);
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, unsigned long value) {
    return AddChildAttribEx(name, static_cast<unsigned int>(value));
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, int value) {
    m_strValue = FormatSigned(value);
    return x_SetAttrib(m_iPosChild, name, m_strValue);
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, long value) {
    return AddChildAttribEx(name, static_cast<int>(value));
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, float value) {
    m_strValue = FormatFloat(value);
    return x_SetAttrib(m_iPosChild, name, m_strValue);
}
bool CMarkupArchive::AddChildAttribEx(TextArg name, double value) {
    m_strValue = FormatGeneral(value);
    return x_SetAttrib(m_iPosChild, name, m_strValue);
}

// Typed readers.
bool CMarkupArchive::GetDataBool() const { return GetData() == u"true"; }
int CMarkupArchive::GetDataInt() const { return ScanInt(GetData()); }
unsigned int CMarkupArchive::GetDataUINT() const { return ScanUnsigned(GetData()); }
unsigned long CMarkupArchive::GetDataDWORD() const { return ScanUnsigned(GetData()); }
float CMarkupArchive::GetDataFloat() const { return ScanReal<float>(GetData()); }
double CMarkupArchive::GetDataDouble() const { return ScanReal<double>(GetData()); }
COleDateTime CMarkupArchive::GetDataDateTime() const { return ScanDateTime(GetData()); }
COleDateTimeSpan CMarkupArchive::GetDataDateTimeSpan() const { return ScanSpan(GetData()); }

bool CMarkupArchive::GetChildDataBool() const { return GetChildData() == u"true"; }
int CMarkupArchive::GetChildDataInt() const { return ScanInt(GetChildData()); }
long CMarkupArchive::GetChildDataLong() const { return ScanInt(GetChildData()); }
unsigned int CMarkupArchive::GetChildDataUINT() const { return ScanUnsigned(GetChildData()); }
unsigned long CMarkupArchive::GetChildDataDWORD() const { return ScanUnsigned(GetChildData()); }
float CMarkupArchive::GetChildDataFloat() const { return ScanReal<float>(GetChildData()); }
double CMarkupArchive::GetChildDataDouble() const { return ScanReal<double>(GetChildData()); }
COleDateTime CMarkupArchive::GetChildDataDateTime() const { return ScanDateTime(GetChildData()); }
COleDateTimeSpan CMarkupArchive::GetChildDataDateTimeSpan() const { return ScanSpan(GetChildData()); }

bool CMarkupArchive::GetAttribBool(TextArg name) const { return GetAttrib(name) == u"true"; }
int CMarkupArchive::GetAttribInt(TextArg name) const { return ScanInt(GetAttrib(name)); }
unsigned int CMarkupArchive::GetAttribUINT(TextArg name) const { return ScanUnsigned(GetAttrib(name)); }
unsigned long CMarkupArchive::GetAttribDWORD(TextArg name) const { return ScanUnsigned(GetAttrib(name)); }
float CMarkupArchive::GetAttribFloat(TextArg name) const { return ScanReal<float>(GetAttrib(name)); }
double CMarkupArchive::GetAttribDouble(TextArg name) const { return ScanReal<double>(GetAttrib(name)); }
COleDateTime CMarkupArchive::GetAttribDateTime(TextArg name) const { return ScanDateTime(GetAttrib(name)); }

bool CMarkupArchive::GetChildAttribBool(TextArg name) const { return GetChildAttrib(name) == u"true"; }
int CMarkupArchive::GetChildAttribInt(TextArg name) const { return ScanInt(GetChildAttrib(name)); }
unsigned int CMarkupArchive::GetChildAttribUINT(TextArg name) const { return ScanUnsigned(GetChildAttrib(name)); }
unsigned long CMarkupArchive::GetChildAttribDWORD(TextArg name) const { return ScanUnsigned(GetChildAttrib(name)); }
float CMarkupArchive::GetChildAttribFloat(TextArg name) const { return ScanReal<float>(GetChildAttrib(name)); }
double CMarkupArchive::GetChildAttribDouble(TextArg name) const { return ScanReal<double>(GetChildAttrib(name)); }
COleDateTime CMarkupArchive::GetChildAttribDateTime(TextArg name) const { return ScanDateTime(GetChildAttrib(name)); }

// Find-and-get: the out value is written only when the element was found.
template <typename Value, typename Reader>
bool CMarkupArchive::x_FindGetData(TextArg name, Value& value, Reader read) {
    ResetPos();
    if (!FindElem(name))
        return false;
    value = (this->*read)();
    return true;
}

template <typename Value, typename Reader>
bool CMarkupArchive::x_FindGetChildData(TextArg name, Value& value, Reader read) {
    ResetChildPos();
    if (!FindChildElem(name))
        return false;
    value = (this->*read)();
    return true;
}

bool CMarkupArchive::FindGetData(TextArg name, CString& value) {
    return x_FindGetData(name, value, &CMarkup::GetData);
}
bool CMarkupArchive::FindGetData(TextArg name, bool& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataBool);
}
bool CMarkupArchive::FindGetData(TextArg name, int& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataInt);
}
bool CMarkupArchive::FindGetData(TextArg name, unsigned int& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataUINT);
}
bool CMarkupArchive::FindGetData(TextArg name, unsigned long& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataDWORD);
}
bool CMarkupArchive::FindGetData(TextArg name, float& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataFloat);
}
bool CMarkupArchive::FindGetData(TextArg name, double& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataDouble);
}
bool CMarkupArchive::FindGetData(TextArg name, COleDateTime& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataDateTime);
}
bool CMarkupArchive::FindGetData(TextArg name, COleDateTimeSpan& value) {
    return x_FindGetData(name, value, &CMarkupArchive::GetDataDateTimeSpan);
}

bool CMarkupArchive::FindGetChildData(TextArg name, CString& value) {
    return x_FindGetChildData(name, value, &CMarkup::GetChildData);
}
bool CMarkupArchive::FindGetChildData(TextArg name, bool& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataBool);
}
bool CMarkupArchive::FindGetChildData(TextArg name, int& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataInt);
}
bool CMarkupArchive::FindGetChildData(TextArg name, long& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataLong);
}
bool CMarkupArchive::FindGetChildData(TextArg name, unsigned int& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataUINT);
}
bool CMarkupArchive::FindGetChildData(TextArg name, unsigned long& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataDWORD);
}
bool CMarkupArchive::FindGetChildData(TextArg name, float& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataFloat);
}
bool CMarkupArchive::FindGetChildData(TextArg name, double& value) {
    return x_FindGetChildData(name, value, &CMarkupArchive::GetChildDataDouble);
}
