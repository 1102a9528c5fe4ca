// The device entries view: periods and their header texts, navigation, the calendar, the
// columns, tap-and-hold menus and the filter toggle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <cerrno>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/TapAndHold.h"
#include "device/ViewByDate.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/WriteFault.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/dialogs/DlgDateRange.h"

namespace {

class DeviceView : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

// Answers the Select Date Range dialog with the two dates.
DialogScript::Step ChooseRange(const COleDateTime& start, const COleDateTime& end) {
    return [=](QDialog& dialog) {
        auto* range = dynamic_cast<CDlgDateRange*>(&dialog);
        EXPECT_NE(range, nullptr);
        if (!range)
            return static_cast<int>(QDialog::Rejected);
        range->StartPicker()->setDateTime(qtconv::ToQDateTime(start));
        range->EndPicker()->setDateTime(qtconv::ToQDateTime(end));
        range->OnOK();
        return range->result();
    };
}

COleDateTime Date(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

}   // namespace

TEST_F(DeviceView, FirstStartOpensTheWeekPeriod) {
    RunningDevice device;
    EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodWeek);
    EXPECT_TRUE(device.View().HeaderText().startsWith(Text(GetResString(108, 1))));
}

TEST_F(DeviceView, PeriodIsKeptAcrossRestartsButCustomIsNeverStored) {
    {
        RunningDevice device;
        device.View().SetPeriodType(CViewByDate::PeriodDay);
    }
    {
        RunningDevice device;
        EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodDay);
        DialogScript script({ChooseRange(Date(2024, 3, 1), Date(2024, 3, 15))});
        device.Frame().ExecuteCommand(32816);
        EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodCustom);
    }
    EXPECT_EQ(Registry::GetDword(CQuillmarApp::kSettingsKey, u"PeriodType", 99), 0u);
    RunningDevice device;
    EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodDay);
}

TEST_F(DeviceView, CancelledCustomDatesKeepThePeriod) {
    RunningDevice device;
    DialogScript script({Cancel});
    device.Frame().ExecuteCommand(32816);
    EXPECT_EQ(device.View().GetPeriodType(), CViewByDate::PeriodWeek);
}

TEST_F(DeviceView, HeaderTextOfEachPeriod) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodDay);
    view.GoToDate(Date(2024, 3, 13));   // a Wednesday; weeks start on Monday by default
    EXPECT_EQ(view.HeaderText(), QStringLiteral("Mar 13, 2024"));
    view.SetPeriodType(CViewByDate::PeriodWeek);
    EXPECT_EQ(view.HeaderText(), Text(GetResString(108, 1)) + QStringLiteral("Mar 11, 2024"));
    EXPECT_EQ(view.GetFilter().m_dtEnd, Date(2024, 3, 17));
    view.SetPeriodType(CViewByDate::PeriodMonth);
    EXPECT_EQ(view.HeaderText(), QStringLiteral("March 2024"));
    DialogScript script({ChooseRange(Date(2024, 2, 27), Date(2024, 4, 2))});
    view.SetPeriodType(CViewByDate::PeriodCustom);
    EXPECT_EQ(view.HeaderText(), QStringLiteral("Feb 27, 2024 - Apr 2, 2024"));
    // The hit rectangle of the text starts at x = 8, centred in a strip high enough for its buttons.
    EXPECT_EQ(view.HeaderTextRect().left(), 8);
    EXPECT_NEAR(view.HeaderTextRect().center().y(), view.StripHeight() / 2, 1);
    EXPECT_GT(view.HeaderTextRect().width(), 0);
}

TEST_F(DeviceView, MonthNavigationFromJanuaryThe31stGoesToFebruaryThe1st) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(Date(2025, 1, 31));
    view.OnNext();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2025, 2, 1));
    EXPECT_EQ(view.GetFilter().m_dtEnd, Date(2025, 2, 28));
    EXPECT_EQ(view.HeaderText(), QStringLiteral("February 2025"));
    view.GoToDate(Date(2024, 12, 31));
    view.OnNext();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2025, 1, 1));
    view.OnPrevious();
    view.OnPrevious();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2024, 11, 1));
}

