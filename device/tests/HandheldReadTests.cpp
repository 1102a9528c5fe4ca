// What a handheld user must be able to read and tap: entries list columns fitted to the font,
// the description of each entry, fields as wide as their content, 7 mm tap targets, a layout
// that grows with the window, the filter's group boxes, the period's totals and the filter's mark.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "device/DeviceDialogLook.h"
#include "device/EntriesList.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgDeviceClientsProjects.h"
#include "device/tests/DeviceTestSupport.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgEditCategory.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditProjectItem.h"

namespace {

class HandheldRead : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

COleDateTime Today() { return GetDatePortion(COleDateTime::GetCurrentTime()); }

int AddDescribedEntry(const CString& projectRef, const CString& description, int minutes, float amount) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ItemDate(Today());
    entry.set_ProjectRef(projectRef);
    entry.set_CategoryRef(u"SAMP003");
    entry.set_Description(description);
    entry.set_DurationInMinutes(minutes);
    entry.set_BillAmount(amount);
    EXPECT_TRUE(entry.Save());
    return entry.get_ID();
}

// The widest line of a cell in the list's font.
int CellTextWidth(const CListCtrlEx& list, int row, int column) {
    const QFontMetrics metrics(list.font());
    int widest = 0;
    for (const QString& line : list.topLevelItem(row)->text(column).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

void ExpectColumnsFit(CViewByDate& view) {
    const CEntriesList& list = *view.GetListCtrl();
    ASSERT_GT(list.topLevelItemCount(), 0);
    int total = 0;
    for (int column = 0; column < list.columnCount(); ++column)
        total += list.columnWidth(column);
    // Every pixel of the row is used, and none more.
    EXPECT_EQ(total, list.viewport()->width());
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        // The weekday or date, beside the row's icon, is always whole.
        EXPECT_GE(list.columnWidth(0), CellTextWidth(list, row, 0) + list.iconSize().width())
            << list.topLevelItem(row)->text(0).toStdString();
        for (int column = 2; column < list.columnCount(); ++column)
            EXPECT_GE(list.columnWidth(column), CellTextWidth(list, row, column)) << column;
    }
    EXPECT_GE(list.columnWidth(1), list.fontMetrics().averageCharWidth() * 8);
}

// Shows the entry editor's page `index` as the device does.
CPropertyPage& ShowSheetPage(QDialog& dialog, int index) {
    auto& sheet = dynamic_cast<CPropertySheetEx&>(dialog);
    sheet.SetActivePage(index);
    ApplyDeviceLook(&sheet);
    ApplyDeviceLook(sheet.GetPage(index));
    sheet.show();
    QApplication::processEvents();
    return *sheet.GetPage(index);
}

// Nothing in the widget that is meant to be tapped is smaller than 7 mm.
void ExpectWholeTapTargets(QWidget& root) {
    const int tap = DeviceTapTarget();
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (!button->isVisible())
            continue;
        EXPECT_GE(button->height(), tap) << button->objectName().toStdString() << " " << button->text().toStdString();
        if (button->objectName() == QLatin1String("spinUp") || button->objectName() == QLatin1String("spinDown")) {
            EXPECT_GE(button->width(), tap);
        }
    }
}

}   // namespace

TEST_F(HandheldRead, TheEntriesListFitsItsColumnsAndShowsEachDescription) {
    const int client = AddClient(u"Acme Industries International");
    const CString project = RefIdOf(AddProject(u"Database upgrade project", RefIdOf(client, u"client")), u"project");
    AddDescribedEntry(project, u"Meeting with client", 480, 811.75f);
    AddDescribedEntry(project, u"Schema review", 45, 52.5f);
    RunningDevice device;
    CViewByDate& view = device.View();
    for (int period : {CViewByDate::PeriodWeek, CViewByDate::PeriodDay, CViewByDate::PeriodMonth}) {
        view.SetPeriodType(period);
        view.OnToday();
        QApplication::processEvents();
        ExpectColumnsFit(view);
    }
    MaybeScreenshot(device.Frame(), "entries-fitted");
    const CListCtrlEx& list = *view.GetListCtrl();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    // The second line tells the two entries of one day and project apart.
    EXPECT_EQ(view.GetListCtrl()->RowDescription(0), QStringLiteral("Meeting with client"));
    EXPECT_GE(list.visualItemRect(list.topLevelItem(0)).height(), 2 * list.fontMetrics().height());
}

TEST_F(HandheldRead, AnEmptyListStillSaysWhatItsColumnsAre) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.OnToday();
    QApplication::processEvents();
    const CListCtrlEx& list = *view.GetListCtrl();
    ASSERT_EQ(list.topLevelItemCount(), 0);
    const int threeLetters = list.header()->fontMetrics().horizontalAdvance(QStringLiteral("Cat"));
    int total = 0;
    for (int column = 0; column < list.columnCount(); ++column) {
        total += list.columnWidth(column);
        if (column >= 2) {
            EXPECT_GE(list.columnWidth(column), threeLetters) << list.headerItem()->text(column).toStdString();
        }
    }
    EXPECT_EQ(total, list.viewport()->width());
    EXPECT_GE(list.columnWidth(1), list.fontMetrics().averageCharWidth() * 8);
}

