// Bulk rewrite of one element's children: the new text is assembled in one pass and indexed
// once, which keeps many edits on a large document linear instead of quadratic.
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
    int ordinal = 0;
    for (int iPos = main.firstChild; iPos; iPos = m_aPos[iPos].nextSibling, ++ordinal) {
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
    rewritten += appended.View();
    rewritten.append(text, static_cast<size_t>(main.endTagOpen), std::u16string::npos);

    std::u16string previous = std::move(m_strDoc.str());
    if (x_SetDocText(std::move(rewritten)))
        return true;
    // The previous text parsed before, so it is indexed again as it was.
    x_SetDocText(std::move(previous));
    return false;
}
