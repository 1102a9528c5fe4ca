#include "biz/RecordIndex.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <unordered_set>

#include "biz/DateTimeFormatter.h"

namespace {

constexpr std::u16string_view kEntryName = u"projectItem";

double LinearKey(const COleDateTime& date) { return COleDateTime::ToLinear(date.m_dt); }

bool InRange(const COleDateTime& date, const COleDateTime& from, const COleDateTime& to) {
    return date >= from && date <= to;
}

}   // namespace

bool CRecordIndex::NeedsFullRead(const CMarkupArchive& document) const {
    if (!m_bBuilt)
        return true;
    std::vector<int> edited;
    return !document.GetRootChildEditsSince(m_mark, edited);
}

void CRecordIndex::Update(CMarkupArchive& document) {
    const CMarkup::EditMark now = document.GetEditMark();
    if (m_bBuilt && now.generation == m_mark.generation && now.edits == m_mark.edits)
        return;
    std::vector<int> edited;
    if (!m_bBuilt || !document.GetRootChildEditsSince(m_mark, edited) || !ApplyEdits(document, edited))
        ReadAll(document);
    m_mark = document.GetEditMark();
    m_bBuilt = true;
    document.ResetPos();
}

void CRecordIndex::ReadAll(CMarkupArchive& document) {
    m_records.clear();
    m_byId.clear();
    m_byRefId.clear();
    m_byDate.clear();
    m_undated.clear();
    m_others.clear();
    m_inOrder.clear();
    m_nextOrder = 0;
    size_t count = 0;
    for (int handle = document.GetFirstRootChild(); handle; handle = document.GetNextSibling(handle))
        ++count;
    m_records.reserve(count);
    m_inOrder.reserve(count);
    m_byId.reserve(count);
    m_byRefId.reserve(count);
    for (int handle = document.GetFirstRootChild(); handle; handle = document.GetNextSibling(handle)) {
        Record record = Read(document, handle);
        record.order = m_nextOrder++;
        Insert(handle, std::move(record));
    }
}

bool CRecordIndex::ApplyEdits(CMarkupArchive& document, std::vector<int>& edited) {
    std::sort(edited.begin(), edited.end());
    edited.erase(std::unique(edited.begin(), edited.end()), edited.end());
    std::vector<int> added;
    for (int handle : edited) {
        auto known = m_records.find(handle);
        if (known == m_records.end()) {
            if (document.IsRootChild(handle))
                added.push_back(handle);
            continue;
        }
        const uint64_t order = known->second.order;
        Erase(handle);
        // Changed where it stands: read again, keeping its place.
        if (document.IsRootChild(handle)) {
            Record record = Read(document, handle);
            record.order = order;
            Insert(handle, std::move(record));
        }
    }
    return added.empty() || OrderAppended(document, added);
}

bool CRecordIndex::OrderAppended(CMarkupArchive& document, const std::vector<int>& added) {
    // Records are saved at the end of the document; a child added anywhere else (or one the
    // index did not know that is older than its last reading) means reading it all again.
    // The added children must then be the last ones, in one run: it starts at the one no other
    // added child leads to and runs through all of them to the end.
    const std::unordered_set<int> wanted(added.begin(), added.end());
    std::unordered_set<int> followers;
    for (int handle : added) {
        if (handle < m_mark.nextHandle)
            return false;
        if (const int next = document.GetNextSibling(handle))
            followers.insert(next);
    }
    int first = 0;
    for (int handle : added) {
        if (followers.count(handle) == 0) {
            if (first)
                return false;
            first = handle;
        }
    }
    std::vector<int> inOrder;
    for (int handle = first; handle; handle = document.GetNextSibling(handle)) {
        if (wanted.count(handle) == 0 || inOrder.size() == added.size())
            return false;
        inOrder.push_back(handle);
    }
    if (inOrder.size() != added.size())
        return false;
    for (int handle : inOrder) {
        Record record = Read(document, handle);
        record.order = m_nextOrder++;
        Insert(handle, std::move(record));
    }
    return true;
}

