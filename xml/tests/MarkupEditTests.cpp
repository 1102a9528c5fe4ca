// Editing: adds, inserts, sub-documents, attributes, data and removal, with the index kept exact.
#include "xml/tests/MarkupTestSupport.h"

namespace {

TEST(MarkupAddElem, BuildsADocumentFromNothing) {
    CMarkup m;
    ASSERT_TRUE(m.AddElem(u"a"));
    EXPECT_EQ(m.GetDoc(), CString(u"<a/>\r\n"));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.AddElem(u"b", u"x"));
    EXPECT_EQ(m.GetDoc(), CString(u"<a>\r\n<b>x</b>\r\n</a>\r\n"));
    EXPECT_EQ(m.GetTagName(), CString(u"b"));
    EXPECT_EQ(m.GetData(), CString(u"x"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupAddElem, SecondRootFails) {
    CMarkup m;
    ASSERT_TRUE(m.AddElem(u"a"));
    EXPECT_FALSE(m.AddElem(u"b"));
    EXPECT_FALSE(m.InsertElem(u"b"));
    EXPECT_EQ(m.GetDoc(), CString(u"<a/>\r\n"));
}

TEST(MarkupAddElem, ValueIsEscaped) {
    CMarkup m(u"<r/>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.AddChildElem(u"v", u"a<b&c>'\""));
    EXPECT_EQ(m.GetChildSubDoc(), CString(u"<v>a&lt;b&amp;c&gt;'\"</v>\r\n"));
    EXPECT_EQ(m.GetChildData(), CString(u"a<b&c>'\""));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupAddElem, AddGoesLastInsertGoesFirst) {
    CMarkup m(u"<r>\r\n<a/>\r\n<b/>\r\n</r>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.AddElem(u"last"));
    m.ResetMainPos();
    ASSERT_TRUE(m.InsertElem(u"first"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r>\r\n<first/>\r\n<a/>\r\n<b/>\r\n<last/>\r\n</r>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"a"));
}

TEST(MarkupAddElem, AddAndInsertRelativeToMainElement) {
    CMarkup m(u"<r>\r\n<a/>\r\n<b/>\r\n</r>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"a"));
    ASSERT_TRUE(m.AddElem(u"afterA"));
    ASSERT_TRUE(m.FindElem(u"b"));
    ASSERT_TRUE(m.InsertElem(u"beforeB"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r>\r\n<a/>\r\n<afterA/>\r\n<beforeB/>\r\n<b/>\r\n</r>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"b"));
}

TEST(MarkupAddChildElem, IntoEmptyElementAndEmptyContent) {
    for (const char16_t* doc : {u"<p></p>", u"<p/>"}) {
        CMarkup m(doc);
        ASSERT_TRUE(m.FindElem());
        ASSERT_TRUE(m.AddChildElem(u"c"));
        EXPECT_EQ(m.GetDoc(), CString(u"<p>\r\n<c/>\r\n</p>"));
        EXPECT_EQ(m.GetChildTagName(), CString(u"c"));
        EXPECT_TRUE(IndexMatchesReparse(m));
    }
}

TEST(MarkupAddChildElem, NeedsMainElement) {
    CMarkup m(u"<p/>");
    EXPECT_FALSE(m.AddChildElem(u"c"));
    EXPECT_FALSE(m.InsertChildElem(u"c"));
    EXPECT_EQ(m.GetDoc(), CString(u"<p/>"));
}

TEST(MarkupAddChildElem, InsertAndAddAmongChildren) {
    CMarkup m(u"<p>\r\n<a/>\r\n<b/>\r\n</p>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.InsertChildElem(u"first", u"1"));
    ASSERT_TRUE(m.FindChildElem(u"b"));
    ASSERT_TRUE(m.InsertChildElem(u"beforeB"));
    ASSERT_TRUE(m.AddChildElem(u"afterBeforeB"));
    m.ResetChildPos();
    ASSERT_TRUE(m.AddChildElem(u"last"));
    EXPECT_EQ(m.GetDoc(),
              CString(u"<p>\r\n<first>1</first>\r\n<a/>\r\n<beforeB/>\r\n<afterBeforeB/>\r\n<b/>\r\n<last/>\r\n</p>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupAddChildElem, TextContentIsKept) {
    CMarkup m(u"<p>hello</p>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.AddChildElem(u"c"));
    EXPECT_EQ(m.GetDoc(), CString(u"<p>hello<c/>\r\n</p>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupAddElem, DeepInsideShiftsAncestorsAndFollowers) {
    CMarkup m(u"<r><a><b><c/></b></a><d x=\"1\"><e/></d></r>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"a"));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"b"));
    ASSERT_TRUE(m.AddChildElem(u"new", u"v"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    m.ResetPos();
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"d"));
    EXPECT_EQ(m.GetChildAttrib(u"x"), CString(u"1"));
}

TEST(MarkupAddSubDoc, AsChildAndSibling) {
    CMarkup m(u"<r>\r\n<a/>\r\n</r>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.AddChildSubDoc(u"<s k=\"v\"><t>1</t></s>\r\n"));
    EXPECT_EQ(m.GetChildTagName(), CString(u"s"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r>\r\n<a/>\r\n<s k=\"v\"><t>1</t></s>\r\n</r>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.InsertSubDoc(u"<?xml version=\"1.0\"?>\r\n<!-- lead --><u/>\r\n"));
    EXPECT_EQ(m.GetTagName(), CString(u"u"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r>\r\n<a/>\r\n<u/>\r\n<s k=\"v\"><t>1</t></s>\r\n</r>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"s"));
    EXPECT_TRUE(m.FindChildElem(u"t"));
    EXPECT_EQ(m.GetChildData(), CString(u"1"));
}

TEST(MarkupAddSubDoc, IntoEmptyElement) {
    CMarkup m(u"<p/>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.AddChildSubDoc(u"<q><z/></q>"));
    EXPECT_EQ(m.GetDoc(), CString(u"<p>\r\n<q><z/></q></p>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.InsertChildSubDoc(u"<o/>\r\n"));
    EXPECT_EQ(m.GetDoc(), CString(u"<p>\r\n<o/>\r\n<q><z/></q></p>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupAddSubDoc, NeverAtDocumentLevel) {
    CMarkup m;
    EXPECT_FALSE(m.AddSubDoc(u"<a/>"));
    EXPECT_FALSE(m.InsertSubDoc(u"<a/>"));
    CMarkup n(u"<a/>");
    ASSERT_TRUE(n.FindElem());
    EXPECT_FALSE(n.AddSubDoc(u"<b/>"));
    EXPECT_EQ(n.GetDoc(), CString(u"<a/>"));
}

TEST(MarkupAddSubDoc, BadSubDocLeavesDocumentUnchanged) {
    const CString original(u"<r>\r\n<a/>\r\n</r>\r\n");
    for (const char16_t* bad :
         {u"<s><t></s>", u"<s>", u"", u"text only", u"<!-- only -->", u"</x>", u"<s", u"<s attr=\"1\""}) {
        CMarkup m(original);
        ASSERT_TRUE(m.FindElem());
        ASSERT_TRUE(m.FindChildElem(u"a"));
        EXPECT_FALSE(m.AddChildSubDoc(bad)) << CString(bad).ToUtf8();
        EXPECT_EQ(m.GetDoc(), original) << CString(bad).ToUtf8();
        EXPECT_TRUE(IndexMatchesReparse(m));
        EXPECT_EQ(m.GetChildTagName(), CString(u"a"));
        EXPECT_TRUE(m.AddChildElem(u"ok"));
        EXPECT_TRUE(IndexMatchesReparse(m));
    }
}

TEST(MarkupAddSubDoc, ParseErrorIsReported) {
    CMarkup m(u"<p/>");
    ASSERT_TRUE(m.FindElem());
    EXPECT_FALSE(m.AddChildSubDoc(u"<s></t>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to s"));
    EXPECT_EQ(m.GetDoc(), CString(u"<p/>"));
}

TEST(MarkupAddSubDoc, ElementMayNotRunIntoTheExistingText) {
    // "<s" would find the '>' of the following "<b/>" and swallow it.
    CMarkup m(u"<r><a/><b/></r>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"a"));
    EXPECT_FALSE(m.AddChildSubDoc(u"<s "));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><a/><b/></r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetAttrib, AddedAtEndOfStartTagThenReplacedInPlace) {
    CMarkup m(u"<r><e/></r>");
    ASSERT_TRUE(m.FindChildElem());
    ASSERT_TRUE(m.SetChildAttrib(u"k", u"say \"hi\""));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e k=\"say &quot;hi&quot;\"/></r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.AddChildAttrib(u"n", 42));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e k=\"say &quot;hi&quot;\" n=\"42\"/></r>"));
    ASSERT_TRUE(m.SetChildAttrib(u"k", u"x"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e k=\"x\" n=\"42\"/></r>"));
    EXPECT_EQ(m.GetChildAttrib(u"k"), CString(u"x"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetAttrib, KeepsTheExistingQuoteAndEscapesBoth) {
    CMarkup m(u"<e k='old'>t</e>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.SetAttrib(u"k", u"it's <&>"));
    EXPECT_EQ(m.GetDoc(), CString(u"<e k='it&apos;s &lt;&amp;&gt;'>t</e>"));
    EXPECT_EQ(m.GetAttrib(u"k"), CString(u"it's <&>"));
    ASSERT_TRUE(m.SetAttrib(u"id", -7));
    EXPECT_EQ(m.GetDoc(), CString(u"<e k='it&apos;s &lt;&amp;&gt;' id=\"-7\">t</e>"));
    EXPECT_EQ(m.GetData(), CString(u"t"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetAttrib, ShiftsDescendantsAndFollowers) {
    CMarkup m(u"<r><a><b/></a><c/></r>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"a"));
    ASSERT_TRUE(m.SetAttrib(u"long", u"0123456789"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.FindChildElem(u"b"));
    ASSERT_TRUE(m.SetChildAttrib(u"q", u"1"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetAttrib, NeedsAnElementPosition) {
    CMarkup m(u"<r><e/></r>");
    EXPECT_FALSE(m.SetAttrib(u"k", u"v"));
    ASSERT_TRUE(m.FindElem());
    EXPECT_FALSE(m.SetChildAttrib(u"k", u"v"));
    EXPECT_FALSE(m.SetAttrib(u"", u"v"));
    EXPECT_FALSE(m.SetAttrib(nullptr, u"v"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e/></r>"));
}

TEST(MarkupSetAttrib, UnterminatedValueIsNotRewritten) {
    CMarkup m(u"<r><e k=\"v><f/></e></r>");
    ASSERT_TRUE(m.FindChildElem(u"e"));
    EXPECT_FALSE(m.SetChildAttrib(u"k", u"w"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetData, EscapesText) {
    CMarkup m(u"<a>old</a>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.SetData(u"1<2"));
    EXPECT_EQ(m.GetDoc(), CString(u"<a>1&lt;2</a>"));
    EXPECT_EQ(m.GetData(), CString(u"1<2"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetData, CdataAndItsFallback) {
    CMarkup m(u"<r><a/><b> x </b></r>");
    ASSERT_TRUE(m.FindChildElem(u"a"));
    ASSERT_TRUE(m.SetChildData(u"<b>", 1));
    EXPECT_EQ(m.GetChildSubDoc(), CString(u"<a><![CDATA[<b>]]></a>"));
    EXPECT_EQ(m.GetChildData(), CString(u"<b>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.FindChildElem(u"b"));
    ASSERT_TRUE(m.SetChildData(u"x]]>y", 1));
    EXPECT_EQ(m.GetChildSubDoc(), CString(u"<b>x]]&gt;y</b>"));
    EXPECT_EQ(m.GetChildData(), CString(u"x]]>y"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetData, OnEmptyElementOpensIt) {
    CMarkup m(u"<r><e a=\"1\"/><f/></r>");
    ASSERT_TRUE(m.FindChildElem(u"e"));
    ASSERT_TRUE(m.SetChildData(u"v"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e a=\"1\">v</e><f/></r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.SetChildData(u""));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e a=\"1\"></e><f/></r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupSetData, FailsWithChildrenOrWithoutPosition) {
    CMarkup m(u"<r><e/></r>");
    EXPECT_FALSE(m.SetData(u"x"));
    ASSERT_TRUE(m.FindElem());
    EXPECT_FALSE(m.SetData(u"x"));
    EXPECT_FALSE(m.SetChildData(u"x"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><e/></r>"));
}

TEST(MarkupRemoveElem, MiddleSiblingThenFindElemLandsOnNext) {
    CMarkup m(u"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"b"));
    ASSERT_TRUE(m.RemoveElem());
    EXPECT_EQ(m.GetDoc(), CString(u"<r>\r\n<a/>\r\n<c/>\r\n</r>\r\n"));
    EXPECT_EQ(m.GetTagName(), CString(u"a"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"c"));
}

TEST(MarkupRemoveElem, FirstChildLeavesNoMainPosition) {
    MarkupProbe m(u"<r>\r\n<a>x</a>\r\n<b/>\r\n</r>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.RemoveElem());
    EXPECT_EQ(m.MainPos(), 0);
    EXPECT_EQ(m.NodeType(), 0);
    EXPECT_FALSE(m.RemoveElem());
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"b"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupRemoveElem, TextAfterElementStays) {
    CMarkup m(u"<r><a/> tail</r>");
    ASSERT_TRUE(m.FindChildElem());
    ASSERT_TRUE(m.RemoveChildElem());
    EXPECT_EQ(m.GetDoc(), CString(u"<r> tail</r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupRemoveElem, ChildBecomesPreviousChild) {
    CMarkup m(u"<r><a/><b><x/></b><c/></r>");
    ASSERT_TRUE(m.FindChildElem(u"b"));
    ASSERT_TRUE(m.RemoveChildElem());
    EXPECT_EQ(m.GetChildTagName(), CString(u"a"));
    EXPECT_EQ(m.GetDoc(), CString(u"<r><a/><c/></r>"));
    EXPECT_TRUE(IndexMatchesReparse(m));
    EXPECT_FALSE(CMarkup(u"<r/>").RemoveChildElem());
}

TEST(MarkupRemoveElem, RootCanBeRemovedAndReplaced) {
    CMarkup m(u"<a/>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.RemoveElem());
    EXPECT_EQ(m.GetDoc(), CString());
    EXPECT_FALSE(m.IsWellFormed());
    ASSERT_TRUE(m.AddElem(u"b"));
    EXPECT_EQ(m.GetDoc(), CString(u"<b/>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

TEST(MarkupEdit, RemoveAndAppendLikeARecordSave) {
    CMarkup m(u"<quillmar>\r\n<client id=\"1\"/>\r\n<client id=\"2\"/>\r\n</quillmar>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"client"));
    ASSERT_TRUE(m.RemoveChildElem());
    m.ResetChildPos();
    ASSERT_TRUE(m.AddChildSubDoc(u"<client id=\"1\" name=\"n\"/>\r\n"));
    EXPECT_EQ(m.GetDoc(),
              CString(u"<quillmar>\r\n<client id=\"2\"/>\r\n<client id=\"1\" name=\"n\"/>\r\n</quillmar>\r\n"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

}   // namespace

namespace {

class LocateProbe : public MarkupProbe {
public:
    using MarkupProbe::MarkupProbe;
    int Locate(int iPosParent, int& iPosRel, int offset, int length, int flags) {
        x_LocateNew(iPosParent, iPosRel, offset, length, flags);
        return offset;
    }
    int Root() const { return Entry(0).firstChild; }
};

TEST(MarkupLocateNew, OffsetsAndLinkTargets) {
    // "<r>\r\n<a/>\r\n<b/>\r\n</r>": a at 5, b at 11, end tag at 17.
    LocateProbe m(u"<r>\r\n<a/>\r\n<b/>\r\n</r>");
    int r = m.Root();
    int a = m.Entry(r).firstChild;
    int b = m.Entry(a).nextSibling;
    int rel = 0;
    EXPECT_EQ(m.Locate(r, rel, 0, 0, 0), 17);   // add at the end: before the end tag
    EXPECT_EQ(rel, b);                          // linked after the last child
    rel = 0;
    EXPECT_EQ(m.Locate(r, rel, 0, 0, 1), 5);   // insert first: whitespace skipped to '<'
    EXPECT_EQ(rel, 0);
    rel = a;
    EXPECT_EQ(m.Locate(r, rel, 0, 0, 0), 11);   // after a, past its line break
    EXPECT_EQ(rel, a);
    rel = b;
    EXPECT_EQ(m.Locate(r, rel, 0, 0, 1), 11);   // before b
    EXPECT_EQ(rel, a);
    rel = a;
    EXPECT_EQ(m.Locate(r, rel, 0, 0, 2), 9);   // exact: right after a's '>'
    rel = 0;
    EXPECT_EQ(m.Locate(r, rel, 3, 2, 2), 5);   // caller's offset plus the length when adding
    rel = 0;
    EXPECT_EQ(m.Locate(r, rel, 3, 2, 1 | 2), 3);
}

TEST(MarkupLocateNew, EmptyParentAndDocumentLevel) {
    LocateProbe m(u"<p/>");
    int rel = 0;
    EXPECT_EQ(m.Locate(m.Root(), rel, 0, 0, 0), 3);   // the parent's '>'
    EXPECT_EQ(rel, 0);
    rel = 0;
    EXPECT_EQ(m.Locate(0, rel, 0, 0, 1), 0);
    rel = 0;
    EXPECT_EQ(m.Locate(0, rel, 0, 0, 0), 4);
    EXPECT_EQ(rel, m.Root());
}

TEST(MarkupTextArg, AcceptsEveryTextForm) {
    CMarkup m;
    std::u16string name = u"root";
    ASSERT_TRUE(m.AddElem(name, CString(u"v") + CString(u"w")));
    EXPECT_EQ(m.GetDoc(), CString(u"<root>vw</root>\r\n"));
    CString attrib(u"k");
    ASSERT_TRUE(m.SetAttrib(attrib, std::u16string(u"1")));
    EXPECT_EQ(m.GetAttrib(attrib), CString(u"1"));
}

}   // namespace
