// Scanning and parsing: the one forward pass that builds the element index.
#include <array>

#include "xml/Markup.h"

namespace {

// Character classes of the code units the scanner cares about; everything at or above 0x80
// is an ordinary name character.
enum CharClass : unsigned char {
    CC_NONE = 0,
    CC_SPACE = 1,       // " \t\n\r": the only whitespace
    CC_DELIMITER = 2,   // ends an unquoted token and stands alone as one: " \t\n\r<>=\\/?!"
};

constexpr std::array<unsigned char, 128> MakeCharClasses() {
    std::array<unsigned char, 128> table{};
    for (char ch : {' ', '\t', '\n', '\r'})
        table[static_cast<unsigned char>(ch)] = CC_SPACE | CC_DELIMITER;
    for (char ch : {'<', '>', '=', '\\', '/', '?', '!'})
        table[static_cast<unsigned char>(ch)] = CC_DELIMITER;
    return table;
}

constexpr std::array<unsigned char, 128> kCharClasses = MakeCharClasses();

inline bool IsClass(char16_t ch, unsigned char cls) { return ch < 128 && (kCharClasses[ch] & cls) != 0; }

// Offset just past the first occurrence of `marker` at or after `offset`; -1 when the text
// (zero-terminated) ends first.
int FindPast(const char16_t* text, int offset, std::u16string_view marker) {
    for (int i = offset; text[i]; ++i) {
        size_t k = 0;
        while (k < marker.size() && text[i + k] == marker[k])
            ++k;
        if (k == marker.size())
            return i + static_cast<int>(marker.size());
    }
    return -1;
}

}   // namespace

CMarkup::TextArg::TextArg(const char16_t* text) : m_text(text) {
    if (text)
        m_length = static_cast<int>(std::char_traits<char16_t>::length(text));
}

bool CMarkup::x_FindChar(const char16_t* text, int& offset, char16_t ch) {
    while (text[offset] && text[offset] != ch)
        ++offset;
    return text[offset] == ch && ch != 0;
}

bool CMarkup::x_FindAny(const char16_t* text, int& offset) {
    while (text[offset] && IsClass(text[offset], CC_SPACE))
        ++offset;
    return text[offset] != 0;
}

bool CMarkup::x_FindToken(TokenPos& token) {
    const char16_t* text = token.text;
    token.isQuoted = false;
    int offset = token.next;
    if (!x_FindAny(text, offset)) {
        token.left = token.right = token.next = offset;
        return false;
    }
    char16_t ch = text[offset];
    if (ch == u'"' || ch == u'\'') {
        token.isQuoted = true;
        token.left = offset + 1;
        int close = token.left;
        x_FindChar(text, close, ch);
        token.right = close - 1;
        token.next = text[close] ? close + 1 : close;
        return true;
    }
    token.left = offset;
    if (IsClass(ch, CC_DELIMITER)) {
        ++offset;
    } else {
        while (text[offset] && !IsClass(text[offset], CC_DELIMITER))
            ++offset;
    }
    token.next = offset;
    token.right = offset - 1;
    return true;
}

CString CMarkup::x_GetToken(const TokenPos& token) {
    if (token.right < token.left)
        return CString();
    return CString(token.text + token.left, token.right - token.left + 1);
}

bool CMarkup::x_MatchesName(const TokenPos& token, std::u16string_view name) {
    size_t length = token.right >= token.left ? static_cast<size_t>(token.right - token.left + 1) : 0;
    if (length == 0 || length > name.size())
        return false;
    if (name.substr(0, length) != std::u16string_view(token.text + token.left, length))
        return false;
    if (length == name.size())
        return true;
    char16_t after = name[length];
    return after == 0 || after == u' ' || after == u'=' || after == u'/' || after == u'[';
}

std::u16string_view CMarkup::x_TagNameView(int iPos) const {
    if (iPos <= 0)
        return {};
    TokenPos token(m_strDoc.GetString());
    token.next = m_aPos[iPos].startTagOpen + 1;
    if (!x_FindToken(token) || token.right < token.left)
        return {};
    return {token.text + token.left, static_cast<size_t>(token.right - token.left + 1)};
}

