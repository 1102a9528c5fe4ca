// Editing: every edit is one splice of the text followed by a shift of the index, so offsets
// stay exact without parsing the document again.
#include "xml/Markup.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kCdataOpen = u"<![CDATA[";
constexpr std::u16string_view kCdataClose = u"]]>";

int Length(std::u16string_view text) { return static_cast<int>(text.size()); }

}   // namespace

CString CMarkup::x_TextToDoc(TextArg text, bool attrib) {
    std::u16string out;
    out.reserve(static_cast<size_t>(text.Length() + text.Length() / 10 + 7));
    for (char16_t ch : text.View()) {
        switch (ch) {
        case u'<': out += u"&lt;"; break;
        case u'&': out += u"&amp;"; break;
        case u'>': out += u"&gt;"; break;
        case u'\'': attrib ? out += u"&apos;" : out += ch; break;
        case u'"': attrib ? out += u"&quot;" : out += ch; break;
        default: out += ch; break;
        }
    }
    return CString(std::move(out));
}

void CMarkup::x_DocChange(int offset, int replaceLength, std::u16string_view insert) {
    std::u16string& doc = m_strDoc.str();
    int docLength = static_cast<int>(doc.size());
    offset = std::clamp(offset, 0, docLength);
    replaceLength = std::clamp(replaceLength, 0, docLength - offset);
    x_NoteSplice(offset, replaceLength, static_cast<int>(insert.size()));
    doc.replace(static_cast<size_t>(offset), static_cast<size_t>(replaceLength), insert);
}

void CMarkup::x_Adjust(int iPos, int shift, bool afterPos) {
    if (!iPos || !shift)
        return;
    int iPosTop = m_aPos[iPos].parent;
    bool skipChildren = afterPos;
    while (iPos) {
        bool reachedTop = false;
        if (iPos == iPosTop) {
            iPosTop = m_aPos[iPos].parent;
            reachedTop = true;
        }
        if (!reachedTop && !skipChildren && m_aPos[iPos].firstChild) {
            iPos = m_aPos[iPos].firstChild;
        } else if (m_aPos[iPos].nextSibling) {
            iPos = m_aPos[iPos].nextSibling;
        } else {
            // Ancestors below the top were entered on the way down and are done already.
            while ((iPos = m_aPos[iPos].parent) != 0 && iPos != iPosTop) {
                if (m_aPos[iPos].nextSibling) {
                    iPos = m_aPos[iPos].nextSibling;
                    break;
                }
            }
        }
        skipChildren = false;

        ElementPosition& pos = m_aPos[iPos];
        if (iPos != iPosTop) {
            pos.startTagOpen += shift;
            pos.startTagClose += shift;
        }
        pos.endTagOpen += shift;
        pos.endTagClose += shift;
    }
}

int CMarkup::x_LastChild(int iPosParent) const {
    const LastChildHint hint = m_lastChildHint;
    const bool hintIsChild = hint.parent == iPosParent && hint.child > 0 && hint.child < m_iPosFree &&
                             m_aPos[hint.child].parent == iPosParent;
    int iPos = hintIsChild ? hint.child : m_aPos[iPosParent].firstChild;
    int steps = 0;
    for (; iPos && m_aPos[iPos].nextSibling; ++steps)
        iPos = m_aPos[iPos].nextSibling;
    // Short lists (a record's fields) are cheap to walk and must not take the long list's hint.
    constexpr int kLongWalk = 16;
    if (hint.parent == iPosParent || steps > kLongWalk)
        m_lastChildHint = {iPosParent, iPos};
    return iPos;
}

int CMarkup::x_PreviousSibling(int iPos) const {
    const int iPosParent = m_aPos[iPos].parent;
    const int hinted = std::exchange(m_previousSiblingHint, 0);
    if (hinted > 0 && hinted < m_iPosFree && m_aPos[hinted].parent == iPosParent && m_aPos[hinted].nextSibling == iPos)
        return hinted;
    // A record saved again was appended after the last child, which the hint still names.
    const LastChildHint hint = m_lastChildHint;
    if (hint.parent == iPosParent && hint.child > 0 && hint.child < m_iPosFree && hint.child != iPos &&
        m_aPos[hint.child].parent == iPosParent) {
        for (int iPosSibling = hint.child; iPosSibling; iPosSibling = m_aPos[iPosSibling].nextSibling) {
            if (m_aPos[iPosSibling].nextSibling == iPos)
                return iPosSibling;
        }
    }
    int iPosPrev = 0;
    for (int iPosSibling = m_aPos[iPosParent].firstChild; iPosSibling && iPosSibling != iPos;
         iPosSibling = m_aPos[iPosSibling].nextSibling)
        iPosPrev = iPosSibling;
    return iPosPrev;
}

