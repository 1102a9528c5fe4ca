#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/tests/PrintCString.h"

namespace {

class ParseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Locale::OverrideUserDefault(&Locale::EnglishUS());
        Clock::Set(COleDateTime(2026, 6, 15, 9, 0, 0));
    }
    void TearDown() override {
        Clock::Set(std::nullopt);
        Locale::OverrideUserDefault(nullptr);
    }
};

void ExpectParsed(const char16_t* text, const COleDateTime& expected) {
    const COleDateTime parsed = ParseDateTimeEnglishUS(text);
    EXPECT_EQ(parsed.GetStatus(), COleDateTime::valid) << CString(text).ToUtf8();
    EXPECT_EQ(parsed, expected) << CString(text).ToUtf8() << " gave " << parsed.m_dt;
}

void ExpectInvalid(const char16_t* text) {
    EXPECT_EQ(ParseDateTimeEnglishUS(text).GetStatus(), COleDateTime::invalid) << CString(text).ToUtf8();
}

}   // namespace

TEST_F(ParseTest, StoredDateAndDateTime) {
    ExpectParsed(u"3/7/2004", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"3/7/2004 02:05:00 PM", COleDateTime(2004, 3, 7, 14, 5, 0));
    ExpectParsed(u"12/31/1999 11:59:59 PM", COleDateTime(1999, 12, 31, 23, 59, 59));
    ExpectParsed(u"1/1/2000 12:00:00 AM", COleDateTime(2000, 1, 1, 0, 0, 0));
    ExpectParsed(u"1/1/2000 12:30:00 PM", COleDateTime(2000, 1, 1, 12, 30, 0));
    ExpectParsed(u"  03/07/2004  ", COleDateTime(2004, 3, 7, 0, 0, 0));
}

TEST_F(ParseTest, DatesBeforeTheEpoch) {
    const COleDateTime parsed = ParseDateTimeEnglishUS(u"12/29/1899 06:00:00 AM");
    EXPECT_DOUBLE_EQ(parsed.m_dt, -1.25);
}

TEST_F(ParseTest, TwentyFourHourTimes) {
    ExpectParsed(u"3/7/2004 14:05:00", COleDateTime(2004, 3, 7, 14, 5, 0));
    ExpectParsed(u"3/7/2004 14:05", COleDateTime(2004, 3, 7, 14, 5, 0));
    ExpectParsed(u"3/7/2004 0:00", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"3/7/2004 13:00 PM", COleDateTime(2004, 3, 7, 13, 0, 0));
}

TEST_F(ParseTest, TimeAloneIsOnTheEpochDay) {
    const COleDateTime parsed = ParseDateTimeEnglishUS(u"06:00:00 PM");
    EXPECT_EQ(parsed.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(parsed.m_dt, 0.75);
    EXPECT_DOUBLE_EQ(ParseDateTimeEnglishUS(u"6 am").m_dt, 0.25);
    EXPECT_DOUBLE_EQ(ParseDateTimeEnglishUS(u"6PM").m_dt, 0.75);
}

TEST_F(ParseTest, LongDateForms) {
    ExpectParsed(u"Sunday, March 07, 2004", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"March 7, 2004", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"7 March 2004", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"Sun, Mar. 7, 2004 2:05 PM", COleDateTime(2004, 3, 7, 14, 5, 0));
    ExpectParsed(u"sept 30, 2004", COleDateTime(2004, 9, 30, 0, 0, 0));
    ExpectParsed(u"2004 March 7", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"MARCH 2004", COleDateTime(2004, 3, 1, 0, 0, 0));
}

TEST_F(ParseTest, OtherNumericForms) {
    ExpectParsed(u"2004-03-07", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"3-7-2004", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"3/7/04", COleDateTime(2004, 3, 7, 0, 0, 0));
    ExpectParsed(u"3/7/30", COleDateTime(1930, 3, 7, 0, 0, 0));
    ExpectParsed(u"3/7/29", COleDateTime(2029, 3, 7, 0, 0, 0));
}

TEST_F(ParseTest, MissingYearIsTheCurrentOne) {
    ExpectParsed(u"3/7", COleDateTime(2026, 3, 7, 0, 0, 0));
    ExpectParsed(u"March 7", COleDateTime(2026, 3, 7, 0, 0, 0));
}

TEST_F(ParseTest, RoundTripsTheStoredForms) {
    const Locale& en = Locale::EnglishUS();
    for (const COleDateTime& date : {COleDateTime(2004, 3, 7, 14, 5, 0), COleDateTime(1899, 12, 29, 6, 0, 0),
                                     COleDateTime(9999, 12, 31, 23, 59, 59), COleDateTime(100, 1, 1, 0, 0, 1)}) {
        const CString text = en.FormatDate(date, u"M/d/yyyy") + u" " + en.FormatTime(date, u"hh:mm:ss tt");
        EXPECT_EQ(ParseDateTimeEnglishUS(text), date) << text.ToUtf8();
    }
}

TEST_F(ParseTest, RejectsWhatIsNotADate) {
    for (const char16_t* text : {u"",
                                 u"   ",
                                 u"hello",
                                 u"2/30/2004",
                                 u"13/1/2004",
                                 u"0/1/2004",
                                 u"3/7/2004/5",
                                 u"3/7/99999",
                                 u"3/7/2004 25:00",
                                 u"3/7/2004 10:60",
                                 u"3/7/2004 10:00:61",
                                 u"3/7/2004 14:00 AM",
                                 u"12:",
                                 u"3/7/2004 #",
                                 u"March April 7",
                                 u"2004",
                                 u"-5",
                                 u"3/7/2004 100:00",
                                 u"10:5:3:2",
                                 u"1/1/99 12:00:00 XM",
                                 u"3/7/2004 10:000"}) {
        ExpectInvalid(text);
    }
}

TEST_F(ParseTest, SurvivesHostileInput) {
    std::u16string longDigits(5000, u'9');
    ExpectInvalid(longDigits.c_str());
    std::u16string many;
    for (int i = 0; i < 2000; ++i)
        many += u"1:";
    ExpectInvalid(many.c_str());
    const char16_t withNul[] = {u'3', u'/', u'7', 0xD800, u'/', u'2', 0};
    ExpectInvalid(withNul);
}