int CMarkup::x_ParseNode(TokenPos& token) const {
    const char16_t* text = token.text;
    int offset = token.next;
    token.left = offset;
    char16_t ch = text[offset];
    if (ch == 0)
        return MNT_NONE;
    if (ch != u'<') {
        int scan = offset;
        x_FindAny(text, scan);
        if (text[scan] == 0 || text[scan] == u'<') {
            token.next = scan;
            return MNT_WHITESPACE;
        }
        x_FindChar(text, scan, u'<');
        token.next = scan;
        return MNT_TEXT;
    }
    if (text[offset + 1] == 0 || text[offset + 2] == 0)
        return MNT_NONE;
    char16_t second = text[offset + 1];
    if (second == u'/')
        return MNT_NONE;
    if (second != u'?' && second != u'!')
        return MNT_ELEMENT;

    int end = -1;
    int kind = MNT_NONE;
    if (second == u'?') {
        end = FindPast(text, offset + 2, u"?>");
        kind = MNT_PROCESSING_INSTRUCTION;
    } else if (text[offset + 2] == u'[') {
        end = FindPast(text, offset + 3, u"]]>");
        kind = MNT_CDATA_SECTION;
    } else if (text[offset + 2] == u'-') {
        end = FindPast(text, offset + 3, u"-->");
        kind = MNT_COMMENT;
    } else {
        // A document type declaration ends at the first '>' outside its internal subset;
        // quoted literals may hold any of these characters.
        TokenPos scan(text);
        scan.next = offset + 2;
        int depth = 0;
        while (end < 0) {
            if (!x_FindToken(scan))
                return MNT_NONE;
            if (scan.isQuoted)
                continue;
            for (int i = scan.left; i <= scan.right; ++i) {
                if (text[i] == u'[')
                    ++depth;
                else if (text[i] == u']')
                    --depth;
            }
            if (text[scan.left] == u'>' && depth <= 0)
                end = scan.next;
        }
        kind = MNT_DOCUMENT_TYPE;
    }
    if (end < 0)
        return MNT_NONE;
    token.next = end;
    return kind;
}

int CMarkup::x_GetFreePos() {
    if (m_iPosFree >= static_cast<int>(m_aPos.size()))
        m_aPos.resize(m_aPos.size() + m_aPos.size() / 2 + 1);
    return m_iPosFree++;
}

int CMarkup::x_ReleasePos() {
    --m_iPosFree;
    return 0;
}

int CMarkup::x_ParseError(const char16_t* format, const CString* argument) {
    CString message(format);
    if (argument)
        message.Replace(CString(u"%s"), *argument);
    m_strError = message;
    x_ReleasePos();
    return -1;
}

// Reads up to a start tag or the end tag that closes `iPosParent`, skipping the processing
// instructions, comments, CDATA sections and declarations in between. Returns the new entry,
// 0 at the end tag (its '<' left in the parent's endTagOpen), -1 on error.
int CMarkup::x_ParseStartTag(int iPosParent) {
    const char16_t* text = m_strDoc.GetString();
    int iPos = x_GetFreePos();
    ElementPosition& pos = m_aPos[iPos];
    pos.reserved = 0;
    pos.parent = iPosParent;
    pos.firstChild = 0;
    pos.nextSibling = 0;

    TokenPos token(text);
    token.next = m_aPos[iPosParent].endTagOpen;
    for (;;) {
        if (!x_FindChar(text, token.next, u'<'))
            return x_ParseError(u"Element tag not found");
        int tagOpen = token.next;
        m_aPos[iPos].startTagOpen = tagOpen;
        m_aPos[iPosParent].endTagOpen = tagOpen;
        ++token.next;
        if (!x_FindToken(token))
            return x_ParseError(u"Abrupt end within tag");
        if (token.isQuoted)
            return x_ParseError(u"Tag starts with quote");
        char16_t first = text[token.left];
        if (first == u'?' || first == u'!') {
            // "< ?" or "< !" classifies as an element and would not move the scan on.
            token.next = tagOpen;
            int kind = x_ParseNode(token);
            if (kind == MNT_NONE || kind == MNT_ELEMENT)
                return x_ParseError(u"Invalid node");
            continue;
        }
        if (first == u'/') {
            x_ReleasePos();
            return 0;
        }
        break;
    }
    if (!x_FindChar(text, token.next, u'>'))
        return x_ParseError(u"End of tag not found");
    ElementPosition& found = m_aPos[iPos];
    found.startTagClose = token.next;
    if (text[found.startTagClose - 1] == u'/') {
        found.endTagOpen = found.startTagClose - 1;
        found.endTagClose = found.startTagClose;
    } else {
        found.endTagOpen = found.startTagClose + 1;
    }
    return iPos;
}

