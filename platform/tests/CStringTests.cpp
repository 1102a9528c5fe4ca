#include <gtest/gtest.h>

#include <unordered_set>

#include "platform/CString.h"
#include "platform/tests/PrintCString.h"

TEST(CStringConstruct, FromPointersAndRepeats) {
    EXPECT_EQ(CString(static_cast<const char16_t*>(nullptr)).GetLength(), 0);
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)).GetLength(), 0);
    EXPECT_EQ(CString(u"abcdef", 3), u"abc");
    EXPECT_EQ(CString(u"abc", -2), u"");
    EXPECT_EQ(CString(u'x', 3), u"xxx");
    EXPECT_EQ(CString(u'x', 0), u"");
    EXPECT_EQ(CString("plain"), u"plain");
}

TEST(CStringUtf8, DecodesMultiByteAndSurrogatePairs) {
    const CString text = CString::FromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");   // a é € 😀
    ASSERT_EQ(text.GetLength(), 5);
    EXPECT_EQ(text[0], u'a');
    EXPECT_EQ(text[1], 0x00E9);
    EXPECT_EQ(text[2], 0x20AC);
    EXPECT_EQ(text[3], 0xD83D);
    EXPECT_EQ(text[4], 0xDE00);
    EXPECT_EQ(text.ToUtf8(), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(CStringUtf8, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(CString::FromUtf8("a\xFF"
                                "b"),
              u"a\uFFFDb");
    EXPECT_EQ(CString::FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");                       // overlong
    EXPECT_EQ(CString::FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");             // encoded surrogate
    EXPECT_EQ(CString::FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");   // > U+10FFFF
    EXPECT_EQ(CString::FromUtf8("x\xE2\x82"), u"x\uFFFD");                           // truncated at the end
    EXPECT_EQ(CString::FromUtf8("\xE2\x82y"), u"\uFFFDy");                           // truncated in the middle
}

TEST(CStringUtf8, NoByteOrderMarkAndLoneSurrogatesReplaced) {
    EXPECT_EQ(CString(u"abc").ToUtf8(), "abc");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(CString(lone).ToUtf8(),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(CString::FromUtf8("\xEF\xBB\xBFx").GetLength(), 2);   // a BOM in the data stays data
    EXPECT_EQ(CString::FromUtf8(std::string_view("a\0b", 3)).GetLength(), 3);
}

TEST(CStringAccess, OutOfRangeIsHarmless) {
    CString text(u"abc");
    EXPECT_EQ(text.GetAt(-1), 0);
    EXPECT_EQ(text.GetAt(3), 0);
    text.SetAt(5, u'z');
    text.SetAt(1, u'B');
    EXPECT_EQ(text, u"aBc");
}

TEST(CStringExtract, MidLeftRightClamp) {
    const CString text(u"Hello, world");
    EXPECT_EQ(text.Mid(7), u"world");
    EXPECT_EQ(text.Mid(7, 3), u"wor");
    EXPECT_EQ(text.Mid(-3, 2), u"He");
    EXPECT_EQ(text.Mid(50), u"");
    EXPECT_EQ(text.Mid(3, -1), u"");
    EXPECT_EQ(text.Left(5), u"Hello");
    EXPECT_EQ(text.Left(99), text);
    EXPECT_EQ(text.Left(-1), u"");
    EXPECT_EQ(text.Right(5), u"world");
    EXPECT_EQ(text.Right(99), text);
    EXPECT_EQ(text.Right(-4), u"");
}

TEST(CStringSearch, FindVariants) {
    const CString text(u"a/b/c");
    EXPECT_EQ(text.Find(u'/'), 1);
    EXPECT_EQ(text.Find(u'/', 2), 3);
    EXPECT_EQ(text.Find(u'/', 4), -1);
    EXPECT_EQ(text.Find(u'/', -5), 1);
    EXPECT_EQ(text.Find(u'/', 100), -1);
    EXPECT_EQ(text.Find(CString(u"b/c")), 2);
    EXPECT_EQ(text.Find(CString(u"zz")), -1);
    EXPECT_EQ(text.Find(CString(u""), 2), 2);
    EXPECT_EQ(text.ReverseFind(u'/'), 3);
    EXPECT_EQ(text.ReverseFind(u'x'), -1);
    EXPECT_EQ(text.FindOneOf(u"cb"), 2);
    EXPECT_EQ(text.FindOneOf(u""), -1);
}

TEST(CStringEdit, ReplaceRemoveInsertDelete) {
    CString text(u"one two one");
    EXPECT_EQ(text.Replace(u"one", u"1"), 2);
    EXPECT_EQ(text, u"1 two 1");
    EXPECT_EQ(text.Replace(u"", u"x"), 0);
    EXPECT_EQ(text.Replace(u"zz", u"x"), 0);
    EXPECT_EQ(text.Replace(u' ', u'_'), 2);
    EXPECT_EQ(text, u"1_two_1");
    EXPECT_EQ(text.Remove(u'1'), 2);
    EXPECT_EQ(text, u"_two_");
    EXPECT_EQ(text.Insert(0, u'['), 6);
    EXPECT_EQ(text.Insert(100, u"]"), 7);
    EXPECT_EQ(text, u"[_two_]");
    EXPECT_EQ(text.Delete(1), 6);
    EXPECT_EQ(text.Delete(4, 100), 4);
    EXPECT_EQ(text, u"[two");
    EXPECT_EQ(text.Delete(-2, 1), 3);
    EXPECT_EQ(text.Delete(10, 1), 3);
    EXPECT_EQ(text, u"two");
}

TEST(CStringEdit, ReplaceWithLongerTextDoesNotLoop) {
    CString text(u"aa");
    EXPECT_EQ(text.Replace(u"a", u"aa"), 2);
    EXPECT_EQ(text, u"aaaa");
}

TEST(CStringCase, UpperLowerAndNoCaseCompare) {
    CString text(u"Straße é");
    text.MakeUpper();
    EXPECT_EQ(text, u"STRAßE É");
    text.MakeLower();
    EXPECT_EQ(text, u"straße é");
    EXPECT_EQ(CString(u"ABC").CompareNoCase(u"abc"), 0);
    EXPECT_LT(CString(u"abc").CompareNoCase(u"ABD"), 0);
    EXPECT_GT(CString(u"abcd").CompareNoCase(u"ABC"), 0);
    EXPECT_LT(CString(u"B").Compare(u"a"), 0);   // by code unit
    EXPECT_EQ(CString(u"a").Compare(u"a"), 0);
}

TEST(CStringTrim, WhitespaceAndCharacters) {
    CString text(u" \t\r\nvalue \v\f");
    EXPECT_EQ(text.Trim(), u"value");
    CString left(u"  x  ");
    EXPECT_EQ(left.TrimLeft(), u"x  ");
    CString right(u"  x  ");
    EXPECT_EQ(right.TrimRight(), u"  x");
    CString zeros(u"00100");
    EXPECT_EQ(zeros.Trim(u'0'), u"1");
    CString allZeros(u"000");
    EXPECT_EQ(allZeros.TrimLeft(u'0'), u"");
    CString tail(u"1.500");
    EXPECT_EQ(tail.TrimRight(u'0'), u"1.5");
    CString set(u"name;,;");
    EXPECT_EQ(set.TrimRight(CString(u",;")), u"name");
}

TEST(CStringOperators, ConcatenationAndComparison) {
    CString text(u"a");
    text += u"b";
    text += u'c';
    text += static_cast<const char16_t*>(nullptr);
    text += CString(u"d");
    EXPECT_EQ(text, u"abcd");
    EXPECT_EQ(u"<" + text + u'>', u"<abcd>");
    EXPECT_EQ(text + "e", u"abcde");
    EXPECT_TRUE(CString(u"a") < CString(u"b"));
    EXPECT_TRUE(CString(u"a") != u"b");
    EXPECT_TRUE(u"abcd" == text);
    EXPECT_TRUE(text == static_cast<const char16_t*>(nullptr) ? false : true);
    EXPECT_TRUE(CString() == static_cast<const char16_t*>(nullptr));
}

TEST(CStringOperators, HashesByContent) {
    std::unordered_set<CString> set{CString(u"x"), CString(u"y"), CString(u"x")};
    EXPECT_EQ(set.size(), 2u);
}

TEST(CStringOperators, NarrowLiteralsConvertFromUtf8) {
    const CString text(u"é");
    EXPECT_TRUE(text == "\xC3\xA9");
    EXPECT_EQ("[" + text, u"[é");
    CString assigned;
    assigned = "plain";
    EXPECT_EQ(assigned, u"plain");
    EXPECT_EQ(CString(std::string("x\xFF")), u"x\uFFFD");
}
