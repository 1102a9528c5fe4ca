// The device main window, its command bar, and the commands that open Manage Clients and
// Projects, Options and the Quick Summary.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "device/DeviceDialogLook.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgDeviceClientsProjects.h"
#include "device/dialogs/DlgQuickSummary.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/Registry.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/dialogs/DlgOptionsCustomFields.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"
#include "ui/shared/dialogs/DlgProject.h"

namespace {

class DeviceFrame : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

QTreeWidgetItem* NodeNamed(QTreeWidget& tree, const QString& text) {
    const QList<QTreeWidgetItem*> found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

}   // namespace

TEST_F(DeviceFrame, WindowIsTitledQuillmarWithTheCommandBarAtTheBottom) {
    const int client = AddClient(u"Northwind");
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", RefIdOf(client, u"client")), u"project");
    const COleDateTime today = GetDatePortion(COleDateTime::GetCurrentTime());
    AddTimeEntry(today, projectRef, 90, 75.0f, 0);
    AddTimeEntry(today, projectRef, 30, 25.0f, 2);
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Quillmar"));
    EXPECT_EQ(frame.size(), QSize(240, 320));
    EXPECT_EQ(frame.toolBarArea(frame.CommandBar()), Qt::BottomToolBarArea);
    EXPECT_TRUE(frame.IsListeningForSync());

    auto* newMenu = frame.findChild<QMenu*>(QStringLiteral("newMenu"));
    auto* viewMenu = frame.findChild<QMenu*>(QStringLiteral("viewMenu"));
    auto* toolsMenu = frame.findChild<QMenu*>(QStringLiteral("toolsMenu"));
    ASSERT_TRUE(newMenu && viewMenu && toolsMenu);
    EXPECT_EQ(MenuTexts(newMenu), QStringList({"Client", "Project"}));
    EXPECT_EQ(MenuTexts(viewMenu),
              QStringList({"Day", "Week", "Month", "Custom Dates...", "Filter Data...", "Find..."}));
    EXPECT_EQ(MenuTexts(toolsMenu), QStringList({"Timer", "Manage Clients and Projects", "Manage Categories",
                                                 "Options", "Pair with Desktop...", "Exit"}));

    const struct {
        const char* name;
        unsigned tooltip;
    } buttons[] = {{"newTimeEntry", 22}, {"newExpenseEntry", 23}, {"newMileageEntry", 24}, {"quickSummary", 62}};
    for (const auto& button : buttons) {
        auto* action = frame.findChild<QAction*>(QLatin1String(button.name));
        ASSERT_NE(action, nullptr) << button.name;
        EXPECT_EQ(action->toolTip(), Text(GetResString(button.tooltip, 1)));
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_TRUE(frame.CommandBar()->actions().contains(action));
    }
    MaybeScreenshot(frame, "main-window");
}

TEST_F(DeviceFrame, ViewMenuChecksTheCurrentPeriod) {
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    EXPECT_TRUE(frame.CommandAction(32814)->isChecked());
    frame.ExecuteCommand(32815);
    EXPECT_TRUE(frame.CommandAction(32815)->isChecked());
    EXPECT_FALSE(frame.CommandAction(32814)->isChecked());
    EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodMonth);
}

TEST_F(DeviceFrame, ANewTimeEntryCancelledChangesNothing) {
    RunningDevice device;
    const std::string before = DataFileContents();
    DialogScript script({[](QDialog& dialog) {
        auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (sheet) {
            EXPECT_EQ(sheet->GetPageCount(), 4);
        }
        return static_cast<int>(QDialog::Rejected);
    }});
    device.Frame().ExecuteCommand(32785);
    EXPECT_EQ(DataFileContents(), before);
}

TEST_F(DeviceFrame, ManageClientsAndProjectsOkInManageModeChangesNothing) {
    const int client = AddClient(u"Northwind");
    AddProject(u"Upgrade", RefIdOf(client, u"client"));
    RunningDevice device;
    const std::string before = DataFileContents();
    DialogScript script({[](QDialog& dialog) {
        auto* manage = dynamic_cast<CDlgDeviceClientsProjects*>(&dialog);
        EXPECT_NE(manage, nullptr);
        if (!manage)
            return static_cast<int>(QDialog::Rejected);
        EXPECT_FALSE(manage->m_bSelectMode);
        EXPECT_EQ(manage->Hint()->text(), QStringLiteral("Tap and hold an item to edit or delete it."));
        EXPECT_NE(NodeNamed(*manage->Tree(), QStringLiteral("Upgrade")), nullptr);
        MaybeScreenshot(dialog, "manage-clients-projects");
        return PressDialogOk(dialog);
    }});
    device.Frame().ExecuteCommand(32822);
    EXPECT_EQ(script.Shown(), 1);
    EXPECT_EQ(DataFileContents(), before);
}

