#pragma once
// Tests entries against the words a user typed into a search box. Every word must occur
// somewhere in the entry's description, expense type, notes, custom fields, or in the names of
// its project, client or category (code or name). Matching ignores case and the accents of
// Latin letters, so "resume" finds "Résumé" and "ZURICH" finds "Zürich".
#include <string>
#include <string_view>
#include <vector>

#include "biz/BizExport.h"
#include "platform/CString.h"

class CProjectItem;
class CRecordNames;

class QUILLMAR_BIZ_EXPORT CEntryMatcher {
public:
    // Splits `typed` into words at white space.
    explicit CEntryMatcher(const CString& typed);

    // No words were typed: every entry matches.
    bool IsEmpty() const { return m_words.empty(); }
    // The folded words, in the order typed.
    const std::vector<std::u16string>& Words() const { return m_words; }

    // `names` gives the project, client and category names by RefID.
    bool Matches(const CProjectItem& entry, const CRecordNames& names) const;

    // The character as the matcher compares it: lower case, a Latin letter without its accent.
    static char16_t FoldChar(char16_t ch);
    // The folding of every UTF-16 code unit, for loops that fold as they go.
    static const char16_t* FoldTable();
    static std::u16string Fold(std::u16string_view text);
    // Whether `folded` (already folded) occurs in `text` compared folded.
    static bool ContainsFolded(std::u16string_view text, std::u16string_view folded);

private:
    std::vector<std::u16string> m_words;
};
