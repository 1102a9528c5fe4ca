#pragma once
// A report over a period and the view's filter: the entries that pass, added up in groups (by
// client, project, category, entry type, day, week or month, optionally split again by a second
// of these), the totals of them all, and the hours of every day, week or month of the period
// for a chart. Built in one pass over the data store (see CFilteredEntries).
#include <vector>

#include "biz/BizExport.h"
#include "biz/ProjectItemFilter.h"
#include "biz/ReportTotals.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class QUILLMAR_BIZ_EXPORT CReport {
public:
    enum GroupBy : int {
        GroupBy_None = 0,   // as the second level: no second level
        GroupBy_Client = 1,
        GroupBy_Project = 2,
        GroupBy_Category = 3,
        GroupBy_EntryType = 4,
        GroupBy_Day = 5,
        GroupBy_Week = 6,   // weeks begin on the request's first day of the week
        GroupBy_Month = 7,
    };
    enum SeriesStep : int {
        SeriesStep_Day = 0,
        SeriesStep_Week = 1,
        SeriesStep_Month = 2,
    };
    // A longer series is built a step coarser (day, then week, then month) rather than cut.
    enum : int { MaxSeriesPoints = 5000 };

    struct Request {
        // The criteria of the entries view; its start and end dates (inclusive, as the filter
        // compares them) are the report's period.
        CProjectItemFilter filter;
        GroupBy groupBy = GroupBy_Client;
        GroupBy thenBy = GroupBy_None;   // the same as groupBy counts as none
        int firstDayOfWeek = 2;          // 1 = Sunday .. 7 = Saturday
        SeriesStep seriesStep = SeriesStep_Day;
    };

    struct Group {
        // What identifies the group within its level: the RefID of the client, project or
        // category ("" for entries without one, or whose record is gone), the entry type's
        // number, or the ISO text of the day, of the week's first day, or of the month
        // ("2004-03").
        CString key;
        // What the user sees: names ("(No Client)", "(None)" for the empty key), "Client:
        // Project" for top-level projects, the type's name, the short date, "Week of " and the
        // first day, the month's name and year.
        CString label;
        // Day, week and month groups: their first day at 00:00; null for the others.
        COleDateTime start;
        CReportTotals totals;
        std::vector<Group> subgroups;   // empty without a second level
    };

    struct Point {
        COleDateTime start;   // first day of the day, week or month at 00:00
        long long minutes = 0;
    };

    static CReport Build(const Request& request);

    const Request& GetRequest() const { return m_request; }
    // Groups in order: names alphabetically (case-insensitive) with the empty key last, types
    // as time, expense, mileage, dates in date order. Only groups that hold entries.
    const std::vector<Group>& Groups() const { return m_groups; }
    const CReportTotals& Totals() const { return m_totals; }
    // Hours of time entries per step from the period's first to its last day, every step
    // present (0 when nothing was recorded); empty when the period has no valid days.
    const std::vector<Point>& Series() const { return m_series; }
    SeriesStep GetSeriesStep() const { return m_seriesStep; }

    // The column heading of a grouping ("Client", "Week"...); "" for GroupBy_None.
    static CString GroupByName(GroupBy groupBy);

private:
    void BuildSeries(const std::vector<COleDateTime>& dates, const std::vector<long long>& minutes);

    Request m_request;
    std::vector<Group> m_groups;
    CReportTotals m_totals;
    std::vector<Point> m_series;
    SeriesStep m_seriesStep = SeriesStep_Day;
};
