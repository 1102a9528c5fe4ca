#include "biz/FilteredEntries.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/ProjectItemFilter.h"
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

// The date an entry would be listed with: its "itemDate", or, without one, the time a new
// entry is given.
COleDateTime StoredItemDate(CMarkupArchive& document, const COleDateTime& now) {
    COleDateTime date = now;
    if (document.FindChildElem(u"itemDate"))
        date = CDateTimeFormatter::GetDateTimeFromDB(document.GetChildData());
    document.ResetChildPos();
    return date;
}

double ItemDateKey(const CProjectItem& entry) {
    const COleDateTime date = entry.get_ItemDate();
    if (date.GetStatus() != COleDateTime::valid || std::isnan(date.m_dt))
        return -std::numeric_limits<double>::infinity();
    return COleDateTime::ToLinear(date.m_dt);
}

}   // namespace

CFilteredEntries::CFilteredEntries(const CProjectItemFilter& filter, const CRecordNames& names) {
    Read(filter, names);
    SortByItemDate();
}

void CFilteredEntries::Read(const CProjectItemFilter& filter, const CRecordNames& names) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return;
    // The client test is the only one that loads records; it is made here from the names.
    CProjectItemFilter withoutClient = filter;
    withoutClient.m_strClientRef.Empty();
    const bool testClient = filter.m_bActive && !filter.m_strClientRef.IsEmpty();

    CMarkupArchive* document = store->GetCurrentDataStore();
    document->ResetPos();
    const COleDateTime now = COleDateTime::GetCurrentTime();
    if (document->FindElem()) {
        while (document->FindChildElem(u"projectItem")) {
            document->IntoElem();
            const COleDateTime date = StoredItemDate(*document, now);
            if (!(date >= filter.m_dtStart && date <= filter.m_dtEnd)) {
                document->OutOfElem();
                continue;
            }
            auto entry = std::make_unique<ScannedEntry>(now);
            entry->ReadRecord(CRecordReader(*document));
            document->OutOfElem();
            if (withoutClient.RunOnItem(entry.get()))
                continue;
            if (testClient && names.ClientRefOfProject(entry->get_ProjectRef()) != filter.m_strClientRef) {
                entry->set_FilteredFromView(1);
                continue;
            }
            m_entries.push_back(std::move(entry));
        }
    }
    document->ResetPos();
}

void CFilteredEntries::SortByItemDate() {
    std::vector<std::pair<double, std::unique_ptr<CProjectItem>>> keyed;
    keyed.reserve(m_entries.size());
    for (auto& entry : m_entries) {
        const double key = ItemDateKey(*entry);
        keyed.emplace_back(key, std::move(entry));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_entries[i] = std::move(keyed[i].second);
}
