#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Locale.h"
#include "platform/tests/PrintCString.h"

namespace {

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override { Locale::OverrideUserDefault(&Locale::EnglishUS()); }
    void TearDown() override { Locale::OverrideUserDefault(nullptr); }
    const Locale& en = Locale::EnglishUS();
};

// Sets locale variables for one test and puts the old values back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        if (old)
            m_old = old;
        m_had = old != nullptr;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

const COleDateTime kSunday(2004, 3, 7, 14, 5, 9);

}   // namespace

TEST_F(LocaleTest, EnglishUSData) {
    EXPECT_EQ(en.shortDatePicture, u"M/d/yyyy");
    EXPECT_EQ(en.timePicture, u"h:mm:ss tt");
    EXPECT_EQ(en.amDesignator, u"AM");
    EXPECT_EQ(en.pmDesignator, u"PM");
    EXPECT_EQ(en.dayNames[0], u"Sunday");
    EXPECT_EQ(en.abbrevDayNames[6], u"Sat");
    EXPECT_EQ(en.monthNames[11], u"December");
    EXPECT_EQ(en.abbrevMonthNames[8], u"Sep");
    EXPECT_EQ(&Locale::UserDefault(), &en);
}

TEST_F(LocaleTest, DatePictures) {
    EXPECT_EQ(en.FormatDate(kSunday, u"M/d/yyyy"), u"3/7/2004");
    EXPECT_EQ(en.FormatDate(kSunday, u"MM/dd/yy"), u"03/07/04");
    EXPECT_EQ(en.FormatDate(kSunday, u"dddd, MMMM dd, yyyy"), u"Sunday, March 07, 2004");
    EXPECT_EQ(en.FormatDate(kSunday, u"ddd d MMM y"), u"Sun 7 Mar 4");
    EXPECT_EQ(en.FormatDate(COleDateTime(2009, 11, 23, 0, 0, 0), u"d/M/yyyy"), u"23/11/2009");
    EXPECT_EQ(en.FormatDate(COleDateTime(1850, 1, 1, 0, 0, 0), u"yyyy-MM-dd"), u"1850-01-01");
}

TEST_F(LocaleTest, DatePicturesQuotedAndUnknownLetters) {
    EXPECT_EQ(en.FormatDate(kSunday, u"'Day' d 'of' MMMM"), u"Day 7 of March");
    EXPECT_EQ(en.FormatDate(kSunday, u"'it''s' d"), u"it's 7");
    EXPECT_EQ(en.FormatDate(kSunday, u"d 'open"), u"7 open");
    EXPECT_EQ(en.FormatDate(kSunday, u"hh:mm d"), u"hh:mm 7");   // time letters are not date fields
    EXPECT_EQ(en.FormatDate(kSunday, u""), u"");
}

TEST_F(LocaleTest, TimePictures) {
    EXPECT_EQ(en.FormatTime(kSunday, u"hh:mm:ss tt"), u"02:05:09 PM");
    EXPECT_EQ(en.FormatTime(kSunday, u"h:mm:ss tt"), u"2:05:09 PM");
    EXPECT_EQ(en.FormatTime(kSunday, u"HH:mm"), u"14:05");
    EXPECT_EQ(en.FormatTime(kSunday, u"H:m:s t"), u"14:5:9 P");
    EXPECT_EQ(en.FormatTime(COleDateTime(2004, 3, 7, 0, 0, 0), u"hh:mm tt"), u"12:00 AM");
    EXPECT_EQ(en.FormatTime(COleDateTime(2004, 3, 7, 12, 30, 0), u"h:mm tt"), u"12:30 PM");
    EXPECT_EQ(en.FormatTime(COleDateTime(2004, 3, 7, 9, 0, 0), u"'at' H 'o''clock' d"), u"at 9 o'clock d");
}

TEST_F(LocaleTest, EmptyDesignatorsLeaveNothing) {
    Locale noDesignators = en;
    noDesignators.amDesignator = u"";
    noDesignators.pmDesignator = u"";
    EXPECT_EQ(noDesignators.FormatTime(kSunday, u"hh:mm:ss tt"), u"02:05:09 ");
}

TEST_F(LocaleTest, NotValidDatesFormatAsEmpty) {
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    EXPECT_EQ(en.FormatDate(nullDate, u"M/d/yyyy"), u"");
    EXPECT_EQ(en.FormatTime(COleDateTime(1e12), u"hh:mm"), u"");
}

TEST_F(LocaleTest, NumbersGroupAndKeepDecimals) {
    EXPECT_EQ(en.FormatNumber(u"1234.50"), u"1,234.50");
    EXPECT_EQ(en.FormatNumber(u"1234"), u"1,234");
    EXPECT_EQ(en.FormatNumber(u"-1234567.5"), u"-1,234,567.5");
    EXPECT_EQ(en.FormatNumber(u"123"), u"123");
    EXPECT_EQ(en.FormatNumber(u"0.50"), u"0.50");
    EXPECT_EQ(en.FormatNumber(u".5"), u"0.5");
    EXPECT_EQ(en.FormatNumber(u"007"), u"7");
    EXPECT_EQ(en.FormatNumber(u"-0"), u"0");
    EXPECT_EQ(en.FormatNumber(u" 1.50"), u"1.50");
}

