// The device templates of the shared dialogs: captions, drawn titles, bold labels, hidden
// pieces, and screenshots of every device dialog at 240 x 320.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "device/DeviceDialogLook.h"
#include "device/PageTitle.h"
#include "device/tests/DeviceTestSupport.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditOptions.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/dialogs/SelectDateRange.h"

namespace {

class DeviceDialogs : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
    // The main window gives the dialogs their size.
    RunningDevice m_device;
};

QLabel* FindLabel(QWidget& root, const QString& text) {
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}

QAbstractButton* FindButton(QWidget& root, const QString& text) {
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

QString TitleOf(QWidget& page) {
    auto* title = page.findChild<CPageTitle*>(QString(), Qt::FindDirectChildrenOnly);
    return title ? title->Text() : QString();
}

void ExpectBoldLabel(QWidget& root, const char* text) {
    QLabel* label = FindLabel(root, QString::fromUtf8(text));
    ASSERT_NE(label, nullptr) << text;
    EXPECT_TRUE(label->font().bold()) << text;
    EXPECT_FALSE(label->isHidden()) << text;
}

void ExpectNoGroupTitles(QWidget& root) {
    for (QGroupBox* group : root.findChildren<QGroupBox*>())
        EXPECT_TRUE(group->title().isEmpty()) << group->title().toStdString();
}

// Shows page `index` of the sheet with the device look and returns it.
CPropertyPage& ShowPage(QDialog& dialog, int index, const char* screenshot) {
    auto& sheet = dynamic_cast<CPropertySheetEx&>(dialog);
    sheet.SetActivePage(index);
    ApplyDeviceLook(&sheet);
    CPropertyPage& page = *sheet.GetPage(index);
    ApplyDeviceLook(&page);
    sheet.show();
    QApplication::processEvents();
    MaybeScreenshot(sheet, screenshot);
    EXPECT_EQ(sheet.width(), 240) << screenshot;
    return page;
}

// The drawn title's line lies across the page at y = 23.
void ExpectTitleLine(QWidget& page) {
    const QImage image = page.grab().toImage();
    ASSERT_GT(image.height(), 24);
    EXPECT_EQ(QColor(image.pixel(page.width() / 2, 23)), QColor(Qt::black));
}

}   // namespace

TEST_F(DeviceDialogs, TimeEntrySheetHasTheDeviceCaptionsAndTitles) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    // Leaving the Details page needs a project.
    entry.set_ProjectRef(RefIdOf(AddProject(u"Upgrade", CString()), u"project"));
    DialogScript script({[](QDialog& dialog) {
        CPropertyPage& details = ShowPage(dialog, 0, "time-details");
        EXPECT_EQ(dialog.size(), QSize(240, 320));
        EXPECT_EQ(TitleOf(details), Text(GetResString(30, 1)));
        ExpectTitleLine(details);
        for (const char* caption : {"Date:", "Duration:", "Project:", "Category:"})
            ExpectBoldLabel(details, caption);
        EXPECT_NE(FindLabel(details, QStringLiteral("Description (e.g: meeting with client):")), nullptr);
        ExpectNoGroupTitles(details);

        // Edit Duration, from the Duration button.
        {
            DialogScript duration({[](QDialog& shown) {
                ApplyDeviceLook(&shown);
                EXPECT_NE(FindButton(shown, QStringLiteral("Enter the exact start and end times")), nullptr);
                for (const char* caption : {"Start:", "End:", "Hours:", "Minutes:"})
                    ExpectBoldLabel(shown, caption);
                EXPECT_TRUE(TitleOf(shown).isEmpty());
                MaybeScreenshot(shown, "edit-duration");
                return Cancel(shown);
            }});
            static_cast<CDlgTimeDetails&>(details).DurationButton()->click();
        }
        // The project picker, from the Project button.
        {
            DialogScript picker({[](QDialog& shown) {
                MaybeScreenshot(shown, "select-project");
                return Cancel(shown);
            }});
            static_cast<CDlgTimeDetails&>(details).ProjectButton()->click();
        }
        // Categories in select mode, from the Category button.
        {
            DialogScript categories({[](QDialog& shown) {
                auto* list = dynamic_cast<CDlgCategories*>(&shown);
                EXPECT_NE(list, nullptr);
                if (list) {
                    ApplyDeviceLook(list);
                    EXPECT_FALSE(list->OkButton()->isHidden());
                    EXPECT_TRUE(list->NewButton()->isDefault());
                    EXPECT_EQ(list->EditButton()->text(), QStringLiteral("Edit"));
                }
                MaybeScreenshot(shown, "categories");
                return Cancel(shown);
            }});
            static_cast<CDlgTimeDetails&>(details).CategoryButton()->click();
        }

        CPropertyPage& billing = ShowPage(dialog, 1, "billing");
        EXPECT_EQ(TitleOf(billing), Text(GetResString(31, 1)));
        EXPECT_NE(FindButton(billing, QStringLiteral("This item is billable")), nullptr);
        ExpectBoldLabel(billing, "Billable Amt.:");
        for (const char* text : {"Calc.", "Not Billed", "Billed", "Paid"})
            EXPECT_NE(FindButton(billing, QString::fromUtf8(text)), nullptr) << text;

        CPropertyPage& custom = ShowPage(dialog, 2, "custom");
        EXPECT_EQ(TitleOf(custom), Text(GetResString(32, 1)));
        for (QLabel* label : custom.findChildren<QLabel*>())
            EXPECT_FALSE(label->wordWrap() && !label->isHidden()) << label->text().toStdString();

        CPropertyPage& notes = ShowPage(dialog, 3, "notes");
        EXPECT_TRUE(TitleOf(notes).isEmpty());
        return Cancel(dialog);
    }});
    EXPECT_EQ(EditProjectItem(&entry), 0);
}