int CMarkup::x_LocateNew(int iPosParent, int& iPosRel, int& offset, int length, int flags) {
    const bool insert = (flags & 1) != 0;
    const bool exactOffset = (flags & 2) != 0;
    const ElementPosition& parent = m_aPos[iPosParent];
    const bool emptyParent = iPosParent && parent.IsEmptyElement();

    if (length) {
        if (!insert)
            offset += length;
    } else if (iPosRel) {
        offset = insert ? m_aPos[iPosRel].startTagOpen : m_aPos[iPosRel].endTagClose + 1;
    } else if (!iPosParent) {
        offset = insert ? 0 : m_strDoc.GetLength();
    } else if (emptyParent) {
        offset = parent.startTagClose;
    } else {
        offset = insert ? parent.startTagClose + 1 : parent.endTagOpen;
    }

    if (!exactOffset && !emptyParent) {
        // Place the new element after the line break that ends the previous one.
        int scan = offset;
        const char16_t* text = m_strDoc.GetString();
        x_FindAny(text, scan);
        if (text[scan] == 0 || text[scan] == u'<')
            offset = scan;
    }

    if (iPosRel && insert) {
        iPosRel = x_PreviousSibling(iPosRel);
    } else if (!iPosRel && !insert) {
        iPosRel = x_LastChild(iPosParent);
    }
    return offset;
}

void CMarkup::x_LinkAfter(int iPosParent, int iPosBefore, int iPosNew) {
    if (iPosBefore) {
        m_aPos[iPosNew].nextSibling = m_aPos[iPosBefore].nextSibling;
        m_aPos[iPosBefore].nextSibling = iPosNew;
    } else {
        m_aPos[iPosNew].nextSibling = m_aPos[iPosParent].firstChild;
        m_aPos[iPosParent].firstChild = iPosNew;
    }
}

bool CMarkup::x_AddElem(TextArg name, TextArg value, bool insert, bool addChild) {
    int iPosParent = 0;
    int iPosBefore = 0;
    if (addChild) {
        if (!m_iPos)
            return false;
        iPosParent = m_iPos;
        iPosBefore = m_iPosChild;
    } else {
        iPosParent = m_iPosParent;
        iPosBefore = m_iPos;
        if (!iPosParent) {
            if (IsWellFormed())
                return false;
            m_aPos[0].endTagOpen = m_strDoc.GetLength();
        }
    }

    int offset = 0;
    x_LocateNew(iPosParent, iPosBefore, offset, 0, insert ? 1 : 0);
    const bool emptyParent = iPosParent && m_aPos[iPosParent].IsEmptyElement();
    const bool emptyContent = iPosParent && m_aPos[iPosParent].startTagClose + 1 == m_aPos[iPosParent].endTagOpen;
    int start = (emptyParent || emptyContent) ? offset + 2 : offset;

    // Build the element's text and its offsets.
    std::u16string element = u"<";
    element += name.View();
    ElementPosition newPos;
    newPos.startTagOpen = start;
    newPos.parent = iPosParent;
    if (!value.IsEmpty()) {
        CString escaped = x_TextToDoc(value);
        element += u'>';
        element += escaped.str();
        element += u"</";
        element += name.View();
        element += u'>';
        newPos.startTagClose = start + name.Length() + 1;
        newPos.endTagOpen = newPos.startTagClose + escaped.GetLength() + 1;
        newPos.endTagClose = newPos.endTagOpen + name.Length() + 2;
    } else {
        element += u"/>";
        newPos.startTagClose = start + name.Length() + 2;
        newPos.endTagOpen = newPos.startTagClose - 1;
        newPos.endTagClose = newPos.startTagClose;
    }
    element += kLineBreak;

    int iPosNew = x_GetFreePos();
    m_aPos[iPosNew] = newPos;
    x_LinkAfter(iPosParent, iPosBefore, iPosNew);
    x_NoteEdit(iPosNew);

    // Splice: an empty parent "<p/>" opens up into "<p>\r\n...</p>".
    int inserted = 0;
    int replaced = 0;
    if (emptyParent) {
        ElementPosition& parent = m_aPos[iPosParent];
        std::u16string parentName(x_TagNameView(iPosParent));
        std::u16string splice = u">";
        splice += kLineBreak;
        splice += element;
        splice += u"</";
        splice += parentName;
        parent.startTagClose -= 1;
        parent.endTagOpen -= Length(parentName) + 1;
        x_DocChange(parent.startTagClose, 1, splice);
        inserted = Length(splice);
        replaced = 1;
    } else if (emptyContent) {
        std::u16string splice(kLineBreak);
        splice += element;
        x_DocChange(m_aPos[iPosParent].startTagClose + 1, 0, splice);
        inserted = Length(splice);
    } else {
        x_DocChange(start, 0, element);
        inserted = Length(element);
    }
    x_Adjust(iPosNew, inserted - replaced, false);

    if (addChild)
        x_SetPos(m_iPosParent, iPosParent, iPosNew);
    else
        x_SetPos(iPosParent, iPosNew, 0);
    return true;
}

