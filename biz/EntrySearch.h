#pragma once
// The entries that a filter lets through and that hold the words a user searched for, in one
// walk of the data store's entries (CDataHelper::ForEachEntry, or ForEachEntryInRange for the
// period), ordered as the entries view lists them (by item date, equal dates in document order). Across all dates the filter's dates are left
// out and only its criteria apply. An entry whose stored text holds none of a word, and whose
// project, client and category names do not either, is passed over without being built, so a
// search of a large file costs little more than the entries it finds.
#include <memory>
#include <unordered_map>
#include <vector>

#include "biz/BizExport.h"
#include "biz/EntryMatcher.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"

class CRecordNames;

class QUILLMAR_BIZ_EXPORT CEntrySearch {
public:
    // `names` must describe the same document (see CRecordNames).
    CEntrySearch(const CProjectItemFilter& filter, const CEntryMatcher& matcher, bool allDates,
                 const CRecordNames& names);

    int GetSize() const { return static_cast<int>(m_entries.size()); }
    CProjectItem& operator[](int index) const { return *m_entries[static_cast<size_t>(index)]; }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

    // The filter a search across all dates applies: `filter` with dates that admit every entry.
    static CProjectItemFilter AllDates(const CProjectItemFilter& filter);

private:
    void Read(const CProjectItemFilter& filter, bool allDates);
    // Whether the entry stored as `element` may hold every word.
    bool MayMatch(std::u16string_view element) const;
    // Which project and category names hold which words, from the names read.
    void ReadNameBits();
    // Bit n set: word n is in the names of the project (with its client) or category.
    unsigned NameBits(const CString& ref, bool category) const;

    const CEntryMatcher& m_matcher;
    const CRecordNames& m_names;
    std::vector<bool> m_wordNeedsRecord;   // a word the stored text may hold escaped
    unsigned m_wordsInNames = 0;           // bit n: some name holds word n
    std::unordered_map<CString, unsigned> m_projectBits;
    std::unordered_map<CString, unsigned> m_categoryBits;
    std::vector<std::unique_ptr<CProjectItem>> m_entries;
};
