#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/CString.h"
#include "platform/tests/PrintCString.h"

namespace {

template <class... Args>
std::string Printf(const char* format, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

template <class... Args>
std::string Formatted(const char* format, Args... args) {
    CString text;
    text.Format(format, args...);
    return text.ToUtf8();
}

}   // namespace

TEST(CStringFormat, IntegersMatchPrintf) {
    EXPECT_EQ(Formatted("%d", 42), "42");
    EXPECT_EQ(Formatted("%d|%i", -7, 0), "-7|0");
    EXPECT_EQ(Formatted("%05d", -42), Printf("%05d", -42));
    EXPECT_EQ(Formatted("%-6d|", 12), "12    |");
    EXPECT_EQ(Formatted("%+d", 5), "+5");
    EXPECT_EQ(Formatted("%u", 4000000000u), "4000000000");
    EXPECT_EQ(Formatted("%ld", -1234567890123L), "-1234567890123");
    EXPECT_EQ(Formatted("%lu", 18446744073709551615UL), "18446744073709551615");
    EXPECT_EQ(Formatted("%lld", -9223372036854775807LL), "-9223372036854775807");
    EXPECT_EQ(Formatted("%I64d", 1LL << 40), "1099511627776");
    EXPECT_EQ(Formatted("%x %X %#x %o", 255, 255, 255, 8), "ff FF 0xff 10");
    EXPECT_EQ(Formatted("%08.3d", 7), Printf("%08.3d", 7));
    EXPECT_EQ(Formatted("%zu", static_cast<size_t>(99)), "99");
}

TEST(CStringFormat, FloatingPointMatchesPrintf) {
    const double values[] = {0.0, -0.0, 1.005, 2.675, 1234.5, -2.75, 3.14159, 1e-7, 1e21, 0.1f, 123456789.0};
    const char* formats[] = {"%g", "%f", "%4.2f", "%.0f", "%e", "%10.3E", "%G", "%-12.4g|", "%+.1f", "%a"};
    for (double value : values) {
        for (const char* format : formats) {
            EXPECT_EQ(Formatted(format, value), Printf(format, value)) << format << " " << value;
        }
    }
}

TEST(CStringFormat, FloatArgumentsArePromoted) {
    const float money = 12.345f;
    EXPECT_EQ(Formatted("%g", money), Printf("%g", static_cast<double>(money)));
    EXPECT_EQ(Formatted("%4.2f", money), Printf("%4.2f", static_cast<double>(money)));
}

TEST(CStringFormat, SpecialFloatingValues) {
    EXPECT_EQ(Formatted("%f", HUGE_VAL), Printf("%f", HUGE_VAL));
    EXPECT_EQ(Formatted("%g", -HUGE_VAL), Printf("%g", -HUGE_VAL));
    EXPECT_EQ(Formatted("%Lf", 1.5L), "1.500000");
}

TEST(CStringFormat, StringsAreUtf16) {
    CString text;
    text.Format(u"[%s] [%5s] [%-5s] [%.2s]", u"ab", u"ab", u"ab", u"abcdef");
    EXPECT_EQ(text, u"[ab] [   ab] [ab   ] [ab]");
    text.Format(u"%s|%hs|%S", u"é", "\xC3\xA9", "x");
    EXPECT_EQ(text, u"é|é|x");
    text.Format(u"%s", static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(text, u"(null)");
}

TEST(CStringFormat, CStringArgumentsPassTheirText) {
    const CString name(u"Client");
    const std::u16string raw(u"raw");
    CString text;
    text.Format(u"%s-%s-%d", name, raw, 3);
    EXPECT_EQ(text, u"Client-raw-3");
    EXPECT_EQ(CString::Formatted(u"%s!", name), u"Client!");
}

TEST(CStringFormat, PrecisionDoesNotSplitSurrogatePairs) {
    CString text;
    text.Format(u"%.2s", u"a\U0001F600");
    EXPECT_EQ(text, u"a");
}

TEST(CStringFormat, StarWidthAndPrecision) {
    EXPECT_EQ(Formatted("%*d|", 5, 42), "   42|");
    EXPECT_EQ(Formatted("%*d|", -5, 42), "42   |");
    EXPECT_EQ(Formatted("%.*f", 3, 1.0), "1.000");
    EXPECT_EQ(Formatted("%.*f", -1, 1.0), "1.000000");
}

TEST(CStringFormat, CharactersAndPercent) {
    CString text;
    text.Format(u"%c%c%%%3c", u'A', 0x00E9, u'z');
    EXPECT_EQ(text, u"Aé%  z");
    text.Format(u"%hc", 'q');
    EXPECT_EQ(text, u"q");
}

TEST(CStringFormat, OddFormatsAreDefined) {
    EXPECT_EQ(Formatted("100%"), "100%");
    EXPECT_EQ(Formatted("%5"), "%5");
    EXPECT_EQ(Formatted("%k and %d", 4), "%k and 4");
    int target = 123;
    EXPECT_EQ(Formatted("a%nb", &target), "ab");
    EXPECT_EQ(target, 123);
    CString text(u"old");
    text.Format(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(text, u"");
}

TEST(CStringFormat, PointerMatchesPrintf) {
    int local = 0;
    EXPECT_EQ(Formatted("%p", static_cast<void*>(&local)), Printf("%p", static_cast<void*>(&local)));
}

TEST(CStringFormat, LongOutput) {
    const std::string wide = Formatted("%300d", 1);
    EXPECT_EQ(wide.size(), 300u);
    EXPECT_EQ(wide.back(), '1');
}

TEST(CStringFormat, FormatFromACStringAndIntoItself) {
    const CString format(u"%s=%d");
    CString text(u"key");
    text.Format(format, text, 7);
    EXPECT_EQ(text, u"key=7");
    text.Format(text);   // the text is its own format
    EXPECT_EQ(text, u"key=7");
}
