#include "biz/EntryMatcher.h"

#include <array>

#include "biz/ProjectItem.h"
#include "biz/RecordNames.h"

namespace {

// Base letters of U+00C0..U+017F; '\0' keeps the character as it is (×, ÷, ß, æ, þ...).
constexpr char16_t kLatin1Base[] = u"aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0\0aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0y";
constexpr char16_t kExtendedABase[] =
    u"aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii\0\0jjkk\0llllllllllnnnnnnn\0\0oooooo\0\0"
    u"rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";

std::array<char16_t, 0x10000> BuildFoldTable() {
    std::array<char16_t, 0x10000> table{};
    for (size_t ch = 0; ch < table.size(); ++ch)
        table[ch] = static_cast<char16_t>(ch);
    for (char16_t ch = u'A'; ch <= u'Z'; ++ch)
        table[ch] = static_cast<char16_t>(ch - u'A' + u'a');
    for (size_t i = 0; i + 1 < std::size(kLatin1Base); ++i) {
        if (kLatin1Base[i] != u'\0')
            table[0xC0 + i] = kLatin1Base[i];
    }
    for (size_t i = 0; i + 1 < std::size(kExtendedABase); ++i) {
        if (kExtendedABase[i] != u'\0')
            table[0x100 + i] = kExtendedABase[i];
    }
    // Capitals without a base letter (Æ, Ð, Þ, Ĳ, Ŋ, Œ) fold to their small forms.
    for (char16_t ch : {u'\u00C6', u'\u00D0', u'\u00DE'})
        table[ch] = static_cast<char16_t>(ch + 0x20);
    for (char16_t ch : {u'\u0132', u'\u014A', u'\u0152'})
        table[ch] = static_cast<char16_t>(ch + 1);
    return table;
}

const std::array<char16_t, 0x10000>& Table() {
    static const std::array<char16_t, 0x10000> table = BuildFoldTable();
    return table;
}

}   // namespace

CEntryMatcher::CEntryMatcher(const CString& typed) {
    const std::u16string folded = Fold(typed.str());
    size_t start = 0;
    while (start < folded.size()) {
        const size_t space = folded.find_first_of(u" \t\r\n\u00A0", start);
        const size_t end = space == std::u16string::npos ? folded.size() : space;
        if (end > start)
            m_words.push_back(folded.substr(start, end - start));
        start = end + 1;
    }
}

char16_t CEntryMatcher::FoldChar(char16_t ch) { return Table()[ch]; }

const char16_t* CEntryMatcher::FoldTable() { return Table().data(); }

std::u16string CEntryMatcher::Fold(std::u16string_view text) {
    const auto& table = Table();
    std::u16string folded(text.size(), u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        folded[i] = table[text[i]];
    return folded;
}

bool CEntryMatcher::ContainsFolded(std::u16string_view text, std::u16string_view folded) {
    if (folded.empty())
        return true;
    if (folded.size() > text.size())
        return false;
    const auto& table = Table();
    const char16_t first = folded[0];
    const size_t last = text.size() - folded.size();
    for (size_t i = 0; i <= last; ++i) {
        if (table[text[i]] != first)
            continue;
        size_t k = 1;
        while (k < folded.size() && table[text[i + k]] == folded[k])
            ++k;
        if (k == folded.size())
            return true;
    }
    return false;
}

bool CEntryMatcher::Matches(const CProjectItem& entry, const CRecordNames& names) const {
    if (m_words.empty())
        return true;
    const CString projectRef = entry.get_ProjectRef();
    const CString categoryRef = entry.get_CategoryRef();
    const CString fields[] = {entry.get_Description(),
                              entry.get_Description2(),
                              entry.get_Notes(),
                              entry.get_Custom1(),
                              entry.get_Custom2(),
                              entry.get_Custom3(),
                              names.ProjectName(projectRef),
                              names.ClientName(names.ClientRefOfProject(projectRef)),
                              names.CategoryCode(categoryRef),
                              names.CategoryName(categoryRef)};
    for (const std::u16string& word : m_words) {
        bool found = false;
        for (const CString& field : fields) {
            if (ContainsFolded(field.str(), word)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}