TEST_F(DeviceFrame, HoldingAProjectAndChoosingEditRenamesItInTheTree) {
    const int client = AddClient(u"Northwind");
    const int project = AddProject(u"Upgrade", RefIdOf(client, u"client"));
    RunningDevice device;
    CDlgDeviceClientsProjects dialog;
    {
        DialogScript script({[&](QDialog& shown) {
            shown.show();
            QApplication::processEvents();
            CTreeCtrlEx* tree = dialog.Tree();
            QTreeWidgetItem* noClient = tree->topLevelItem(0);
            EXPECT_EQ(CTreeCtrlEx::NodeValue(noClient), 0);
            // The no-client node carries no record: both items greyed.
            PopupScript popups({QString(), QStringLiteral("contextEdit")});
            dialog.OnHoldAt(tree->visualItemRect(noClient).center());
            EXPECT_FALSE(popups.WasEnabled(QStringLiteral("contextEdit")));
            EXPECT_FALSE(popups.WasEnabled(QStringLiteral("contextDelete")));
            {
                DialogScript sheetScript({[](QDialog& sheet) {
                    auto* details = dynamic_cast<CDlgProject*>(dynamic_cast<CPropertySheetEx&>(sheet).GetPage(0));
                    EXPECT_NE(details, nullptr);
                    if (details)
                        details->DescriptionEdit()->setText(QStringLiteral("Migration"));
                    return PressSheetOk(sheet);
                }});
                QTreeWidgetItem* upgrade = NodeNamed(*tree, QStringLiteral("Upgrade"));
                EXPECT_NE(upgrade, nullptr);
                if (upgrade)
                    dialog.OnHoldAt(tree->visualItemRect(upgrade).center());
            }
            EXPECT_EQ(popups.LastTexts(), QStringList({"Edit", "Delete"}));
            EXPECT_NE(NodeNamed(*tree, QStringLiteral("Migration")), nullptr);
            EXPECT_EQ(tree->SelectedValue(), project);
            return Cancel(shown);
        }});
        dialog.DoModal();
    }
    CProject saved;
    saved.set_ID(project);
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.get_Description(), CString(u"Migration"));
}

