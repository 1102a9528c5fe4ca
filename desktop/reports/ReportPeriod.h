#pragma once
// The report window's ready-made periods ("This week", "Last month"...) as days around a given
// today, so that they can be worked out for any date and the window never reads the clock
// itself. Weeks begin on the user's first day of the week; months, quarters and years are the
// calendar's, whole (This month runs to the month's last day, not to today).
#include "platform/OleDateTime.h"

class CReportPeriod {
public:
    enum Preset : int {
        Preset_ThisWeek = 0,
        Preset_LastWeek = 1,
        Preset_ThisMonth = 2,
        Preset_LastMonth = 3,
        Preset_ThisQuarter = 4,
        Preset_ThisYear = 5,
        Preset_LastYear = 6,
        Preset_Custom = 7,   // the dates as the user set them
        Preset_Count = 8,
    };

    // The first and last day (at 00:00) of `preset` around `today`, weeks beginning on
    // `firstDayOfWeek` (1 = Sunday .. 7 = Saturday; anything else counts as Monday). False,
    // and the dates left alone, for Custom or a `today` that is not a valid date.
    static bool Range(Preset preset, const COleDateTime& today, int firstDayOfWeek, COleDateTime& start,
                      COleDateTime& end);
    // A stored number as a preset; Custom for one that is none.
    static Preset FromInt(int value);
};
