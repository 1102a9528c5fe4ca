// Navigation: the parent / main / child positions.
#include "xml/tests/MarkupTestSupport.h"

namespace {

const char16_t* kRecords = u"<root>\r\n<item id=\"1\"/>\r\n<other/>\r\n<item id=\"2\"><sub/></item>\r\n</root>\r\n";

TEST(MarkupNavigation, FindElemWalksTheCurrentLevel) {
    CMarkup m(kRecords);
    EXPECT_TRUE(m.FindElem(u"root"));
    EXPECT_FALSE(m.FindElem(u"root"));   // nothing after the root at document level
    EXPECT_TRUE(m.IntoElem());
    EXPECT_TRUE(m.FindElem(u"item"));
    EXPECT_EQ(m.GetAttrib(u"id"), CString(u"1"));
    EXPECT_TRUE(m.FindElem(u"item"));
    EXPECT_EQ(m.GetAttrib(u"id"), CString(u"2"));
    EXPECT_FALSE(m.FindElem(u"item"));
    EXPECT_EQ(m.GetAttrib(u"id"), CString(u"2"));   // position unchanged by the failure
}

TEST(MarkupNavigation, NullOrEmptyNameMatchesAnyElement) {
    CMarkup m(kRecords);
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    EXPECT_TRUE(m.FindElem(u""));
    EXPECT_TRUE(m.FindElem(nullptr));
    EXPECT_EQ(m.GetTagName(), CString(u"other"));
}

TEST(MarkupNavigation, NameMatchingRule) {
    CMarkup m(u"<r><item/></r>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    EXPECT_TRUE(m.FindElem(u"item"));
    m.ResetMainPos();
    EXPECT_TRUE(m.FindElem(u"item x"));
    m.ResetMainPos();
    EXPECT_TRUE(m.FindElem(u"item/"));
    m.ResetMainPos();
    EXPECT_TRUE(m.FindElem(u"item[1]"));
    m.ResetMainPos();
    EXPECT_FALSE(m.FindElem(u"ite"));
    EXPECT_FALSE(m.FindElem(u"items"));
    EXPECT_FALSE(m.FindElem(u"Item"));
}

TEST(MarkupNavigation, FindChildElemFindsTheRootFirst) {
    CMarkup m(kRecords);
    EXPECT_TRUE(m.FindChildElem(u"other"));
    EXPECT_EQ(m.GetTagName(), CString(u"root"));
    EXPECT_EQ(m.GetChildTagName(), CString(u"other"));
    EXPECT_TRUE(m.FindChildElem(u"item"));
    EXPECT_EQ(m.GetChildAttrib(u"id"), CString(u"2"));
    EXPECT_FALSE(m.FindChildElem(u"item"));
}

TEST(MarkupNavigation, FindChildElemFailsWithoutMainElement) {
    CMarkup m(u"<a><b/></a>");
    ASSERT_TRUE(m.FindChildElem(u"b"));
    ASSERT_TRUE(m.IntoElem());   // now on b, which has no children
    ASSERT_TRUE(m.IntoElem());   // into b: no main element
    EXPECT_FALSE(m.FindChildElem());
    EXPECT_FALSE(m.FindElem());
}

TEST(MarkupNavigation, IntoAndOutOfElem) {
    MarkupProbe m(kRecords);
    EXPECT_FALSE(m.IntoElem());   // no main position
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"other"));
    ASSERT_TRUE(m.IntoElem());
    EXPECT_EQ(m.GetTagName(), CString(u"other"));
    EXPECT_EQ(m.ChildPos(), 0);
    ASSERT_TRUE(m.OutOfElem());
    EXPECT_EQ(m.GetTagName(), CString(u"root"));
    EXPECT_EQ(m.GetChildTagName(), CString(u"other"));
    EXPECT_EQ(m.NodeType(), 1);
    EXPECT_FALSE(m.OutOfElem());   // at document level
}

TEST(MarkupNavigation, IntoElemWithoutChildLeavesNoMainElement) {
    MarkupProbe m(u"<a><b/></a>");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    EXPECT_EQ(m.MainPos(), 0);
    EXPECT_EQ(m.NodeType(), 0);
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"b"));
}

TEST(MarkupNavigation, Resets) {
    MarkupProbe m(kRecords);
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem(u"other"));
    m.ResetMainPos();
    EXPECT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetTagName(), CString(u"item"));
    ASSERT_TRUE(m.OutOfElem());
    ASSERT_TRUE(m.FindChildElem(u"other"));
    m.ResetChildPos();
    EXPECT_EQ(m.ChildPos(), 0);
    EXPECT_EQ(m.NodeType(), 1);
    EXPECT_TRUE(m.FindChildElem());
    EXPECT_EQ(m.GetChildAttrib(u"id"), CString(u"1"));
    m.ResetPos();
    EXPECT_EQ(m.ParentPos(), 0);
    EXPECT_EQ(m.MainPos(), 0);
    EXPECT_EQ(m.NodeType(), 0);
    EXPECT_TRUE(m.FindElem(u"root"));
}

TEST(MarkupNavigation, SaveAndRestorePos) {
    CMarkup m(kRecords);
    EXPECT_FALSE(m.SavePos(nullptr));
    EXPECT_FALSE(m.RestorePos(nullptr));
    EXPECT_FALSE(m.RestorePos(u"unknown"));
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"other"));
    EXPECT_TRUE(m.SavePos(u"x"));
    ASSERT_TRUE(m.FindChildElem(u"item"));
    ASSERT_TRUE(m.AddChildElem(u"new"));   // an edit elsewhere keeps the indices valid
    m.ResetPos();
    EXPECT_TRUE(m.RestorePos(u"x"));
    EXPECT_EQ(m.GetChildTagName(), CString(u"other"));
    EXPECT_EQ(m.GetTagName(), CString(u"root"));
    ASSERT_TRUE(m.FindChildElem(u"item"));
    EXPECT_TRUE(m.SavePos(u"x"));   // replaces the earlier entry
    m.ResetPos();
    EXPECT_TRUE(m.RestorePos(u"x"));
    EXPECT_EQ(m.GetChildAttrib(u"id"), CString(u"2"));
    m.SetDoc(m.GetDoc());
    EXPECT_FALSE(m.RestorePos(u"x"));
}

TEST(MarkupNavigation, RestoreOfRemovedElementFails) {
    CMarkup m(kRecords);
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.FindChildElem(u"item"));
    ASSERT_TRUE(m.FindChildElem(u"item"));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindChildElem(u"sub"));
    ASSERT_TRUE(m.SavePos(u"inside"));
    ASSERT_TRUE(m.OutOfElem());
    ASSERT_TRUE(m.RemoveChildElem());
    EXPECT_FALSE(m.RestorePos(u"inside"));
    EXPECT_TRUE(IndexMatchesReparse(m));
}

}   // namespace