TEST_F(DeviceView, DayAndWeekNavigation) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodDay);
    view.GoToDate(Date(2024, 2, 28));
    view.OnNext();
    view.OnNext();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2024, 3, 1));
    view.SetPeriodType(CViewByDate::PeriodWeek);
    view.OnPrevious();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2024, 2, 19));
}

TEST_F(DeviceView, ButtonsAreHiddenAndTheHeaderInertInTheCustomPeriod) {
    RunningDevice device;
    CViewByDate& view = device.View();
    for (QToolButton* button : {view.PreviousButton(), view.NextButton(), view.TodayButton()})
        EXPECT_FALSE(button->isHidden());
    DialogScript script({ChooseRange(Date(2024, 3, 1), Date(2024, 3, 15))});
    view.SetPeriodType(CViewByDate::PeriodCustom);
    for (QToolButton* button : {view.PreviousButton(), view.NextButton(), view.TodayButton()})
        EXPECT_TRUE(button->isHidden());
    view.OnStylusUp(view.HeaderTextRect().center());
    EXPECT_FALSE(view.IsCalendarShown());
    // The buttons do nothing either when reached some other way.
    view.OnNext();
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2024, 3, 1));
    view.SetPeriodType(CViewByDate::PeriodMonth);
    for (QToolButton* button : {view.PreviousButton(), view.NextButton(), view.TodayButton()})
        EXPECT_FALSE(button->isHidden());
}

TEST_F(DeviceView, TappingTheHeaderTextOpensTheCalendarAndPickingADateMovesThere) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    view.OnStylusUp(QPoint(view.HeaderTextRect().right() + 40, 10));
    EXPECT_FALSE(view.IsCalendarShown());
    view.OnStylusUp(view.HeaderTextRect().center());
    ASSERT_TRUE(view.IsCalendarShown());
    MaybeScreenshot(device.Frame(), "month-calendar");
    EXPECT_EQ(view.Calendar()->selectedDate(), QDate(2024, 3, 11));
    emit view.Calendar()->clicked(QDate(2024, 5, 2));
    EXPECT_FALSE(view.IsCalendarShown());
    EXPECT_EQ(view.GetFilter().m_dtStart, Date(2024, 4, 29));
    // Tapping the list while the calendar is open only closes it.
    view.OnStylusUp(view.HeaderTextRect().center());
    ASSERT_TRUE(view.IsCalendarShown());
    QTest::mousePress(view.GetListCtrl()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(view.IsCalendarShown());
}

TEST_F(DeviceView, FiveColumnsWithTheDayColumnFollowingThePeriod) {
    RunningDevice device;
    CListCtrlEx* list = device.View().GetListCtrl();
    ASSERT_EQ(list->columnCount(), 5);
    const unsigned headers[] = {33, 34, 35, 36, 42};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(list->headerItem()->text(column), Text(GetResString(headers[column], 1))) << column;
    // The first column is as wide as its header at least (its rows' texts are tried elsewhere).
    const QFontMetrics metrics(list->header()->font());
    EXPECT_GE(list->columnWidth(0), metrics.horizontalAdvance(list->headerItem()->text(0)));
    EXPECT_EQ(list->headerItem()->textAlignment(4) & Qt::AlignRight, Qt::AlignRight);
    device.View().SetPeriodType(CViewByDate::PeriodMonth);
    EXPECT_EQ(list->headerItem()->text(0), Text(GetResString(78, 1)));
    EXPECT_GE(list->columnWidth(0), metrics.horizontalAdvance(list->headerItem()->text(0)));
}