TEST_F(HandheldRead, TheMainScreenShowsThePeriodsTotalsAndMarksTheFilter) {
    AddDescribedEntry(u"SAMP002", u"One", 60, 40.0f);
    AddDescribedEntry(u"SAMP002", u"Two", 90, 12.5f);
    RunningDevice device;
    CViewByDate& view = device.View();
    QLabel* totals = view.TotalsLabel();
    ASSERT_NE(totals, nullptr);
    EXPECT_TRUE(totals->isVisible());
    EXPECT_TRUE(totals->text().contains(QStringLiteral("2 entries"))) << totals->text().toStdString();
    EXPECT_TRUE(totals->text().contains(Text(FormatMoney(52.5f)))) << totals->text().toStdString();
    EXPECT_FALSE(view.FilterMark()->isVisible());
    DialogScript script({PressSheetOk});
    device.Frame().ExecuteCommand(32823);
    EXPECT_TRUE(view.IsFilterActive());
    EXPECT_TRUE(view.FilterMark()->isVisible());
    MessageBoxScript boxes;
    device.Frame().ExecuteCommand(32823);
    EXPECT_FALSE(view.FilterMark()->isVisible());
}

TEST_F(HandheldRead, FieldsAreAsWideAsWhatTheyHold) {
    RunningDevice device;
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    entry.set_CategoryRef(u"SAMP003");
    entry.set_BillAmount(811.75f);
    {
        DialogScript script({[](QDialog& dialog) {
            auto& billing = dynamic_cast<CDlgBillingDetails&>(ShowSheetPage(dialog, 1));
            QLineEdit* amount = billing.AmountEdit();
            EXPECT_EQ(amount->text(), QStringLiteral("811.75"));
            const int room = amount->width() - 8;   // the frame and text margins
            EXPECT_GE(room, amount->fontMetrics().horizontalAdvance(QStringLiteral("88888.88"))) << amount->width();
            EXPECT_TRUE(billing.rect().contains(QRect(amount->mapTo(&billing, QPoint(0, 0)), amount->size())));
            ExpectWholeTapTargets(billing);
            return static_cast<int>(QDialog::Rejected);
        }});
        EditProjectItem(&entry);
    }
    CCategory category;
    DialogScript script({[](QDialog& dialog) {
        ApplyDeviceLook(&dialog);
        dialog.show();
        QApplication::processEvents();
        auto& edit = dynamic_cast<CDlgEditCategory&>(dialog);
        for (QLineEdit* box : {edit.NameEdit(), edit.CodeEdit()})
            EXPECT_GE(box->width(), dialog.width() * 3 / 4) << box->objectName().toStdString();
        ExpectWholeTapTargets(dialog);
        return static_cast<int>(QDialog::Rejected);
    }});
    EditCategory(&category);
}

TEST_F(HandheldRead, TapTargetsAreWholeOnTheMainScreenAndInTheTree) {
    RunningDevice device;
    CViewByDate& view = device.View();
    const int tap = DeviceTapTarget();
    EXPECT_GE(tap, 26);   // 7 mm at 96 dots per inch or more
    for (QToolButton* button : {view.PreviousButton(), view.NextButton(), view.TodayButton()}) {
        EXPECT_GE(button->width(), tap);
        EXPECT_GE(button->height(), tap);
        EXPECT_TRUE(view.rect().contains(button->geometry()));
    }
    DialogScript script({[tap](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        auto& manage = dynamic_cast<CDlgDeviceClientsProjects&>(dialog);
        EXPECT_GE(manage.Tree()->indentation(), tap);
        ExpectWholeTapTargets(dialog);
        return static_cast<int>(QDialog::Rejected);
    }});
    device.Frame().ExecuteCommand(32822);
}

TEST_F(HandheldRead, TheLayoutAndFontsGrowWithTheWindow) {
    AddDescribedEntry(u"SAMP002", u"Meeting with client", 60, 40.0f);
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    const int small = device.View().GetListCtrl()->font().pixelSize();
    frame.resize(360, 720);
    QApplication::processEvents();
    EXPECT_EQ(device.App().GetDialogFont().pixelSize(), 17);
    EXPECT_GT(device.View().GetListCtrl()->font().pixelSize(), small);
    EXPECT_GT(device.View().HeaderTextRect().height(), 15);
    ExpectColumnsFit(device.View());
    MaybeScreenshot(frame, "main-window-360x720");
    // Dialogs open over the main window, as large as it.
    frame.move(30, 40);
    CClient client;
    DialogScript script({[&frame](QDialog& dialog) {
        ApplyDeviceLook(&dialog);
        EXPECT_EQ(dialog.geometry(), frame.geometry());
        EXPECT_GE(dialog.font().pixelSize(), 17);
        return static_cast<int>(QDialog::Rejected);
    }});
    EditClient(&client);
}

TEST_F(HandheldRead, FilterPagesKeepTheirGroupBoxes) {
    RunningDevice device;
    CProjectItemFilter filter;
    DialogScript script({[](QDialog& dialog) {
        QStringList titles;
        for (int page = 0; page < 2; ++page) {
            for (QGroupBox* group : ShowSheetPage(dialog, page).findChildren<QGroupBox*>()) {
                if (!group->isVisible())
                    continue;
                // A title wider than the screen is a wrapped caption at the top of its group.
                auto* caption = group->findChild<QLabel*>(QStringLiteral("groupTitleLabel"));
                titles << (group->title().isEmpty() && caption ? caption->text() : group->title());
            }
        }
        EXPECT_EQ(titles, QStringList({QStringLiteral("Filter items by"), QStringLiteral("More options"),
                                       QStringLiteral("Filter items that match these custom fields")}));
        for (int page = 0; page < 2; ++page)
            EXPECT_LE(ShowSheetPage(dialog, page).width(), DeviceScreenSize().width());
        return static_cast<int>(QDialog::Rejected);
    }});
    EditFilter(&filter);
}
