#include "biz/Invoice.h"

#include <algorithm>
#include <iterator>

#include "biz/FilteredEntries.h"
#include "biz/Helpers.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "platform/Clock.h"

namespace {

constexpr unsigned kClientNotFound = 310;

// Time, expense, mileage: the order the program shows the types in.
int TypeRank(CProjectItem::ItemType type) {
    switch (type) {
    case CProjectItem::ItemType_Time: return 0;
    case CProjectItem::ItemType_Expense: return 1;
    case CProjectItem::ItemType_Mileage: return 2;
    }
    return 3;
}

int CompareNames(const CString& a, const CString& b) {
    const int folded = a.CompareNoCase(b);
    return folded != 0 ? folded : a.Compare(b);
}

bool SameLine(const CInvoice::Entry& a, const CInvoice::Entry& b) {
    return a.projectRef == b.projectRef && a.type == b.type && a.categoryRef == b.categoryRef;
}

CProjectItemFilter UnbilledOfClient(const CString& clientRef, const COleDateTime& start, const COleDateTime& end) {
    CProjectItemFilter filter;
    filter.m_dtStart = GetDatePortion(start);
    filter.m_dtEnd = GetDatePortion(end) + COleDateTimeSpan(0, 23, 59, 59);
    filter.m_strClientRef = clientRef;
    filter.m_bIncludeBilled = 0;
    filter.m_bIncludePaid = 0;
    filter.m_bIncludeNonBillable = 0;
    filter.m_bActive = 1;
    return filter;
}

CInvoice::Entry EntryOf(const CProjectItem& item, const CRecordNames& names) {
    CInvoice::Entry entry;
    entry.refId = item.get_RefID();
    entry.id = item.get_ID();
    entry.date = item.get_ItemDate();
    entry.type = item.get_ItemType();
    entry.projectRef = item.get_ProjectRef();
    entry.categoryRef = item.get_CategoryRef();
    entry.projectName = names.ProjectName(entry.projectRef);
    entry.categoryName = names.CategoryName(entry.categoryRef);
    if (entry.categoryName.IsEmpty())
        entry.categoryName = names.CategoryCode(entry.categoryRef);
    entry.description = item.get_DescriptionEx();
    if (entry.type == CProjectItem::ItemType_Time)
        entry.minutes = item.get_DurationInMinutes();
    if (entry.type == CProjectItem::ItemType_Mileage)
        entry.distance = item.get_OdometerEnd() - item.get_OdometerStart();
    entry.amount = CAmount::FromFloat(item.get_BillAmount());
    return entry;
}

}   // namespace

CInvoice::CInvoice() {
    m_dtIssue = m_dtDue = GetDatePortion(Clock::LocalNow());
    m_dtPeriodStart = m_dtPeriodEnd = m_dtIssue;
}

bool CInvoice::Prepare(const CString& clientRef, const COleDateTime& start, const COleDateTime& end, CString& error) {
    const CRecordNames names;
    const CRecordNames::Client* client = names.FindClient(clientRef);
    if (!client) {
        error = GetResString(kClientNotFound, 1);
        return false;
    }
    m_strClientRef = clientRef;
    m_client = Party{client->description, client->address, client->contact, client->accountNum};
    m_dtPeriodStart = GetDatePortion(start);
    m_dtPeriodEnd = GetDatePortion(end);
    m_dtIssue = m_dtDue = GetDatePortion(Clock::LocalNow());
    m_entries.clear();
    for (const auto& item : CFilteredEntries(UnbilledOfClient(clientRef, start, end), names))
        m_entries.push_back(EntryOf(*item, names));
    std::stable_sort(m_entries.begin(), m_entries.end(), LineOrder);
    return true;
}

bool CInvoice::LineOrder(const Entry& a, const Entry& b) {
    if (const int project = CompareNames(a.projectName, b.projectName); project != 0)
        return project < 0;
    if (a.projectRef != b.projectRef)
        return a.projectRef < b.projectRef;
    if (TypeRank(a.type) != TypeRank(b.type))
        return TypeRank(a.type) < TypeRank(b.type);
    if (const int category = CompareNames(a.categoryName, b.categoryName); category != 0)
        return category < 0;
    if (a.categoryRef != b.categoryRef)
        return a.categoryRef < b.categoryRef;
    return a.date < b.date;
}

bool CInvoice::SetIncluded(const CString& refId, bool included) {
    for (Entry& entry : m_entries) {
        if (entry.refId == refId) {
            entry.included = included;
            return true;
        }
    }
    return false;
}

std::vector<CInvoice::Entry> CInvoice::IncludedEntries() const {
    std::vector<Entry> included;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(included),
                 [](const Entry& entry) { return entry.included; });
    return included;
}

std::vector<CInvoice::Line> CInvoice::Lines() const {
    std::vector<Entry> entries = IncludedEntries();
    std::stable_sort(entries.begin(), entries.end(), LineOrder);
    std::vector<Line> lines;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (i == 0 || !SameLine(entries[i - 1], entry)) {
            Line line;
            line.projectRef = entry.projectRef;
            line.categoryRef = entry.categoryRef;
            line.projectName = entry.projectName;
            line.categoryName = entry.categoryName;
            line.type = entry.type;
            lines.push_back(line);
        }
        Line& line = lines.back();
        line.minutes += entry.minutes;
        line.distance += entry.distance;
        ++line.items;
        line.amount += entry.amount;
    }
    return lines;
}

CAmount CInvoice::Subtotal() const {
    CAmount subtotal;
    for (const Entry& entry : m_entries) {
        if (entry.included)
            subtotal += entry.amount;
    }
    return subtotal;
}

CAmount CInvoice::Tax() const { return Subtotal().TimesPercent(m_nTaxRate); }

CAmount CInvoice::Total() const { return Subtotal() + Tax(); }
