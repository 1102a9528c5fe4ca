// Parsing: SetDoc, the index it builds, and the parse errors word for word.
#include <string>

#include "xml/tests/MarkupTestSupport.h"

namespace {

TEST(MarkupParse, NestedEmptyChildIsIndexed) {
    MarkupProbe m;
    ASSERT_TRUE(m.SetDoc(u"<a><b/></a>"));
    ASSERT_TRUE(m.IsWellFormed());
    int root = m.Entry(0).firstChild;
    ASSERT_NE(root, 0);
    EXPECT_EQ(m.Entry(root).parent, 0);
    EXPECT_EQ(m.Entry(root).startTagOpen, 0);
    EXPECT_EQ(m.Entry(root).startTagClose, 2);
    EXPECT_EQ(m.Entry(root).endTagOpen, 7);
    EXPECT_EQ(m.Entry(root).endTagClose, 10);
    int child = m.Entry(root).firstChild;
    ASSERT_NE(child, 0);
    EXPECT_EQ(m.Entry(child).parent, root);
    EXPECT_EQ(m.Entry(child).startTagOpen, 3);
    EXPECT_EQ(m.Entry(child).startTagClose, 6);
    EXPECT_EQ(m.Entry(child).endTagOpen, m.Entry(child).startTagClose - 1);
    EXPECT_EQ(m.Entry(child).endTagClose, m.Entry(child).startTagClose);
    EXPECT_EQ(m.Entry(child).nextSibling, 0);
    EXPECT_EQ(m.Entry(child).reserved, 0);
}

TEST(MarkupParse, SiblingsAreLinkedInDocumentOrder) {
    MarkupProbe m;
    ASSERT_TRUE(m.SetDoc(u"<r>\r\n<a/>\r\n<b>t</b>\r\n<c x=\"1\"><d/></c>\r\n</r>\r\n"));
    std::vector<IndexedElement> tree = m.Tree();
    ASSERT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree[0].childCount, 3);
    EXPECT_EQ(tree[1].parentOrdinal, 0);
    EXPECT_EQ(tree[2].parentOrdinal, 0);
    EXPECT_EQ(tree[3].parentOrdinal, 0);
    EXPECT_EQ(tree[4].parentOrdinal, 3);
    EXPECT_LT(tree[1].startTagOpen, tree[2].startTagOpen);
    EXPECT_LT(tree[2].startTagOpen, tree[3].startTagOpen);
}

TEST(MarkupParse, DeclarationAndCommentBeforeRootAreSkipped) {
    CMarkup m;
    EXPECT_TRUE(m.SetDoc(u"<?xml version=\"1.0\"?><!-- c --><a/>"));
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"a"));
}

TEST(MarkupParse, DoctypeWithInternalSubsetIsSkipped) {
    CMarkup m;
    EXPECT_TRUE(m.SetDoc(u"<!DOCTYPE a [<!ENTITY x \"<y>\">]><a><b/></a>"));
    EXPECT_TRUE(m.FindElem(u"a"));
    EXPECT_TRUE(m.FindChildElem(u"b"));
}

TEST(MarkupParse, NodesBetweenChildrenAreSkipped) {
    CMarkup m;
    EXPECT_TRUE(m.SetDoc(u"<a>text<!-- <x> --><?pi ?><![CDATA[<y>]]><b/></a>"));
    EXPECT_TRUE(m.FindChildElem());
    EXPECT_EQ(m.GetChildTagName(), CString(u"b"));
    EXPECT_FALSE(m.FindChildElem());
}

TEST(MarkupParse, MismatchedEndTag) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a></b>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to a"));
    EXPECT_FALSE(m.IsWellFormed());
}

TEST(MarkupParse, EndTagNameIsMatchedByWholeName) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<ab></a>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to ab"));
    EXPECT_FALSE(m.SetDoc(u"<a></ab>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to a"));
    EXPECT_TRUE(m.SetDoc(u"<a></a >"));
}

TEST(MarkupParse, MissingEndTag) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a>"));
    EXPECT_EQ(m.GetError(), CString(u"Element tag not found"));
}

TEST(MarkupParse, AbruptEndWithinTag) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a><"));
    EXPECT_EQ(m.GetError(), CString(u"Abrupt end within tag"));
}

TEST(MarkupParse, EndTagNotCompleted) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a></a"));
    EXPECT_EQ(m.GetError(), CString(u"End tag not completed for element a"));
    EXPECT_FALSE(m.SetDoc(u"<a></>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag not completed for element a"));
}

TEST(MarkupParse, TagStartingWithQuote) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<\"a\"/>"));
    EXPECT_EQ(m.GetError(), CString(u"Tag starts with quote"));
}

