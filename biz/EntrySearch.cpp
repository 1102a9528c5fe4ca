#include "biz/EntrySearch.h"

#include <initializer_list>
#include <optional>

#include "biz/DataHelper.h"
#include "biz/RecordNames.h"
#include "biz/StoredEntry.h"

namespace {

// More words than bits are never pre-tested by name; the record decides.
constexpr size_t kMaxNameWords = 32;

// The value of attribute `name` in the start tag of `element`: empty when the tag has no such
// attribute, nullopt when the tag is written in a way this quick look does not read.
std::optional<std::u16string_view> AttributeOf(std::u16string_view element, std::u16string_view name) {
    const std::u16string_view tag = element.substr(0, element.find(u'>'));
    const size_t at = tag.find(name);
    if (at == std::u16string_view::npos)
        return std::u16string_view();
    const size_t quote = at + name.size() + 1;
    if (at == 0 || tag[at - 1] != u' ' || quote >= tag.size() || tag[quote - 1] != u'=' || tag[quote] != u'"' ||
        tag.find(name, at + 1) != std::u16string_view::npos)
        return std::nullopt;
    const size_t end = tag.find(u'"', quote + 1);
    if (end == std::u16string_view::npos)
        return std::nullopt;
    return tag.substr(quote + 1, end - quote - 1);
}

// Whether `text` holds `folded` (already folded): 1 it does, 0 it does not, -1 it has a
// character reference before the word is found, which may spell any letter.
int FindFolded(std::u16string_view text, std::u16string_view folded, const char16_t* table) {
    if (folded.empty())
        return 1;
    const char16_t first = folded[0];
    for (size_t i = 0; i + folded.size() <= text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch == u'&')
            return -1;
        if (table[ch] != first)
            continue;
        size_t k = 1;
        while (k < folded.size() && table[text[i + k]] == folded[k])
            ++k;
        if (k == folded.size())
            return 1;
    }
    // The last few characters, too short to hold the word, may still hold a reference.
    const size_t tail = text.size() >= folded.size() ? text.size() - folded.size() + 1 : 0;
    return text.find(u'&', tail) == std::u16string_view::npos ? 0 : -1;
}

}   // namespace

CEntrySearch::CEntrySearch(const CProjectItemFilter& filter, const CEntryMatcher& matcher, bool allDates,
                           const CRecordNames& names)
    : m_matcher(matcher), m_names(names) {
    // Markup characters stand escaped in the stored text, so such a word is looked for in the
    // record itself.
    for (const std::u16string& word : matcher.Words())
        m_wordNeedsRecord.push_back(word.find_first_of(u"&<>\"'") != std::u16string::npos);
    ReadNameBits();
    Read(allDates ? AllDates(filter) : filter, allDates);
}

CProjectItemFilter CEntrySearch::AllDates(const CProjectItemFilter& filter) {
    CProjectItemFilter all = filter;
    all.m_dtStart = COleDateTime(100, 1, 1, 0, 0, 0);
    all.m_dtEnd = COleDateTime(9999, 12, 31, 23, 59, 59);
    return all;
}

void CEntrySearch::ReadNameBits() {
    const auto& words = m_matcher.Words();
    auto bitsOf = [&words](std::initializer_list<CString> texts) {
        unsigned bits = 0;
        for (size_t n = 0; n < words.size() && n < kMaxNameWords; ++n) {
            for (const CString& text : texts) {
                if (CEntryMatcher::ContainsFolded(text.str(), words[n]))
                    bits |= 1u << n;
            }
        }
        return bits;
    };
    for (const CString& ref : m_names.ProjectRefs()) {
        const unsigned bits = bitsOf({m_names.ProjectName(ref), m_names.ClientName(m_names.ClientRefOfProject(ref))});
        if (bits != 0)
            m_projectBits.emplace(ref, bits);
        m_wordsInNames |= bits;
    }
    for (const CString& ref : m_names.CategoryRefs()) {
        const unsigned bits = bitsOf({m_names.CategoryCode(ref), m_names.CategoryName(ref)});
        if (bits != 0)
            m_categoryBits.emplace(ref, bits);
        m_wordsInNames |= bits;
    }
}

unsigned CEntrySearch::NameBits(const CString& ref, bool category) const {
    const auto& bits = category ? m_categoryBits : m_projectBits;
    const auto found = bits.find(ref);
    return found == bits.end() ? 0 : found->second;
}

bool CEntrySearch::MayMatch(std::u16string_view text) const {
    const auto& words = m_matcher.Words();
    if (words.empty())
        return true;
    const char16_t* table = CEntryMatcher::FoldTable();
    unsigned names = 0;
    bool namesRead = false;
    for (size_t n = 0; n < words.size(); ++n) {
        if (m_wordNeedsRecord[n] || n >= kMaxNameWords)
            continue;
        const int found = FindFolded(text, words[n], table);
        // Character references may spell any letter; such an element is read as a record.
        if (found < 0)
            return true;
        if (found > 0)
            continue;
        if (!(m_wordsInNames & (1u << n)))
            return false;
        if (!namesRead) {
            const auto projectRef = AttributeOf(text, u"projectRef");
            const auto categoryRef = AttributeOf(text, u"categoryRef");
            if (!projectRef || !categoryRef)
                return true;   // the record decides
            names = NameBits(CString(*projectRef), false) | NameBits(CString(*categoryRef), true);
            namesRead = true;
        }
        if (!(names & (1u << n)))
            return false;
    }
    return true;
}

void CEntrySearch::Read(const CProjectItemFilter& filter, bool allDates) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return;
    // The store gives its entries in the list's order; only those that may match are built.
    const auto visit = [this, &filter](const CStoredEntry& stored) {
        if (!MayMatch(stored.Markup()))
            return true;
        std::unique_ptr<CProjectItem> entry = stored.Build();
        // The filter's client test loads the entry's project; only found entries get that far.
        if (entry && m_matcher.Matches(*entry, m_names) && filter.RunOnItem(entry.get()) == 0)
            m_entries.push_back(std::move(entry));
        return true;
    };
    if (allDates)
        store->ForEachEntry(visit);
    else
        store->ForEachEntryInRange(filter.m_dtStart, filter.m_dtEnd, visit);
}
