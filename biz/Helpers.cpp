#include "biz/Helpers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "biz/BizApp.h"
#include "platform/Library.h"
#include "platform/Locale.h"
#include "platform/StringTable.h"

namespace {

constexpr int kMaxResourceStringLength = 259;
constexpr int kNumberBufferSize = 20;
constexpr int kMoneyBufferSize = 80;

// The "%ld" conversion of a float truncated toward zero, kept inside the range of long
// (a cast of an out-of-range float is undefined).
long TruncateToLong(float value) {
    if (std::isnan(value))
        return 0;
    const double truncated = std::trunc(static_cast<double>(value));
    if (truncated >= static_cast<double>(std::numeric_limits<long>::max()))
        return std::numeric_limits<long>::max();
    if (truncated <= static_cast<double>(std::numeric_limits<long>::min()))
        return std::numeric_limits<long>::min();
    return static_cast<long>(truncated);
}

CString PrintfNumber(const char* format, double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, value);
    return CString(buffer);
}

CString PrintfLong(long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%ld", value);
    return CString(buffer);
}

}   // namespace

float Rounded(float value) {
    const CString text = PrintfNumber("%4.2f", static_cast<double>(value));
    return std::strtof(text.ToUtf8().c_str(), nullptr);
}

CString FormatNumber(float value, int decimals, int raw) {
    const CString text = (decimals && value > 0) ? PrintfNumber("%4.2f", static_cast<double>(value))
                                                 : PrintfLong(TruncateToLong(value));
    if (raw)
        return text;
    // The locale's number format always carries its two decimals; without the decimals flag
    // they are cut off again, leaving the grouped integer part.
    const CString number = text.Find(u'.') < 0 ? text + u".00" : text;
    const Locale& locale = Locale::UserDefault();
    CString formatted = locale.FormatNumber(number);
    if (formatted.IsEmpty() || formatted.GetLength() > kNumberBufferSize - 1)
        return text;
    if (!decimals) {
        const CString& separator = locale.decimalPoint;
        int cut = -1;
        for (int at = formatted.Find(separator); at >= 0; at = formatted.Find(separator, at + 1))
            cut = at;
        if (cut >= 0 && !separator.IsEmpty())
            formatted = formatted.Left(cut);
    }
    return formatted;
}

// Every amount keeps its cents, negative ones too (a refund of 2.75 is not 2.00).
CString FormatMoney(float value) {
    const CString number = PrintfNumber("%.2f", static_cast<double>(value));
    CString money = Locale::UserDefault().FormatCurrency(number);
    if (money.IsEmpty())
        return number;
    return money.Left(kMoneyBufferSize - 1);
}

CString GetResString(unsigned int id, int fromResourceLibrary) {
    if (!fromResourceLibrary)
        return StringTable::Get(id).Left(kMaxResourceStringLength);
    return LoadString(CQuillmarBizApp::ResourceLibrary(), id, kMaxResourceStringLength);
}

COleDateTime GetDatePortion(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid)
        return date;
    return COleDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), 0, 0, 0);
}

COleDateTime GetLastDayInMonth(int year, int month) {
    if (month == 12) {
        month = 1;
        ++year;
    } else {
        ++month;
    }
    return COleDateTime(year, month, 1, 0, 0, 0) - COleDateTimeSpan(1, 0, 0, 0);
}

COleDateTime DetermineFirstDayOfWeek(const COleDateTime& date, int firstDay) {
    if (date.GetStatus() != COleDateTime::valid)
        return date;
    const int dayOfWeek = date.GetDayOfWeek();
    const int daysBack = dayOfWeek < firstDay ? dayOfWeek + 7 - firstDay : dayOfWeek - firstDay;
    return date - COleDateTimeSpan(daysBack, 0, 0, 0);
}
