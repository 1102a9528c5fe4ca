#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Clock.h"
#include "platform/OleDateTime.h"

namespace {

void ExpectFields(const COleDateTime& date, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_EQ(date.GetYear(), y);
    EXPECT_EQ(date.GetMonth(), mo);
    EXPECT_EQ(date.GetDay(), d);
    EXPECT_EQ(date.GetHour(), h);
    EXPECT_EQ(date.GetMinute(), mi);
    EXPECT_EQ(date.GetSecond(), s);
}

}   // namespace

TEST(OleDateTimeValue, EpochAndKnownDates) {
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_DOUBLE_EQ(COleDateTime(1900, 1, 1, 0, 0, 0).m_dt, 2.0);
    EXPECT_DOUBLE_EQ(COleDateTime(2004, 3, 7, 0, 0, 0).m_dt, 38053.0);
    EXPECT_DOUBLE_EQ(COleDateTime(2004, 3, 7, 18, 0, 0).m_dt, 38053.75);
    EXPECT_DOUBLE_EQ(COleDateTime(100, 1, 1, 0, 0, 0).m_dt, -657434.0);
    EXPECT_DOUBLE_EQ(COleDateTime(9999, 12, 31, 0, 0, 0).m_dt, 2958465.0);
}

TEST(OleDateTimeValue, DefaultIsValidZero) {
    const COleDateTime date;
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
    ExpectFields(date, 1899, 12, 30, 0, 0, 0);
}

TEST(OleDateTimeValue, FieldsRoundTrip) {
    const COleDateTime date(2004, 3, 7, 14, 5, 9);
    ExpectFields(date, 2004, 3, 7, 14, 5, 9);
    EXPECT_EQ(date.GetDayOfWeek(), 1);   // a Sunday
    EXPECT_EQ(date.GetDayOfYear(), 67);
    ExpectFields(COleDateTime(2000, 2, 29, 23, 59, 59), 2000, 2, 29, 23, 59, 59);
    EXPECT_EQ(COleDateTime(2004, 12, 31, 0, 0, 0).GetDayOfYear(), 366);
}

TEST(OleDateTimeValue, DayOfWeekAcrossEpoch) {
    EXPECT_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).GetDayOfWeek(), 7);   // Saturday
    EXPECT_EQ(COleDateTime(1899, 12, 31, 0, 0, 0).GetDayOfWeek(), 1);
    EXPECT_EQ(COleDateTime(1899, 12, 29, 0, 0, 0).GetDayOfWeek(), 6);
    EXPECT_EQ(COleDateTime(1776, 7, 4, 0, 0, 0).GetDayOfWeek(), 5);    // a Thursday
    EXPECT_EQ(COleDateTime(2026, 12, 8, 0, 0, 0).GetDayOfWeek(), 3);   // a Tuesday
}

TEST(OleDateTimeValue, FieldsRoundToNearestSecond) {
    const double second = 1.0 / 86400.0;
    ExpectFields(COleDateTime(38053.0 + 10 * second + 0.6 * second), 2004, 3, 7, 0, 0, 11);
    ExpectFields(COleDateTime(38053.0 + 10 * second + 0.4 * second), 2004, 3, 7, 0, 0, 10);
    // Half a second before midnight rounds into the next day.
    ExpectFields(COleDateTime(38054.0 - 0.4 * second), 2004, 3, 8, 0, 0, 0);
}

TEST(OleDateTimeNegative, FractionCountsForwardFromTheDay) {
    const COleDateTime date(-1.25);
    ExpectFields(date, 1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 18, 0, 0).m_dt, -1.75);
    ExpectFields(COleDateTime(-0.5), 1899, 12, 30, 12, 0, 0);
    ExpectFields(COleDateTime(1800, 1, 1, 12, 30, 0), 1800, 1, 1, 12, 30, 0);
}

TEST(OleDateTimeNegative, OrderingUsesTheInstant) {
    // -1.75 (29 Dec 18:00) is later than -1.25 (29 Dec 06:00) though numerically smaller.
    EXPECT_LT(COleDateTime(-1.25), COleDateTime(-1.75));
    EXPECT_LT(COleDateTime(-1.75), COleDateTime(0.0));
    EXPECT_EQ(COleDateTime(-0.5), COleDateTime(0.5));
}

