// The Filter Data sheet and the Select Date Range dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "platform/Clock.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgDateRange.h"
#include "ui/shared/dialogs/DlgFilterCustom.h"
#include "ui/shared/dialogs/DlgFilterGeneral.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/SelectDateRange.h"
#include "ui/shared/dialogs/SettingsAccess.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
COleDateTime Day(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

struct Range {
    COleDateTime start, end;
};

Range Preset(int index, const COleDateTime& now) {
    Range range;
    EXPECT_TRUE(CDlgDateRange::PresetRange(index, now, range.start, range.end));
    return range;
}

struct FilterFixture : ::testing::Test {
    void SetUp() override { ResetDataStore(); }
    void TearDown() override { Clock::Set(std::nullopt); }
};
}   // namespace

TEST(DateRangePresets, RangesOnFixedDates) {
    const COleDateTime feb15 = COleDateTime(2004, 2, 15, 10, 30, 0);
    EXPECT_EQ(Day(2003, 10, 1), Preset(8, feb15).start);
    EXPECT_EQ(Day(2003, 12, 31), Preset(8, feb15).end);
    EXPECT_EQ(Day(2004, 1, 1), Preset(7, feb15).start);
    EXPECT_EQ(Day(2004, 1, 31), Preset(7, feb15).end);
    EXPECT_EQ(Day(2003, 12, 1), Preset(7, Day(2004, 1, 10)).start);
    EXPECT_EQ(Day(2003, 12, 31), Preset(7, Day(2004, 1, 10)).end);
    EXPECT_EQ(Day(2004, 7, 1), Preset(3, Day(2004, 9, 30)).start);
    EXPECT_EQ(Day(2004, 9, 30), Preset(3, Day(2004, 9, 30)).end);
    const COleDateTime mar10 = COleDateTime(2004, 3, 10, 16, 5, 0);
    EXPECT_EQ(Day(2004, 1, 1), Preset(6, mar10).start);
    EXPECT_EQ(mar10, Preset(6, mar10).end);
    EXPECT_EQ(Day(2004, 2, 1), Preset(1, feb15).start);
    EXPECT_EQ(Day(2004, 2, 29), Preset(1, feb15).end);
    EXPECT_EQ(feb15, Preset(2, feb15).end);
    EXPECT_EQ(Day(2004, 1, 1), Preset(4, feb15).start);
    EXPECT_EQ(Day(2004, 12, 31), Preset(5, feb15).end);
    EXPECT_EQ(Day(2003, 1, 1), Preset(9, feb15).start);
    EXPECT_EQ(Day(2003, 12, 31), Preset(9, feb15).end);
    EXPECT_EQ(Day(2004, 7, 1), Preset(8, Day(2004, 11, 5)).start);
    EXPECT_EQ(Day(2004, 9, 30), Preset(8, Day(2004, 11, 5)).end);
    COleDateTime start, end;
    EXPECT_FALSE(CDlgDateRange::PresetRange(0, feb15, start, end));
}

TEST_F(FilterFixture, PresetInTheDialogUsesTheClockAndOkStripsTheTime) {
    Clock::Set(COleDateTime(2004, 2, 15, 10, 30, 0));
    COleDateTime start = Day(2004, 2, 2), end = Day(2004, 2, 8);
    DialogScript script({[](QDialog& dialog) {
        auto& range = dynamic_cast<CDlgDateRange&>(dialog);
        EXPECT_EQ(QStringLiteral("Select Date Range"), range.windowTitle());
        EXPECT_EQ(10, range.PresetCombo()->count());
        EXPECT_EQ(QStringLiteral("  - Presets -"), range.PresetCombo()->itemText(0));
        EXPECT_EQ(0, range.PresetCombo()->currentIndex());
        EXPECT_EQ(QStringLiteral("Mon, Feb 2, 2004"), range.StartPicker()->text());
        range.PresetCombo()->setCurrentIndex(8);
        EXPECT_EQ(QDate(2003, 10, 1), range.StartPicker()->date());
        EXPECT_EQ(QDate(2003, 12, 31), range.EndPicker()->date());
        range.PresetCombo()->setCurrentIndex(2);   // to-date: the end carries the time
        EXPECT_EQ(QTime(10, 30), range.EndPicker()->time());
        range.OnOK();
        return range.result();
    }});
    EXPECT_EQ(1, SelectDateRange(start, end));
    EXPECT_EQ(Day(2004, 2, 1), start);
    EXPECT_EQ(Day(2004, 2, 15), end);
}

