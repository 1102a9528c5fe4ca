#pragma once
// OLE automation dates: days since 30 December 1899 as a double, the time of day as the
// fraction. For dates before 1899-12-30 the integer part counts days backwards while the
// fraction still counts forward from midnight (-1.25 is 29 December 1899 06:00).
#include <compare>

#include "platform/PlatformExport.h"

class CString;
class COleDateTimeSpan;

class QUILLMAR_PLATFORM_EXPORT COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;   // valid, 0.0 (30 Dec 1899 00:00)
    // Valid when finite and within 1 January 100 .. 31 December 9999; invalid otherwise.
    explicit COleDateTime(double oleDate);
    COleDateTime(int year, int month, int day, int hour, int minute, int second);

    static COleDateTime GetCurrentTime();   // local time from the platform clock

    // Returns 0 and sets the status invalid when a field is out of range (year 100..9999).
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day);
    int SetTime(int hour, int minute, int second);   // date part becomes 30 Dec 1899
    void SetStatus(DateTimeStatus status) { m_status = status; }
    DateTimeStatus GetStatus() const { return m_status; }

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;

    operator double() const { return m_dt; }

    // Fields; -1 (AFX_OLE_DATETIME_ERROR) when the status is not valid.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;   // 1 = Sunday .. 7 = Saturday
    int GetDayOfYear() const;   // 1 = 1 January

    // Comparisons compare the instant (OLE rules for negative values); two values compare
    // equal only when both are valid and the same instant, or both have the same non-valid status.
    // For ordering, null comes before invalid and invalid before every valid value.
    bool operator==(const COleDateTime& other) const;
    bool operator!=(const COleDateTime& other) const { return !(*this == other); }
    bool operator<(const COleDateTime& other) const;
    bool operator>(const COleDateTime& other) const { return other < *this; }
    bool operator<=(const COleDateTime& other) const { return !(other < *this); }
    bool operator>=(const COleDateTime& other) const { return !(*this < other); }

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span);
    COleDateTime& operator-=(const COleDateTimeSpan& span);
    // A null operand gives a null result, an invalid one an invalid result.
    COleDateTimeSpan operator-(const COleDateTime& other) const;

    // Linear day count (OLE value with the fraction made to count forward for negatives).
    static double ToLinear(double oleDate);
    static double FromLinear(double linear);
};

class QUILLMAR_PLATFORM_EXPORT COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() = default;
    explicit COleDateTimeSpan(double days) : m_span(days) {}
    COleDateTimeSpan(long days, int hours, int minutes, int seconds);
    void SetDateTimeSpan(long days, int hours, int minutes, int seconds);

    double m_span = 0.0;
    DateTimeSpanStatus m_status = valid;
    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24; }
    double GetTotalMinutes() const { return m_span * 24 * 60; }
    double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
    long GetDays() const;      // whole days, truncated toward zero
    long GetHours() const;     // -23..23
    long GetMinutes() const;   // -59..59
    long GetSeconds() const;   // -59..59

    COleDateTimeSpan operator+(const COleDateTimeSpan& o) const { return COleDateTimeSpan(m_span + o.m_span); }
    COleDateTimeSpan operator-(const COleDateTimeSpan& o) const { return COleDateTimeSpan(m_span - o.m_span); }
    COleDateTimeSpan operator-() const { return COleDateTimeSpan(-m_span); }
    bool operator==(const COleDateTimeSpan& o) const { return m_span == o.m_span && m_status == o.m_status; }
    auto operator<=>(const COleDateTimeSpan& o) const { return m_span <=> o.m_span; }
};
