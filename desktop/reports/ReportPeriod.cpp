#include "desktop/reports/ReportPeriod.h"

#include "biz/Helpers.h"

namespace {

COleDateTime FirstOfMonth(int year, int month) { return COleDateTime(year, month, 1, 0, 0, 0); }

// The months `count` long from `month` of `year` (1..12), whole.
void Months(int year, int month, int count, COleDateTime& start, COleDateTime& end) {
    start = FirstOfMonth(year, month);
    const int last = month + count - 1;   // callers never cross a year
    end = GetLastDayInMonth(year, last);
}

}   // namespace

CReportPeriod::Preset CReportPeriod::FromInt(int value) {
    return value >= Preset_ThisWeek && value < Preset_Custom ? static_cast<Preset>(value) : Preset_Custom;
}

bool CReportPeriod::Range(Preset preset, const COleDateTime& today, int firstDayOfWeek, COleDateTime& start,
                          COleDateTime& end) {
    if (today.GetStatus() != COleDateTime::valid)
        return false;
    const COleDateTime day = GetDatePortion(today);
    const int year = day.GetYear();
    const int month = day.GetMonth();
    const int firstDay = firstDayOfWeek >= 1 && firstDayOfWeek <= 7 ? firstDayOfWeek : 2;
    const COleDateTime weekStart = DetermineFirstDayOfWeek(day, firstDay);
    switch (preset) {
    case Preset_ThisWeek:
        start = weekStart;
        end = weekStart + COleDateTimeSpan(6, 0, 0, 0);
        return true;
    case Preset_LastWeek:
        start = weekStart - COleDateTimeSpan(7, 0, 0, 0);
        end = weekStart - COleDateTimeSpan(1, 0, 0, 0);
        return true;
    case Preset_ThisMonth: Months(year, month, 1, start, end); return true;
    case Preset_LastMonth:
        if (month == 1)
            Months(year - 1, 12, 1, start, end);
        else
            Months(year, month - 1, 1, start, end);
        return true;
    case Preset_ThisQuarter: Months(year, (month - 1) / 3 * 3 + 1, 3, start, end); return true;
    case Preset_ThisYear: Months(year, 1, 12, start, end); return true;
    case Preset_LastYear: Months(year - 1, 1, 12, start, end); return true;
    case Preset_Custom:
    case Preset_Count: break;
    }
    return false;
}
