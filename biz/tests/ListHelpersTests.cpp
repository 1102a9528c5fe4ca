// Record list helpers: project display names and filling drop-down lists.
#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/tests/BizTestSupport.h"
#include "biz/tests/FakeControls.h"
#include "platform/MessageBox.h"

namespace {

using FormatProjectNameTest = BizTest;
using PopulateComboTest = BizTest;

TEST_F(FormatProjectNameTest, ClientAndProject) {
    EXPECT_EQ(FormatProjectName(u"SAMP002"), GetResString(4, 1) + u": " + GetResString(5, 1));
}

TEST_F(FormatProjectNameTest, EmptyReferenceGivesEmptyTextAndAGoneProjectSaysSo) {
    EXPECT_TRUE(FormatProjectName(u"").IsEmpty());
    EXPECT_EQ(FormatProjectName(u"NOSUCH"), CString(u"(deleted project)"));
    m_boxes.Answer(IDYES);
    CProject project;
    project.set_ID(2);
    ASSERT_EQ(project.Delete(), 1);
    EXPECT_EQ(FormatProjectName(u"SAMP002"), DeletedProjectText());
}

TEST_F(FormatProjectNameTest, ProjectWithoutClientShowsItsDescriptionAlone) {
    CProject orphan;
    orphan.set_Description(u"Loose ends");
    orphan.set_ClientRef(u"GONE");
    ASSERT_EQ(orphan.Save(), 1);
    EXPECT_EQ(FormatProjectName(orphan.get_RefID()), CString(u"Loose ends"));

    CProject noClient;
    noClient.set_Description(u"Solo");
    ASSERT_EQ(noClient.Save(), 1);
    EXPECT_EQ(FormatProjectName(noClient.get_RefID()), CString(u"Solo"));
}

TEST_F(FormatProjectNameTest, ProjectOfADeletedClient) {
    CClient client;
    client.set_ID(1);
    ASSERT_EQ(client.Load(), 1);
    m_boxes.Answer(IDOK);   // the client
    m_boxes.Answer(IDNO);   // keep its project
    ASSERT_EQ(client.Delete(), 1);
    EXPECT_EQ(FormatProjectName(u"SAMP002"), GetResString(5, 1));
}

TEST_F(PopulateComboTest, CategoriesShowCodesWithIdsAsValues) {
    CCategory second;
    second.set_Code(u"TRV");
    second.set_Description(u"Travel");
    ASSERT_EQ(second.Save(), 1);
    FakeComboBox combo;
    PopulateComboBoxWithObjectList(&combo, u"category", 0, false, u"");
    ASSERT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetLBText(0), GetResString(7, 1));
    EXPECT_EQ(combo.GetItemData(0), 3u);
    EXPECT_EQ(combo.GetLBText(1), CString(u"TRV"));
    EXPECT_EQ(combo.GetItemData(1), static_cast<uintptr_t>(second.get_ID()));
    EXPECT_EQ(combo.GetCurSel(), 0);
}

TEST_F(PopulateComboTest, OtherKindsShowDescriptionsAfterTheBlank) {
    FakeComboBox combo;
    combo.AddString(u"stale");
    PopulateComboBoxWithObjectList(&combo, u"client", 0, true, u"(none)");
    ASSERT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetLBText(0), CString(u"(none)"));
    EXPECT_EQ(combo.GetItemData(0), 0u);
    EXPECT_EQ(combo.GetLBText(1), GetResString(4, 1));
    EXPECT_EQ(combo.GetItemData(1), 1u);
    EXPECT_EQ(combo.GetCurSel(), 0);
}

TEST_F(PopulateComboTest, SelectsTheItemOfTheId) {
    CClient other;
    other.set_Description(u"Other");
    ASSERT_EQ(other.Save(), 1);
    FakeComboBox combo;
    PopulateComboBoxWithObjectList(&combo, u"client", other.get_ID(), true, u"");
    ASSERT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.GetLBText(combo.GetCurSel()), CString(u"Other"));
}

TEST_F(PopulateComboTest, UnknownSelectedIdSelectsNothing) {
    FakeComboBox combo;
    PopulateComboBoxWithObjectList(&combo, u"client", 999, true, u"");
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
}

TEST_F(PopulateComboTest, KindWithoutRecordsLeavesOnlyTheBlank) {
    FakeComboBox combo;
    PopulateComboBoxWithObjectList(&combo, u"projectItem", 0, true, u"-");
    ASSERT_EQ(combo.GetCount(), 1);
    EXPECT_EQ(combo.GetCurSel(), 0);
    PopulateComboBoxWithObjectList(&combo, u"projectItem", 0, false, u"-");
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
}

TEST(DisposeObArrayTest, ReleasesRecordsAndList) {
    auto* list = new CObArray;
    list->Add(new CClient);
    list->Add(new CProject);
    DisposeObArray(list);   // the sanitizer run reports a leak if anything stays
    DisposeObArray(nullptr);
}

}   // namespace
