// Message 1124: after the sync library committed the desktop's changes to the data file, the
// running program reloads its data store and shows them without a restart.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>

#include <cerrno>
#include <cstdio>

#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "device/MainFrame.h"
#include "device/ViewByDate.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/WindowMessages.h"
#include "platform/WriteFault.h"
#include "ui/shared/ListCtrlEx.h"

namespace {

// Another process with a data store of its own (as the connection service runs the sync
// library) adds an entry to the data file; returns the entry's ID, 0 on failure.
int AddEntryFromAnotherProcess(const COleDateTime& date) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return 0;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        int id = 0;
        if (GetCurrDataHelper()->Initialize() == 1) {
            CProjectItem entry;
            entry.set_ItemType(CProjectItem::ItemType_Expense);
            entry.set_ItemDate(date);
            entry.set_BillAmount(12.5f);
            entry.set_Description2(u"Parking");
            if (entry.Save())
                id = entry.get_ID();
        }
        const ssize_t written = write(pipeEnds[1], &id, sizeof id);
        _exit(written == sizeof id ? 0 : 1);
    }
    close(pipeEnds[1]);
    int id = 0;
    if (child < 0 || read(pipeEnds[0], &id, sizeof id) != sizeof id)
        id = 0;
    close(pipeEnds[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    return id;
}

}   // namespace

TEST(DeviceReload, Message1124ReloadsTheDataStoreAndTheView) {
    ResetDeviceData();
    RunningDevice device;
    CViewByDate& view = device.View();
    const COleDateTime day(2024, 3, 13, 0, 0, 0);
    view.GoToDate(day);
    const int id = AddEntryFromAnotherProcess(day);
    ASSERT_NE(id, 0);
    view.Refresh(0);
    // Without the message the program still shows its own copy of the data.
    EXPECT_EQ(RowOfEntry(*view.GetListCtrl(), id), -1);

    HWND window = FindWindow(u"Quillmar");
    ASSERT_TRUE(window);
    ASSERT_TRUE(PostMessage(window, 1124));
    QElapsedTimer waited;
    waited.start();
    while (RowOfEntry(*view.GetListCtrl(), id) < 0 && waited.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_GE(RowOfEntry(*view.GetListCtrl(), id), 0);
}

TEST(DeviceReload, DataFileThatDoesNotLoadAfterASynchronisationIsReported) {
    ResetDeviceData();
    RunningDevice device;
    MessageBoxScript boxes;
    // The data file is gone and a new one cannot be written.
    std::remove(GetCurrDataHelper()->GetDataFilePath().ToUtf8().c_str());
    WriteFault::Arm(WriteFault::Op::Rename, 1, EROFS);
    ASSERT_TRUE(PostMessage(FindWindow(u"Quillmar"), 1124));
    auto reported = [&] {
        for (const auto& shown : boxes.Messages())
            if (shown.text.Find(u"could not be loaded after the synchronisation") >= 0)
                return true;
        return false;
    };
    QElapsedTimer waited;
    waited.start();
    while (!reported() && waited.elapsed() < 5000)
        QTest::qWait(20);
    WriteFault::Disarm();
    EXPECT_TRUE(reported());
    EXPECT_EQ(GetCurrDataHelper()->Initialize(), 1);
}

TEST(DeviceReload, OtherMessagesAreIgnored) {
    ResetDeviceData();
    RunningDevice device;
    CViewByDate& view = device.View();
    const COleDateTime day(2024, 3, 13, 0, 0, 0);
    view.GoToDate(day);
    const int id = AddEntryFromAnotherProcess(day);
    ASSERT_NE(id, 0);
    ASSERT_TRUE(PostMessage(FindWindow(u"Quillmar"), 1125));
    QTest::qWait(200);
    EXPECT_EQ(RowOfEntry(*view.GetListCtrl(), id), -1);
}
