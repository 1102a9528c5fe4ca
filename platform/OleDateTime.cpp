#include "platform/OleDateTime.h"

#include <cmath>
#include <cstdint>

#include "platform/Clock.h"

namespace {

// 1 January 100 and 31 December 9999 (plus the day itself): the range OLE dates cover.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDateEnd = 2958466.0;
constexpr int64_t kSecondsPerDay = 86400;
// Days from 1 March 0000 (the civil algorithm's epoch) to 30 December 1899.
constexpr int64_t kEpochShift = 693899;

struct Fields {
    int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// Proleptic Gregorian calendar, days counted from 30 December 1899 (H. Hinnant's algorithm).
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kEpochShift;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    const int64_t z = days + kEpochShift;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool InRange(double oleDate) {
    if (!std::isfinite(oleDate))
        return false;
    const double linear = COleDateTime::ToLinear(oleDate);
    return linear >= kMinDate && linear < kMaxDateEnd;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// OLE rounds to the nearest second before splitting into fields.
bool ToFields(const COleDateTime& date, Fields& f) {
    if (date.GetStatus() != COleDateTime::valid || !InRange(date.m_dt))
        return false;
    const auto seconds = static_cast<int64_t>(std::llround(COleDateTime::ToLinear(date.m_dt) * kSecondsPerDay));
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const int64_t secondOfDay = seconds - days * kSecondsPerDay;
    CivilFromDays(days, f.year, f.month, f.day);
    f.hour = static_cast<int>(secondOfDay / 3600);
    f.minute = static_cast<int>(secondOfDay / 60 % 60);
    f.second = static_cast<int>(secondOfDay % 60);
    // 30 December 1899 was a Saturday.
    f.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
    f.dayOfYear = static_cast<int>(days - DaysFromCivil(f.year, 1, 1)) + 1;
    return true;
}

int StatusRank(int status) { return status == COleDateTime::valid ? 2 : (status == COleDateTime::invalid ? 1 : 0); }

COleDateTime Shifted(const COleDateTime& date, const COleDateTimeSpan& span, double sign) {
    COleDateTime result;
    if (date.GetStatus() == COleDateTime::null || span.GetStatus() == COleDateTimeSpan::null) {
        result.SetStatus(COleDateTime::null);
        return result;
    }
    if (date.GetStatus() != COleDateTime::valid || span.GetStatus() != COleDateTimeSpan::valid) {
        result.SetStatus(COleDateTime::invalid);
        return result;
    }
    return COleDateTime(COleDateTime::FromLinear(COleDateTime::ToLinear(date.m_dt) + sign * span.m_span));
}

}   // namespace

COleDateTime::COleDateTime(double oleDate) : m_dt(oleDate), m_status(InRange(oleDate) ? valid : invalid) {}

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime COleDateTime::GetCurrentTime() { return Clock::LocalNow(); }

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    const bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                    day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
                    second >= 0 && second <= 59;
    if (!ok) {
        m_dt = 0.0;
        m_status = invalid;
        return 0;
    }
    const double linear = static_cast<double>(DaysFromCivil(year, month, day)) +
                          (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
    m_dt = FromLinear(linear);
    m_status = valid;
    return 1;
}

int COleDateTime::SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }

int COleDateTime::SetTime(int hour, int minute, int second) { return SetDateTime(1899, 12, 30, hour, minute, second); }

int COleDateTime::GetYear() const {
    Fields f;
    return ToFields(*this, f) ? f.year : -1;
}
int COleDateTime::GetMonth() const {
    Fields f;
    return ToFields(*this, f) ? f.month : -1;
}
int COleDateTime::GetDay() const {
    Fields f;
    return ToFields(*this, f) ? f.day : -1;
}
int COleDateTime::GetHour() const {
    Fields f;
    return ToFields(*this, f) ? f.hour : -1;
}
int COleDateTime::GetMinute() const {
    Fields f;
    return ToFields(*this, f) ? f.minute : -1;
}
int COleDateTime::GetSecond() const {
    Fields f;
    return ToFields(*this, f) ? f.second : -1;
}
int COleDateTime::GetDayOfWeek() const {
    Fields f;
    return ToFields(*this, f) ? f.dayOfWeek : -1;
}
int COleDateTime::GetDayOfYear() const {
    Fields f;
    return ToFields(*this, f) ? f.dayOfYear : -1;
}

bool COleDateTime::operator==(const COleDateTime& other) const {
    if (m_status != valid || other.m_status != valid)
        return m_status == other.m_status;
    return ToLinear(m_dt) == ToLinear(other.m_dt);
}

bool COleDateTime::operator<(const COleDateTime& other) const {
    if (m_status != valid || other.m_status != valid)
        return StatusRank(m_status) < StatusRank(other.m_status);
    return ToLinear(m_dt) < ToLinear(other.m_dt);
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const { return Shifted(*this, span, 1.0); }
COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const { return Shifted(*this, span, -1.0); }

COleDateTime& COleDateTime::operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
COleDateTime& COleDateTime::operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const {
    COleDateTimeSpan span;
    if (m_status == null || other.m_status == null) {
        span.SetStatus(COleDateTimeSpan::null);
    } else if (m_status != valid || other.m_status != valid) {
        span.SetStatus(COleDateTimeSpan::invalid);
    } else {
        span.m_span = ToLinear(m_dt) - ToLinear(other.m_dt);
    }
    return span;
}

double COleDateTime::ToLinear(double oleDate) {
    if (oleDate >= 0.0)
        return oleDate;
    const double day = std::trunc(oleDate);
    return day + (day - oleDate);
}

double COleDateTime::FromLinear(double linear) {
    if (linear >= 0.0)
        return linear;
    const double day = std::floor(linear);
    const double fraction = linear - day;
    return day - fraction;
}

COleDateTimeSpan::COleDateTimeSpan(long days, int hours, int minutes, int seconds) {
    SetDateTimeSpan(days, hours, minutes, seconds);
}

void COleDateTimeSpan::SetDateTimeSpan(long days, int hours, int minutes, int seconds) {
    m_span = static_cast<double>(days) + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0;
    m_status = valid;
}

namespace {
// Whole seconds of the span, rounded to the nearest like the date fields.
long long SpanSeconds(double span) {
    if (!std::isfinite(span) || std::fabs(span) > 1e12)
        return 0;
    return std::llround(span * 86400.0);
}
}   // namespace

long COleDateTimeSpan::GetDays() const { return static_cast<long>(SpanSeconds(m_span) / 86400); }
long COleDateTimeSpan::GetHours() const { return static_cast<long>(SpanSeconds(m_span) / 3600 % 24); }
long COleDateTimeSpan::GetMinutes() const { return static_cast<long>(SpanSeconds(m_span) / 60 % 60); }
long COleDateTimeSpan::GetSeconds() const { return static_cast<long>(SpanSeconds(m_span) % 60); }
