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

// Base letters of the pairs (capital, small) of U+1E00..U+1E95 and U+1EA0..U+1EF9: Latin with
// dots, lines and hooks, and the Vietnamese vowels.
constexpr char16_t kAdditionalBase[] = u"abbbcdddddeeeeefghhhhhiikkkllllmmmnnnnoooopprrrrsssssttttuuuuuvvwwwwwxxyzzz";
constexpr char16_t kVietnameseBase[] = u"aaaaaaaaaaaaeeeeeeeeiioooooooooooouuuuuuuyyyy";
static_assert(std::size(kAdditionalBase) - 1 == 75 && std::size(kVietnameseBase) - 1 == 45);

// Letters of other blocks that users type without their marks: Vietnamese and pinyin vowels
// (Latin Extended-B), Romanian comma letters, Greek with tonos or dialytika, final sigma, and
// the Cyrillic e and i with marks.
struct Folded {
    char16_t from;
    char16_t to;
};
constexpr Folded kMarkedLetters[] = {
    {u'\u01A0', u'o'},      {u'\u01A1', u'o'},      {u'\u01AF', u'u'},      {u'\u01B0', u'u'},
    {u'\u01CD', u'a'},      {u'\u01CE', u'a'},      {u'\u01CF', u'i'},      {u'\u01D0', u'i'},
    {u'\u01D1', u'o'},      {u'\u01D2', u'o'},      {u'\u0218', u's'},      {u'\u0219', u's'},
    {u'\u021A', u't'},      {u'\u021B', u't'},      {u'\u0386', u'\u03B1'}, {u'\u0388', u'\u03B5'},
    {u'\u0389', u'\u03B7'}, {u'\u038A', u'\u03B9'}, {u'\u038C', u'\u03BF'}, {u'\u038E', u'\u03C5'},
    {u'\u038F', u'\u03C9'}, {u'\u0390', u'\u03B9'}, {u'\u03AA', u'\u03B9'}, {u'\u03AB', u'\u03C5'},
    {u'\u03AC', u'\u03B1'}, {u'\u03AD', u'\u03B5'}, {u'\u03AE', u'\u03B7'}, {u'\u03AF', u'\u03B9'},
    {u'\u03B0', u'\u03C5'}, {u'\u03C2', u'\u03C3'}, {u'\u03CA', u'\u03B9'}, {u'\u03CB', u'\u03C5'},
    {u'\u03CC', u'\u03BF'}, {u'\u03CD', u'\u03C5'}, {u'\u03CE', u'\u03C9'}, {u'\u0400', u'\u0435'},
    {u'\u0401', u'\u0435'}, {u'\u040D', u'\u0438'}, {u'\u0450', u'\u0435'}, {u'\u0451', u'\u0435'},
    {u'\u045D', u'\u0438'},
};

void FoldOtherScripts(std::array<char16_t, 0x10000>& table) {
    for (char16_t ch = 0x01D3; ch <= 0x01DC; ++ch)   // pinyin u with marks
        table[ch] = u'u';
    for (size_t i = 0; i + 1 < std::size(kAdditionalBase); ++i)
        table[0x1E00 + 2 * i] = table[0x1E01 + 2 * i] = kAdditionalBase[i];
    for (size_t i = 0; i + 1 < std::size(kVietnameseBase); ++i)
        table[0x1EA0 + 2 * i] = table[0x1EA1 + 2 * i] = kVietnameseBase[i];
    // Greek and Cyrillic capitals to small letters.
    for (char16_t ch = 0x0391; ch <= 0x03A9; ++ch) {
        if (ch != 0x03A2)
            table[ch] = static_cast<char16_t>(ch + 0x20);
    }
    for (char16_t ch = 0x0410; ch <= 0x042F; ++ch)
        table[ch] = static_cast<char16_t>(ch + 0x20);
    for (char16_t ch = 0x0400; ch <= 0x040F; ++ch)
        table[ch] = static_cast<char16_t>(ch + 0x50);
    for (const Folded& letter : kMarkedLetters)
        table[letter.from] = letter.to;
}

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
    FoldOtherScripts(table);
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
