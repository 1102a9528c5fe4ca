#include "biz/Report.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <utility>

#include "biz/FilteredEntries.h"
#include "biz/Helpers.h"
#include "biz/IsoDateTime.h"
#include "biz/ProjectItem.h"
#include "biz/RecordNames.h"
#include "platform/Locale.h"

namespace {

// Resource library strings.
constexpr unsigned kNoClient = 3;
constexpr unsigned kNone = 18;
constexpr unsigned kWeekOf = 108;

// Tells the groups of one level apart: named groups by RefID ("" for none, ranked last), types
// by their rank, dated groups by their first day. Cheap to make for every entry; the group's
// texts are made once, when the group is.
struct GroupId {
    int rank = 0;
    long long day = 0;   // dated groups: first day; type groups: the type
    CString key;
    bool operator<(const GroupId& other) const {
        if (rank != other.rank)
            return rank < other.rank;
        if (day != other.day)
            return day < other.day;
        return key < other.key;
    }
};

long long DayNumber(const COleDateTime& date) {
    return std::llround(COleDateTime::ToLinear(GetDatePortion(date).m_dt));
}

COleDateTime FromDayNumber(long long day) { return COleDateTime(COleDateTime::FromLinear(static_cast<double>(day))); }

long long MonthNumber(const COleDateTime& date) {
    return static_cast<long long>(date.GetYear()) * 12 + date.GetMonth() - 1;
}

COleDateTime FirstOfMonth(const COleDateTime& date) {
    return COleDateTime(date.GetYear(), date.GetMonth(), 1, 0, 0, 0);
}

// Types in the order the program shows them everywhere: time, expense, mileage.
int TypeRank(int type) {
    switch (type) {
    case CProjectItem::ItemType_Time: return 0;
    case CProjectItem::ItemType_Expense: return 1;
    case CProjectItem::ItemType_Mileage: return 2;
    }
    return 3;
}

CString TypeName(int type) {
    switch (type) {
    case CProjectItem::ItemType_Time: return GetResString(30, 1);
    case CProjectItem::ItemType_Expense: return GetResString(52, 1);
    case CProjectItem::ItemType_Mileage: return GetResString(53, 1);
    }
    return CString::Formatted(u"%d", type);
}

// Where an entry belongs at one level, and how a group is shown.
class Grouping {
public:
    Grouping(const CReport::Request& request, const CRecordNames& names) : m_request(request), m_names(names) {}

    GroupId Identify(CReport::GroupBy by, const CProjectItem& entry) const {
        GroupId id;
        switch (by) {
        case CReport::GroupBy_Client: id.key = ClientRefOf(entry); break;
        case CReport::GroupBy_Project:
            if (m_names.FindProject(entry.get_ProjectRef()))
                id.key = entry.get_ProjectRef();
            break;
        case CReport::GroupBy_Category:
            if (m_names.FindCategory(entry.get_CategoryRef()))
                id.key = entry.get_CategoryRef();
            break;
        case CReport::GroupBy_EntryType:
            id.rank = TypeRank(entry.get_ItemType());
            id.day = entry.get_ItemType();
            return id;
        case CReport::GroupBy_Day:
        case CReport::GroupBy_Week:
        case CReport::GroupBy_Month: id.day = DayNumber(FirstDay(by, entry.get_ItemDate())); return id;
        case CReport::GroupBy_None: return id;
        }
        id.rank = id.key.IsEmpty() ? 1 : 0;
        return id;
    }

    // A new group for `id`; `nested` for the second level.
    CReport::Group Make(CReport::GroupBy by, const GroupId& id, bool nested) const {
        CReport::Group group;
        group.start.SetStatus(COleDateTime::null);
        switch (by) {
        case CReport::GroupBy_Client: Named(group, id.key, ClientLabel(id.key)); break;
        case CReport::GroupBy_Project: Named(group, id.key, ProjectLabel(id.key, nested)); break;
        case CReport::GroupBy_Category: Named(group, id.key, CategoryLabel(id.key)); break;
        case CReport::GroupBy_EntryType:
            group.key = CString::Formatted(u"%lld", id.day);
            group.label = TypeName(static_cast<int>(id.day));
            break;
        case CReport::GroupBy_Day:
        case CReport::GroupBy_Week:
        case CReport::GroupBy_Month: Dated(by, FromDayNumber(id.day), group); break;
        case CReport::GroupBy_None: break;
        }
        return group;
    }

private:
    // The client an entry belongs to through its project; "" when there is none or it is gone.
    CString ClientRefOf(const CProjectItem& entry) const {
        const CRecordNames::Project* project = m_names.FindProject(entry.get_ProjectRef());
        if (!project || !m_names.FindClient(project->clientRef))
            return CString();
        return project->clientRef;
    }