bool CMarkup::x_AddSubDoc(TextArg subDoc, bool insert, bool addChild) {
    int iPosParent = addChild ? m_iPos : m_iPosParent;
    int iPosBefore = addChild ? m_iPosChild : m_iPos;
    if (!iPosParent)
        return false;

    // Leading declarations, comments and text are not part of the element.
    TokenPos token(subDoc.Data());
    int remainderStart = 0;
    int kind = MNT_NONE;
    for (;;) {
        token.next = remainderStart;
        kind = x_ParseNode(token);
        if (kind == MNT_ELEMENT || kind == MNT_NONE)
            break;
        remainderStart = token.next;
    }
    // Without an element the parse would run on into the existing text.
    if (kind != MNT_ELEMENT)
        return false;
    std::u16string remainder(subDoc.View().substr(static_cast<size_t>(remainderStart)));
    const int remainderLength = Length(remainder);

    int offset = 0;
    x_LocateNew(iPosParent, iPosBefore, offset, 0, insert ? 1 : 0);
    const bool emptyParent = m_aPos[iPosParent].IsEmptyElement();
    const int savedFree = m_iPosFree;
    const int savedEndTagOpen = m_aPos[iPosParent].endTagOpen;

    int spliceAt = offset;
    int replaced = 0;
    int parseStart = offset;
    std::u16string splice;
    if (emptyParent) {
        spliceAt = m_aPos[iPosParent].startTagClose - 1;
        replaced = 1;
        parseStart = m_aPos[iPosParent].startTagClose + 2;
        splice = u">";
        splice += kLineBreak;
        splice += remainder;
        splice += u"</";
        splice += x_TagNameView(iPosParent);
    } else {
        splice = std::move(remainder);
    }
    const int inserted = Length(splice);
    const int remainderEnd = parseStart + remainderLength;
    std::u16string replacedText = m_strDoc.str().substr(static_cast<size_t>(spliceAt), static_cast<size_t>(replaced));
    x_DocChange(spliceAt, replaced, splice);

    m_aPos[iPosParent].endTagOpen = parseStart;
    int iPosNew = x_ParseElem(iPosParent);
    m_aPos[iPosParent].endTagOpen = savedEndTagOpen;

    // The element must end inside the inserted text; one that runs on into the existing
    // text would overlap elements already indexed.
    if (iPosNew <= 0 || m_aPos[iPosNew].endTagClose >= remainderEnd) {
        x_DocChange(spliceAt, inserted, replacedText);
        m_iPosFree = savedFree;
        return false;
    }

    x_LinkAfter(iPosParent, iPosBefore, iPosNew);
    x_NoteEdit(iPosNew);
    if (emptyParent) {
        m_aPos[iPosParent].startTagClose -= 1;
        m_aPos[iPosParent].endTagOpen -= Length(x_TagNameView(iPosParent)) + 1;
    }
    x_Adjust(iPosNew, inserted - replaced, true);

    if (addChild)
        x_SetPos(m_iPosParent, iPosParent, iPosNew);
    else
        x_SetPos(iPosParent, iPosNew, 0);
    return true;
}