TEST(MarkupParse, UnfinishedNodes) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<!-- never closed <a/>"));
    EXPECT_EQ(m.GetError(), CString(u"Invalid node"));
    EXPECT_FALSE(m.SetDoc(u"<?pi <a/>"));
    EXPECT_EQ(m.GetError(), CString(u"Invalid node"));
    EXPECT_FALSE(m.SetDoc(u"<a><![CDATA[x</a>"));
    EXPECT_EQ(m.GetError(), CString(u"Invalid node"));
    // "< ?" classifies as an element; it must fail rather than scan the same '<' forever.
    EXPECT_FALSE(m.SetDoc(u"< ?x><a/>"));
    EXPECT_EQ(m.GetError(), CString(u"Invalid node"));
}

TEST(MarkupParse, StartTagWithoutClose) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a"));
    EXPECT_EQ(m.GetError(), CString(u"End of tag not found"));
}

TEST(MarkupParse, NoElementAtAll) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"just text"));
    EXPECT_EQ(m.GetError(), CString(u"Element tag not found"));
}

TEST(MarkupParse, EmptyTextFailsAndKeepsPreviousError) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a></b>"));
    EXPECT_FALSE(m.SetDoc(u""));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to a"));
    EXPECT_FALSE(m.SetDoc(nullptr));
    EXPECT_EQ(m.GetDoc(), CString());
    EXPECT_FALSE(m.IsWellFormed());
}

TEST(MarkupParse, SuccessDoesNotClearError) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a>"));
    EXPECT_TRUE(m.SetDoc(u"<a/>"));
    EXPECT_EQ(m.GetError(), CString(u"Element tag not found"));
}

TEST(MarkupParse, FailedParseKeepsTextAndBlocksNavigation) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"<a><b></a>"));
    EXPECT_EQ(m.GetDoc(), CString(u"<a><b></a>"));
    EXPECT_FALSE(m.FindElem());
    EXPECT_FALSE(m.FindChildElem());
    EXPECT_EQ(m.GetTagName(), CString());
}

TEST(MarkupParse, TextAfterRootIsIgnored) {
    CMarkup m;
    EXPECT_TRUE(m.SetDoc(u"<a/><b/>garbage <c"));
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"a"));
    EXPECT_FALSE(m.FindElem());
}

TEST(MarkupParse, EndTagBeforeAnyElementFails) {
    CMarkup m;
    EXPECT_FALSE(m.SetDoc(u"</a>"));
    EXPECT_FALSE(m.IsWellFormed());
}

TEST(MarkupParse, ArrayIsSizedFromTextLength) {
    std::u16string doc = u"<r>";
    for (int i = 0; i < 200; ++i)
        doc += u"<item/>";
    doc += u"</r>";
    MarkupProbe m;
    ASSERT_TRUE(m.SetDoc(doc));
    EXPECT_GE(m.ArraySize(), doc.size() / 64 + 8);
    EXPECT_EQ(m.FreePos(), 202);
}

TEST(MarkupParse, DeepNestingNeitherCrashesNorRecurses) {
    const int depth = 200000;
    std::u16string doc;
    for (int i = 0; i < depth; ++i)
        doc += u"<d>";
    for (int i = 0; i < depth; ++i)
        doc += u"</d>";
    MarkupProbe m;
    ASSERT_TRUE(m.SetDoc(doc));
    EXPECT_EQ(m.FreePos(), depth + 1);
    // And an unbalanced one fails cleanly.
    EXPECT_FALSE(m.SetDoc(doc.substr(0, doc.size() - 4)));
    EXPECT_EQ(m.GetError(), CString(u"Element tag not found"));
}

TEST(MarkupParse, CopyTakesTextIndexAndPositionsButNotError) {
    CMarkup source;
    EXPECT_FALSE(source.SetDoc(u"<a>"));
    ASSERT_TRUE(source.SetDoc(u"<a><b/><c/></a>"));
    ASSERT_TRUE(source.FindElem());
    ASSERT_TRUE(source.FindChildElem(u"c"));
    CMarkup copy(source);
    EXPECT_EQ(copy.GetDoc(), source.GetDoc());
    EXPECT_EQ(copy.GetChildTagName(), CString(u"c"));
    EXPECT_EQ(copy.GetError(), CString());
    CMarkup assigned;
    assigned = source;
    EXPECT_EQ(assigned.GetChildTagName(), CString(u"c"));
}

TEST(MarkupParse, AssignmentDropsTheTargetsSavedPositions) {
    CMarkup target(u"<x><y/></x>");
    ASSERT_TRUE(target.FindElem());
    ASSERT_TRUE(target.SavePos(u"p"));
    CMarkup source(u"<a/>");
    target = source;
    EXPECT_FALSE(target.RestorePos(u"p"));
}

}   // namespace