TEST_F(DeviceDialogs, ExpenseAndMileageDetailsPages) {
    CProjectItem expense;
    expense.set_ItemType(CProjectItem::ItemType_Expense);
    CProjectItem mileage;
    mileage.set_ItemType(CProjectItem::ItemType_Mileage);
    DialogScript script(
        {[](QDialog& dialog) {
             CPropertyPage& details = ShowPage(dialog, 0, "expense-details");
             EXPECT_EQ(TitleOf(details), Text(GetResString(52, 1)));
             ExpectBoldLabel(details, "Type:");
             EXPECT_NE(FindLabel(details, QStringLiteral("Memo (e.g: Flight to Los Angeles):")), nullptr);
             return Cancel(dialog);
         },
         [](QDialog& dialog) {
             CPropertyPage& details = ShowPage(dialog, 0, "mileage-details");
             EXPECT_EQ(TitleOf(details), Text(GetResString(53, 1)));
             ExpectBoldLabel(details, "Begin:");
             ExpectBoldLabel(details, "End:");
             EXPECT_NE(FindLabel(details, QStringLiteral("Trip description (e.g: visit to client site):")), nullptr);
             return Cancel(dialog);
         }});
    EditProjectItem(&expense);
    EditProjectItem(&mileage);
}

TEST_F(DeviceDialogs, ClientAndProjectSheets) {
    CClient client;
    CProject project;
    DialogScript script({[](QDialog& dialog) {
                             CPropertyPage& details = ShowPage(dialog, 0, "client-details");
                             EXPECT_EQ(TitleOf(details), Text(GetResString(10, 1)));
                             for (const char* caption : {"Name:", "Address:", "Acct. Num:", "Contact:"})
                                 ExpectBoldLabel(details, caption);
                             QLabel* example = FindLabel(details, QStringLiteral("(e.g: Northwind Traders)"));
                             EXPECT_TRUE(example == nullptr || example->isHidden());
                             return Cancel(dialog);
                         },
                         [](QDialog& dialog) {
                             CPropertyPage& details = ShowPage(dialog, 0, "project-details");
                             EXPECT_EQ(TitleOf(details), Text(GetResString(11, 1)));
                             ExpectBoldLabel(details, "Name:");
                             ExpectBoldLabel(details, "Client:");
                             EXPECT_NE(FindLabel(details, QStringLiteral("(e.g: Database upgrade project)")), nullptr);
                             return Cancel(dialog);
                         }});
    EXPECT_EQ(EditClient(&client), 0);
    EXPECT_EQ(EditProject(&project), 0);
}

