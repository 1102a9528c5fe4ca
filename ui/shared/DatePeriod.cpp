#include "ui/shared/DatePeriod.h"

#include "biz/Helpers.h"
#include "platform/Registry.h"

namespace {

const char16_t* const kPeriodTypeValue = u"PeriodType";

COleDateTimeSpan DaysIn(int type) { return COleDateTimeSpan(type == CDatePeriod::Week ? 7 : 1, 0, 0, 0); }

}   // namespace

void CDatePeriod::Compute(int type, const COleDateTime& anchor, int firstDayOfWeek, COleDateTime& start,
                          COleDateTime& end) {
    switch (type) {
    case Day:
        start = GetDatePortion(anchor);
        end = start;
        break;
    case Week:
        start = GetDatePortion(DetermineFirstDayOfWeek(anchor, firstDayOfWeek));
        end = GetDatePortion(start + COleDateTimeSpan(6, 0, 0, 0));
        break;
    case Month:
        start = COleDateTime(anchor.GetYear(), anchor.GetMonth(), 1, 0, 0, 0);
        end = GetLastDayInMonth(anchor.GetYear(), anchor.GetMonth());
        break;
    default: break;
    }
}

COleDateTime CDatePeriod::Previous(int type, const COleDateTime& anchor) {
    if (type == Month) {
        const int month = anchor.GetMonth() == 1 ? 12 : anchor.GetMonth() - 1;
        const int year = anchor.GetMonth() == 1 ? anchor.GetYear() - 1 : anchor.GetYear();
        return COleDateTime(year, month, 1, 0, 0, 0);
    }
    if (type == Day || type == Week)
        return anchor - DaysIn(type);
    return anchor;
}

COleDateTime CDatePeriod::Next(int type, const COleDateTime& anchor) {
    if (type == Month) {
        const int month = anchor.GetMonth() == 12 ? 1 : anchor.GetMonth() + 1;
        const int year = anchor.GetMonth() == 12 ? anchor.GetYear() + 1 : anchor.GetYear();
        return COleDateTime(year, month, 1, 0, 0, 0);
    }
    if (type == Day || type == Week)
        return anchor + DaysIn(type);
    return anchor;
}

int CDatePeriod::StoredType(const CString& settingsKey) {
    const uint32_t stored = Registry::GetDword(settingsKey, kPeriodTypeValue, Week);
    return stored <= Month ? static_cast<int>(stored) : Week;
}

void CDatePeriod::StoreType(const CString& settingsKey, int type) {
    if (type >= Day && type <= Month)
        Registry::SetDword(settingsKey, kPeriodTypeValue, static_cast<uint32_t>(type));
}