TEST_F(DeviceView, RowsShowTheEntriesOfThePeriodWithPaidOnesNegated) {
    const int project = AddProject(u"Upgrade", CString());
    const CString projectRef = RefIdOf(project, u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 75, 50.0f, 0);
    const int paid = AddTimeEntry(Date(2024, 3, 13), projectRef, 30, 20.0f, 2);
    AddTimeEntry(Date(2024, 3, 20), projectRef, 30, 20.0f, 0);   // the week after
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    CListCtrlEx* list = view.GetListCtrl();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const int openRow = RowOfEntry(*list, open);
    const int paidRow = RowOfEntry(*list, paid);
    ASSERT_GE(openRow, 0);
    ASSERT_GE(paidRow, 0);
    EXPECT_EQ(list->GetRowValue(paidRow), -paid);
    EXPECT_EQ(list->topLevelItem(openRow)->text(1), QStringLiteral("Upgrade"));
    EXPECT_EQ(list->topLevelItem(openRow)->text(3), Text(CString(u"1h 15m")));
    EXPECT_EQ(list->topLevelItem(openRow)->text(4), QStringLiteral("$50.00"));
    view.Refresh(paid);
    EXPECT_EQ(list->GetSelectedRow(), paidRow);
}

TEST_F(DeviceView, HoldingARowOffersItsMenuWithMarkAsPaidGreyedForAPaidEntry) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    const int paid = AddTimeEntry(Date(2024, 3, 13), projectRef, 30, 20.0f, 2);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    CListCtrlEx* list = view.GetListCtrl();
    QApplication::processEvents();

    PopupScript popups({QString(), QString()});
    const QPoint paidPoint = EntryRowCentre(*list, paid);
    view.OnHoldAt(paidPoint);
    ASSERT_EQ(popups.Shown(), 1);
    EXPECT_EQ(popups.LastTexts(),
              QStringList({QStringLiteral("Edit"), QStringLiteral("Mark as Paid"), QStringLiteral("Mark as Billed"),
                           QStringLiteral("Delete"), QStringLiteral("Select All")}));
    EXPECT_FALSE(popups.WasEnabled(QStringLiteral("contextMarkAsPaid")));
    EXPECT_TRUE(popups.WasEnabled(QStringLiteral("contextEdit")));
    // A right click is a hold as well.
    const QPoint openPoint = EntryRowCentre(*list, open);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, openPoint);
    ASSERT_EQ(popups.Shown(), 2);
    EXPECT_TRUE(popups.WasEnabled(QStringLiteral("contextMarkAsPaid")));
    EXPECT_EQ(view.SelectedEntryId(), open);
}

TEST_F(DeviceView, MarkAsPaidFromTheMenuSavesAndKeepsTheRowSelected) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    CListCtrlEx* list = view.GetListCtrl();
    QApplication::processEvents();
    PopupScript popups({QStringLiteral("contextMarkAsPaid")});
    view.OnHoldAt(EntryRowCentre(*list, open));
    CProjectItem entry;
    entry.set_ID(open);
    ASSERT_TRUE(entry.Load());
    EXPECT_EQ(entry.get_PymtStatus(), CProjectItem::PymtStatus_Paid);
    EXPECT_EQ(list->GetRowValue(list->GetSelectedRow()), -open);
}

TEST_F(DeviceView, DeleteAsksFirstAndRemovesTheRowOnlyWhenConfirmed) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    view.Refresh(open);
    {
        MessageBoxScript boxes({IDNO});
        view.OnDelete();
        EXPECT_EQ(boxes.Messages().size(), 1u);
        EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 1);
    }
    MessageBoxScript boxes({IDYES});
    view.OnDelete();
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 0);
    CProjectItem entry;
    entry.set_ID(open);
    EXPECT_FALSE(entry.Load());
}

