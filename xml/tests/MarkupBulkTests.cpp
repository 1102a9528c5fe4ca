// Bulk rewrite of an element's children: the same text as the edits made one at a time, and
// nothing changed when the element's shape does not allow it.
#include <map>
#include <random>
#include <string>
#include <vector>

#include "xml/tests/MarkupTestSupport.h"

namespace {

const char16_t* const kSeparators[] = {u"", u" ", u"\r\n", u"\n\t", u"\t \r\n  "};
const char16_t* const kChildren[] = {u"<a/>", u"<b id=\"1\">x</b>", u"<c k='v'>\r\n<d/>\r\n</c>",
                                     u"<e><![CDATA[<raw>]]></e>", u"<f>&amp;&lt;</f>"};

class BulkEditTest : public ::testing::Test {
protected:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_rng); }

    // A document whose root has `count` children with white space between them.
    std::u16string PlainDocument(int count) {
        std::u16string text = u"<?xml version=\"1.0\"?>\r\n<root a=\"1\">";
        for (int i = 0; i < count; ++i) {
            text += kSeparators[Pick(5)];
            text += kChildren[Pick(5)];
        }
        text += kSeparators[Pick(5)];
        return text + u"</root>\r\n<!-- after -->\r\n";
    }

    static bool EnterRoot(CMarkup& markup) {
        markup.ResetPos();
        return markup.FindElem();
    }

    std::mt19937 m_rng{20261208};
};

TEST_F(BulkEditTest, RemovingAndAppendingGivesTheTextOfOneEditAtATime) {
    const char16_t* const appendable[] = {u"<n1/>\r\n", u"<n2 x=\"&quot;\">t</n2>\r\n", u"<n3>\r\n<m/>\r\n</n3>\r\n"};
    for (int round = 0; round < 300; ++round) {
        const int count = Pick(7);
        CMarkup oneByOne(PlainDocument(count));
        CMarkup bulk(oneByOne.GetDoc());
        std::vector<bool> removed(static_cast<size_t>(count));
        for (size_t i = 0; i < removed.size(); ++i)
            removed[i] = Pick(2) == 0;
        std::vector<std::u16string> appended(static_cast<size_t>(Pick(4)));
        for (auto& subDoc : appended)
            subDoc = appendable[Pick(3)];

        // One at a time: removals from the last, so earlier ordinals stay put, then additions.
        ASSERT_TRUE(EnterRoot(oneByOne));
        for (int i = count - 1; i >= 0; --i) {
            if (!removed[static_cast<size_t>(i)])
                continue;
            oneByOne.ResetChildPos();
            for (int k = 0; k <= i; ++k)
                ASSERT_TRUE(oneByOne.FindChildElem());
            ASSERT_TRUE(oneByOne.RemoveChildElem());
        }
        std::u16string allAppended;
        for (const auto& subDoc : appended) {
            oneByOne.ResetChildPos();
            ASSERT_TRUE(oneByOne.AddChildSubDoc(subDoc));
            allAppended += subDoc;
        }

        ASSERT_TRUE(EnterRoot(bulk));
        ASSERT_TRUE(bulk.HasPlainChildren());
        ASSERT_TRUE(bulk.RewriteChildren(removed, {}, allAppended));
        EXPECT_EQ(bulk.GetDoc(), oneByOne.GetDoc()) << "round " << round;
        EXPECT_TRUE(IndexMatchesReparse(oneByOne));
        EXPECT_TRUE(IndexMatchesReparse(bulk));
    }
}

TEST_F(BulkEditTest, ReplacedChildKeepsItsPlaceAndTheOthersTheirText) {
    CMarkup markup(u"<root>\r\n<meta>\r\n<v>1</v>\r\n</meta>\r\n<a/>\r\n<b/>\r\n</root>");
    ASSERT_TRUE(EnterRoot(markup));
    ASSERT_TRUE(markup.RewriteChildren({false, true, false}, {{0, CString(u"<meta>\r\n<v>2</v>\r\n</meta>\r\n")}},
                                       u"<c/>\r\n"));
    EXPECT_EQ(markup.GetDoc(), CString(u"<root>\r\n<meta>\r\n<v>2</v>\r\n</meta>\r\n<b/>\r\n<c/>\r\n</root>"));
    EXPECT_TRUE(IndexMatchesReparse(markup));
    ASSERT_TRUE(EnterRoot(markup));
    ASSERT_TRUE(markup.FindChildElem(u"c"));
    EXPECT_EQ(markup.GetChildSubDoc(), CString(u"<c/>\r\n"));
}

