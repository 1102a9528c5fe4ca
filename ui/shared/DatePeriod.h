#pragma once
// The date range an entries list shows (a day, a week, a month or a custom range) worked out from
// an anchor date, and the anchors of the periods before and after it. Both programs' entries
// views use it, so their periods cannot drift apart.
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CDatePeriod {
public:
    enum Type { Day = 0, Week = 1, Month = 2, Custom = 3 };

    // Sets `start` and `end` (both at 00:00) to the period of `type` that holds `anchor`; weeks
    // begin on `firstDayOfWeek` (1 = Sunday .. 7 = Saturday). A custom range is the user's, so
    // for Custom (or an unknown type) both are left as they are.
    static void Compute(int type, const COleDateTime& anchor, int firstDayOfWeek, COleDateTime& start,
                        COleDateTime& end);

    // The anchor one period before / after `anchor`: a day, seven days, or day 1 of the previous /
    // next month (never skipping a short month). Custom ranges do not step: `anchor` comes back.
    static COleDateTime Previous(int type, const COleDateTime& anchor);
    static COleDateTime Next(int type, const COleDateTime& anchor);

    // The type a view starts with: "PeriodType" under `settingsKey`, Week when missing or not
    // one of Day, Week and Month.
    static int StoredType(const CString& settingsKey);
    // Remembers Day, Week or Month as "PeriodType" under `settingsKey`; a custom range is never
    // stored, so the next start opens the last of the others.
    static void StoreType(const CString& settingsKey, int type);
};
