#pragma once
// The entries of the data store that a filter lets through, in the order the entries view
// lists them (by item date, equal dates in document order): what RunOnItem passes of
// GetObjectList("projectItem"), read in one pass over the current document. An entry dated
// outside the filter's dates is passed over on its date alone, without being built, and the
// client criterion is answered from the record names instead of by loading each entry's
// project, so reports and exports over a large file cost little more than the entries they
// keep.
#include <memory>
#include <vector>

#include "biz/BizExport.h"
#include "biz/ProjectItem.h"

class CProjectItemFilter;
class CRecordNames;

class QUILLMAR_BIZ_EXPORT CFilteredEntries {
public:
    // `names` must describe the same document (see CRecordNames).
    CFilteredEntries(const CProjectItemFilter& filter, const CRecordNames& names);

    int GetSize() const { return static_cast<int>(m_entries.size()); }
    const CProjectItem& operator[](int index) const { return *m_entries[static_cast<size_t>(index)]; }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    void Read(const CProjectItemFilter& filter, const CRecordNames& names);
    void SortByItemDate();

    std::vector<std::unique_ptr<CProjectItem>> m_entries;
};