TEST(OleDateTimeStatus, InvalidFieldsAndValues) {
    COleDateTime date;
    EXPECT_EQ(date.SetDateTime(2003, 2, 29, 0, 0, 0), 0);
    EXPECT_EQ(date.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(date.GetYear(), -1);
    EXPECT_EQ(date.GetDayOfWeek(), -1);
    EXPECT_EQ(COleDateTime(99, 1, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(10000, 1, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(2004, 13, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(2004, 1, 1, 24, 0, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(2004, 1, 1, 0, -1, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(std::numeric_limits<double>::quiet_NaN()).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(1e12).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(date.SetDate(2004, 2, 29), 1);
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
}

TEST(OleDateTimeStatus, SetTimeUsesTheEpochDay) {
    COleDateTime time;
    EXPECT_EQ(time.SetTime(18, 0, 0), 1);
    EXPECT_DOUBLE_EQ(time.m_dt, 0.75);
    EXPECT_EQ(time.SetTime(25, 0, 0), 0);
}

TEST(OleDateTimeStatus, ComparisonHonoursValidity) {
    COleDateTime invalidA(1e12), invalidB(-1e12);
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    const COleDateTime zero;
    EXPECT_EQ(invalidA, invalidB);
    EXPECT_NE(invalidA, zero);
    EXPECT_NE(nullDate, invalidA);
    EXPECT_LT(nullDate, invalidA);
    EXPECT_LT(invalidA, zero);
    EXPECT_FALSE(invalidA < invalidB);
    EXPECT_EQ(COleDateTime(2004, 3, 7, 1, 2, 3), COleDateTime(2004, 3, 7, 1, 2, 3));
    EXPECT_LE(COleDateTime(2004, 3, 7, 1, 2, 3), COleDateTime(2004, 3, 7, 1, 2, 4));
}

TEST(OleDateTimeArithmetic, AddSpansAcrossTheEpoch) {
    const COleDateTime start(1899, 12, 31, 6, 0, 0);
    const COleDateTime earlier = start - COleDateTimeSpan(2, 0, 0, 0);
    ExpectFields(earlier, 1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(earlier.m_dt, -1.25);
    COleDateTime moving(2004, 2, 28, 23, 0, 0);
    moving += COleDateTimeSpan(0, 2, 0, 0);
    ExpectFields(moving, 2004, 2, 29, 1, 0, 0);
    moving -= COleDateTimeSpan(0, 0, 1, 0);
    ExpectFields(moving, 2004, 2, 29, 0, 59, 0);
}

TEST(OleDateTimeArithmetic, DifferenceIsASpan) {
    const COleDateTimeSpan span = COleDateTime(1899, 12, 29, 18, 0, 0) - COleDateTime(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(span.GetTotalHours(), 12.0);
    COleDateTime invalid(1e12);
    EXPECT_EQ((invalid - COleDateTime()).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((invalid + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    EXPECT_EQ((nullDate + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::null);
    EXPECT_EQ((COleDateTime(9999, 12, 31, 0, 0, 0) + COleDateTimeSpan(2.0)).GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTimeSpan, PartsAndTotals) {
    const COleDateTimeSpan span(3, 4, 5, 6);
    EXPECT_EQ(span.GetDays(), 3);
    EXPECT_EQ(span.GetHours(), 4);
    EXPECT_EQ(span.GetMinutes(), 5);
    EXPECT_EQ(span.GetSeconds(), 6);
    EXPECT_NEAR(span.GetTotalMinutes(), 3 * 1440 + 4 * 60 + 5 + 0.1, 1e-9);
    const COleDateTimeSpan negative = -span;
    EXPECT_EQ(negative.GetDays(), -3);
    EXPECT_EQ(negative.GetHours(), -4);
    EXPECT_EQ(negative.GetMinutes(), -5);
    EXPECT_EQ(negative.GetSeconds(), -6);
    EXPECT_EQ((span + negative).GetTotalSeconds(), 0.0);
    EXPECT_LT(negative, span);
    EXPECT_EQ(COleDateTimeSpan(std::numeric_limits<double>::infinity()).GetDays(), 0);
}

TEST(OleDateTimeClock, CurrentTimeReadsTheClock) {
    Clock::Set(COleDateTime(2004, 3, 7, 14, 5, 0));
    EXPECT_EQ(COleDateTime::GetCurrentTime(), COleDateTime(2004, 3, 7, 14, 5, 0));
    Clock::Set(std::nullopt);
    EXPECT_EQ(COleDateTime::GetCurrentTime().GetStatus(), COleDateTime::valid);
    EXPECT_GE(COleDateTime::GetCurrentTime().GetYear(), 2024);
}