bool CMarkup::x_SetAttrib(int iPos, TextArg name, TextArg value) {
    // An empty name would make the search return the first attribute's name, not a value.
    if (!iPos || m_nNodeType != 1 || name.IsEmpty())
        return false;
    ElementPosition& pos = m_aPos[iPos];
    TokenPos token(m_strDoc.GetString());
    token.next = pos.startTagOpen + 1;
    CString escaped = x_TextToDoc(value, true);

    int spliceAt = 0;
    int replaced = 0;
    std::u16string splice;
    if (x_FindAttrib(token, name)) {
        // A value whose closing quote is missing runs past the tag; rewriting it would cut
        // into the content.
        if (token.next > pos.startTagClose)
            return false;
        spliceAt = token.left;
        replaced = token.right - token.left + 1;
        splice = escaped.str();
    } else {
        spliceAt = pos.IsEmptyElement() ? pos.startTagClose - 1 : pos.startTagClose;
        splice = u" ";
        splice += name.View();
        splice += u"=\"";
        splice += escaped.str();
        splice += u'"';
    }
    x_NoteEdit(iPos);
    x_DocChange(spliceAt, replaced, splice);
    int diff = Length(splice) - replaced;
    pos.startTagClose += diff;
    pos.endTagOpen += diff;
    pos.endTagClose += diff;
    x_Adjust(iPos, diff, false);
    return true;
}

bool CMarkup::x_SetAttrib(int iPos, TextArg name, int value) {
    char digits[16];
    std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    std::u16string text(digits, result.ptr);
    return x_SetAttrib(iPos, name, text);
}

bool CMarkup::x_CreateNode(CString& node, int nodeKind, TextArg text) {
    if (nodeKind != MNT_CDATA_SECTION)
        return true;
    if (text.View().find(kCdataClose) != std::u16string_view::npos)
        return false;
    std::u16string section(kCdataOpen);
    section += text.View();
    section += kCdataClose;
    node = CString(std::move(section));
    return true;
}

bool CMarkup::x_SetData(int iPos, TextArg text, int cdata) {
    if (!iPos || m_aPos[iPos].firstChild)
        return false;
    CString content;
    if (!cdata || !x_CreateNode(content, MNT_CDATA_SECTION, text))
        content = x_TextToDoc(text);

    ElementPosition& pos = m_aPos[iPos];
    int spliceAt = 0;
    int replaced = 0;
    std::u16string splice;
    if (pos.IsEmptyElement()) {
        std::u16string_view tagName = x_TagNameView(iPos);
        splice = u">";
        splice += content.str();
        splice += u"</";
        splice += tagName;
        spliceAt = pos.endTagOpen;
        replaced = 1;
        pos.startTagClose -= 1;
        pos.endTagOpen -= Length(tagName) + 1;
    } else {
        spliceAt = pos.startTagClose + 1;
        replaced = pos.endTagOpen - pos.startTagClose - 1;
        splice = content.str();
    }
    x_NoteEdit(iPos);
    x_DocChange(spliceAt, replaced, splice);
    int diff = Length(splice) - replaced;
    x_Adjust(iPos, diff, false);
    pos.endTagOpen += diff;
    pos.endTagClose += diff;
    return true;
}

int CMarkup::x_RemoveElem(int iPos) {
    x_NoteEdit(iPos);
    ElementPosition& pos = m_aPos[iPos];
    const int iPosPrev = x_PreviousSibling(iPos);
    if (iPosPrev)
        m_aPos[iPosPrev].nextSibling = pos.nextSibling;
    else
        m_aPos[pos.parent].firstChild = pos.nextSibling;

    int start = pos.startTagOpen;
    int length = x_SubDocEnd(iPos) - start;
    x_DocChange(start, length, {});
    // The removed entry still knows its parent and next sibling, which is where the walk starts.
    x_Adjust(iPos, -length, true);
    m_aPos[iPos].parent = kRemovedParent;
    return iPosPrev;
}

bool CMarkup::RemoveElem() {
    if (!m_iPos || m_nNodeType != 1)
        return false;
    int iPosPrev = x_RemoveElem(m_iPos);
    x_SetPos(m_iPosParent, iPosPrev, 0);
    return true;
}

bool CMarkup::RemoveChildElem() {
    if (!m_iPosChild)
        return false;
    int iPosPrev = x_RemoveElem(m_iPosChild);
    x_SetPos(m_iPosParent, m_iPos, iPosPrev);
    return true;
}
