// Edit Duration: exact times, the recomputation, and the checks of OK (messages 37 and 38).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>

#include "biz/ProjectItem.h"
#include "platform/Clock.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DlgEditDuration.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
COleDateTime TimeOfDay(int hour, int minute) { return COleDateTime(1899, 12, 30, hour, minute, 0); }

// Opens the dialog with the given values and runs `step` on it.
int RunDuration(CDlgEditDuration& dialog, DialogScript::Step step) {
    DialogScript script({std::move(step)});
    return dialog.DoModal();
}

int PressOk(QDialog& dialog) {
    static_cast<CDlgEditDuration&>(dialog).OnOK();
    return dialog.result();
}
}   // namespace

TEST(EditDuration, ExactTimesGiveTheDuration) {
    CDlgEditDuration dialog;
    dialog.m_StartTime = TimeOfDay(9, 0);
    dialog.m_EndTime = TimeOfDay(17, 30);
    dialog.m_nDuration = 5;
    const int result = RunDuration(dialog, [](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        EXPECT_EQ(QStringLiteral("Edit Duration"), duration.windowTitle());
        EXPECT_TRUE(duration.ExactTimesCheck()->isChecked());
        EXPECT_TRUE(duration.StartPicker()->isEnabled());
        EXPECT_EQ(QStringLiteral("8"), duration.HoursEdit()->text());
        EXPECT_EQ(QStringLiteral("30"), duration.MinutesEdit()->text());
        return PressOk(d);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(510, dialog.m_nDuration);
    EXPECT_EQ(9, dialog.m_StartTime.GetHour());
    EXPECT_EQ(17, dialog.m_EndTime.GetHour());
}

TEST(EditDuration, HoursAndMinutesThatDisagreeWithTheTimesShowMessage38) {
    MessageBoxScript messages;
    CDlgEditDuration dialog;
    dialog.m_StartTime = TimeOfDay(9, 0);
    dialog.m_EndTime = TimeOfDay(17, 30);
    const int result = RunDuration(dialog, [&](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        duration.MinutesEdit()->setText(QStringLiteral("29"));
        EXPECT_EQ(QDialog::Rejected, PressOk(d));
        EXPECT_TRUE(messages.ShownOnly(38));
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, messages.Shown()[0].flags);
        duration.reject();
        return duration.result();
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST(EditDuration, ZeroDurationAsksMessage37) {
    CDlgEditDuration dialog;
    dialog.m_nDuration = 0;
    {
        MessageBoxScript messages({IDNO, IDYES});
        const int result = RunDuration(dialog, [&](QDialog& d) {
            auto& duration = static_cast<CDlgEditDuration&>(d);
            EXPECT_FALSE(duration.ExactTimesCheck()->isChecked());
            EXPECT_FALSE(duration.StartPicker()->isEnabled());
            EXPECT_EQ(QDialog::Rejected, PressOk(d));   // No keeps it open
            EXPECT_TRUE(messages.ShownOnly(37));
            EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, messages.Shown()[0].flags);
            return PressOk(d);   // Yes goes on
        });
        EXPECT_EQ(IDOK, result);
    }
    EXPECT_EQ(0, dialog.m_nDuration);
    EXPECT_EQ(0.0, dialog.m_StartTime.m_dt);
    EXPECT_EQ(0.0, dialog.m_EndTime.m_dt);
}

TEST(EditDuration, ClearingTheFlagDropsTheTimes) {
    CDlgEditDuration dialog;
    dialog.m_StartTime = TimeOfDay(9, 0);
    dialog.m_EndTime = TimeOfDay(10, 0);
    RunDuration(dialog, [](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        duration.ExactTimesCheck()->click();
        EXPECT_FALSE(duration.EndPicker()->isEnabled());
        duration.HoursEdit()->setText(QStringLiteral("2"));
        return PressOk(d);
    });
    EXPECT_EQ(120, dialog.m_nDuration);
    EXPECT_EQ(0.0, dialog.m_StartTime.m_dt);
    EXPECT_EQ(0.0, dialog.m_EndTime.m_dt);
}

TEST(EditDuration, StartPastEndMovesTheEndUp) {
    CDlgEditDuration dialog;
    dialog.m_StartTime = TimeOfDay(9, 0);
    dialog.m_EndTime = TimeOfDay(10, 0);
    RunDuration(dialog, [](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        duration.StartPicker()->setTime(QTime(11, 15));
        EXPECT_EQ(QTime(11, 15), duration.EndPicker()->time());
        EXPECT_EQ(QStringLiteral("0"), duration.HoursEdit()->text());
        EXPECT_EQ(QStringLiteral("0"), duration.MinutesEdit()->text());
        duration.EndPicker()->setTime(QTime(13, 45));
        EXPECT_EQ(QStringLiteral("2"), duration.HoursEdit()->text());
        EXPECT_EQ(QStringLiteral("30"), duration.MinutesEdit()->text());
        return PressOk(d);
    });
    EXPECT_EQ(150, dialog.m_nDuration);
}

TEST(EditDuration, HoursOutOfRangeGetTheStandardMessage) {
    MessageBoxScript messages;
    CDlgEditDuration dialog;
    dialog.m_nDuration = 60;
    RunDuration(dialog, [&](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        duration.HoursEdit()->setText(QStringLiteral("150"));
        EXPECT_EQ(QDialog::Rejected, PressOk(d));
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter an integer between 0 and 100."));
        duration.reject();
        return duration.result();
    });
    EXPECT_EQ(60, dialog.m_nDuration);
}

TEST(EditDuration, ANewEntryOpensWithTheCheckBoxSet) {
    Clock::Set(COleDateTime(2004, 3, 7, 14, 37, 0));
    CProjectItem entry;
    Clock::Set(std::nullopt);
    EXPECT_EQ(60, entry.get_DurationInMinutes());
    CDlgEditDuration dialog;
    dialog.m_StartTime = entry.get_StartTime();
    dialog.m_EndTime = entry.get_EndTime();
    dialog.m_nDuration = entry.get_DurationInMinutes();
    RunDuration(dialog, [](QDialog& d) {
        auto& duration = static_cast<CDlgEditDuration&>(d);
        EXPECT_TRUE(duration.ExactTimesCheck()->isChecked());
        EXPECT_EQ(QTime(14, 0), duration.StartPicker()->time());
        EXPECT_EQ(QTime(15, 0), duration.EndPicker()->time());
        EXPECT_EQ(QStringLiteral("1"), duration.HoursEdit()->text());
        EXPECT_EQ(QStringLiteral("0"), duration.MinutesEdit()->text());
        return PressOk(d);
    });
    EXPECT_EQ(60, dialog.m_nDuration);
}

TEST(EditDuration, MinutesBetweenTruncatesWithTheHalfSecond) {
    EXPECT_EQ(510, CDlgEditDuration::MinutesBetween(TimeOfDay(9, 0), TimeOfDay(17, 30)));
    EXPECT_EQ(0, CDlgEditDuration::MinutesBetween(TimeOfDay(9, 0), TimeOfDay(9, 0)));
    // 59.99 seconds short of a minute stays below it; the half second absorbs rounding only.
    EXPECT_EQ(0, CDlgEditDuration::MinutesBetween(TimeOfDay(9, 0), COleDateTime(1899, 12, 30, 9, 0, 59)));
    EXPECT_FALSE(CDlgEditDuration::HasTimeOfDay(COleDateTime(0.0)));
    EXPECT_TRUE(CDlgEditDuration::HasTimeOfDay(TimeOfDay(0, 1)));
}