CRecordIndex::Record CRecordIndex::Read(CMarkupArchive& document, int handle) {
    Record record;
    if (!document.IntoRootChild(handle))
        return record;
    record.id = std::move(document.GetAttrib(u"id").str());
    record.refId = std::move(document.GetAttrib(u"refId").str());
    record.isEntry = document.GetTagName().str() == kEntryName;
    if (record.isEntry) {
        document.ResetChildPos();
        record.hasDate = document.FindChildElem(u"itemDate");
        if (record.hasDate)
            record.date = CDateTimeFormatter::GetDateTimeFromDB(document.GetChildData());
        document.ResetChildPos();
    }
    return record;
}

bool CRecordIndex::IsOrdered(const Record& record) {
    return record.hasDate && record.date.GetStatus() == COleDateTime::valid && !std::isnan(record.date.m_dt);
}

void CRecordIndex::Insert(int handle, Record record) {
    Erase(handle);   // keys view the texts of the stored record, which must not be overwritten
    const Record& stored = m_records.insert_or_assign(handle, std::move(record)).first->second;
    if (!stored.id.empty())
        AddRef(m_byId[std::u16string_view(stored.id)], stored.order, handle);
    if (!stored.refId.empty())
        AddRef(m_byRefId[std::u16string_view(stored.refId)], stored.order, handle);
    if (stored.isEntry) {
        if (IsOrdered(stored))
            m_byDate.emplace(std::make_pair(LinearKey(stored.date), stored.order), handle);
        else
            m_undated.emplace(stored.order, handle);
    } else {
        m_others.emplace(stored.order, handle);
    }
    const std::pair<uint64_t, int> placed{stored.order, handle};
    if (m_inOrder.empty() || m_inOrder.back() < placed)
        m_inOrder.push_back(placed);
    else
        m_inOrder.insert(std::lower_bound(m_inOrder.begin(), m_inOrder.end(), placed), placed);
}

void CRecordIndex::Erase(int handle) {
    auto found = m_records.find(handle);
    if (found == m_records.end())
        return;
    const Record& record = found->second;
    RemoveRef(m_byId, &Record::id, record, handle);
    RemoveRef(m_byRefId, &Record::refId, record, handle);
    if (record.isEntry) {
        if (IsOrdered(record))
            m_byDate.erase(std::make_pair(LinearKey(record.date), record.order));
        else
            m_undated.erase(record.order);
    } else {
        m_others.erase(record.order);
    }
    const auto placed = std::lower_bound(m_inOrder.begin(), m_inOrder.end(), std::make_pair(record.order, handle));
    if (placed != m_inOrder.end() && placed->second == handle)
        m_inOrder.erase(placed);
    m_records.erase(found);
}

int CRecordIndex::PreviousRecord(int handle) const {
    const auto found = m_records.find(handle);
    if (found == m_records.end())
        return 0;
    const auto placed =
        std::lower_bound(m_inOrder.begin(), m_inOrder.end(), std::make_pair(found->second.order, handle));
    return placed == m_inOrder.begin() ? 0 : std::prev(placed)->second;
}

void CRecordIndex::AddRef(Refs& refs, uint64_t order, int handle) {
    if (refs.first.second == 0) {
        refs.first = {order, handle};
        return;
    }
    std::pair<uint64_t, int> ref{order, handle};
    if (ref < refs.first)
        std::swap(ref, refs.first);
    refs.more.insert(std::lower_bound(refs.more.begin(), refs.more.end(), ref), ref);
}

