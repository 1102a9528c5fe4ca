// What keeps a handheld user's data whole: one running copy of the program, totals that follow
// the list, deletion questions that say what they delete, new entries dated where they are seen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <functional>
#include <memory>

#include "biz/Client.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/tests/DeviceTestSupport.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

namespace {

class HandheldData : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

// Runs the event loop until the condition holds, for at most a few seconds.
void WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 10000)
        QTest::qWait(20);
}

COleDateTime Date(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

}   // namespace

TEST_F(HandheldData, ASecondStartInTheSameProcessShowsNoWindow) {
    RunningDevice first;
    auto second = std::make_unique<CQuillmarApp>();
    EXPECT_FALSE(second->InitInstance());
    EXPECT_TRUE(second->FoundOtherInstance());
    EXPECT_EQ(second->GetMainFrame(), nullptr);
    EXPECT_TRUE(first.Frame().isVisible());
}

TEST_F(HandheldData, ASecondProgramRaisesTheFirstWindowAndEnds) {
    RunningDevice first;
    CMainFrame& frame = first.Frame();
    frame.showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(frame.windowState() & Qt::WindowMinimized);
    const std::string before = DataFileContents();

    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(QStringLiteral(QUILLMAR_DEVICE_EXE), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    // Our event loop must run while the second program posts its message.
    WaitFor([&second] { return second.state() == QProcess::NotRunning; });
    ASSERT_EQ(second.state(), QProcess::NotRunning);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();
    WaitFor([&frame] { return !(frame.windowState() & Qt::WindowMinimized); });
    EXPECT_FALSE(frame.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(DataFileContents(), before);
}

TEST_F(HandheldData, TheTotalsLeaveADeletedEntryOutAtOnce) {
    const COleDateTime today = GetDatePortion(COleDateTime::GetCurrentTime());
    const int kept = AddTimeEntry(today, u"SAMP002", 60, 40.0f, 0);
    const int gone = AddTimeEntry(today, u"SAMP002", 90, 52.5f, 0);
    RunningDevice device;
    CViewByDate& view = device.View();
    ASSERT_EQ(view.GetSummaryData().m_nTimeCount, 2);
    CEntryRows::SelectEntry(*view.GetListCtrl(), gone);
    MessageBoxScript boxes({IDYES});
    device.Frame().ExecuteCommand(32796);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(view.GetListCtrl()->topLevelItemCount(), 1);
    const CSummaryData& summary = view.GetSummaryData();
    EXPECT_EQ(summary.m_nTimeCount, 1);
    EXPECT_EQ(summary.m_nBillableMinutes, 60);
    EXPECT_FLOAT_EQ(summary.m_fBillableTimeAmount, 40.0f);
    EXPECT_EQ(view.GetListCtrl()->GetRowValue(0), kept);
}

TEST_F(HandheldData, DeletingAClientNamesEachProjectItAsksAbout) {
    const int client = AddClient(u"Northwind");
    const CString clientRef = RefIdOf(client, u"client");
    AddProject(u"Upgrade", clientRef);
    AddProject(u"Audit", clientRef);
    MessageBoxScript boxes({IDOK, IDNO, IDNO});
    CClient record;
    record.set_ID(client);
    ASSERT_EQ(record.Load(), 1);
    EXPECT_EQ(record.Delete(), 1);
    ASSERT_EQ(boxes.Messages().size(), 3u);
    EXPECT_GE(boxes.Messages()[1].text.Find(u"Upgrade"), 0);
    EXPECT_GE(boxes.Messages()[2].text.Find(u"Audit"), 0);
}

TEST_F(HandheldData, ANewEntryTakesTheFirstDayOfAPeriodThatLeavesOutToday) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(Date(2024, 3, 13));
    EXPECT_EQ(GetDatePortion(view.NewEntryDate()), Date(2024, 3, 1));
    QDate shown;
    DialogScript script({[&shown](QDialog& dialog) {
        auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog);
        auto* details = sheet ? dynamic_cast<CDlgEntryDetailsBase*>(sheet->GetPage(0)) : nullptr;
        EXPECT_NE(details, nullptr);
        if (details && details->DatePicker())
            shown = details->DatePicker()->date();
        return static_cast<int>(QDialog::Rejected);
    }});
    device.Frame().ExecuteCommand(32785);
    EXPECT_EQ(shown, QDate(2024, 3, 1));

    // In the period that holds today, a new entry is dated today, as ever.
    view.OnToday();
    EXPECT_EQ(GetDatePortion(view.NewEntryDate()), GetDatePortion(COleDateTime::GetCurrentTime()));
}