TEST_F(DeviceFrame, OptionsWritesItsSettingsInOrderAndNeverTheTheme) {
    RunningDevice device;
    for (const CString& name : Registry::ValueNames(CQuillmarApp::kSettingsKey)) {
        if (name != CString(u"AppPath"))
            Registry::DeleteValue(CQuillmarApp::kSettingsKey, name);
    }
    DialogScript script({[](QDialog& dialog) {
        auto* prefs = dynamic_cast<CDlgOptionsPrefs*>(dynamic_cast<CPropertySheetEx&>(dialog).GetPage(0));
        EXPECT_NE(prefs, nullptr);
        ApplyDeviceLook(&dialog);
        if (prefs) {
            EXPECT_TRUE(prefs->ThemeCombo()->isHidden());
            prefs->GridlinesCheck()->setChecked(true);
        }
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(device.Frame().ExecuteCommand(32784), true);
    EXPECT_FALSE(Registry::Query(CQuillmarApp::kSettingsKey, u"Theme").has_value());
    std::vector<CString> names = Registry::ValueNames(CQuillmarApp::kSettingsKey);
    names.erase(std::remove(names.begin(), names.end(), CString(u"AppPath")), names.end());
    const std::vector<CString> expected = {u"FirstDayOfWeek",     u"HideClientsWithNoProjects",
                                           u"MileageRate",        u"ColorAltRows",
                                           u"StrikeOutPaidItems", u"Gridlines",
                                           u"CustomLabel1",       u"CustomLabel2",
                                           u"CustomLabel3",       u"SoftKeyboard"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Registry::GetDword(CQuillmarApp::kSettingsKey, u"Gridlines", 0), 1u);
    EXPECT_EQ(device.App().m_bGridlines, 1);
    const auto rate = Registry::QueryBinary(CQuillmarApp::kSettingsKey, u"MileageRate");
    ASSERT_TRUE(rate.has_value());
    EXPECT_EQ(rate->size(), 4u);
    EXPECT_EQ(device.View().GetListCtrl()->AsListCtrl().GetExtendedStyle() & LVS_EX_GRIDLINES,
              static_cast<unsigned>(LVS_EX_GRIDLINES));
}

TEST_F(DeviceFrame, OptionsCancelledWritesNothing) {
    RunningDevice device;
    Registry::DeleteValue(CQuillmarApp::kSettingsKey, u"Gridlines");
    DialogScript script({Cancel});
    device.Frame().ExecuteCommand(32784);
    EXPECT_FALSE(Registry::Query(CQuillmarApp::kSettingsKey, u"Gridlines").has_value());
}

TEST_F(DeviceFrame, QuickSummaryTitleFollowsThePeriod) {
    RunningDevice device;
    const struct {
        int period;
        unsigned title;
    } cases[] = {{CViewByDate::PeriodDay, 57}, {CViewByDate::PeriodWeek, 58}, {CViewByDate::PeriodMonth, 59}};
    for (const auto& item : cases) {
        device.View().SetPeriodType(item.period);
        DialogScript script({[&](QDialog& dialog) {
            auto* summary = dynamic_cast<CDlgQuickSummary*>(&dialog);
            EXPECT_NE(summary, nullptr);
            if (summary) {
                EXPECT_EQ(summary->windowTitle(), QStringLiteral("Quick Summary"));
                EXPECT_EQ(summary->List()->topLevelItem(0)->text(1), Text(GetResString(item.title, 1)));
                if (item.period == CViewByDate::PeriodMonth)
                    MaybeScreenshot(dialog, "quick-summary");
            }
            return Cancel(dialog);
        }});
        device.Frame().ExecuteCommand(32817);
    }
    EXPECT_EQ(device.View().GetSummaryData().m_dtStart, device.View().GetFilter().m_dtStart);
}

TEST_F(DeviceFrame, ChangingTheFirstDayOfTheWeekMovesTheWeekShown) {
    RunningDevice device;
    device.View().GoToDate(COleDateTime(2024, 3, 13, 0, 0, 0));
    DialogScript script({[](QDialog& dialog) {
        auto* prefs = dynamic_cast<CDlgOptionsPrefs*>(dynamic_cast<CPropertySheetEx&>(dialog).GetPage(0));
        EXPECT_NE(prefs, nullptr);
        if (prefs)
            prefs->WeekdayCombo()->setCurrentIndex(0);   // Sunday
        return PressSheetOk(dialog);
    }});
    device.Frame().ExecuteCommand(32784);
    EXPECT_EQ(device.App().m_nFirstDayOfWeek, 1);
    EXPECT_EQ(device.View().GetFilter().m_dtStart, COleDateTime(2024, 3, 10, 0, 0, 0));
    EXPECT_EQ(Registry::GetDword(CQuillmarApp::kSettingsKey, u"FirstDayOfWeek", 0), 1u);
}

TEST_F(DeviceFrame, ManagingCategoriesRefreshesTheCodesShown) {
    const int category = AddCategory(u"Travel", u"TRAV", 40.0f);
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ItemDate(COleDateTime(2024, 3, 13, 0, 0, 0));
    entry.set_ProjectRef(projectRef);
    entry.set_CategoryRef(RefIdOf(category, u"category"));
    ASSERT_TRUE(entry.Save());
    RunningDevice device;
    device.View().GoToDate(COleDateTime(2024, 3, 13, 0, 0, 0));
    ASSERT_EQ(device.View().GetListCtrl()->topLevelItemCount(), 1);
    EXPECT_EQ(device.View().GetListCtrl()->topLevelItem(0)->text(2), QStringLiteral("TRAV"));
    DialogScript script({[category](QDialog& dialog) {
        CCategory changed;
        changed.set_ID(category);
        EXPECT_TRUE(changed.Load());
        changed.set_Code(u"TRV");
        EXPECT_TRUE(changed.Save());
        return Cancel(dialog);
    }});
    device.Frame().ExecuteCommand(32821);
    EXPECT_EQ(device.View().GetListCtrl()->topLevelItem(0)->text(2), QStringLiteral("TRV"));
}

TEST_F(DeviceFrame, TheSyncLineFollowsChangeFilesAndTheLastSynchronisation) {
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    QLabel* line = frame.SyncStateLine();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("Not synchronized yet"));
    CDataHelper* store = GetCurrDataHelper();
    ASSERT_NE(store, nullptr);
    // The desktop's change file arrives: a synchronisation is under way.
    const QString changes = qtconv::ToQString(store->GetOtherChangeFilePath());
    {
        QFile file(changes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<quillmar/>\r\n");
    }
    QTRY_COMPARE_WITH_TIMEOUT(line->text(), QStringLiteral("Synchronizing (or unfinished)"), 5000);
    // The synchronisation ends: the library tells the program, the change files go.
    frame.OnSyncDone();
    ASSERT_TRUE(QFile::remove(changes));
    QTRY_VERIFY_WITH_TIMEOUT(line->text().startsWith(QStringLiteral("Last sync: ")), 5000);
}
