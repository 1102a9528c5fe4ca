#pragma once
// An index beside the data document: for each child of the root, its "id" and "refId" texts
// and, for entries ("projectItem"), the item date, by element handle (CMarkup). It follows the
// document's journal of edits, so an edit made by any path is seen; a document that was
// renumbered (loaded, replaced, rewritten by a record batch) is read afresh. Lookups answer as
// a search of the root's children in document order would, without the search.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"
#include "xml/MarkupArchive.h"

class QUILLMAR_BIZ_EXPORT CRecordIndex {
public:
    CRecordIndex() = default;
    // A copy starts empty and reads its document on first use: its keys would view the texts
    // of the original's records.
    CRecordIndex(const CRecordIndex&) {}
    CRecordIndex& operator=(const CRecordIndex& other) {
        if (this != &other)
            *this = CRecordIndex();
        return *this;
    }
    CRecordIndex(CRecordIndex&&) = default;
    CRecordIndex& operator=(CRecordIndex&&) = default;

    // Brings the index up to `document` as it stands: nothing to do when it has not changed,
    // the edited records only when it was edited, the whole document when it was renumbered.
    void Update(CMarkupArchive& document);
    // Whether Update would have to read the whole document.
    bool NeedsFullRead(const CMarkupArchive& document) const;

    // Handle of the first root child whose "id" (respectively "refId") attribute is `text`;
    // 0 when there is none.
    int FindById(const CString& text) const;
    int FindByRefId(const CString& text) const;

    // Handles of the entries whose item date lies in [from, to] (as CProjectItemFilter compares
    // dates), in the order GetObjectList("projectItem") lists entries: by item date, equal dates
    // in document order. An entry without an "itemDate" has the date `now`, as a record read
    // now would.
    std::vector<int> EntriesInRange(const COleDateTime& from, const COleDateTime& to, const COleDateTime& now) const;
    // Every entry, in the same order.
    std::vector<int> AllEntries(const COleDateTime& now) const;
    size_t EntryCount() const { return m_byDate.size() + m_undated.size(); }
    // The root's children that are not entries (clients, projects, categories, markers), in
    // document order: the few records a list of names needs, without passing every entry.
    std::vector<int> OtherRecords() const;
    // The root's child just before `handle` in document order; 0 for the first or an unknown one.
    int PreviousRecord(int handle) const;

private:
    struct Record {
        uint64_t order = 0;   // document order
        std::u16string id;
        std::u16string refId;
        bool isEntry = false;
        bool hasDate = false;   // entries: an "itemDate" child
        COleDateTime date;      // entries: as a record reads it
    };
    // An entry as listed: its sort key, document order and handle.
    struct Listed {
        double key;
        uint64_t order;
        int handle;
    };
    // The records holding one "id" or "refId" text: (document order, handle), ascending; the
    // first kept apart, since most texts belong to one record only.
    struct Refs {
        std::pair<uint64_t, int> first{0, 0};
        std::vector<std::pair<uint64_t, int>> more;
    };

    void ReadAll(CMarkupArchive& document);
    bool ApplyEdits(CMarkupArchive& document, std::vector<int>& edited);
    // Document order for children added at the end; false when they are not all at the end.
    bool OrderAppended(CMarkupArchive& document, const std::vector<int>& added);
    static Record Read(CMarkupArchive& document, int handle);
    void Insert(int handle, Record record);
    void Erase(int handle);
    // Keys are views of the texts of the records themselves (their nodes do not move), so no
    // text is held twice.
    using Keyed = std::unordered_map<std::u16string_view, Refs>;
    static void AddRef(Refs& refs, uint64_t order, int handle);
    void RemoveRef(Keyed& map, std::u16string Record::*field, const Record& record, int handle);
    static int First(const Keyed& map, const CString& key);
    // Whether the entry is dated validly, so that it sorts and compares by its linear date.
    static bool IsOrdered(const Record& record);
    void AddUndated(std::vector<Listed>& out, const COleDateTime& from, const COleDateTime& to,
                    const COleDateTime& now, bool all) const;
    static std::vector<int> Handles(std::vector<Listed>& listed);

    bool m_bBuilt = false;
    CMarkup::EditMark m_mark;
    uint64_t m_nextOrder = 0;
    std::unordered_map<int, Record> m_records;
    Keyed m_byId;
    Keyed m_byRefId;
    // Validly dated entries by (linear date, document order); the others by document order.
    std::map<std::pair<double, uint64_t>, int> m_byDate;
    std::map<uint64_t, int> m_undated;
    std::map<uint64_t, int> m_others;   // by document order
    // Every record as (document order, handle), ascending; records are mostly appended.
    std::vector<std::pair<uint64_t, int>> m_inOrder;
};
