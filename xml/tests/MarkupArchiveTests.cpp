// The typed archive: modes, namespace prefix, find by attribute, typed readers and writers.
#include <utility>

#include "xml/MarkupArchive.h"
#include "xml/tests/MarkupTestSupport.h"

namespace {

CMarkupArchive ArchiveOf(const char16_t* doc) {
    CMarkupArchive a;
    a.SetDoc(doc);
    return a;
}

TEST(MarkupArchiveMode, DefaultsAndFlags) {
    CMarkupArchive a;
    EXPECT_TRUE(a.IsStoring());
    EXPECT_FALSE(a.IsLoading());
    EXPECT_TRUE(a.IsCreateMode());
    EXPECT_FALSE(a.IsMustFindNameMode());
    EXPECT_TRUE(a.IsZipping());
    EXPECT_FALSE(a.IsOpen());
    EXPECT_EQ(a.GetEncodingString(), CString(u"ISO-8859-1"));
    a.SetModeFlag(8);
    EXPECT_FALSE(a.IsZipping());
    EXPECT_FALSE(a.IsStoring());
    a.SetModeFlag(4);
    EXPECT_TRUE(a.IsMustFindNameMode());
    a.SetEncodingString(u"UTF-8");
    a.SetEncodingString(nullptr);
    EXPECT_EQ(a.GetEncodingString(), CString(u"UTF-8"));
}

TEST(MarkupArchiveMode, OpenStringSwitchesToLoading) {
    CMarkupArchive a;
    EXPECT_FALSE(a.OpenString(nullptr));
    EXPECT_FALSE(a.IsOpen());
    EXPECT_TRUE(a.OpenString(u"<a/>"));
    EXPECT_TRUE(a.IsOpen());
    EXPECT_TRUE(a.IsLoading());
    EXPECT_TRUE(a.IsCreateMode());
    EXPECT_FALSE(a.OpenString(u"<a>"));
}

TEST(MarkupArchiveMode, CopyTakesEveryMember) {
    CMarkupArchive a(7);
    a.SetNameSpace(u"ns");
    a.SetEncodingString(u"UTF-8");
    a.OpenString(u"<ns:a/>");
    ASSERT_TRUE(a.FindElem(u"a"));
    CMarkupArchive b(a);
    EXPECT_EQ(b.GetNameSpace(), CString(u"ns"));
    EXPECT_EQ(b.GetEncodingString(), CString(u"UTF-8"));
    EXPECT_TRUE(b.IsOpen());
    EXPECT_TRUE(b.IsMustFindNameMode());
    EXPECT_EQ(b.GetTagName(), CString(u"ns:a"));
    CMarkupArchive c;
    c = a;
    EXPECT_EQ(c.GetNameSpace(), CString(u"ns"));
}

TEST(MarkupArchiveNameSpace, PrefixesElementNamesOnly) {
    CMarkupArchive a;
    EXPECT_TRUE(a.SetNameSpace(u"ns"));
    EXPECT_EQ(a.GetNameSpace(), CString(u"ns"));
    ASSERT_TRUE(a.AddElem(u"a"));
    ASSERT_TRUE(a.AddChildElem(u"b", u"1"));
    ASSERT_TRUE(a.AddChildAttribEx(u"k", 5));
    EXPECT_EQ(a.GetDoc(), CString(u"<ns:a>\r\n<ns:b k=\"5\">1</ns:b>\r\n</ns:a>\r\n"));
    a.ResetPos();
    EXPECT_TRUE(a.FindElem(u"a"));
    EXPECT_TRUE(a.FindChildElem(u"b"));
    a.ResetChildPos();
    EXPECT_TRUE(a.FindChildElem());
    EXPECT_TRUE(a.SetNameSpace(u""));
    EXPECT_EQ(a.GetNameSpace(), CString());
    a.ResetPos();
    EXPECT_FALSE(a.FindElem(u"a"));
    EXPECT_TRUE(a.FindElem(u"ns:a"));
}

TEST(MarkupArchiveNameSpace, CallsThroughTheBaseAreNotPrefixed) {
    CMarkupArchive a;
    a.SetNameSpace(u"ns");
    CMarkup& base = a;
    ASSERT_TRUE(base.AddElem(u"plain"));
    EXPECT_EQ(a.GetDoc(), CString(u"<plain/>\r\n"));
}

TEST(MarkupArchiveFindAttrib, ChildByValueWhateverTheTagName) {
    CMarkupArchive a = ArchiveOf(u"<r><project id=\"7\"/><client id=\"7\"/><client id=\"8\"/></r>");
    EXPECT_TRUE(a.FindChildElemAttrib(u"client", u"id", u"7"));
    EXPECT_EQ(a.GetChildTagName(), CString(u"project"));
    EXPECT_EQ(a.GetTagName(), CString(u"r"));
    EXPECT_TRUE(a.FindChildElemAttrib(u"client", u"id", u"7"));
    EXPECT_EQ(a.GetChildTagName(), CString(u"client"));
    EXPECT_FALSE(a.FindChildElemAttrib(u"client", u"id", u"7"));
    EXPECT_EQ(a.GetChildTagName(), CString(u"client"));
    a.ResetChildPos();
    EXPECT_TRUE(a.FindChildElemAttrib(u"client", u"id", u"8"));
}

TEST(MarkupArchiveFindAttrib, ChildWithoutValueNeedsNameAndNonEmptyAttribute) {
    CMarkupArchive a = ArchiveOf(u"<r><project refId=\"x\"/><client refId=\"\"/><client/><client refId=\"y\"/></r>");
    EXPECT_TRUE(a.FindChildElemAttrib(u"client", u"refId"));
    EXPECT_EQ(a.GetChildAttrib(u"refId"), CString(u"y"));
}

TEST(MarkupArchiveFindAttrib, ChildValueIsDecoded) {
    CMarkupArchive a = ArchiveOf(u"<r><c refId=\"a&amp;b\"/></r>");
    EXPECT_TRUE(a.FindChildElemAttrib(u"c", u"refId", u"a&b"));
}

// Finding by value agrees with reading the attribute, whatever the start tag looks like.
TEST(MarkupArchiveFindAttrib, ChildByValueAgreesWithTheAttributeReadOnEveryTagShape) {
    const char16_t* const tags[] = {
        u"<c id=\"5\"/>",
        u"<c  id = '5' />",
        u"<c idx=\"5\" xid=\"5\"/>",
        u"<c x=\"id\" y=\"5\"/>",
        u"<c bare id=\"5\"/>",
        u"<c id=5/>",
        u"<c id=\"&#53;\"/>",
        u"<c\tid\r\n=\n\"5\"></c>",
        u"<c a='x\"y' id='5'/>",
        u"<c i=\"5\"/>",
        u"<c id/>",
        u"<c id=\"\"/>",
        u"<c ?id=\"5\"/>",
        u"<c id=\"50\"/>",
        u"<c a=\"1\" \"q\" id=\"5\"/>",
        u"<c id=\"5\">text</c>",
    };
    for (const char16_t* tag : tags) {
        const std::u16string doc = u"<r>" + std::u16string(tag) + u"<d id=\"5\"/></r>";
        CMarkupArchive a = ArchiveOf(doc.c_str());
        ASSERT_TRUE(a.FindChildElem()) << CString(tag).ToUtf8();
        const bool firstMatches = a.GetChildAttrib(u"id") == CString(u"5");
        a.ResetChildPos();
        ASSERT_TRUE(a.FindChildElemAttrib(u"c", u"id", u"5")) << CString(tag).ToUtf8();
        EXPECT_EQ(a.GetChildTagName(), CString(firstMatches ? u"c" : u"d")) << CString(tag).ToUtf8();
    }
}

TEST(MarkupArchiveFindAttrib, ChildRefusals) {
    CMarkupArchive a = ArchiveOf(u"<r/>");
    EXPECT_FALSE(a.FindChildElemAttrib(u"", u"id", u"1"));
    EXPECT_FALSE(a.FindChildElemAttrib(u"c", nullptr, u"1"));
    EXPECT_FALSE(a.FindChildElemAttrib(u"c", u"id", u"1"));   // empty main element
    CMarkupArchive empty;
    EXPECT_FALSE(empty.FindChildElemAttrib(u"c", u"id", u"1"));
}

TEST(MarkupArchiveFindAttrib, ChildWithNamespace) {
    CMarkupArchive a = ArchiveOf(u"<ns:r><c id=\"1\"/><ns:c id=\"2\"/></ns:r>");
    a.SetNameSpace(u"ns");
    EXPECT_TRUE(a.FindChildElemAttrib(u"c", u"id"));
    EXPECT_EQ(a.GetChildAttrib(u"id"), CString(u"2"));
}

TEST(MarkupArchiveFindAttrib, MainElementAmongSiblings) {
    CMarkupArchive a = ArchiveOf(u"<r><c id=\"1\"/><c id=\"2\"/><d id=\"3\"/></r>");
    EXPECT_TRUE(a.FindElemAttrib(u"r", u"id") == false);
    ASSERT_TRUE(a.FindElem());
    ASSERT_TRUE(a.IntoElem());
    EXPECT_TRUE(a.FindElemAttrib(u"c", u"id", u"2"));
    EXPECT_EQ(a.GetAttrib(u"id"), CString(u"2"));
    EXPECT_TRUE(a.FindElemAttrib(u"x", u"id", u"3"));
    EXPECT_EQ(a.GetTagName(), CString(u"d"));
    EXPECT_FALSE(a.FindElemAttrib(u"c", u"id", u"1"));
    a.ResetMainPos();
    EXPECT_TRUE(a.FindElemAttrib(u"c", u"id"));
    EXPECT_EQ(a.GetAttrib(u"id"), CString(u"1"));
}

TEST(MarkupArchiveFindAttrib, MainElementFromTheRoot) {
    CMarkupArchive a = ArchiveOf(u"<r id=\"9\"><c id=\"1\"/></r>");
    EXPECT_TRUE(a.FindElemAttrib(u"r", u"id", u"9"));
    EXPECT_EQ(a.GetTagName(), CString(u"r"));
    EXPECT_EQ(a.GetAttrib(u"id"), CString(u"9"));
}

TEST(MarkupArchiveWriters, ElementsOfEveryType) {
    CMarkupArchive a;
    ASSERT_TRUE(a.AddElem(u"r"));
    ASSERT_TRUE(a.AddChildElemEx(u"b", true));
    ASSERT_TRUE(a.AddChildElemEx(u"f", false));
    ASSERT_TRUE(a.AddChildElemEx(u"i", -12));
    ASSERT_TRUE(a.AddChildElemEx(u"l", 34L));
    ASSERT_TRUE(a.AddChildElemEx(u"u", 4000000000u));
    ASSERT_TRUE(a.AddChildElemEx(u"ul", 5UL));
    ASSERT_TRUE(a.AddChildElemEx(u"fl", 1.5f));
    ASSERT_TRUE(a.AddChildElemEx(u"d", 0.1));
    ASSERT_TRUE(a.AddChildElemEx(u"big", 1234567.0));
    ASSERT_TRUE(a.AddChildElemEx(u"small", 0.00001));
    ASSERT_TRUE(a.AddChildElemEx(u"rate", 0.35f));
    EXPECT_EQ(a.GetDoc(), CString(u"<r>\r\n<b>true</b>\r\n<f>false</f>\r\n<i>-12</i>\r\n<l>34</l>\r\n"
                                  u"<u>4000000000</u>\r\n<ul>5</ul>\r\n<fl>1.5</fl>\r\n<d>0.1</d>\r\n"
                                  u"<big>1.23457e+06</big>\r\n<small>1e-05</small>\r\n<rate>0.35</rate>\r\n</r>\r\n"));
}

TEST(MarkupArchiveWriters, FloatsKeepEveryDigitTheyHold) {
    // "%g" text stays where it reads back exactly; otherwise the shortest exact text.
    const std::pair<float, const char16_t*> cases[] = {
        {85.5f, u"85.5"},           {0.35f, u"0.35"},           {-5.0f, u"-5"},
        {1.0e6f, u"1e+06"},         {12345.67f, u"12345.67"},   {99999.99f, u"99999.99"},
        {150000.25f, u"150000.25"}, {16777216.0f, u"16777216"}, {0.365f, u"0.365"},
    };
    for (const auto& [value, text] : cases) {
        CMarkupArchive a;
        ASSERT_TRUE(a.AddElem(u"r"));
        ASSERT_TRUE(a.AddChildElemEx(u"f", value));
        ASSERT_TRUE(a.AddChildAttribEx(u"a", value));
        a.ResetChildPos();
        ASSERT_TRUE(a.FindChildElem(u"f"));
        EXPECT_EQ(a.GetChildData(), CString(text));
        EXPECT_EQ(a.GetChildAttrib(u"a"), CString(text));
        EXPECT_EQ(a.GetChildDataFloat(), value);
        EXPECT_EQ(CMarkupArchive::FloatText(value), CString(text));
    }
}

TEST(MarkupArchiveWriters, MainElementsAndAttributes) {
    CMarkupArchive a;
    ASSERT_TRUE(a.AddElemEx(u"n", 3));
    ASSERT_TRUE(a.AddAttribEx(u"b", true));
    ASSERT_TRUE(a.AddAttribEx(u"u", 7u));
    ASSERT_TRUE(a.AddAttribEx(u"i", -1L));
    ASSERT_TRUE(a.AddAttribEx(u"f", 2.5f));
    ASSERT_TRUE(a.AddAttribEx(u"d", 100.0));
    ASSERT_TRUE(a.AddAttribEx(u"ul", 9UL));
    ASSERT_TRUE(a.AddAttribEx(u"n", 1));
    EXPECT_EQ(a.GetDoc(), CString(u"<n b=\"true\" u=\"7\" i=\"-1\" f=\"2.5\" d=\"100\" ul=\"9\" n=\"1\">3</n>\r\n"));
    ASSERT_TRUE(a.AddChildElemEx(u"c", 1.0));
    ASSERT_TRUE(a.AddChildAttribEx(u"b", false));
    ASSERT_TRUE(a.AddChildAttribEx(u"u", 1u));
    ASSERT_TRUE(a.AddChildAttribEx(u"ul", 2UL));
    ASSERT_TRUE(a.AddChildAttribEx(u"i", 3));
    ASSERT_TRUE(a.AddChildAttribEx(u"l", 4L));
    ASSERT_TRUE(a.AddChildAttribEx(u"f", 0.5f));
    ASSERT_TRUE(a.AddChildAttribEx(u"d", 0.25));
    EXPECT_EQ(a.GetChildSubDoc(),
              CString(u"<c b=\"false\" u=\"1\" ul=\"2\" i=\"3\" l=\"4\" f=\"0.5\" d=\"0.25\">1</c>\r\n"));
    EXPECT_FALSE(CMarkupArchive().AddAttribEx(u"x", 1));
}

TEST(MarkupArchiveWriters, SecondRootFails) {
    CMarkupArchive a;
    ASSERT_TRUE(a.AddElemEx(u"a", 1));
    EXPECT_FALSE(a.AddElemEx(u"b", 2));
}

TEST(MarkupArchiveReaders, BoolIsExactlyTrue) {
    CMarkupArchive a = ArchiveOf(u"<r><a>true</a><b>True</b><c>1</c><d/></r>");
    ASSERT_TRUE(a.FindChildElem(u"a"));
    EXPECT_TRUE(a.GetChildDataBool());
    ASSERT_TRUE(a.FindChildElem(u"b"));
    EXPECT_FALSE(a.GetChildDataBool());
    ASSERT_TRUE(a.FindChildElem(u"c"));
    EXPECT_FALSE(a.GetChildDataBool());
    ASSERT_TRUE(a.FindChildElem(u"d"));
    EXPECT_FALSE(a.GetChildDataBool());
}

TEST(MarkupArchiveReaders, IntegersScanALeadingNumber) {
    CMarkupArchive a = ArchiveOf(u"<a>12abc</a>");
    ASSERT_TRUE(a.FindElem());
    EXPECT_EQ(a.GetDataInt(), 12);
    ASSERT_TRUE(a.SetDoc(u"<a>abc</a>"));
    ASSERT_TRUE(a.FindElem());
    EXPECT_EQ(a.GetDataInt(), 0);
    ASSERT_TRUE(a.SetDoc(u"<a> -42 </a>"));
    ASSERT_TRUE(a.FindElem());
    EXPECT_EQ(a.GetDataInt(), -42);
    EXPECT_EQ(a.GetDataUINT(), 4294967254u);
    EXPECT_EQ(a.GetDataDWORD(), 4294967254ul);
    ASSERT_TRUE(a.SetDoc(u"<a>+17</a>"));
    ASSERT_TRUE(a.FindElem());
    EXPECT_EQ(a.GetDataInt(), 17);
}

TEST(MarkupArchiveReaders, RealsScanALeadingNumber) {
    CMarkupArchive a = ArchiveOf(u"<r><f>1.5x</f><d>0.1</d><e>2.5e3</e><n>x1</n><m>-.5</m></r>");
    ASSERT_TRUE(a.FindChildElem(u"f"));
    EXPECT_FLOAT_EQ(a.GetChildDataFloat(), 1.5f);
    ASSERT_TRUE(a.FindChildElem(u"d"));
    EXPECT_DOUBLE_EQ(a.GetChildDataDouble(), 0.1);
    ASSERT_TRUE(a.FindChildElem(u"e"));
    EXPECT_DOUBLE_EQ(a.GetChildDataDouble(), 2500.0);
    ASSERT_TRUE(a.FindChildElem(u"n"));
    EXPECT_EQ(a.GetChildDataFloat(), 0.0f);
    ASSERT_TRUE(a.FindChildElem(u"m"));
    EXPECT_DOUBLE_EQ(a.GetChildDataDouble(), -0.5);
}

TEST(MarkupArchiveReaders, ChildAndAttributeForms) {
    CMarkupArchive a = ArchiveOf(
        u"<r b=\"true\" i=\"-3\" u=\"4\" f=\"1.25\" d=\"2.5\" t=\"3/7/2004 2:05:09 PM\">"
        u"<c b=\"true\" i=\"5\" u=\"6\" f=\"0.5\" d=\"0.75\" t=\"1/2/2003\">-9</c></r>");
    ASSERT_TRUE(a.FindChildElem(u"c"));
    EXPECT_TRUE(a.GetAttribBool(u"b"));
    EXPECT_EQ(a.GetAttribInt(u"i"), -3);
    EXPECT_EQ(a.GetAttribUINT(u"u"), 4u);
    EXPECT_EQ(a.GetAttribDWORD(u"u"), 4ul);
    EXPECT_FLOAT_EQ(a.GetAttribFloat(u"f"), 1.25f);
    EXPECT_DOUBLE_EQ(a.GetAttribDouble(u"d"), 2.5);
    COleDateTime t = a.GetAttribDateTime(u"t");
    EXPECT_EQ(t.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(t.GetYear(), 2004);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_TRUE(a.GetChildAttribBool(u"b"));
    EXPECT_EQ(a.GetChildAttribInt(u"i"), 5);
    EXPECT_EQ(a.GetChildAttribUINT(u"u"), 6u);
    EXPECT_EQ(a.GetChildAttribDWORD(u"u"), 6ul);
    EXPECT_FLOAT_EQ(a.GetChildAttribFloat(u"f"), 0.5f);
    EXPECT_DOUBLE_EQ(a.GetChildAttribDouble(u"d"), 0.75);
    EXPECT_EQ(a.GetChildAttribDateTime(u"t").GetMonth(), 1);
    EXPECT_EQ(a.GetChildDataInt(), -9);
    EXPECT_EQ(a.GetChildDataLong(), -9L);
    EXPECT_EQ(a.GetChildDataUINT(), 4294967287u);
    EXPECT_EQ(a.GetAttribInt(u"missing"), 0);
    EXPECT_FALSE(a.GetAttribBool(u"missing"));
}

TEST(MarkupArchiveReaders, DateTimes) {
    CMarkupArchive a = ArchiveOf(u"<r><d>12/31/2005 11:59:00 PM</d><bad>soon</bad></r>");
    ASSERT_TRUE(a.FindElem());
    ASSERT_TRUE(a.FindChildElem(u"d"));
    COleDateTime d = a.GetChildDataDateTime();
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(d.GetDay(), 31);
    EXPECT_EQ(d.GetMinute(), 59);
    ASSERT_TRUE(a.FindChildElem(u"bad"));
    EXPECT_EQ(a.GetChildDataDateTime().GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(a.GetDataDateTime().GetStatus(), COleDateTime::invalid);
}

TEST(MarkupArchiveReaders, TimeSpans) {
    CMarkupArchive a = ArchiveOf(u"<r><s>2,3:04:05</s><d>7</d><x>x</x><p>1,2</p></r>");
    ASSERT_TRUE(a.FindChildElem(u"s"));
    COleDateTimeSpan s = a.GetChildDataDateTimeSpan();
    EXPECT_EQ(s.GetDays(), 2);
    EXPECT_EQ(s.GetHours(), 3);
    EXPECT_EQ(s.GetMinutes(), 4);
    EXPECT_EQ(s.GetSeconds(), 5);
    ASSERT_TRUE(a.FindChildElem(u"d"));
    EXPECT_EQ(a.GetChildDataDateTimeSpan(), COleDateTimeSpan(7, 0, 0, 0));
    ASSERT_TRUE(a.FindChildElem(u"x"));
    EXPECT_EQ(a.GetChildDataDateTimeSpan(), COleDateTimeSpan(0, 0, 0, 0));
    ASSERT_TRUE(a.FindChildElem(u"p"));
    EXPECT_EQ(a.GetChildDataDateTimeSpan(), COleDateTimeSpan(1, 2, 0, 0));
    CMarkupArchive b = ArchiveOf(u"<s>2,3:04:05</s>");
    ASSERT_TRUE(b.FindElem());
    EXPECT_EQ(b.GetDataDateTimeSpan(), COleDateTimeSpan(2, 3, 4, 5));
}

TEST(MarkupArchiveFindGet, RootOnly) {
    CMarkupArchive a = ArchiveOf(u"<count>12</count>");
    int count = -1;
    EXPECT_TRUE(a.FindGetData(u"count", count));
    EXPECT_EQ(count, 12);
    CMarkupArchive b = ArchiveOf(u"<r><count>5</count></r>");
    count = -1;
    ASSERT_TRUE(b.FindElem());
    ASSERT_TRUE(b.IntoElem());
    EXPECT_FALSE(b.FindGetData(u"count", count));
    EXPECT_EQ(count, -1);
}

TEST(MarkupArchiveFindGet, EveryRootType) {
    CString text;
    bool flag = false;
    unsigned int u = 0;
    unsigned long ul = 0;
    float f = 0;
    double d = 0;
    COleDateTime t;
    COleDateTimeSpan s;
    EXPECT_TRUE(ArchiveOf(u"<v>a&amp;b</v>").FindGetData(u"v", text));
    EXPECT_EQ(text, CString(u"a&b"));
    EXPECT_TRUE(ArchiveOf(u"<v>true</v>").FindGetData(u"v", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(ArchiveOf(u"<v>8</v>").FindGetData(u"v", u));
    EXPECT_EQ(u, 8u);
    EXPECT_TRUE(ArchiveOf(u"<v>9</v>").FindGetData(u"v", ul));
    EXPECT_EQ(ul, 9ul);
    EXPECT_TRUE(ArchiveOf(u"<v>0.5</v>").FindGetData(u"v", f));
    EXPECT_EQ(f, 0.5f);
    EXPECT_TRUE(ArchiveOf(u"<v>1.25</v>").FindGetData(u"v", d));
    EXPECT_EQ(d, 1.25);
    EXPECT_TRUE(ArchiveOf(u"<v>3/7/2004</v>").FindGetData(u"v", t));
    EXPECT_EQ(t.GetDay(), 7);
    EXPECT_TRUE(ArchiveOf(u"<v>1,0:30:00</v>").FindGetData(u"v", s));
    EXPECT_EQ(s, COleDateTimeSpan(1, 0, 30, 0));
    EXPECT_FALSE(ArchiveOf(u"<v>1</v>").FindGetData(u"w", d));
}

TEST(MarkupArchiveFindGet, ChildFieldsInAnyOrder) {
    CMarkupArchive a = ArchiveOf(
        u"<client id=\"3\">\r\n<name>Acme &amp; Co</name>\r\n<active>true</active>\r\n<count>-4</count>\r\n"
        u"<size>7</size>\r\n<rate>45.5</rate>\r\n<ratio>0.125</ratio>\r\n</client>\r\n");
    ASSERT_TRUE(a.FindElem());
    double ratio = 0;
    float rate = 0;
    unsigned int size = 0;
    unsigned long sizeLong = 0;
    int count = 0;
    long countLong = 0;
    bool active = false;
    CString name;
    EXPECT_TRUE(a.FindGetChildData(u"ratio", ratio));
    EXPECT_TRUE(a.FindGetChildData(u"rate", rate));
    EXPECT_TRUE(a.FindGetChildData(u"size", size));
    EXPECT_TRUE(a.FindGetChildData(u"size", sizeLong));
    EXPECT_TRUE(a.FindGetChildData(u"count", count));
    EXPECT_TRUE(a.FindGetChildData(u"count", countLong));
    EXPECT_TRUE(a.FindGetChildData(u"active", active));
    EXPECT_TRUE(a.FindGetChildData(u"name", name));
    EXPECT_EQ(ratio, 0.125);
    EXPECT_EQ(rate, 45.5f);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(sizeLong, 7ul);
    EXPECT_EQ(count, -4);
    EXPECT_EQ(countLong, -4L);
    EXPECT_TRUE(active);
    EXPECT_EQ(name, CString(u"Acme & Co"));
    CString untouched(u"keep");
    EXPECT_FALSE(a.FindGetChildData(u"missing", untouched));
    EXPECT_EQ(untouched, CString(u"keep"));
}

TEST(MarkupArchiveFindGet, ChildWithNamespace) {
    CMarkupArchive a = ArchiveOf(u"<ns:r><ns:v>4</ns:v></ns:r>");
    a.SetNameSpace(u"ns");
    int v = 0;
    ASSERT_TRUE(a.FindElem(u"r"));
    EXPECT_TRUE(a.FindGetChildData(u"v", v));
    EXPECT_EQ(v, 4);
}

TEST(MarkupArchiveRoundTrip, WrittenNumbersReadBack) {
    CMarkupArchive a;
    ASSERT_TRUE(a.AddElem(u"r"));
    ASSERT_TRUE(a.AddChildElemEx(u"f", 12.75f));
    ASSERT_TRUE(a.AddChildElemEx(u"i", -2147483647 - 1));
    ASSERT_TRUE(a.AddChildElemEx(u"u", 4294967295u));
    CMarkupArchive b;
    ASSERT_TRUE(b.OpenString(a.GetDoc()));
    ASSERT_TRUE(b.FindElem(u"r"));
    float f = 0;
    int i = 0;
    unsigned int u = 0;
    EXPECT_TRUE(b.FindGetChildData(u"f", f));
    EXPECT_TRUE(b.FindGetChildData(u"i", i));
    EXPECT_TRUE(b.FindGetChildData(u"u", u));
    EXPECT_EQ(f, 12.75f);
    EXPECT_EQ(i, -2147483647 - 1);
    EXPECT_EQ(u, 4294967295u);
}

}   // namespace
