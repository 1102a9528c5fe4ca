#pragma once
// Test support for the markup engine: readable CString failures and a
// probe that exposes the element index so tests can compare it with a fresh parse.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "testing/TempFolder.h"
#include "xml/Markup.h"

inline void PrintTo(const CString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }

// One element as the index describes it, with its links expressed as pre-order numbers so two
// indexes built in different orders can be compared.
struct IndexedElement {
    int startTagOpen, startTagClose, endTagOpen, endTagClose;
    int parentOrdinal;   // -1 for the root
    int childCount;
    bool operator==(const IndexedElement&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const IndexedElement& e) {
    return out << "{" << e.startTagOpen << "," << e.startTagClose << "," << e.endTagOpen << "," << e.endTagClose
               << " parent#" << e.parentOrdinal << " children " << e.childCount << "}";
}

class MarkupProbe : public CMarkup {
public:
    using CMarkup::CMarkup;
    explicit MarkupProbe(const CMarkup& other) : CMarkup(other) {}

    const ElementPosition& Entry(int i) const { return m_aPos[static_cast<size_t>(i)]; }
    size_t ArraySize() const { return m_aPos.size(); }
    int MainPos() const { return m_iPos; }
    int ChildPos() const { return m_iPosChild; }
    int ParentPos() const { return m_iPosParent; }
    int NodeType() const { return m_nNodeType; }
    int FreePos() const { return m_iPosFree; }

    // The tree in document order (iteratively, so deep documents are fine).
    std::vector<IndexedElement> Tree() const {
        std::vector<IndexedElement> out;
        struct Item {
            int iPos;
            int parentOrdinal;
        };
        std::vector<Item> pending;
        if (m_aPos[0].firstChild)
            pending.push_back({m_aPos[0].firstChild, -1});
        while (!pending.empty()) {
            Item item = pending.back();
            pending.pop_back();
            const ElementPosition& pos = m_aPos[static_cast<size_t>(item.iPos)];
            std::vector<int> children;
            for (int c = pos.firstChild; c; c = m_aPos[static_cast<size_t>(c)].nextSibling)
                children.push_back(c);
            int ordinal = static_cast<int>(out.size());
            out.push_back({pos.startTagOpen, pos.startTagClose, pos.endTagOpen, pos.endTagClose, item.parentOrdinal,
                           static_cast<int>(children.size())});
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                pending.push_back({*it, ordinal});
        }
        return out;
    }

    // Parent links must agree with the child lists.
    bool ParentLinksConsistent() const {
        std::vector<int> pending;
        if (m_aPos[0].firstChild)
            pending.push_back(m_aPos[0].firstChild);
        if (m_aPos[0].firstChild && m_aPos[static_cast<size_t>(m_aPos[0].firstChild)].parent != 0)
            return false;
        while (!pending.empty()) {
            int iPos = pending.back();
            pending.pop_back();
            for (int c = m_aPos[static_cast<size_t>(iPos)].firstChild; c;
                 c = m_aPos[static_cast<size_t>(c)].nextSibling) {
                if (m_aPos[static_cast<size_t>(c)].parent != iPos)
                    return false;
                pending.push_back(c);
            }
        }
        return true;
    }
};

// The maintained index must equal what a fresh parse of the same text gives.
inline ::testing::AssertionResult IndexMatchesReparse(const CMarkup& markup) {
    MarkupProbe maintained(markup);
    MarkupProbe fresh;
    fresh.SetDoc(markup.GetDoc());
    if (!maintained.ParentLinksConsistent())
        return ::testing::AssertionFailure() << "parent links disagree with child lists";
    std::vector<IndexedElement> a = maintained.Tree();
    std::vector<IndexedElement> b = fresh.Tree();
    if (a == b)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << "index differs from a fresh parse of \"" << markup.GetDoc().ToUtf8() << "\"\n";
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        failure << "  #" << i << " maintained ";
        if (i < a.size())
            failure << a[i];
        else
            failure << "-";
        failure << " fresh ";
        if (i < b.size())
            failure << b[i];
        else
            failure << "-";
        failure << "\n";
    }
    return failure;
}
