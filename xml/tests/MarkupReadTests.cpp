// Reading: tag names, attributes, data, sub-documents and entity decoding.
#include "xml/tests/MarkupTestSupport.h"

namespace {

CString DataOf(const char16_t* doc) {
    CMarkup m(doc);
    m.FindElem();
    return m.GetData();
}

TEST(MarkupRead, TagNames) {
    CMarkup m(u"<root a=\"1\"><child-1/></root>");
    EXPECT_EQ(m.GetTagName(), CString());
    ASSERT_TRUE(m.FindChildElem());
    EXPECT_EQ(m.GetTagName(), CString(u"root"));
    EXPECT_EQ(m.GetChildTagName(), CString(u"child-1"));
}

TEST(MarkupRead, Attributes) {
    CMarkup m(u"<a one=\"1\" two = 'x&amp;y' three=\"\" bad=c four=\"4\"/>");
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttrib(u"one"), CString(u"1"));
    EXPECT_EQ(m.GetAttrib(u"two"), CString(u"x&y"));
    EXPECT_EQ(m.GetAttrib(u"three"), CString());
    EXPECT_EQ(m.GetAttrib(u"four"), CString(u"4"));
    EXPECT_EQ(m.GetAttrib(u"missing"), CString());
    EXPECT_EQ(m.GetAttrib(nullptr), CString());
}

TEST(MarkupRead, UnquotedAttributeIsNotFound) {
    CMarkup m(u"<a b=c>t</a>");
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttrib(u"b"), CString());
}

TEST(MarkupRead, AttributeSearchStopsAtEndOfStartTag) {
    CMarkup m(u"<a><b x=\"1\"/></a>");
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttrib(u"x"), CString());
}

TEST(MarkupRead, ChildAttributeNeedsAMainElement) {
    CMarkup m(u"<a><b x=\"1\"/></a>");
    ASSERT_TRUE(m.FindChildElem());
    EXPECT_EQ(m.GetChildAttrib(u"x"), CString(u"1"));
}

TEST(MarkupRead, AttributeNames) {
    CMarkup m(u"<a one=\"1\" two=\"&lt;\"/>");
    EXPECT_EQ(m.GetAttribName(0), CString());   // no main element
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttribName(0), CString(u"one"));
    EXPECT_EQ(m.GetAttribName(1), CString(u"two"));
    EXPECT_EQ(m.GetAttribName(2), CString());
    EXPECT_EQ(m.GetAttribName(-1), CString());
}

TEST(MarkupRead, DataKeepsWhitespaceAndDecodes) { EXPECT_EQ(DataOf(u"<a> x &amp; y </a>"), CString(u" x & y ")); }

TEST(MarkupRead, DataOfCdataIsRaw) {
    EXPECT_EQ(DataOf(u"<a><![CDATA[<b>]]></a>"), CString(u"<b>"));
    EXPECT_EQ(DataOf(u"<a>\r\n <![CDATA[&amp;]]></a>"), CString(u"&amp;"));
    EXPECT_EQ(DataOf(u"<a><![CDATA[]]></a>"), CString());
}

TEST(MarkupRead, DataIsEmptyWithChildrenOrWhenEmpty) {
    EXPECT_EQ(DataOf(u"<a><b/>t</a>"), CString());
    EXPECT_EQ(DataOf(u"<a/>"), CString());
    EXPECT_EQ(DataOf(u"<a></a>"), CString());
}

TEST(MarkupRead, ChildData) {
    CMarkup m(u"<a><b>one</b><c>two</c></a>");
    ASSERT_TRUE(m.FindChildElem(u"c"));
    EXPECT_EQ(m.GetChildData(), CString(u"two"));
    EXPECT_EQ(m.GetData(), CString());
}

TEST(MarkupRead, SubDocTakesTheLineBreak) {
    CMarkup m(u"<a>\r\n<b x=\"1\">t</b>\r\n<c/> tail\r\n</a>");
    ASSERT_TRUE(m.FindChildElem(u"b"));
    EXPECT_EQ(m.GetChildSubDoc(), CString(u"<b x=\"1\">t</b>\r\n"));
    ASSERT_TRUE(m.FindChildElem(u"c"));
    EXPECT_EQ(m.GetChildSubDoc(), CString(u"<c/>"));
    EXPECT_EQ(m.GetSubDoc(), m.GetDoc());
    CMarkup none;
    EXPECT_EQ(none.GetSubDoc(), CString());
}

TEST(MarkupRead, SubDocOfRootRunsToTheEnd) {
    CMarkup m(u"<a/>\r\n \t");
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetSubDoc(), CString(u"<a/>\r\n \t"));
}

TEST(MarkupRead, NumericReferences) {
    EXPECT_EQ(DataOf(u"<a>&#65;</a>"), CString(u"A"));
    EXPECT_EQ(DataOf(u"<a>&#x41;&#x3c;</a>"), CString(u"A<"));
    EXPECT_EQ(DataOf(u"<a>&#0;</a>"), CString(u"&#0;"));
    EXPECT_EQ(DataOf(u"<a>&#;</a>"), CString(u"&#;"));
    EXPECT_EQ(DataOf(u"<a>&#12345678;</a>"), CString(u"&#12345678;"));
    EXPECT_EQ(DataOf(u"<a>&#1234567;</a>"), CString(u"&#1234567;"));   // beyond U+10FFFF
    EXPECT_EQ(DataOf(u"<a>&#12a;</a>"), CString(u"&#12a;"));
    EXPECT_EQ(DataOf(u"<a>&#x;</a>"), CString(u"&#x;"));
    EXPECT_EQ(DataOf(u"<a>&#233;t&#xE9;</a>"), CString(u"\u00e9t\u00e9"));
}

TEST(MarkupRead, NumericReferenceAboveBmpBecomesSurrogatePair) {
    EXPECT_EQ(DataOf(u"<a>&#x1F600;</a>"), CString(u"\U0001F600"));
    EXPECT_EQ(DataOf(u"<a>&#128512;</a>"), CString(u"\U0001F600"));
    EXPECT_EQ(DataOf(u"<a>&#x10FFFF;</a>"), CString(u"\U0010FFFF"));
    EXPECT_EQ(DataOf(u"<a>&#x110000;</a>"), CString(u"&#x110000;"));
}

TEST(MarkupRead, NamedReferences) {
    EXPECT_EQ(DataOf(u"<a>&lt;&amp;&gt;&apos;&quot;</a>"), CString(u"<&>'\""));
    EXPECT_EQ(DataOf(u"<a>&bogus; &amp &</a>"), CString(u"&bogus; &amp &"));
    EXPECT_EQ(DataOf(u"<a>&amp;amp;</a>"), CString(u"&amp;"));
}

TEST(MarkupRead, ReferenceMustEndWithinTheText) {
    // "&lt" is followed by ';' only beyond the value's closing quote.
    CMarkup m(u"<a v=\"&lt\" w=\";\"/>");
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttrib(u"v"), CString(u"&lt"));
}

}   // namespace