    CString ClientLabel(const CString& clientRef) const {
        const CRecordNames::Client* client = m_names.FindClient(clientRef);
        return client ? client->description : GetResString(kNoClient, 1);
    }

    // At the top level a project is named after its client too, as the entries list names it.
    CString ProjectLabel(const CString& projectRef, bool nested) const {
        const CRecordNames::Project* project = m_names.FindProject(projectRef);
        if (!project)
            return GetResString(kNone, 1);
        const CRecordNames::Client* client = m_names.FindClient(project->clientRef);
        if (nested || !client)
            return project->description;
        return client->description + u": " + project->description;
    }

    CString CategoryLabel(const CString& categoryRef) const {
        const CRecordNames::Category* category = m_names.FindCategory(categoryRef);
        if (!category)
            return GetResString(kNone, 1);
        return category->description.IsEmpty() ? category->code : category->description;
    }

    static void Named(CReport::Group& group, const CString& key, CString label) {
        group.key = key;
        group.label = std::move(label);
    }

    COleDateTime FirstDay(CReport::GroupBy by, const COleDateTime& date) const {
        const COleDateTime day = GetDatePortion(date);
        if (by == CReport::GroupBy_Week)
            return GetDatePortion(DetermineFirstDayOfWeek(day, m_request.firstDayOfWeek));
        if (by == CReport::GroupBy_Month)
            return FirstOfMonth(day);
        return day;
    }

    static void Dated(CReport::GroupBy by, const COleDateTime& start, CReport::Group& group) {
        const Locale& locale = Locale::UserDefault();
        group.start = start;
        if (by == CReport::GroupBy_Month) {
            group.key = CIsoDateTime::Month(start);
            group.label = locale.FormatDate(start, u"MMMM yyyy");
            return;
        }
        group.key = CIsoDateTime::Date(start);
        group.label = locale.FormatDate(start, locale.shortDatePicture);
        if (by == CReport::GroupBy_Week)
            group.label = GetResString(kWeekOf, 1) + group.label;
    }

    const CReport::Request& m_request;
    const CRecordNames& m_names;
};

// Named groups alphabetically (case-insensitive, then as written, then by RefID), none last;
// types and dates as identified.
void SortLevel(std::vector<std::pair<GroupId, CReport::Group>>& level) {
    std::stable_sort(level.begin(), level.end(), [](const auto& a, const auto& b) {
        if (a.first.rank != b.first.rank || a.first.day != b.first.day)
            return a.first < b.first;
        if (const int folded = a.second.label.CompareNoCase(b.second.label); folded != 0)
            return folded < 0;
        if (const int exact = a.second.label.Compare(b.second.label); exact != 0)
            return exact < 0;
        return a.first.key < b.first.key;
    });
}

struct TopGroup {
    CReport::Group group;
    std::map<GroupId, CReport::Group> subgroups;
};

CReport::Group& GroupOf(CReport::Group& group) { return group; }

CReport::Group& GroupOf(TopGroup& top) { return top.group; }

// Adds `entry` to its group of `by` in `level`, making the group on first use.
template <typename Level>
auto& AddToLevel(Level& level, const Grouping& grouping, CReport::GroupBy by, const CProjectItem& entry, bool nested) {
    GroupId id = grouping.Identify(by, entry);
    auto found = level.find(id);
    if (found == level.end()) {
        found = level.emplace(id, typename Level::mapped_type{}).first;
        GroupOf(found->second) = grouping.Make(by, id, nested);
    }
    GroupOf(found->second).totals.Add(entry);
    return found->second;
}

using IdentifiedGroups = std::vector<std::pair<GroupId, CReport::Group>>;

// The groups of a level in the order they are shown.
std::vector<CReport::Group> Ordered(IdentifiedGroups level) {
    SortLevel(level);
    std::vector<CReport::Group> groups;
    groups.reserve(level.size());
    for (auto& [id, group] : level)
        groups.push_back(std::move(group));
    return groups;
}

std::vector<CReport::Group> Ordered(std::map<GroupId, CReport::Group>& level) {
    return Ordered(IdentifiedGroups(std::make_move_iterator(level.begin()), std::make_move_iterator(level.end())));
}

// The steps of the hours series over a period: how many there are and where a day falls.
class SeriesFrame {
public:
    SeriesFrame(const COleDateTime& first, const COleDateTime& last, int firstDayOfWeek)
        : m_firstDay(DayNumber(first)), m_lastDay(DayNumber(last)),
          m_firstWeek(DayNumber(DetermineFirstDayOfWeek(GetDatePortion(first), firstDayOfWeek))),
          m_firstMonth(MonthNumber(first)), m_lastMonth(MonthNumber(last)) {}

