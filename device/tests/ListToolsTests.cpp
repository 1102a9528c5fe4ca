// The device list's tools: a tap on a header sorts, Find narrows the list, and the menu of a
// held row acts on every selected row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <vector>

#include "biz/ProjectItem.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgQuickSummary.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/shared/ListCtrlEx.h"

namespace {

class DeviceListTools : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

COleDateTime March(int day) { return COleDateTime(2024, 3, day, 0, 0, 0); }

int Entry(int day, float amount, const CString& description) {
    const int id = AddTimeEntry(March(day), CString(), 30, amount, 0);
    CProjectItem entry;
    entry.set_ID(id);
    entry.Load();
    entry.set_Description(description);
    entry.Save();
    return id;
}

TEST_F(DeviceListTools, TappingAHeaderSortsAndTheSortIsKept) {
    const int early = Entry(4, 40.0f, u"Early");
    const int late = Entry(9, 10.0f, u"Late");
    const int middle = Entry(6, 40.0f, u"Middle");
    {
        RunningDevice device;
        device.Frame().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&device.Frame()));
        CViewByDate& view = device.View();
        view.SetPeriodType(CViewByDate::PeriodMonth);
        view.GoToDate(March(1));
        EXPECT_EQ(ListedEntryIds(*view.GetListCtrl()), (std::vector<int>{early, middle, late}));
        QApplication::processEvents();
        TapHeader(*view.GetListCtrl(), 4);   // amount; the two of 40 stay in date order
        EXPECT_EQ(ListedEntryIds(*view.GetListCtrl()), (std::vector<int>{late, early, middle}));
        TapHeader(*view.GetListCtrl(), 4);
        EXPECT_EQ(ListedEntryIds(*view.GetListCtrl()), (std::vector<int>{early, middle, late}));
    }
    RunningDevice device;
    device.View().SetPeriodType(CViewByDate::PeriodMonth);
    device.View().GoToDate(March(1));
    EXPECT_EQ(device.View().SortColumn(), 4);
    EXPECT_FALSE(device.View().IsSortAscending());
}

TEST_F(DeviceListTools, ColumnWidthsAndOrderAreKeptThroughRefreshesAndARestart) {
    Entry(4, 10.0f, u"Something");
    {
        RunningDevice device;
        CViewByDate& view = device.View();
        CListCtrlEx& list = *view.GetListCtrl();
        list.SetUserColumnWidth(2, 77);
        list.header()->moveSection(list.header()->visualIndex(4), 1);
        // The list fits its columns again at every refresh and resize; a given width stands.
        view.SetPeriodType(CViewByDate::PeriodMonth);
        view.GoToDate(March(1));
        device.Frame().resize(device.Frame().width() + 20, device.Frame().height());
        QApplication::processEvents();
        EXPECT_EQ(list.columnWidth(2), 77);
    }
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(March(1));
    CListCtrlEx& list = *view.GetListCtrl();
    EXPECT_EQ(list.columnWidth(2), 77);
    EXPECT_EQ(list.header()->logicalIndex(1), 4);
    EXPECT_EQ(list.UserColumnWidth(3), 0);   // a column left alone still fits itself
}

TEST_F(DeviceListTools, FindNarrowsTheListAndEscapeClearsIt) {
    const int accented = Entry(4, 10.0f, u"Résumé review");
    Entry(6, 10.0f, u"Other work");
    const int april = AddTimeEntry(COleDateTime(2024, 4, 2, 0, 0, 0), CString(), 30, 5.0f, 0);
    CProjectItem entry;
    entry.set_ID(april);
    ASSERT_TRUE(entry.Load());
    entry.set_Notes(u"resume notes");
    ASSERT_TRUE(entry.Save());

    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(March(1));
    device.Frame().ExecuteCommand(281);
    ASSERT_TRUE(view.IsSearchShown());
    QTest::keyClicks(view.SearchBox(), QStringLiteral("RESUME"));
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 2);   // not at every key
    QTest::keyClick(view.SearchBox(), Qt::Key_Return);
    EXPECT_EQ(ListedEntryIds(*view.GetListCtrl()), std::vector<int>{accented});
    EXPECT_TRUE(view.TotalsLabel()->text().startsWith(QStringLiteral("1 match")));
    view.AllDatesBox()->setChecked(true);
    EXPECT_EQ(ListedEntryIds(*view.GetListCtrl()), (std::vector<int>{accented, april}));
    {
        // The quick summary counts what was found across all dates, and says so.
        DialogScript script({[](QDialog& dialog) {
            auto* summary = dynamic_cast<CDlgQuickSummary*>(&dialog);
            EXPECT_NE(summary, nullptr);
            if (summary) {
                EXPECT_EQ(summary->List()->topLevelItem(0)->text(1), QStringLiteral("All dates"));
                EXPECT_TRUE(summary->List()->topLevelItem(1)->text(1).startsWith(QStringLiteral("3/4/2024")));
            }
            return Cancel(dialog);
        }});
        device.Frame().ExecuteCommand(32817);
        EXPECT_EQ(script.Shown(), 1);
    }

    QTest::keyClick(view.SearchBox(), Qt::Key_Escape);
    EXPECT_FALSE(view.IsSearchShown());
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 2);
}

TEST_F(DeviceListTools, HeldMenuActsOnEverySelectedRow) {
    const int first = Entry(4, 10.0f, u"First");
    const int second = Entry(5, 10.0f, u"Second");
    Entry(6, 10.0f, u"Third");
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(March(1));
    CListCtrlEx& list = *view.GetListCtrl();
    list.topLevelItem(0)->setSelected(true);
    list.topLevelItem(1)->setSelected(true);
    ASSERT_EQ(list.GetSelectedRows().size(), size_t(2));
    {
        MessageBoxScript boxes({IDYES});
        PopupScript menu({QStringLiteral("contextMarkAsPaid")});
        view.OnHoldAt(EntryRowCentre(list, second));
        ASSERT_EQ(boxes.Messages().size(), size_t(1));
        EXPECT_GE(boxes.Messages()[0].text.Find(u"2 selected entries"), 0);
        EXPECT_FALSE(menu.WasEnabled(QStringLiteral("contextEdit")));   // editing takes one row
    }
    for (int id : {first, second}) {
        CProjectItem paid;
        paid.set_ID(id);
        ASSERT_TRUE(paid.Load());
        EXPECT_EQ(paid.get_PymtStatus(), CProjectItem::PymtStatus_Paid);
    }
    EXPECT_EQ(list.GetSelectedRows().size(), size_t(2));
    {
        MessageBoxScript boxes({IDYES});
        PopupScript menu({QStringLiteral("contextDelete")});
        view.OnHoldAt(EntryRowCentre(list, first));
        EXPECT_EQ(boxes.Messages().size(), size_t(1));
    }
    EXPECT_EQ(list.topLevelItemCount(), 1);
}

}   // namespace
