// Formatting and date helpers in English (United States).
#include <gtest/gtest.h>

#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Locale.h"
#include "platform/StringTable.h"

namespace {

CString Text(const char* utf8) { return CString(utf8); }

class FormattingTest : public ::testing::Test {
protected:
    void SetUp() override { Locale::OverrideUserDefault(&Locale::EnglishUS()); }
    void TearDown() override { Locale::OverrideUserDefault(nullptr); }
    TempHome m_home;
};

using StoredTextTest = FormattingTest;
using DisplayTextTest = FormattingTest;
using DurationTest = FormattingTest;
using NumberTest = FormattingTest;
using DateArithmeticTest = FormattingTest;
using ResourceStringTest = FormattingTest;

}   // namespace

TEST_F(StoredTextTest, StoredFormsOfTheExample) {
    const COleDateTime when(2004, 3, 7, 14, 5, 0);
    EXPECT_EQ(CDateTimeFormatter::FormatDateForDB(when), Text("3/7/2004"));
    EXPECT_EQ(CDateTimeFormatter::FormatTimeForDB(when), Text("02:05:00 PM"));
    EXPECT_EQ(CDateTimeFormatter::FormatDateTimeForDB(when), Text("3/7/2004 02:05:00 PM"));
    EXPECT_EQ(CDateTimeFormatter::FormatTimeForDB(COleDateTime(2004, 3, 7, 0, 0, 9)), Text("12:00:09 AM"));
    EXPECT_EQ(CDateTimeFormatter::FormatTimeForDB(COleDateTime(2004, 3, 7, 12, 30, 0)), Text("12:30:00 PM"));
}

TEST_F(StoredTextTest, RoundTripToTheSecond) {
    for (const COleDateTime& when : {COleDateTime(2004, 3, 7, 14, 5, 0), COleDateTime(1999, 12, 31, 23, 59, 59),
                                     COleDateTime(2030, 1, 1, 0, 0, 0), COleDateTime(2012, 2, 29, 12, 0, 1)}) {
        EXPECT_EQ(CDateTimeFormatter::GetDateTimeFromDB(CDateTimeFormatter::FormatDateTimeForDB(when)), when);
    }
    EXPECT_EQ(CDateTimeFormatter::GetDateTimeFromDB(u"3/7/2004"), COleDateTime(2004, 3, 7, 0, 0, 0));
}

TEST_F(StoredTextTest, StoredFormsIgnoreTheUserLocale) {
    Locale other = Locale::EnglishUS();
    other.amDesignator = u"vorm.";
    other.pmDesignator = u"nachm.";
    other.shortDatePicture = u"dd.MM.yyyy";
    Locale::OverrideUserDefault(&other);
    const COleDateTime when(2004, 3, 7, 14, 5, 0);
    EXPECT_EQ(CDateTimeFormatter::FormatDateTimeForDB(when), Text("3/7/2004 02:05:00 PM"));
    EXPECT_EQ(CDateTimeFormatter::CreateCustomTimeFormat(when, u"hh:mm tt", 80), Text("02:05 nachm."));
}