TEST_F(LocaleTest, NumbersRejectWhatIsNotANumber) {
    for (const char16_t* bad : {u"", u"-", u".", u"1e5", u"12a", u"1.2.3", u"--1", u"+1", u"1,234"}) {
        EXPECT_EQ(en.FormatNumber(bad), u"") << CString(bad).ToUtf8();
        EXPECT_EQ(en.FormatCurrency(bad), u"") << CString(bad).ToUtf8();
    }
}

TEST_F(LocaleTest, NumbersInAnotherConvention) {
    Locale german = en;
    german.decimalPoint = u",";
    german.thousandsSeparator = u".";
    EXPECT_EQ(german.FormatNumber(u"1234567.25"), u"1.234.567,25");
    german.grouping = 0;
    EXPECT_EQ(german.FormatNumber(u"1234567.25"), u"1234567,25");
}

TEST_F(LocaleTest, CurrencyEnglishUS) {
    EXPECT_EQ(en.FormatCurrency(u"1234.50"), u"$1,234.50");
    EXPECT_EQ(en.FormatCurrency(u"0"), u"$0.00");
    EXPECT_EQ(en.FormatCurrency(u"-2"), u"($2.00)");
    EXPECT_EQ(en.FormatCurrency(u"2.675"), u"$2.68");
    EXPECT_EQ(en.FormatCurrency(u"999.995"), u"$1,000.00");
    EXPECT_EQ(en.FormatCurrency(u"-0.001"), u"$0.00");
}

TEST_F(LocaleTest, CurrencyPatterns) {
    Locale euro = en;
    euro.currencySymbol = u"€";
    euro.decimalPoint = u",";
    euro.thousandsSeparator = u".";
    euro.positiveCurrencyOrder = 3;
    euro.negativeCurrencyOrder = 8;
    EXPECT_EQ(euro.FormatCurrency(u"1234.5"), u"1.234,50 €");
    EXPECT_EQ(euro.FormatCurrency(u"-1234.5"), u"-1.234,50 €");
    euro.negativeCurrencyOrder = 99;   // out of range falls back to the first order
    EXPECT_EQ(euro.FormatCurrency(u"-1"), u"(€1,00)");
    euro.currencyDigits = 0;
    EXPECT_EQ(euro.FormatCurrency(u"2.5"), u"3 €");
}

TEST(LocaleEnvironment, CAndPosixMeanEnglishUS) {
    for (const char* name : {"C", "POSIX", "C.UTF-8", "", "en_US.UTF-8", "xx_NOWHERE.UTF-8"}) {
        ScopedEnv all("LC_ALL", name);
        ScopedEnv lang("LANG", "C");
        Locale::Reload();
        const Locale& user = Locale::UserDefault();
        EXPECT_EQ(user.dayNames[1], u"Monday") << name;
        EXPECT_EQ(user.shortDatePicture, u"M/d/yyyy") << name;
        EXPECT_EQ(user.currencySymbol, u"$") << name;
        EXPECT_EQ(user.decimalPoint, u".") << name;
    }
    Locale::Reload();
}

TEST(LocaleEnvironment, OverrideWinsAndCanBeLifted) {
    Locale pinned = Locale::EnglishUS();
    pinned.currencySymbol = u"£";
    Locale::OverrideUserDefault(&pinned);
    EXPECT_EQ(Locale::UserDefault().currencySymbol, u"£");
    Locale::OverrideUserDefault(nullptr);
    EXPECT_EQ(Locale::UserDefault().currencySymbol, u"$");
}

TEST(LocaleEnvironment, GlibcDataOfTheCLocale) {
    const std::optional<Locale> c = Locale::FromSystem("C");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->dayNames[0], u"Sunday");
    EXPECT_EQ(c->abbrevMonthNames[0], u"Jan");
    EXPECT_EQ(c->amDesignator, u"AM");
    EXPECT_EQ(c->shortDatePicture, u"MM/dd/yy");
    EXPECT_EQ(c->timePicture, u"HH:mm:ss");
    EXPECT_EQ(c->decimalPoint, u".");
    EXPECT_EQ(c->grouping, 0);
    EXPECT_EQ(c->FormatNumber(u"1234.5"), u"1234.5");
    EXPECT_EQ(c->FormatDate(kSunday, c->shortDatePicture), u"03/07/04");
}

TEST(LocaleEnvironment, UnknownSystemLocale) {
    EXPECT_FALSE(Locale::FromSystem("xx_NOWHERE.UTF-8").has_value());
    EXPECT_FALSE(Locale::FromSystem("../../etc/passwd").has_value());
}
