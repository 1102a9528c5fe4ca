// Bulk rewrite of one element's children: the new text is assembled in one pass and the index
// is moved along with it (kept children shifted, new ones parsed where they stand), which keeps
// many edits on a large document linear instead of quadratic.
#include <string>
#include <utility>

#include "xml/Markup.h"

bool CMarkup::x_IsWhiteSpaceRun(int from, int to) const {
    int scan = from;
    x_FindAny(m_strDoc.GetString(), scan);
    return scan >= to;
}

int CMarkup::x_ChildCount(int iPosParent) const {
    int count = 0;
    for (int iPos = m_aPos[iPosParent].firstChild; iPos; iPos = m_aPos[iPos].nextSibling)
        ++count;
    return count;
}

bool CMarkup::HasPlainChildren() const {
    if (!m_iPos || m_nNodeType != 1 || m_aPos[m_iPos].IsEmptyElement())
        return false;
    const ElementPosition& main = m_aPos[m_iPos];
    int from = main.startTagClose + 1;
    for (int iPos = main.firstChild; iPos; iPos = m_aPos[iPos].nextSibling) {
        if (!x_IsWhiteSpaceRun(from, m_aPos[iPos].startTagOpen))
            return false;
        from = m_aPos[iPos].endTagClose + 1;
    }
    return x_IsWhiteSpaceRun(from, main.endTagOpen);
}

bool CMarkup::RewriteChildren(const std::vector<bool>& removed, const std::map<int, CString>& replaced,
                              TextArg appended) {
    if (!HasPlainChildren() || static_cast<int>(removed.size()) != x_ChildCount(m_iPos))
        return false;
    for (const auto& [ordinal, subDoc] : replaced) {
        if (ordinal < 0 || ordinal >= static_cast<int>(removed.size()) || removed[static_cast<size_t>(ordinal)])
            return false;
    }

    const std::u16string& text = m_strDoc.str();
    const ElementPosition& main = m_aPos[m_iPos];
    std::u16string rewritten;
    rewritten.reserve(text.size() + static_cast<size_t>(appended.Length()));
    const int firstStart = main.firstChild ? m_aPos[main.firstChild].startTagOpen : main.endTagOpen;
    rewritten.append(text, 0, static_cast<size_t>(firstStart));
    ChildLayout layout;
    int ordinal = 0;
    for (int iPos = main.firstChild; iPos; iPos = m_aPos[iPos].nextSibling, ++ordinal) {
        layout.newStart.push_back(static_cast<int>(rewritten.size()));
        if (removed[static_cast<size_t>(ordinal)])
            continue;
        // With only white space between children, a sub-document runs up to the next tag.
        const int start = m_aPos[iPos].startTagOpen;
        const int next = m_aPos[iPos].nextSibling;
        const int end = next ? m_aPos[next].startTagOpen : main.endTagOpen;
        const auto replacement = replaced.find(ordinal);
        if (replacement != replaced.end())
            rewritten += replacement->second.str();
        else
            rewritten.append(text, static_cast<size_t>(start), static_cast<size_t>(end - start));
    }
    layout.appendedStart = static_cast<int>(rewritten.size());
    rewritten += appended.View();
    layout.appendedEnd = static_cast<int>(rewritten.size());
    layout.shift = layout.appendedEnd - main.endTagOpen;
    rewritten.append(text, static_cast<size_t>(main.endTagOpen), std::u16string::npos);

    const int iPosMain = m_iPos;
    x_NoteWholeChange();
    std::u16string previous = std::move(m_strDoc.str());
    m_strDoc.str() = std::move(rewritten);
    std::vector<ElementPosition> previousIndex = m_aPos;
    const int previousFree = m_iPosFree;
    if (x_ReindexChildren(iPosMain, removed, replaced, layout)) {
        x_NewGeneration();
        x_ResetPositions();
        m_mapSavedPos.clear();
        return true;
    }
    // The new text is indexed from scratch when the children could not be indexed in place.
    m_aPos = std::move(previousIndex);
    m_iPosFree = previousFree;
    std::u16string rewrittenText = std::move(m_strDoc.str());
    m_strDoc.str() = previous;
    if (x_SetDocText(std::move(rewrittenText)))
        return true;
    // The previous text parsed before, so it is indexed again as it was.
    x_SetDocText(std::move(previous));
    return false;
}

bool CMarkup::x_ParseChildAt(int iPosParent, int offset, int limit, int& iPosNew) {
    const int savedEndTagOpen = m_aPos[iPosParent].endTagOpen;
    m_aPos[iPosParent].endTagOpen = offset;
    iPosNew = x_ParseElem(iPosParent);
    m_aPos[iPosParent].endTagOpen = savedEndTagOpen;
    return iPosNew > 0 && m_aPos[iPosNew].startTagOpen == offset && m_aPos[iPosNew].endTagClose < limit;
}

void CMarkup::x_ShiftSubtree(int iPosTop, int shift) {
    std::vector<int> pending{iPosTop};
    while (!pending.empty()) {
        const int iPos = pending.back();
        pending.pop_back();
        ElementPosition& pos = m_aPos[iPos];
        pos.startTagOpen += shift;
        pos.startTagClose += shift;
        pos.endTagOpen += shift;
        pos.endTagClose += shift;
        for (int iPosChild = pos.firstChild; iPosChild; iPosChild = m_aPos[iPosChild].nextSibling)
            pending.push_back(iPosChild);
    }
}

bool CMarkup::x_ReindexChildren(int iPosMain, const std::vector<bool>& removed, const std::map<int, CString>& replaced,
                                const ChildLayout& layout) {
    std::vector<int> children;
    for (int iPos = m_aPos[iPosMain].firstChild; iPos; iPos = m_aPos[iPos].nextSibling)
        children.push_back(iPos);
    std::vector<int> kept;
    for (size_t ordinal = 0; ordinal < children.size(); ++ordinal) {
        const int iPos = children[ordinal];
        if (removed[ordinal]) {
            m_aPos[iPos].parent = kRemovedParent;
            continue;
        }
        const int newStart = layout.newStart[ordinal];
        const auto replacement = replaced.find(static_cast<int>(ordinal));
        if (replacement == replaced.end()) {
            x_ShiftSubtree(iPos, newStart - m_aPos[iPos].startTagOpen);
            kept.push_back(iPos);
            continue;
        }
        m_aPos[iPos].parent = kRemovedParent;
        int iPosNew = 0;
        const int limit = newStart + replacement->second.GetLength();
        if (!x_ParseChildAt(iPosMain, newStart, limit, iPosNew) || x_SubDocEnd(iPosNew) != limit)
            return false;
        kept.push_back(iPosNew);
    }
    for (int offset = layout.appendedStart; offset < layout.appendedEnd;) {
        int iPosNew = 0;
        if (!x_ParseChildAt(iPosMain, offset, layout.appendedEnd, iPosNew))
            return false;
        kept.push_back(iPosNew);
        offset = x_SubDocEnd(iPosNew);
    }
    m_aPos[iPosMain].firstChild = 0;
    for (size_t i = kept.size(); i-- > 0;) {
        m_aPos[kept[i]].nextSibling = m_aPos[iPosMain].firstChild;
        m_aPos[iPosMain].firstChild = kept[i];
    }
    // Everything after the children moves by the change in their length.
    x_Adjust(iPosMain, layout.shift, true);
    m_aPos[iPosMain].endTagOpen += layout.shift;
    m_aPos[iPosMain].endTagClose += layout.shift;
    return true;
}