TEST_F(FilterFixture, ChangingTheStartMovesTheEndToTheNextDay) {
    COleDateTime start = Day(2004, 5, 1), end = Day(2004, 5, 31);
    DialogScript script({[](QDialog& dialog) {
        auto& range = dynamic_cast<CDlgDateRange&>(dialog);
        range.StartPicker()->setDate(QDate(2004, 5, 5));
        EXPECT_EQ(QDate(2004, 5, 6), range.EndPicker()->date());
        range.OnOK();
        return range.result();
    }});
    EXPECT_EQ(1, SelectDateRange(start, end));
    EXPECT_EQ(Day(2004, 5, 5), start);
    EXPECT_EQ(Day(2004, 5, 6), end);
}

TEST_F(FilterFixture, EndBeforeStartShowsMessage61AndEqualIsAccepted) {
    MessageBoxScript messages;
    COleDateTime start = Day(2004, 5, 10), end = Day(2004, 5, 9);
    DialogScript script({[&](QDialog& dialog) {
        auto& range = dynamic_cast<CDlgDateRange&>(dialog);
        range.OnOK();
        EXPECT_TRUE(messages.ShownOnly(61));
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, messages.Shown()[0].flags);
        EXPECT_NE(QDialog::Accepted, range.result());
        range.EndPicker()->setDate(QDate(2004, 5, 10));
        range.OnOK();
        return range.result();
    }});
    EXPECT_EQ(1, SelectDateRange(start, end));
    EXPECT_EQ(start, end);
}

TEST_F(FilterFixture, CancelLeavesTheDatesUntouched) {
    COleDateTime start(38000.25), end(38001.75);
    DialogScript script({[](QDialog& dialog) {
        dynamic_cast<CDlgDateRange&>(dialog).PresetCombo()->setCurrentIndex(9);
        dialog.reject();
        return dialog.result();
    }});
    EXPECT_EQ(0, SelectDateRange(start, end));
    EXPECT_EQ(38000.25, start.m_dt);
    EXPECT_EQ(38001.75, end.m_dt);
}

TEST_F(FilterFixture, ConfirmedDefaultsAdmitEveryEntryOfTheRange) {
    CProjectItemFilter filter;
    filter.m_strClientRef = u"stale";   // the lists do not show what the filter held
    filter.m_dtStart = Day(2004, 3, 1);
    filter.m_dtEnd = Day(2004, 3, 31);
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(Text(GetResString(87, 1)), sheet.windowTitle());
        auto* general = dynamic_cast<CDlgFilterGeneral*>(sheet.GetPage(0));
        for (QComboBox* list : {general->ClientCombo(), general->ProjectCombo(), general->CategoryCombo()}) {
            EXPECT_EQ(0, list->currentIndex());
            EXPECT_EQ(QStringLiteral("(Any)"), list->currentText());   // any client, not "no client"
        }
        for (const char* name : {"timeCheck", "expenseCheck", "mileageCheck", "billableCheck", "nonBillableCheck",
                                 "billedCheck", "notBilledCheck", "paidCheck"})
            EXPECT_TRUE(general->Check(name)->isChecked()) << name;
        EXPECT_TRUE(sheet.SetActivePage(1));
        return PressSheetOk(dialog);
    }});
    EXPECT_TRUE(EditFilter(&filter));
    EXPECT_EQ(u"", filter.m_strClientRef);
    EXPECT_EQ(u"", filter.m_strProjectRef);
    EXPECT_EQ(u"", filter.m_strCategoryRef);
    EXPECT_EQ(0, filter.m_bActive);
    filter.m_bActive = 1;

    int index = 0;
    for (auto type : {CProjectItem::ItemType_Time, CProjectItem::ItemType_Expense, CProjectItem::ItemType_Mileage}) {
        for (auto status :
             {CProjectItem::PymtStatus_NotBilled, CProjectItem::PymtStatus_Billed, CProjectItem::PymtStatus_Paid}) {
            CProjectItem entry;
            entry.set_ItemType(type);
            entry.set_PymtStatus(status);
            entry.set_IsBillable(index % 2);
            entry.set_ProjectRef(index % 3 == 0 ? CString() : CString(u"SAMP002"));
            entry.set_Custom2(u"x");
            entry.set_ItemDate(Day(2004, 3, 1 + index * 3));
            EXPECT_EQ(0, filter.RunOnItem(&entry)) << "entry " << index;
            ++index;
        }
    }
    CProjectItem outside;
    outside.set_ItemDate(Day(2004, 4, 1));
    EXPECT_EQ(1, filter.RunOnItem(&outside));
}