// An inner element: what follows it in the document moves with the change in length.
TEST_F(BulkEditTest, InnerElementKeepsTheElementsAfterItIndexed) {
    CMarkup markup(u"<top>\r\n<list>\r\n<a/>\r\n<b><c/></b>\r\n</list>\r\n<after x=\"1\"><z>t</z></after>\r\n</top>");
    markup.ResetPos();
    ASSERT_TRUE(markup.FindElem());
    ASSERT_TRUE(markup.FindChildElem(u"list"));
    ASSERT_TRUE(markup.IntoElem());
    ASSERT_TRUE(markup.RewriteChildren({true, false}, {{1, CString(u"<b2/>\r\n")}}, u"<n>\r\n<m/>\r\n</n>\r\n"));
    EXPECT_EQ(markup.GetDoc(), CString(u"<top>\r\n<list>\r\n<b2/>\r\n<n>\r\n<m/>\r\n</n>\r\n</list>\r\n<after "
                                       u"x=\"1\"><z>t</z></after>\r\n</top>"));
    EXPECT_TRUE(IndexMatchesReparse(markup));
    markup.ResetPos();
    ASSERT_TRUE(markup.FindElem());
    ASSERT_TRUE(markup.FindChildElem(u"after"));
    EXPECT_EQ(markup.GetChildAttrib(u"x"), CString(u"1"));
    ASSERT_TRUE(markup.IntoElem());
    ASSERT_TRUE(markup.FindChildElem(u"z"));
    EXPECT_EQ(markup.GetChildData(), CString(u"t"));
}

TEST_F(BulkEditTest, RefusesShapesItCannotRewriteExactly) {
    const char16_t* const notPlain[] = {
        u"<root><a/>text<b/></root>",
        u"<root><a/><!-- note --><b/></root>",
        u"<root><?pi ?><a/></root>",
        u"<root/>",
    };
    for (const char16_t* text : notPlain) {
        CMarkup markup(text);
        ASSERT_TRUE(EnterRoot(markup));
        EXPECT_FALSE(markup.HasPlainChildren()) << CString(text).ToUtf8();
        const int children = CString(text).Find(u"<b/>") >= 0 ? 2 : 1;
        EXPECT_FALSE(markup.RewriteChildren(std::vector<bool>(static_cast<size_t>(children)), {}, u"<n/>\r\n"));
        EXPECT_EQ(markup.GetDoc(), CString(text));
    }
}

TEST_F(BulkEditTest, RefusesEditsThatDoNotFitTheChildren) {
    const CString text(u"<root>\r\n<a/>\r\n<b/>\r\n</root>");
    CMarkup markup(text);
    EXPECT_FALSE(markup.RewriteChildren({false, false}, {}, nullptr));   // no main element
    ASSERT_TRUE(EnterRoot(markup));
    EXPECT_FALSE(markup.RewriteChildren({false}, {}, nullptr));
    EXPECT_FALSE(markup.RewriteChildren({false, false}, {{2, CString(u"<x/>")}}, nullptr));
    EXPECT_FALSE(markup.RewriteChildren({true, false}, {{0, CString(u"<x/>")}}, nullptr));
    // A result that does not parse leaves the document as it was.
    EXPECT_FALSE(markup.RewriteChildren({false, false}, {}, u"<open>\r\n"));
    EXPECT_EQ(markup.GetDoc(), text);
    ASSERT_TRUE(EnterRoot(markup));
    EXPECT_TRUE(markup.FindChildElem(u"b"));
}

TEST_F(BulkEditTest, EmptiedElementTakesAppendedChildren) {
    CMarkup markup(u"<root>\r\n<a/>\r\n</root>");
    ASSERT_TRUE(EnterRoot(markup));
    ASSERT_TRUE(markup.SavePos(u"kept"));
    ASSERT_TRUE(markup.RewriteChildren({true}, {}, u"<n/>\r\n"));
    EXPECT_EQ(markup.GetDoc(), CString(u"<root>\r\n<n/>\r\n</root>"));
    EXPECT_TRUE(IndexMatchesReparse(markup));
    // The document was indexed again: positions start over and saved ones are gone.
    EXPECT_EQ(markup.GetTagName(), CString());
    EXPECT_FALSE(markup.RestorePos(u"kept"));
}

}   // namespace