TEST_F(StoredTextTest, UnparsableTextIsAnInvalidDate) {
    EXPECT_EQ(CDateTimeFormatter::GetDateTimeFromDB(u"yesterday").GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(CDateTimeFormatter::GetDateTimeFromDB(u"").GetStatus(), COleDateTime::invalid);
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_EQ(CDateTimeFormatter::FormatDateForDB(invalid), CString());
}

TEST_F(DisplayTextTest, WeekdaysAndPictures) {
    const COleDateTime sunday(2004, 3, 7, 14, 5, 0);
    EXPECT_EQ(CDateTimeFormatter::FormatWeekday(sunday, 1), Text("Sunday"));
    EXPECT_EQ(CDateTimeFormatter::FormatWeekday(sunday, 0), Text("Sun"));
    EXPECT_EQ(CDateTimeFormatter::CreateCustomDateFormat(sunday, u"MMMM d, yyyy", 80), Text("March 7, 2004"));
    EXPECT_EQ(CDateTimeFormatter::CreateCustomDateFormat(sunday, u"MMMM d, yyyy", 6), Text("March"));
    EXPECT_EQ(CDateTimeFormatter::CreateCustomDateFormat(sunday, u"yyyy", 0), CString());
    EXPECT_EQ(CDateTimeFormatter::CreateCustomTimeFormat(sunday, u"h:mm tt", 80), Text("2:05 PM"));
}

TEST_F(DisplayTextTest, TimePictureWithoutSeconds) {
    EXPECT_EQ(CDateTimeFormatter::GetTimeCtrlFmtNoSeconds(), Text("h:mm tt"));
    Locale twentyFour = Locale::EnglishUS();
    twentyFour.timePicture = u"HH:mm:ss";
    Locale::OverrideUserDefault(&twentyFour);
    EXPECT_EQ(CDateTimeFormatter::GetTimeCtrlFmtNoSeconds(), Text("HH:mm"));
}

TEST_F(DurationTest, HoursAndMinutes) {
    const CString h = GetResString(8, 1);
    const CString m = GetResString(9, 1);
    ASSERT_FALSE(h.IsEmpty());
    EXPECT_EQ(CDateTimeFormatter::FormatDuration(0), u"0" + m);
    EXPECT_EQ(CDateTimeFormatter::FormatDuration(45), u"45" + m);
    EXPECT_EQ(CDateTimeFormatter::FormatDuration(60), u"1" + h);
    EXPECT_EQ(CDateTimeFormatter::FormatDuration(75), u"1" + h + u" 15" + m);
    EXPECT_EQ(CDateTimeFormatter::FormatDuration(-75), u"-1" + h + u" -15" + m);
}

TEST_F(NumberTest, RawNumbers) {
    EXPECT_EQ(FormatNumber(1234.5f, 1, 1), Text("1234.50"));
    EXPECT_EQ(FormatNumber(-2.75f, 1, 1), Text("-2"));
    EXPECT_EQ(FormatNumber(0.0f, 1, 1), Text("0"));
    EXPECT_EQ(FormatNumber(7.9f, 0, 1), Text("7"));
    EXPECT_EQ(FormatNumber(3e30f, 0, 1), Text("9223372036854775807"));
}

TEST_F(NumberTest, LocaleNumbers) {
    EXPECT_EQ(FormatNumber(1234.5f, 1, 0), Text("1,234.50"));
    EXPECT_EQ(FormatNumber(1234567.9f, 0, 0), Text("1,234,567"));
    EXPECT_EQ(FormatNumber(-2.75f, 0, 0), Text("-2"));
    EXPECT_EQ(FormatNumber(0.0f, 1, 0), Text("0.00"));
    Locale german = Locale::EnglishUS();
    german.decimalPoint = u",";
    german.thousandsSeparator = u".";
    Locale::OverrideUserDefault(&german);
    EXPECT_EQ(FormatNumber(1234.5f, 1, 0), Text("1.234,50"));
    EXPECT_EQ(FormatNumber(1234.5f, 0, 0), Text("1.234"));
}

TEST_F(NumberTest, Rounding) {
    EXPECT_EQ(Rounded(3.14159f), 3.14f);
    EXPECT_EQ(Rounded(2.675f), 2.67f);   // the float lies below 2.675
    EXPECT_EQ(Rounded(-1.005f), -1.0f);
    EXPECT_EQ(Rounded(10.0f), 10.0f);
}

TEST_F(NumberTest, MoneyKeepsItsCents) {
    EXPECT_EQ(FormatMoney(1234.5f), Text("$1,234.50"));
    EXPECT_EQ(FormatMoney(0.0f), Text("$0.00"));
    EXPECT_EQ(FormatMoney(-2.75f), Text("($2.75)"));
}

TEST_F(DateArithmeticTest, DatePortionAndLastDayOfMonth) {
    EXPECT_EQ(GetDatePortion(COleDateTime(2004, 3, 7, 14, 5, 9)), COleDateTime(2004, 3, 7, 0, 0, 0));
    EXPECT_EQ(GetLastDayInMonth(2004, 2), COleDateTime(2004, 2, 29, 0, 0, 0));
    EXPECT_EQ(GetLastDayInMonth(2003, 2), COleDateTime(2003, 2, 28, 0, 0, 0));
    EXPECT_EQ(GetLastDayInMonth(2003, 12), COleDateTime(2003, 12, 31, 0, 0, 0));
    EXPECT_EQ(GetLastDayInMonth(2004, 4), COleDateTime(2004, 4, 30, 0, 0, 0));
}

TEST_F(DateArithmeticTest, FirstDayOfWeek) {
    const COleDateTime sunday(2004, 3, 7, 14, 5, 0);
    EXPECT_EQ(DetermineFirstDayOfWeek(sunday, 2), COleDateTime(2004, 3, 1, 14, 5, 0));
    EXPECT_EQ(DetermineFirstDayOfWeek(sunday, 1), sunday);
    const COleDateTime wednesday(2004, 3, 10, 8, 0, 0);
    EXPECT_EQ(DetermineFirstDayOfWeek(wednesday, 1), COleDateTime(2004, 3, 7, 8, 0, 0));
    EXPECT_EQ(DetermineFirstDayOfWeek(wednesday, 5), COleDateTime(2004, 3, 4, 8, 0, 0));
    EXPECT_EQ(DetermineFirstDayOfWeek(wednesday, 4), wednesday);
}

TEST_F(ResourceStringTest, FromTheResourceLibraryAndFromTheProgram) {
    EXPECT_EQ(GetResString(4, 1), Text("Sample Client"));
    EXPECT_EQ(GetResString(999999, 1), CString());
    StringTable::Add(4321, u"program text");
    EXPECT_EQ(GetResString(4321, 0), Text("program text"));
    EXPECT_EQ(GetResString(4321, 1), CString());
    StringTable::Add(4322, CString(u'x', 400));
    EXPECT_EQ(GetResString(4322, 0).GetLength(), 259);
}

TEST_F(StoredTextTest, StoredFormsReadLikeTheFullParser) {
    // The stored forms are read without the full parser; both must agree to the bit.
    for (int year : {1900, 1999, 2004, 2038}) {
        for (int month = 1; month <= 12; month += 5) {
            for (int hour = 0; hour < 24; hour += 5) {
                const COleDateTime when(year, month, 28, hour, 7 * hour % 60, 59 - hour);
                const CString date = CDateTimeFormatter::FormatDateForDB(when);
                const CString time = CDateTimeFormatter::FormatTimeForDB(when);
                for (const CString& text : {date, time, date + u" " + time}) {
                    const COleDateTime fast = CDateTimeFormatter::GetDateTimeFromDB(text);
                    const COleDateTime full = ParseDateTimeEnglishUS(text);
                    EXPECT_EQ(fast.GetStatus(), full.GetStatus()) << text.ToUtf8();
                    EXPECT_EQ(fast.m_dt, full.m_dt) << text.ToUtf8();
                }
            }
        }
    }
}

TEST_F(StoredTextTest, NearMissesOfTheStoredFormsGoToTheFullParser) {
    for (const char* text :
         {"2/30/2004", "13/1/2004", "3/7/04", "3/7/2004 2:05:00 PM", "3/7/2004 14:05:00", "3/7/2004 02:05:00 pm",
          "3/7/2004 00:05:00 AM", "3/7/2004  02:05:00 PM", "3/7/2004 02:05:00 PMX", "March 7, 2004", "02:05 PM"}) {
        const COleDateTime fast = CDateTimeFormatter::GetDateTimeFromDB(CString(text));
        const COleDateTime full = ParseDateTimeEnglishUS(CString(text));
        EXPECT_EQ(fast.GetStatus(), full.GetStatus()) << text;
        if (full.GetStatus() == COleDateTime::valid) {
            EXPECT_EQ(fast.m_dt, full.m_dt) << text;
        }
    }
}
