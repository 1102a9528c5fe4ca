#include "platform/CString.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence at `pos`; returns the code point or -1 for an invalid one, and
// advances `pos` past the bytes consumed. An invalid sequence consumes its longest valid
// prefix (at least one byte), so each maximal bad subpart becomes one U+FFFD.
long DecodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    long code = 0;
    unsigned char low = 0x80, high = 0xBF;   // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;   // overlong
        if (lead == 0xED)
            high = 0x9F;   // surrogates are not characters
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;   // overlong
        if (lead == 0xF4)
            high = 0x8F;   // beyond U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (pos >= text.size())
            return -1;
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (i == 1 ? (byte < low || byte > high) : !IsContinuation(byte))
            return -1;
        code = (code << 6) | (byte & 0x3F);
        ++pos;
    }
    return code;
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

// Latin-1 letters fold too; U+00D7 and U+00F7 are signs, U+00DF and U+00FF have no
// single-unit partner in Latin-1.
char16_t ToUpper(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 32);
    return c;
}

char16_t ToLower(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 32);
    return c;
}

size_t Clamp(int value, size_t max) {
    if (value < 0)
        return 0;
    return std::min(static_cast<size_t>(value), max);
}

size_t Length16(const char16_t* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

}   // namespace

CString::CString(const char16_t* text) {
    if (text)
        m_text.assign(text, Length16(text));
}

CString::CString(const char16_t* text, int length) {
    if (text && length > 0)
        m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(char16_t ch, int repeat) {
    if (repeat > 0)
        m_text.assign(static_cast<size_t>(repeat), ch);
}

CString::CString(const char* utf8) {
    if (utf8)
        *this = FromUtf8(utf8);
}

CString::CString(const std::string& utf8) : CString(FromUtf8(utf8)) {}

CString CString::FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const long code = DecodeUtf8(utf8, pos);
        if (code < 0) {
            out += kReplacement;
        } else if (code >= 0x10000) {
            const long v = code - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return CString(std::move(out));
}

std::string CString::ToUtf8() const {
    std::string out;
    out.reserve(m_text.size());
    for (size_t i = 0; i < m_text.size(); ++i) {
        const char16_t c = m_text[i];
        if (IsHighSurrogate(c) && i + 1 < m_text.size() && IsLowSurrogate(m_text[i + 1])) {
            const unsigned long code =
                0x10000 + ((static_cast<unsigned long>(c) - 0xD800) << 10) + (m_text[i + 1] - 0xDC00);
            AppendUtf8(out, code);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(out, kReplacement);   // a lone surrogate has no UTF-8 form
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

char16_t CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength())
        return 0;
    return m_text[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char16_t ch) {
    if (index < 0 || index >= GetLength())
        return;
    m_text[static_cast<size_t>(index)] = ch;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    const size_t start = Clamp(first, m_text.size());
    const size_t n = Clamp(count, m_text.size() - start);
    return CString(m_text.substr(start, n));
}

CString CString::Left(int count) const { return CString(m_text.substr(0, Clamp(count, m_text.size()))); }

CString CString::Right(int count) const {
    const size_t n = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

int CString::Find(char16_t ch, int start) const {
    if (start < 0)
        start = 0;
    if (start >= GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const CString& sub, int start) const {
    if (start < 0)
        start = 0;
    if (start > GetLength())
        return -1;
    const size_t at = m_text.find(sub.m_text, static_cast<size_t>(start));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char16_t ch) const {
    const size_t at = m_text.rfind(ch);
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const CString& chars) const {
    if (chars.IsEmpty())
        return -1;
    const size_t at = m_text.find_first_of(chars.m_text);
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(char16_t from, char16_t to) {
    int count = 0;
    for (auto& c : m_text) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const CString& from, const CString& to) {
    if (from.IsEmpty())
        return 0;
    int count = 0;
    std::u16string out;
    size_t pos = 0;
    for (size_t at; (at = m_text.find(from.m_text, pos)) != std::u16string::npos; pos = at + from.m_text.size()) {
        out.append(m_text, pos, at - pos);
        out += to.m_text;
        ++count;
    }
    if (count == 0)
        return 0;
    out.append(m_text, pos, std::u16string::npos);
    m_text = std::move(out);
    return count;
}

int CString::Remove(char16_t ch) {
    const auto removed = std::erase(m_text, ch);
    return static_cast<int>(removed);
}

int CString::Insert(int index, char16_t ch) { return Insert(index, CString(ch)); }

int CString::Insert(int index, const CString& text) {
    m_text.insert(Clamp(index, m_text.size()), text.m_text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index < 0)
        index = 0;
    if (index < GetLength() && count > 0) {
        m_text.erase(static_cast<size_t>(index), Clamp(count, m_text.size() - static_cast<size_t>(index)));
    }
    return GetLength();
}

CString& CString::MakeUpper() {
    for (auto& c : m_text)
        c = ToUpper(c);
    return *this;
}

CString& CString::MakeLower() {
    for (auto& c : m_text)
        c = ToLower(c);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
    const auto first = std::find_if_not(m_text.begin(), m_text.end(), IsSpace);
    m_text.erase(m_text.begin(), first);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && IsSpace(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::Trim(char16_t ch) { return TrimRight(ch).TrimLeft(ch); }

CString& CString::TrimLeft(char16_t ch) {
    const size_t first = m_text.find_first_not_of(ch);
    m_text.erase(0, first == std::u16string::npos ? m_text.size() : first);
    return *this;
}

CString& CString::TrimRight(char16_t ch) {
    while (!m_text.empty() && m_text.back() == ch)
        m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(const CString& chars) {
    while (!m_text.empty() && chars.m_text.find(m_text.back()) != std::u16string::npos)
        m_text.pop_back();
    return *this;
}

int CString::Compare(const CString& other) const {
    const int r = m_text.compare(other.m_text);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const CString& other) const {
    const size_t n = std::min(m_text.size(), other.m_text.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t a = ToLower(m_text[i]);
        const char16_t b = ToLower(other.m_text[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (m_text.size() == other.m_text.size())
        return 0;
    return m_text.size() < other.m_text.size() ? -1 : 1;
}

CString& CString::operator+=(const char16_t* text) {
    if (text)
        m_text += text;
    return *this;
}

void CString::FormatList(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}