TEST_F(DeviceView, WriteFailuresOfMarkAsPaidAndDeleteAreReportedAndChangeNothing) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    view.Refresh(open);
    {
        MessageBoxScript boxes;
        WriteFault::Scope full(WriteFault::Op::Write, 1, ENOSPC);
        view.OnMarkAsPaid();
        ASSERT_EQ(boxes.Messages().size(), 1u);
        EXPECT_NE(boxes.Messages()[0].text.Find(GetCurrDataHelper()->GetDataFilePath()), -1);
        EXPECT_NE(boxes.Messages()[0].text.Find(u"No space left on device"), -1);
    }
    {
        MessageBoxScript boxes({IDYES});
        WriteFault::Scope readOnly(WriteFault::Op::Open, 1, EROFS);
        view.OnDelete();
        ASSERT_EQ(boxes.Messages().size(), 2u);   // the confirmation, then the failure
        EXPECT_NE(boxes.Messages()[1].text.Find(u"Read-only file system"), -1);
    }
    view.Refresh(open);
    ASSERT_EQ(view.GetListCtrl()->topLevelItemCount(), 1);
    EXPECT_EQ(view.GetListCtrl()->GetRowValue(0), open);   // still there, still unpaid
}

TEST_F(DeviceView, EntriesOfDeletedProjectsAndCategoriesSaySo) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int category = AddCategory(u"Travel", u"TRAV", 40.0f);
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    CProjectItem entry;
    entry.set_ID(open);
    ASSERT_TRUE(entry.Load());
    entry.set_CategoryRef(RefIdOf(category, u"category"));
    entry.set_ProjectRef(u"GONE7");   // deleted on the desktop and synchronised
    ASSERT_EQ(entry.Save(), 1);
    {
        MessageBoxScript boxes({IDYES});
        CCategory travel;
        travel.set_ID(category);
        ASSERT_EQ(travel.Delete(), 1);
    }
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    view.Refresh(open);
    ASSERT_EQ(view.GetListCtrl()->topLevelItemCount(), 1);
    EXPECT_EQ(view.GetListCtrl()->topLevelItem(0)->text(1), QStringLiteral("(deleted project)"));
    EXPECT_EQ(view.GetListCtrl()->topLevelItem(0)->text(2), QStringLiteral("(deleted category)"));
}

TEST_F(DeviceView, FilterToggleAppliesThenRemovesTheFilterWithMessage89) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    AddTimeEntry(Date(2024, 3, 13), projectRef, 30, 20.0f, 2);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    {
        DialogScript script({[](QDialog& dialog) {
            auto* paid = dialog.findChild<QCheckBox*>(QStringLiteral("paidCheck"));
            EXPECT_NE(paid, nullptr);
            if (paid)
                paid->setChecked(false);
            return PressSheetOk(dialog);
        }});
        device.Frame().ExecuteCommand(32823);
    }
    EXPECT_TRUE(view.IsFilterActive());
    EXPECT_TRUE(device.Frame().CommandAction(32823)->isChecked());
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 1);
    MessageBoxScript boxes;
    device.Frame().ExecuteCommand(32823);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].text, GetResString(89, 1));
    EXPECT_EQ(boxes.Messages()[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_FALSE(view.IsFilterActive());
    EXPECT_FALSE(device.Frame().CommandAction(32823)->isChecked());
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 2);
}

TEST_F(DeviceView, LongPressOpensTheMenuATapOpensTheEditorAndATapBelowTheRowsDeselects) {
    const CString projectRef = RefIdOf(AddProject(u"Upgrade", CString()), u"project");
    const int open = AddTimeEntry(Date(2024, 3, 12), projectRef, 60, 50.0f, 0);
    RunningDevice device;
    CViewByDate& view = device.View();
    view.GoToDate(Date(2024, 3, 13));
    CListCtrlEx* list = view.GetListCtrl();
    QApplication::processEvents();
    const QPoint row = EntryRowCentre(*list, open);
    {
        PopupScript popups({QString()});
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
        QTest::qWait(CTapAndHold::kHoldMilliseconds + 200);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
        EXPECT_EQ(popups.Shown(), 1);
        EXPECT_EQ(view.SelectedEntryId(), open);
    }
    {
        DialogScript script({[](QDialog& dialog) {
            EXPECT_NE(dynamic_cast<CPropertySheetEx*>(&dialog), nullptr);
            return Cancel(dialog);
        }});
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        EXPECT_EQ(script.Shown(), 1);
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
    EXPECT_EQ(view.SelectedEntryId(), 0);
}
