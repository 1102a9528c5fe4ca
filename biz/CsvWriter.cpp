#include "biz/CsvWriter.h"

#include "platform/Paths.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool StartsLikeFormula(const CString& text) {
    switch (text.GetAt(0)) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r': return true;
    default: return false;
    }
}

}   // namespace

void CCsvWriter::AddField(const CString& text) {
    if (m_recordStarted)
        m_text += ',';
    m_recordStarted = true;
    m_text += Quoted(text.ToUtf8());
}

void CCsvWriter::AddTextField(const CString& text) {
    if (m_format.guardFormulas && StartsLikeFormula(text))
        AddField(u"'" + text);
    else
        AddField(text);
}

void CCsvWriter::EndRecord() {
    m_text += "\r\n";
    m_recordStarted = false;
}

std::string CCsvWriter::Text() const { return m_format.byteOrderMark ? kByteOrderMark + m_text : m_text; }

bool CCsvWriter::Save(const CString& path, CString& error) const {
    if (path.IsEmpty() || !WriteFileAtomically(path.ToUtf8(), Text())) {
        error = CString(u"Cannot save ") + path;
        return false;
    }
    return true;
}

std::string CCsvWriter::Quoted(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string quoted = "\"";
    for (char ch : utf8) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

CString CCsvWriter::DecimalHours(long long minutes) {
    const bool negative = minutes < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(minutes) : static_cast<unsigned long long>(minutes);
    // Hundredths of an hour: minutes * 100 / 60, halves away from zero.
    const unsigned long long hundredths = (magnitude * 10 + 3) / 6;
    return CString::Formatted(u"%s%llu.%02llu", negative && hundredths ? u"-" : u"", hundredths / 100,
                              hundredths % 100);
}

CString CCsvWriter::Integer(long long value) { return CString::Formatted(u"%lld", value); }