void CRecordIndex::RemoveRef(Keyed& map, std::u16string Record::*field, const Record& record, int handle) {
    const std::u16string& key = record.*field;
    if (key.empty())
        return;
    auto found = map.find(std::u16string_view(key));
    if (found == map.end())
        return;
    // The key views the text of one of its records; when that is the one going, it is keyed
    // again by the text of one that stays.
    const bool keyedByThis = found->first.data() == key.data();
    Refs& refs = found->second;
    auto& more = refs.more;
    more.erase(std::remove_if(more.begin(), more.end(), [handle](const auto& ref) { return ref.second == handle; }),
               more.end());
    if (refs.first.second == handle) {
        if (more.empty()) {
            map.erase(found);
            return;
        }
        refs.first = more.front();
        more.erase(more.begin());
    }
    if (!keyedByThis)
        return;
    Refs rest = std::move(refs);
    map.erase(found);
    const std::u16string_view newKey(m_records.at(rest.first.second).*field);
    map.emplace(newKey, std::move(rest));
}

int CRecordIndex::First(const Keyed& map, const CString& key) {
    if (key.IsEmpty())
        return 0;
    auto found = map.find(std::u16string_view(key.str()));
    return found == map.end() ? 0 : found->second.first.second;
}

int CRecordIndex::FindById(const CString& text) const { return First(m_byId, text); }

int CRecordIndex::FindByRefId(const CString& text) const { return First(m_byRefId, text); }

void CRecordIndex::AddUndated(std::vector<Listed>& out, const COleDateTime& from, const COleDateTime& to,
                              const COleDateTime& now, bool all) const {
    const bool nowOrdered = now.GetStatus() == COleDateTime::valid && !std::isnan(now.m_dt);
    for (const auto& [order, handle] : m_undated) {
        const Record& record = m_records.at(handle);
        const COleDateTime& date = record.hasDate ? record.date : now;
        if (!all && !InRange(date, from, to))
            continue;
        const bool ordered = record.hasDate ? false : nowOrdered;
        out.push_back({ordered ? LinearKey(date) : -std::numeric_limits<double>::infinity(), order, handle});
    }
}

std::vector<int> CRecordIndex::Handles(std::vector<Listed>& listed) {
    std::sort(listed.begin(), listed.end(),
              [](const Listed& a, const Listed& b) { return a.key < b.key || (a.key == b.key && a.order < b.order); });
    std::vector<int> handles;
    handles.reserve(listed.size());
    for (const Listed& entry : listed)
        handles.push_back(entry.handle);
    return handles;
}

std::vector<int> CRecordIndex::EntriesInRange(const COleDateTime& from, const COleDateTime& to,
                                              const COleDateTime& now) const {
    std::vector<Listed> listed;
    const bool boundsOrdered = from.GetStatus() == COleDateTime::valid && to.GetStatus() == COleDateTime::valid &&
                               !std::isnan(from.m_dt) && !std::isnan(to.m_dt);
    if (boundsOrdered) {
        const double low = LinearKey(from);
        const double high = LinearKey(to);
        auto end = m_byDate.upper_bound({high, std::numeric_limits<uint64_t>::max()});
        for (auto it = m_byDate.lower_bound({low, 0}); low <= high && it != end; ++it)
            listed.push_back({it->first.first, it->first.second, it->second});
    } else {
        // Bounds that are not valid dates compare by status; every entry is asked.
        for (const auto& [key, handle] : m_byDate) {
            if (InRange(m_records.at(handle).date, from, to))
                listed.push_back({key.first, key.second, handle});
        }
    }
    AddUndated(listed, from, to, now, false);
    return Handles(listed);
}

std::vector<int> CRecordIndex::AllEntries(const COleDateTime& now) const {
    std::vector<Listed> listed;
    listed.reserve(EntryCount());
    for (const auto& [key, handle] : m_byDate)
        listed.push_back({key.first, key.second, handle});
    AddUndated(listed, now, now, now, true);
    return Handles(listed);
}

std::vector<int> CRecordIndex::OtherRecords() const {
    std::vector<int> handles;
    handles.reserve(m_others.size());
    for (const auto& [order, handle] : m_others)
        handles.push_back(handle);
    return handles;
}
