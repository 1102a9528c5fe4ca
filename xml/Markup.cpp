// Document life, navigation and reading.
#include "xml/Markup.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <functional>

namespace {

// Offsets are 32-bit; a text this long cannot be indexed.
constexpr size_t kMaxDocumentLength = INT_MAX / 2;

bool IsDigitOfBase(char16_t ch, int base) {
    if (ch >= u'0' && ch <= u'9')
        return true;
    return base == 16 && ((ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F'));
}

int DigitValue(char16_t ch) {
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'a' && ch <= u'f')
        return ch - u'a' + 10;
    return ch - u'A' + 10;
}

void AppendCodePoint(std::u16string& out, unsigned long codePoint) {
    if (codePoint <= 0xFFFF) {
        out += static_cast<char16_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

struct NamedEntity {
    std::u16string_view reference;   // from '&' to ';'
    char16_t character;
};

constexpr NamedEntity kNamedEntities[] = {
    {u"&lt;", u'<'}, {u"&amp;", u'&'}, {u"&gt;", u'>'}, {u"&apos;", u'\''}, {u"&quot;", u'"'},
};

}   // namespace

CMarkup::CMarkup() { SetDoc(nullptr); }

CMarkup::CMarkup(TextArg doc) { SetDoc(doc); }

CMarkup::CMarkup(const CMarkup& other)
    : m_strDoc(other.m_strDoc), m_aPos(other.m_aPos), m_iPosParent(other.m_iPosParent), m_iPos(other.m_iPos),
      m_iPosChild(other.m_iPosChild), m_iPosFree(other.m_iPosFree), m_nNodeType(other.m_nNodeType) {
    x_NewGeneration();
}

CMarkup& CMarkup::operator=(const CMarkup& other) {
    if (this == &other)
        return *this;
    x_NoteWholeChange();
    m_strDoc = other.m_strDoc;
    m_aPos = other.m_aPos;
    m_iPosParent = other.m_iPosParent;
    m_iPos = other.m_iPos;
    m_iPosChild = other.m_iPosChild;
    m_iPosFree = other.m_iPosFree;
    m_nNodeType = other.m_nNodeType;
    x_NewGeneration();
    // Our saved positions index the replaced document; keeping them would point into the new one.
    m_mapSavedPos.clear();
    return *this;
}

CMarkup::~CMarkup() = default;

void CMarkup::x_ResetPositions() {
    m_iPosParent = 0;
    m_iPos = 0;
    m_iPosChild = 0;
    m_nNodeType = 0;
}

bool CMarkup::SetDoc(TextArg doc) {
    x_NoteWholeChange();
    m_iPosFree = 1;
    x_ResetPositions();
    m_mapSavedPos.clear();

    std::u16string& text = m_strDoc.str();
    const char16_t* source = doc.Data();
    std::less<const char16_t*> before;
    if (before(source, text.data()) || before(text.data() + text.size(), source)) {
        // Reusing the buffer spares the page faults of a fresh allocation for a large file.
        text.assign(doc.View());
    } else if (source != text.data() || static_cast<size_t>(doc.Length()) != text.size()) {
        text = std::u16string(doc.View());   // a part of our own text
    }
    return x_ParseDoc();
}

bool CMarkup::x_SetDocText(std::u16string&& text) {
    x_NoteWholeChange();
    m_iPosFree = 1;
    x_ResetPositions();
    m_mapSavedPos.clear();
    m_strDoc.str() = std::move(text);
    return x_ParseDoc();
}

bool CMarkup::x_ParseDoc() {
    x_NewGeneration();
    if (m_strDoc.str().size() > kMaxDocumentLength) {
        m_strDoc.Empty();
        m_strError = u"Document too large";
    }
    size_t wanted = m_strDoc.str().size() / 64 + 8;
    if (m_aPos.size() < wanted) {
        // Data files hold an element per 40 characters or so; room for that spares the
        // copies of regrowth while the array still has the size it is given here.
        m_aPos.reserve(std::max(wanted, m_strDoc.str().size() / 32 + 8));
        m_aPos.resize(wanted);
    }

    m_aPos[0] = ElementPosition();
    if (!m_strDoc.IsEmpty()) {
        int iPosRoot = x_ParseElem(0);
        if (iPosRoot > 0) {
            m_aPos[0].firstChild = iPosRoot;
            x_ResetPositions();
            return true;
        }
    }
    m_aPos[0] = ElementPosition();
    m_iPosFree = 1;
    x_ResetPositions();
    return false;
}

bool CMarkup::IsWellFormed() const { return !m_aPos.empty() && m_aPos[0].firstChild != 0; }

void CMarkup::x_SetPos(int iPosParent, int iPos, int iPosChild) {
    m_iPosParent = iPosParent;
    m_iPos = iPos;
    m_iPosChild = iPosChild;
    m_nNodeType = iPos ? 1 : 0;
}

int CMarkup::x_FindElem(int iPosParent, int iPos, TextArg name) const {
    int iPosCandidate = iPos ? m_aPos[iPos].nextSibling : m_aPos[iPosParent].firstChild;
    if (name.IsEmpty())
        return iPosCandidate;
    TokenPos token(m_strDoc.GetString());
    while (iPosCandidate) {
        token.next = m_aPos[iPosCandidate].startTagOpen + 1;
        if (x_FindToken(token) && !token.isQuoted && x_MatchesName(token, name.View()))
            return iPosCandidate;
        iPosCandidate = m_aPos[iPosCandidate].nextSibling;
    }
    return 0;
}

bool CMarkup::FindElem(TextArg name) {
    if (m_aPos.empty())
        return false;
    int iPos = x_FindElem(m_iPosParent, m_iPos, name);
    if (!iPos)
        return false;
    x_SetPos(m_aPos[iPos].parent, iPos, 0);
    return true;
}

bool CMarkup::FindChildElem(TextArg name) {
    if (!m_iPos)
        CMarkup::FindElem();
    // Without a main element the search would wander into the document level.
    if (!m_iPos)
        return false;
    int iPosChild = x_FindElem(m_iPos, m_iPosChild, name);
    if (!iPosChild)
        return false;
    int iPos = m_aPos[iPosChild].parent;
    x_SetPos(m_aPos[iPos].parent, iPos, iPosChild);
    return true;
}

bool CMarkup::IntoElem() {
    if (!m_iPos || m_nNodeType != 1)
        return false;
    x_SetPos(m_iPos, m_iPosChild, 0);
    return true;
}

bool CMarkup::OutOfElem() {
    if (!m_iPosParent)
        return false;
    x_SetPos(m_aPos[m_iPosParent].parent, m_iPosParent, m_iPos);
    return true;
}

void CMarkup::ResetPos() { x_SetPos(0, 0, 0); }

void CMarkup::ResetMainPos() { x_SetPos(m_iPosParent, 0, 0); }

void CMarkup::ResetChildPos() { x_SetPos(m_iPosParent, m_iPos, 0); }

bool CMarkup::SavePos(TextArg name) {
    if (name.IsNull())
        return false;
    m_mapSavedPos[std::u16string(name.View())] = SavedPos{m_iPosParent, m_iPos, m_iPosChild};
    return true;
}

bool CMarkup::RestorePos(TextArg name) {
    if (name.IsNull())
        return false;
    auto found = m_mapSavedPos.find(std::u16string(name.View()));
    if (found == m_mapSavedPos.end())
        return false;
    const SavedPos& saved = found->second;
    if (!x_IsLive(saved.parent) || !x_IsLive(saved.main) || !x_IsLive(saved.child))
        return false;
    x_SetPos(found->second.parent, found->second.main, found->second.child);
    return true;
}

// False for an entry that was removed (or lies inside a removed element) or was never handed out.
bool CMarkup::x_IsLive(int iPos) const {
    for (int steps = 0; iPos; ++steps) {
        if (iPos < 0 || iPos >= m_iPosFree || steps > m_iPosFree)
            return false;
        iPos = m_aPos[iPos].parent;
    }
    return true;
}

void CMarkup::x_NewGeneration() {
    // Unique across documents, so a copy never passes for the document an index was built on.
    static std::atomic<uint64_t> generations{0};
    m_nGeneration = ++generations;
    m_rootChildEdits.clear();
    m_lastChildHint = LastChildHint();
    m_previousSiblingHint = 0;
}

void CMarkup::MarkCheckpoint() {
    m_checkpoint.armed = true;
    m_checkpoint.whole.reset();
    m_checkpoint.splices.clear();
    m_checkpoint.splicedUnits = 0;
}

bool CMarkup::RevertToCheckpoint() {
    if (!m_checkpoint.armed)
        return false;
    if (IsAtCheckpoint())
        return true;
    std::u16string text;
    if (m_checkpoint.whole) {
        text = std::move(*m_checkpoint.whole);
    } else {
        text = std::move(m_strDoc.str());
        x_UndoSplices(text);
    }
    // Parsing the text back is no change to remember.
    m_checkpoint.armed = false;
    const bool parsed = x_SetDocText(std::move(text));
    MarkCheckpoint();
    return parsed;
}

void CMarkup::x_NoteSplice(int offset, int replaceLength, int insertedLength) {
    Checkpoint& checkpoint = m_checkpoint;
    if (!checkpoint.armed || checkpoint.whole)
        return;
    const std::u16string& doc = m_strDoc.str();
    // Past a whole document's worth of replaced text one copy of it is the smaller record.
    constexpr size_t kSmallDocument = size_t{1} << 16;
    if (checkpoint.splicedUnits + static_cast<size_t>(replaceLength) > std::max(doc.size(), kSmallDocument)) {
        x_NoteWholeChange();
        return;
    }
    checkpoint.splices.push_back(
        Splice{offset, insertedLength, doc.substr(static_cast<size_t>(offset), static_cast<size_t>(replaceLength))});
    checkpoint.splicedUnits += static_cast<size_t>(replaceLength);
}

void CMarkup::x_NoteWholeChange() {
    Checkpoint& checkpoint = m_checkpoint;
    if (!checkpoint.armed || checkpoint.whole)
        return;
    checkpoint.whole = x_CheckpointText();
    checkpoint.splices.clear();
    checkpoint.splicedUnits = 0;
}

std::u16string CMarkup::x_CheckpointText() const {
    if (m_checkpoint.whole)
        return *m_checkpoint.whole;
    std::u16string text = m_strDoc.str();
    x_UndoSplices(text);
    return text;
}

void CMarkup::x_UndoSplices(std::u16string& text) const {
    for (auto splice = m_checkpoint.splices.rbegin(); splice != m_checkpoint.splices.rend(); ++splice)
        text.replace(static_cast<size_t>(splice->offset), static_cast<size_t>(splice->insertedLength),
                     splice->replaced);
}

void CMarkup::x_NoteEdit(int iPos) {
    if (iPos <= 0 || iPos >= static_cast<int>(m_aPos.size()))
        return;
    // An edit of the root itself (its attributes, or the root going) changes no record handle
    // but may change everything below: the journal starts over.
    if (m_aPos[iPos].parent <= 0) {
        x_NewGeneration();
        return;
    }
    while (m_aPos[iPos].parent > 0 && m_aPos[m_aPos[iPos].parent].parent > 0)
        iPos = m_aPos[iPos].parent;
    constexpr size_t kMaxJournal = size_t{1} << 20;
    if (m_rootChildEdits.size() >= kMaxJournal) {
        x_NewGeneration();
        return;
    }
    // No folding of repeats: a reader may have taken the journal up to the last one.
    m_rootChildEdits.push_back(iPos);
}

bool CMarkup::GetRootChildEditsSince(const EditMark& mark, std::vector<int>& handles) const {
    if (mark.generation != m_nGeneration || mark.edits > m_rootChildEdits.size())
        return false;
    handles.insert(handles.end(), m_rootChildEdits.begin() + static_cast<std::ptrdiff_t>(mark.edits),
                   m_rootChildEdits.end());
    return true;
}

int CMarkup::GetFirstRootChild() const {
    if (m_aPos.empty() || !m_aPos[0].firstChild)
        return 0;
    return m_aPos[m_aPos[0].firstChild].firstChild;
}

int CMarkup::GetNextSibling(int handle) const {
    if (handle <= 0 || handle >= m_iPosFree || m_aPos[handle].parent < 0)
        return 0;
    return m_aPos[handle].nextSibling;
}

bool CMarkup::IsRootChild(int handle) const {
    if (handle <= 0 || handle >= m_iPosFree || m_aPos.empty())
        return false;
    const int root = m_aPos[0].firstChild;
    return root && m_aPos[handle].parent == root && handle != root;
}

bool CMarkup::IntoRootChild(int handle) {
    if (!IsRootChild(handle))
        return false;
    x_SetPos(m_aPos[handle].parent, handle, 0);
    return true;
}

std::u16string_view CMarkup::GetElemTextView() const {
    if (!m_iPos)
        return {};
    const ElementPosition& pos = m_aPos[m_iPos];
    return std::u16string_view(m_strDoc.str())
        .substr(static_cast<size_t>(pos.startTagOpen), static_cast<size_t>(pos.endTagClose - pos.startTagOpen + 1));
}

CString CMarkup::x_GetTagName(int iPos) const { return CString(x_TagNameView(iPos)); }

bool CMarkup::x_FindAttrib(TokenPos& token, TextArg name) const {
    const char16_t* text = token.text;
    int matchedAt = -1;
    for (int n = 0; x_FindToken(token); ++n) {
        if (token.isQuoted) {
            if (matchedAt >= 0 && n == matchedAt + 2)
                return true;
            continue;
        }
        char16_t first = text[token.left];
        if (first == u'/' || first == u'>' || first == u'?')
            return false;
        if (first == u'=' || n == 0 || matchedAt >= 0)
            continue;
        if (name.IsEmpty())
            return true;
        if (x_MatchesName(token, name.View()))
            matchedAt = n;
    }
    return false;
}

CString CMarkup::x_GetAttrib(int iPos, TextArg name) const {
    if (!iPos || m_nNodeType != 1 || name.IsNull())
        return CString();
    TokenPos token(m_strDoc.GetString());
    token.next = m_aPos[iPos].startTagOpen + 1;
    if (!x_FindAttrib(token, name))
        return CString();
    return x_TextFromDoc(token.left, token.right);
}

CString CMarkup::GetAttribName(int n) const {
    if (!m_iPos || m_nNodeType != 1 || n < 0)
        return CString();
    TokenPos token(m_strDoc.GetString());
    token.next = m_aPos[m_iPos].startTagOpen + 1;
    for (int i = 0; i <= n; ++i) {
        if (!x_FindAttrib(token, nullptr))
            return CString();
    }
    return x_GetToken(token);
}

CString CMarkup::x_GetData(int iPos) const {
    if (!iPos)
        return CString();
    const ElementPosition& pos = m_aPos[iPos];
    if (pos.firstChild || pos.IsEmptyElement())
        return CString();
    const char16_t* text = m_strDoc.GetString();
    int offset = pos.startTagClose + 1;
    x_FindAny(text, offset);
    static constexpr std::u16string_view kCdataOpen = u"<![CDATA[";
    if (text[offset] == u'<' && offset + 11 < pos.endTagOpen &&
        m_strDoc.str().compare(static_cast<size_t>(offset), kCdataOpen.size(), kCdataOpen) == 0) {
        size_t contentStart = static_cast<size_t>(offset) + kCdataOpen.size();
        size_t close = m_strDoc.str().find(u"]]>", contentStart);
        if (close != std::u16string::npos && close < static_cast<size_t>(pos.endTagOpen))
            return CString(m_strDoc.str().substr(contentStart, close - contentStart));
    }
    return x_TextFromDoc(pos.startTagClose + 1, pos.endTagOpen - 1);
}

// The end of an element's text, taking in the whitespace after it when that whitespace runs
// to the next tag or to the end, so the element's own line goes with it.
int CMarkup::x_SubDocEnd(int iPos) const {
    const char16_t* text = m_strDoc.GetString();
    int end = m_aPos[iPos].endTagClose + 1;
    int scan = end;
    x_FindAny(text, scan);
    if (text[scan] == 0 || text[scan] == u'<')
        end = scan;
    return end;
}

CString CMarkup::x_GetSubDoc(int iPos) const {
    if (!iPos)
        return CString();
    int start = m_aPos[iPos].startTagOpen;
    return CString(m_strDoc.str().substr(static_cast<size_t>(start), static_cast<size_t>(x_SubDocEnd(iPos) - start)));
}

CString CMarkup::x_TextFromDoc(int left, int right) const {
    if (right < left)
        return CString();
    const char16_t* text = m_strDoc.GetString();
    std::u16string out;
    out.reserve(static_cast<size_t>(right - left + 1));
    int i = left;
    while (i <= right) {
        char16_t ch = text[i];
        if (ch != u'&') {
            out += ch;
            ++i;
            continue;
        }
        if (text[i + 1] == u'#') {
            // A numeric reference needs its ';' within the next eight characters.
            int semicolon = -1;
            for (int k = i + 2; k <= right && k <= i + 9 && text[k]; ++k) {
                if (text[k] == u';') {
                    semicolon = k;
                    break;
                }
            }
            if (semicolon < 0) {
                out += ch;
                ++i;
                continue;
            }
            int base = 10;
            int digit = i + 2;
            if (text[digit] == u'x') {
                base = 16;
                ++digit;
            }
            unsigned long value = 0;
            bool isNumber = digit < semicolon;
            for (int k = digit; k < semicolon && isNumber; ++k) {
                if (IsDigitOfBase(text[k], base))
                    value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(DigitValue(text[k]));
                else
                    isNumber = false;
            }
            if (!isNumber || value == 0 || value > 0x10FFFF) {
                out += ch;
                ++i;
                continue;
            }
            AppendCodePoint(out, value);
            i = semicolon + 1;
            continue;
        }
        bool replaced = false;
        for (const NamedEntity& entity : kNamedEntities) {
            int last = i + static_cast<int>(entity.reference.size()) - 1;
            if (last <= right &&
                m_strDoc.str().compare(static_cast<size_t>(i), entity.reference.size(), entity.reference) == 0) {
                out += entity.character;
                i = last + 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += ch;
            ++i;
        }
    }
    return CString(std::move(out));
}