TEST_F(FilterFixture, ChoicesAreCopiedBackAndUncheckedTypesHideEverything) {
    CProjectItemFilter filter;
    filter.m_dtStart = Day(2004, 3, 1);
    filter.m_dtEnd = Day(2004, 3, 31);
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        auto* general = dynamic_cast<CDlgFilterGeneral*>(sheet.GetPage(0));
        general->ClientCombo()->setCurrentIndex(1);
        for (const char* name : {"timeCheck", "expenseCheck", "mileageCheck"})
            general->Check(name)->setChecked(false);
        EXPECT_TRUE(sheet.SetActivePage(1));
        auto* custom = dynamic_cast<CDlgFilterCustom*>(sheet.GetPage(1));
        EXPECT_EQ(100, custom->CustomEdit(1)->maxLength());
        custom->CustomEdit(2)->setText(QStringLiteral("INV-1"));
        return PressSheetOk(dialog);
    }});
    EXPECT_TRUE(EditFilter(&filter));
    EXPECT_EQ(u"SAMP001", filter.m_strClientRef);
    EXPECT_EQ(0, filter.m_bIncludeTime);
    EXPECT_EQ(0, filter.m_bIncludeExpense);
    EXPECT_EQ(0, filter.m_bIncludeMileage);
    EXPECT_EQ(1, filter.m_bIncludePaid);
    EXPECT_EQ(u"INV-1", filter.m_strCustom2);
    filter.m_bActive = 1;
    for (auto type : {CProjectItem::ItemType_Time, CProjectItem::ItemType_Expense, CProjectItem::ItemType_Mileage}) {
        CProjectItem entry;
        entry.set_ItemType(type);
        entry.set_ItemDate(Day(2004, 3, 3));
        EXPECT_EQ(1, filter.RunOnItem(&entry));
    }
}

TEST_F(FilterFixture, CancelLeavesTheFilterUntouched) {
    CProjectItemFilter filter;
    filter.m_strCustom1 = u"keep";
    DialogScript script({[](QDialog& dialog) {
        dynamic_cast<CDlgFilterGeneral*>(AsSheet(dialog).GetPage(0))->Check("paidCheck")->setChecked(false);
        return PressSheetCancel(dialog);
    }});
    EXPECT_FALSE(EditFilter(&filter));
    EXPECT_EQ(u"keep", filter.m_strCustom1);
    EXPECT_EQ(1, filter.m_bIncludePaid);
}

TEST_F(FilterFixture, CustomLabelsCarryAColon) {
    CProjectItemFilter filter;
    DialogScript script({[](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* custom = dynamic_cast<CDlgFilterCustom*>(AsSheet(dialog).GetPage(1));
        EXPECT_EQ(CustomFieldLabel(1) + u":", custom->m_strLabel1);
        return PressSheetCancel(dialog);
    }});
    EditFilter(&filter);
}