TEST_F(DeviceDialogs, EditCategoryAndDateRangeDialogs) {
    CCategory category;
    COleDateTime start(2024, 3, 1, 0, 0, 0);
    COleDateTime end(2024, 3, 31, 0, 0, 0);
    DialogScript script({[](QDialog& dialog) {
                             ApplyDeviceLook(&dialog);
                             EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Category"));
                             EXPECT_EQ(TitleOf(dialog), Text(GetResString(35, 1)));
                             ExpectBoldLabel(dialog, "Name (e.g: Travel Time):");
                             ExpectBoldLabel(dialog, "Code (e.g: TRAV):");
                             MaybeScreenshot(dialog, "edit-category");
                             return Cancel(dialog);
                         },
                         [](QDialog& dialog) {
                             ApplyDeviceLook(&dialog);
                             EXPECT_EQ(TitleOf(dialog), Text(GetResString(83, 1)));
                             for (const char* caption : {"Presets:", "Start Date:", "End Date:"})
                                 ExpectBoldLabel(dialog, caption);
                             MaybeScreenshot(dialog, "date-range");
                             return Cancel(dialog);
                         }});
    EXPECT_EQ(EditCategory(&category), 0);
    EXPECT_EQ(SelectDateRange(start, end), 0);
}

TEST_F(DeviceDialogs, OptionsAndFilterSheets) {
    CProjectItemFilter filter;
    DialogScript script({[](QDialog& dialog) {
                             CPropertyPage& prefs = ShowPage(dialog, 0, "options-preferences");
                             EXPECT_TRUE(TitleOf(prefs).isEmpty());
                             for (const char* text :
                                  {"Hide clients that do not have projects", "Shade alternate rows (green && white)",
                                   "Show gridlines", "&Strike-out paid items"})
                                 EXPECT_NE(FindButton(prefs, QString::fromUtf8(text)), nullptr) << text;
                             EXPECT_TRUE(static_cast<CDlgOptionsPrefs&>(prefs).ThemeCombo()->isHidden());
                             CPropertyPage& labels = ShowPage(dialog, 1, "options-custom-labels");
                             for (const char* caption : {"Field 1:", "Field 2:", "Field 3:"})
                                 ExpectBoldLabel(labels, caption);
                             return Cancel(dialog);
                         },
                         [](QDialog& dialog) {
                             CPropertyPage& general = ShowPage(dialog, 0, "filter-general");
                             ExpectBoldLabel(general, "Bill Status:");
                             EXPECT_EQ(FindLabel(general, QStringLiteral("Billing Status:")), nullptr);
                             ShowPage(dialog, 1, "filter-custom");
                             return Cancel(dialog);
                         }});
    EXPECT_EQ(EditOptions(), 0);
    EXPECT_FALSE(EditFilter(&filter));
}

TEST_F(DeviceDialogs, SheetsCarryTheirTabsAtTheBottom) {
    CClient client;
    DialogScript script({[](QDialog& dialog) {
        ShowPage(dialog, 0, "client-tabs");
        auto* tabs = dialog.findChild<QTabBar*>(QStringLiteral("sheetTabs"));
        EXPECT_NE(tabs, nullptr);
        if (tabs) {
            EXPECT_GT(tabs->geometry().top(), dialog.height() / 2);
        }
        return Cancel(dialog);
    }});
    EditClient(&client);
}

TEST(DeviceBilling, CalcFormsTheTimeAmountInSinglePrecision) {
    // 5 minutes at 33.33 an hour: 2.77750015 in single precision, 2.77750039 in extended.
    EXPECT_EQ(CDlgBillingDetails::TimeAmount(5, 33.33f), 2.77750015f);
    EXPECT_EQ(CDlgBillingDetails::TimeAmount(9, 99.99f), 14.9984999f);
    EXPECT_EQ(CDlgBillingDetails::MileageAmount(100, 250, 0.35f), 150.0f * 0.35f);
}