// Checks the end tag whose '<' the children scan left in endTagOpen; -1 on error.
// `tagName` is the element's name as its start tag has it.
int CMarkup::x_ParseEndTag(int iPos, std::u16string_view tagName) {
    const char16_t* text = m_strDoc.GetString();
    auto fail = [this, tagName](const char16_t* format) {
        CString name(tagName);
        return x_ParseError(format, &name);
    };
    TokenPos token(text);
    token.next = m_aPos[iPos].endTagOpen;
    if (!x_FindChar(text, token.next, u'<'))
        return fail(u"End tag of %s element not found");
    const int tagOpen = token.next;
    m_aPos[iPos].endTagOpen = tagOpen;

    // The usual "</name>" needs no tokenising; anything else takes the general path below.
    if (text[tagOpen + 1] == u'/') {
        // The name holds no zero, so a mismatch stops this at the text's end at the latest.
        int at = tagOpen + 2;
        size_t matched = 0;
        while (matched < tagName.size() && text[at] == tagName[matched]) {
            ++at;
            ++matched;
        }
        if (matched == tagName.size() && text[at] == u'>') {
            m_aPos[iPos].endTagClose = at;
            return iPos;
        }
    }

    token.next = tagOpen + 1;
    int count = 0;
    for (;;) {
        if (!x_FindToken(token))
            return fail(u"End tag not completed for element %s");
        if (!token.isQuoted) {
            char16_t first = text[token.left];
            if (first == u'>')
                break;
            if (count == 0 && first != u'/')
                return fail(u"Expecting end tag of element %s");
            if (count == 1 && !x_MatchesName(token, tagName))
                return fail(u"End tag does not correspond to %s");
        }
        ++count;
    }
    if (count < 2)
        return fail(u"End tag not completed for element %s");
    m_aPos[iPos].endTagClose = token.left;
    return iPos;
}

// Parses one element with everything inside it. Nesting is followed with a heap stack of open
// elements instead of recursion, so no document, however deep, can exhaust the call stack.
int CMarkup::x_ParseElem(int iPosParent) {
    int iPosTop = x_ParseStartTag(iPosParent);
    if (iPosTop <= 0 || m_aPos[iPosTop].IsEmptyElement())
        return iPosTop;

    struct OpenElement {
        int iPos;
        int iPosLastChild;
        std::u16string_view name;   // kept so the end tag check need not scan the start tag again
    };
    std::vector<OpenElement> open{{iPosTop, 0, x_TagNameView(iPosTop)}};
    while (!open.empty()) {
        OpenElement& current = open.back();
        int iPosChild = x_ParseStartTag(current.iPos);
        if (iPosChild < 0)
            return -1;
        if (iPosChild == 0) {
            int iPosDone = current.iPos;
            if (x_ParseEndTag(iPosDone, current.name) < 0)
                return -1;
            open.pop_back();
            if (!open.empty())
                m_aPos[open.back().iPos].endTagOpen = m_aPos[iPosDone].endTagClose + 1;
            continue;
        }
        if (current.iPosLastChild)
            m_aPos[current.iPosLastChild].nextSibling = iPosChild;
        else
            m_aPos[current.iPos].firstChild = iPosChild;
        current.iPosLastChild = iPosChild;
        if (m_aPos[iPosChild].IsEmptyElement())
            m_aPos[current.iPos].endTagOpen = m_aPos[iPosChild].endTagClose + 1;
        else
            open.push_back({iPosChild, 0, x_TagNameView(iPosChild)});
    }
    return iPosTop;
}
