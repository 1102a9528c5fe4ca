#include "biz/EntrySearch.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/RecordNames.h"
#include "biz/RecordReader.h"
#include "xml/MarkupArchive.h"

namespace {

// An entry filled straight from the element it stands on, as the data store fills its lists.
class ScannedEntry : public CProjectItem {
public:
    explicit ScannedEntry(const COleDateTime& now) : CProjectItem(now) {}
    using CProjectItem::ReadRecord;
};

// More words than bits are never pre-tested by name; the record decides.
constexpr size_t kMaxNameWords = 32;

double ItemDateKey(const CProjectItem& entry) {
    const COleDateTime date = entry.get_ItemDate();
    if (date.GetStatus() != COleDateTime::valid || std::isnan(date.m_dt))
        return -std::numeric_limits<double>::infinity();
    return COleDateTime::ToLinear(date.m_dt);
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
    Read(allDates ? AllDates(filter) : filter);
    SortByItemDate();
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

bool CEntrySearch::MayMatch(CMarkupArchive& document) {
    const auto& words = m_matcher.Words();
    if (words.empty())
        return true;
    const CString element = document.GetChildSubDoc();
    const std::u16string_view text = element.str();
    // Character references may spell any letter; such an element is read as a record.
    if (text.find(u'&') != std::u16string_view::npos)
        return true;
    unsigned names = 0;
    bool namesRead = false;
    for (size_t n = 0; n < words.size(); ++n) {
        if (m_wordNeedsRecord[n] || n >= kMaxNameWords || CEntryMatcher::ContainsFolded(text, words[n]))
            continue;
        if (!(m_wordsInNames & (1u << n)))
            return false;
        if (!namesRead) {
            names = NameBits(document.GetChildAttrib(u"projectRef"), false) |
                    NameBits(document.GetChildAttrib(u"categoryRef"), true);
            namesRead = true;
        }
        if (!(names & (1u << n)))
            return false;
    }
    return true;
}

void CEntrySearch::Read(const CProjectItemFilter& filter) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return;
    CMarkupArchive* document = store->GetCurrentDataStore();
    document->ResetPos();
    const COleDateTime now = COleDateTime::GetCurrentTime();
    if (document->FindElem()) {
        while (document->FindChildElem(u"projectItem")) {
            if (!MayMatch(*document))
                continue;
            document->IntoElem();
            auto entry = std::make_unique<ScannedEntry>(now);
            entry->ReadRecord(CRecordReader(*document));
            document->OutOfElem();
            // The filter's client test loads the entry's project; only found entries get that far.
            if (m_matcher.Matches(*entry, m_names) && filter.RunOnItem(entry.get()) == 0)
                m_entries.push_back(std::move(entry));
        }
    }
    document->ResetPos();
}

void CEntrySearch::SortByItemDate() {
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const auto& a, const auto& b) { return ItemDateKey(*a) < ItemDateKey(*b); });
}
