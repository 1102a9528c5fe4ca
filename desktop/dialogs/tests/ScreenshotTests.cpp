// Pictures of every sheet and dialog for looking at by eye: with QUILLMAR_SCREENSHOTS set,
// PNG files land in /tmp/quillmar-dialogs/. Without it the dialogs are still built, shown
// offscreen and closed, which checks that every one of them opens.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include <string>
#include <utility>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditOptions.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/dialogs/SelectDateRange.h"
#include "ui/shared/dialogs/SelectProject.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
// Shows every page of a sheet in turn (or the dialog), takes its picture and cancels.
DialogScript::Step Picture(const char* name) {
    return [name](QDialog& dialog) {
        dialog.show();
        if (auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog)) {
            for (int page = 0; page < sheet->GetPageCount(); ++page) {
                sheet->SetActivePage(page);
                MaybeScreenshot(dialog, (std::string(name) + "-" + std::to_string(page + 1)).c_str());
            }
            sheet->PressCancel();
        } else {
            MaybeScreenshot(dialog, name);
            dialog.reject();
        }
        dialog.hide();
        return static_cast<int>(QDialog::Rejected);
    };
}

struct ScreenshotFixture : ::testing::Test {
    void SetUp() override { ResetDataStore(); }
};
}   // namespace

TEST_F(ScreenshotFixture, EntrySheets) {
    for (auto [type, name] : {std::pair{CProjectItem::ItemType_Time, "time-entry"},
                              std::pair{CProjectItem::ItemType_Expense, "expense-entry"},
                              std::pair{CProjectItem::ItemType_Mileage, "mileage-entry"}}) {
        CProjectItem entry;
        entry.set_ItemType(type);
        entry.set_ProjectRef(u"SAMP002");
        entry.set_Description2(u"Taxi");
        DialogScript script({Picture(name)});
        EXPECT_EQ(0, EditProjectItem(&entry));
        EXPECT_EQ(1, script.Shown());
    }
}

TEST_F(ScreenshotFixture, RecordDialogs) {
    MessageBoxScript messages;
    CClient client;
    CProject project;
    CCategory category;
    CProjectItemFilter filter;
    COleDateTime start = COleDateTime(2004, 2, 2, 0, 0, 0), end = COleDateTime(2004, 2, 8, 0, 0, 0);
    DialogScript script({Picture("client"), Picture("project"), Picture("category"), Picture("categories"),
                         Picture("select-project"), Picture("filter"), Picture("date-range"), Picture("options")});
    EditClient(&client);
    EditProject(&project);
    EditCategory(&category);
    ManageCategories();
    SelectProject(&project);
    EditFilter(&filter);
    SelectDateRange(start, end);
    EditOptions();
    EXPECT_EQ(8, script.Shown());
}

TEST_F(ScreenshotFixture, EditDuration) {
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    DialogScript script({
        [](QDialog& dialog) {
            dialog.show();
            static_cast<QAbstractButton*>(AsSheet(dialog).findChild<QWidget*>(QStringLiteral("durationButton")))
                ->click();
            return PressSheetCancel(dialog);
        },
        Picture("edit-duration"),
    });
    EditProjectItem(&entry);
    EXPECT_EQ(2, script.Shown());
}
