// The desktop's project picker: Manage Clients and Projects in select mode, as the desktop's
// host gives it to the shared dialogs (SelectProject and the entry editor's Project button).
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "desktop/dialogs/DlgManageClientsProjects.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/dialogs/DlgExpenseDetails.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/SelectProject.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

constexpr int kSampleProjectId = 2;

struct ProjectPicker : ::testing::Test {
    void SetUp() override { ResetDataStore(); }

    template <typename T>
    static T Loaded(int id) {
        T record;
        record.set_ID(id);
        EXPECT_EQ(1, record.Load());
        return record;
    }

    static CProjectItem Reloaded(int id) { return Loaded<CProjectItem>(id); }
};

}   // namespace

TEST_F(ProjectPicker, SelectProjectIgnoresOkOnClientNodesAndPicksProjects) {
    const int other = AddProject(u"Website", u"SAMP001");
    CProject project;
    project.set_RefID(u"SAMP002");
    DialogScript script({[&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDlgManageClientsProjects&>(dialog);
        CTreeCtrlEx* tree = picker.Tree();
        if (tree->SelectedNode() == nullptr) {
            ADD_FAILURE() << "the highlighted project is not selected";
            return 0;
        }
        EXPECT_EQ(2, CTreeCtrlEx::NodeValue(tree->SelectedNode()));
        tree->setCurrentItem(tree->FindNode(0, 1));
        picker.OnOK();
        EXPECT_NE(QDialog::Accepted, picker.result());
        tree->setCurrentItem(tree->FindNode(0, 0));
        picker.OnOK();
        EXPECT_NE(QDialog::Accepted, picker.result());
        // Double-clicking a project picks it.
        QTreeWidgetItem* node = tree->FindNode(1, other);
        tree->setCurrentItem(node);
        emit tree->itemDoubleClicked(node, 0);
        return picker.result();
    }});
    EXPECT_NE(0, SelectProject(&project));
    EXPECT_EQ(other, project.get_ID());
    EXPECT_EQ(u"Website", project.get_Description());
}

TEST_F(ProjectPicker, SelectProjectCancelReturnsZero) {
    CProject project;
    DialogScript script({[](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    }});
    EXPECT_EQ(0, SelectProject(&project));
    EXPECT_EQ(0, project.get_ID());
}

TEST_F(ProjectPicker, SelectProjectShowsMessage26ForAProjectThatNoLongerLoads) {
    const int gone = AddProject(u"Short-lived", u"SAMP001");
    MessageBoxScript messages({IDYES});
    CProject project;
    DialogScript script({[&](QDialog& dialog) {
        auto& picker = dynamic_cast<CDlgManageClientsProjects&>(dialog);
        picker.Tree()->setCurrentItem(picker.Tree()->FindNode(1, gone));
        CProject doomed = Loaded<CProject>(gone);
        EXPECT_EQ(1, doomed.Delete());
        messages.Clear();
        picker.OnOK();
        EXPECT_TRUE(messages.ShownOnly(26));
        EXPECT_NE(QDialog::Accepted, picker.result());
        picker.reject();
        return picker.result();
    }});
    EXPECT_EQ(0, SelectProject(&project));
    EXPECT_EQ(0, project.get_ID());
}

TEST_F(ProjectPicker, ProjectButtonPicksAProjectFromTheTree) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    entry.set_Description2(u"Taxi");
    DialogScript script({
        [&](QDialog& dialog) {
            auto* details = dynamic_cast<CDlgExpenseDetails*>(AsSheet(dialog).GetPage(0));
            details->ProjectButton()->click();
            EXPECT_EQ(Text(FormatProjectName(u"SAMP002")), details->ProjectText()->text());
            return PressSheetOk(dialog);
        },
        [&](QDialog& dialog) {
            auto& picker = dynamic_cast<CDlgManageClientsProjects&>(dialog);
            EXPECT_EQ(QStringLiteral("Manage Clients and Projects"), picker.windowTitle());
            picker.Tree()->setCurrentItem(picker.Tree()->FindNode(1, kSampleProjectId));
            picker.OnOK();
            return picker.result();
        },
    });
    EXPECT_EQ(1, EditProjectItem(&entry));
    EXPECT_EQ(u"SAMP002", Reloaded(entry.get_ID()).get_ProjectRef());
}