    long long Count(CReport::SeriesStep step) const {
        switch (step) {
        case CReport::SeriesStep_Day: return m_lastDay - m_firstDay + 1;
        case CReport::SeriesStep_Week: return (m_lastDay - m_firstWeek) / 7 + 1;
        case CReport::SeriesStep_Month: return m_lastMonth - m_firstMonth + 1;
        }
        return 0;
    }

    long long IndexOf(CReport::SeriesStep step, const COleDateTime& date) const {
        switch (step) {
        case CReport::SeriesStep_Day: return DayNumber(date) - m_firstDay;
        case CReport::SeriesStep_Week: return (DayNumber(date) - m_firstWeek) / 7;
        case CReport::SeriesStep_Month: return MonthNumber(date) - m_firstMonth;
        }
        return -1;
    }

    COleDateTime StartOf(CReport::SeriesStep step, long long index) const {
        switch (step) {
        case CReport::SeriesStep_Day: return FromDayNumber(m_firstDay + index);
        case CReport::SeriesStep_Week: return FromDayNumber(m_firstWeek + 7 * index);
        case CReport::SeriesStep_Month: break;
        }
        const long long month = m_firstMonth + index;
        return COleDateTime(static_cast<int>(month / 12), static_cast<int>(month % 12) + 1, 1, 0, 0, 0);
    }

private:
    long long m_firstDay;
    long long m_lastDay;
    long long m_firstWeek;
    long long m_firstMonth;
    long long m_lastMonth;
};

}   // namespace

CReport CReport::Build(const Request& request) {
    CReport report;
    report.m_request = request;
    if (report.m_request.thenBy == report.m_request.groupBy)
        report.m_request.thenBy = GroupBy_None;
    const Request& req = report.m_request;

    const CRecordNames names;
    const CFilteredEntries entries(req.filter, names);
    const Grouping grouping(req, names);
    std::map<GroupId, TopGroup> top;
    std::vector<COleDateTime> timeDates;
    std::vector<long long> timeMinutes;
    for (const auto& entry : entries) {
        report.m_totals.Add(*entry);
        if (req.groupBy != GroupBy_None) {
            TopGroup& group = AddToLevel(top, grouping, req.groupBy, *entry, false);
            if (req.thenBy != GroupBy_None)
                AddToLevel(group.subgroups, grouping, req.thenBy, *entry, true);
        }
        if (entry->get_ItemType() == CProjectItem::ItemType_Time) {
            timeDates.push_back(entry->get_ItemDate());
            timeMinutes.push_back(entry->get_DurationInMinutes());
        }
    }
    IdentifiedGroups topLevel;
    for (auto& [id, node] : top) {
        node.group.subgroups = Ordered(node.subgroups);
        topLevel.emplace_back(id, std::move(node.group));
    }
    report.m_groups = Ordered(std::move(topLevel));
    report.BuildSeries(timeDates, timeMinutes);
    return report;
}

void CReport::BuildSeries(const std::vector<COleDateTime>& dates, const std::vector<long long>& minutes) {
    m_series.clear();
    m_seriesStep = m_request.seriesStep;
    const COleDateTime& first = m_request.filter.m_dtStart;
    const COleDateTime& last = m_request.filter.m_dtEnd;
    if (first.GetStatus() != COleDateTime::valid || last.GetStatus() != COleDateTime::valid || last < first)
        return;
    const SeriesFrame frame(first, last, m_request.firstDayOfWeek);
    while (m_seriesStep != SeriesStep_Month && frame.Count(m_seriesStep) > MaxSeriesPoints)
        m_seriesStep = static_cast<SeriesStep>(m_seriesStep + 1);
    const long long points = frame.Count(m_seriesStep);
    if (points <= 0 || points > MaxSeriesPoints)
        return;
    m_series.resize(static_cast<size_t>(points));
    for (long long i = 0; i < points; ++i)
        m_series[static_cast<size_t>(i)].start = frame.StartOf(m_seriesStep, i);
    for (size_t i = 0; i < dates.size(); ++i) {
        const long long index = frame.IndexOf(m_seriesStep, dates[i]);
        if (index >= 0 && index < points)
            m_series[static_cast<size_t>(index)].minutes += minutes[i];
    }
}

CString CReport::GroupByName(GroupBy groupBy) {
    switch (groupBy) {
    case GroupBy_Client: return GetResString(91, 1);
    case GroupBy_Project: return GetResString(34, 1);
    case GroupBy_Category: return GetResString(35, 1);
    case GroupBy_EntryType: return GetResString(94, 1);
    case GroupBy_Day: return GetResString(33, 1);
    case GroupBy_Week: return GetResString(58, 1);
    case GroupBy_Month: return GetResString(59, 1);
    case GroupBy_None: break;
    }
    return CString();
}
