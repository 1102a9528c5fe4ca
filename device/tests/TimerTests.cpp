// The device's timer: its menu in the command bar's Tools menu, the running time in the header strip, the
// entry a stop makes, and a timer that is still running after the program started again.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "biz/TimerStateFile.h"
#include "device/MainFrame.h"
#include "device/TimerCommands.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/ObArray.h"
#include "testing/SettableClock.h"
#include "ui/shared/TimerControl.h"

namespace {

class DeviceTimer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceData();
        std::error_code ignored;
        std::filesystem::remove(CTimerStateFile::DefaultPath(), ignored);
        const int client = AddClient(u"Acme");
        m_projectRef = RefIdOf(AddProject(u"Survey", RefIdOf(client, u"client")), u"project");
    }

    static QAction* Action(CMainFrame& frame, const char* name) {
        return frame.findChild<QAction*>(QLatin1String(name));
    }
    // Entries of the test's project (the data file also holds the sample records).
    std::vector<CProjectItem> TimeEntries() const {
        std::vector<CProjectItem> entries;
        const std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        for (int index = 0; index < list->GetSize(); ++index) {
            const auto* entry = static_cast<const CProjectItem*>(list->GetAt(index));
            if (entry->get_ProjectRef() == m_projectRef)
                entries.push_back(*entry);
        }
        return entries;
    }

    SettableClock m_clock{COleDateTime(2026, 3, 2, 22, 30, 0)};
    CString m_projectRef;
};

}   // namespace

TEST_F(DeviceTimer, StartsOnTheProjectTypedIntoThePicker) {
    const CString bank = RefIdOf(AddClient(u"Zürich Bank"), u"client");
    const CString website = RefIdOf(AddProject(u"Website", bank), u"project");
    AddProject(u"Web shop", RefIdOf(AddClient(u"Other"), u"client"));
    RunningDevice device;
    CTimerControl& control = device.Frame().Timer()->Control();
    auto shownProjects = [](QDialog& dialog) {
        auto* tree = dialog.findChild<QTreeWidget*>(QStringLiteral("clientsProjectsTree"));
        QStringList shown;
        for (int index = 0; tree && index < tree->topLevelItemCount(); ++index) {
            QTreeWidgetItem* client = tree->topLevelItem(index);
            for (int child = 0; !client->isHidden() && child < client->childCount(); ++child) {
                if (!client->child(child)->isHidden())
                    shown << client->text(0) + QStringLiteral(": ") + client->child(child)->text(0);
            }
        }
        return shown;
    };
    {
        // Part of two projects' names leaves both; then Cancel starts nothing.
        DialogScript dialogs({[&](QDialog& dialog) {
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("findBox")), QStringLiteral("web"));
            EXPECT_EQ(shownProjects(dialog), (QStringList{"Other: Web shop", "Zürich Bank: Website"}));
            return Cancel(dialog);
        }});
        Action(device.Frame(), "timerStart")->trigger();
        EXPECT_EQ(dialogs.Shown(), 1);
    }
    EXPECT_FALSE(control.IsActive());
    {
        // A client's name, accents and case aside, leaves its one project, chosen for OK; keys
        // typed into the tree go to the find box.
        DialogScript dialogs({[&](QDialog& dialog) {
            QTest::keyClicks(dialog.findChild<QTreeWidget*>(QStringLiteral("clientsProjectsTree")),
                             QStringLiteral("ZURICH"));
            EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("findBox"))->text(), QStringLiteral("ZURICH"));
            EXPECT_EQ(shownProjects(dialog), QStringList{"Zürich Bank: Website"});
            return PressDialogOk(dialog);
        }});
        Action(device.Frame(), "timerStart")->trigger();
    }
    ASSERT_TRUE(control.IsActive());
    EXPECT_EQ(control.Timer().ProjectRef(), website);
}

TEST_F(DeviceTimer, ToolsMenuOffersTheTimerAndTheHeaderShowsTheRunningTime) {
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    QMenu* tools = frame.findChild<QMenu*>(QStringLiteral("toolsMenu"));
    ASSERT_NE(tools, nullptr);
    ASSERT_FALSE(tools->actions().isEmpty());
    EXPECT_EQ(tools->actions().constFirst()->menu(), frame.Timer()->Menu());
    QLabel* time = frame.Timer()->TimeLabel();
    EXPECT_FALSE(time->isVisibleTo(&frame));
    EXPECT_FALSE(Action(frame, "timerStop")->isEnabled());

    ASSERT_TRUE(frame.Timer()->Control().Start(m_projectRef, CString(), CString()));
    m_clock.AdvanceMinutes(45);
    emit frame.Timer()->Control().tick();
    EXPECT_TRUE(time->isVisibleTo(&frame));
    EXPECT_EQ(time->text(), QStringLiteral("0:45:00"));
    EXPECT_LT(time->geometry().bottom(), 24);   // inside the header strip
    MaybeScreenshot(frame, "timer-running");

    Action(frame, "timerPause")->trigger();
    EXPECT_EQ(Action(frame, "timerPause")->text(), QStringLiteral("Resume"));
    m_clock.AdvanceMinutes(10);
    Action(frame, "timerPause")->trigger();
    m_clock.AdvanceMinutes(5);
    Action(frame, "timerStop")->trigger();
    EXPECT_FALSE(frame.Timer()->Control().IsActive());
    EXPECT_FALSE(time->isVisibleTo(&frame));

    const std::vector<CProjectItem> entries = TimeEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().get_DurationInMinutes(), 50);
    EXPECT_EQ(entries.front().get_ProjectRef(), m_projectRef);
    EXPECT_EQ(entries.front().get_ItemDate().GetDay(), 2);   // past midnight: dated on its start day

    // The project is offered again among the recent ones.
    QStringList texts;
    for (QAction* action : frame.Timer()->Menu()->actions())
        texts << action->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Acme: Survey")));
}

TEST_F(DeviceTimer, ARunningTimerIsBackAfterTheProgramStartsAgain) {
    {
        RunningDevice device;
        ASSERT_TRUE(device.Frame().Timer()->Control().Start(m_projectRef, CString(), u"Field work"));
        m_clock.AdvanceMinutes(20);
    }
    m_clock.AdvanceMinutes(70);
    RunningDevice device;
    CTimerControl& control = device.Frame().Timer()->Control();
    ASSERT_TRUE(control.IsActive());
    EXPECT_EQ(control.ElapsedText(), QStringLiteral("1:30:00"));
    EXPECT_EQ(device.Frame().Timer()->TimeLabel()->text(), QStringLiteral("1:30:00"));
    Action(device.Frame(), "timerStop")->trigger();
    const std::vector<CProjectItem> entries = TimeEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().get_DurationInMinutes(), 90);
    EXPECT_EQ(entries.front().get_Description(), CString(u"Field work"));
}
