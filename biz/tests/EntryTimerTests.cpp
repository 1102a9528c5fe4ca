// The entry timer: runs, pauses, stops into entries, survives restarts, and idle time.
#include <filesystem>
#include <memory>

#include "biz/Amount.h"
#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/EntryAmounts.h"
#include "biz/EntryTimer.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "xml/MarkupArchive.h"

namespace {

using Result = CEntryTimer::Result;
using State = CEntryTimer::State;
using Restored = CEntryTimer::Restored;
using ZeroMinutes = CEntryTimer::ZeroMinutes;

const CString kProject = u"SAMP002";        // the sample project of a new data file
const CString kFreeCategory = u"SAMP003";   // the sample category, without a rate

void Minutes(double minutes) { Clock::AdvanceSeconds(minutes * 60); }

// An amount as the data file keeps it.
std::string StoredAmount(float amount) { return CMarkupArchive::FloatText(amount).ToUtf8(); }

// A computed amount as an entry keeps it: to the cent.
float ToTheCent(float amount) { return CAmount::FromFloat(amount).ToFloat(); }

COleDateTime TimeOfDay(int hour, int minute, int second) {
    COleDateTime time;
    time.SetTime(hour, minute, second);
    return time;
}

class EntryTimerTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        CCategory rated;
        rated.set_Description(u"Consulting");
        rated.set_Quillmar(80.0f);
        ASSERT_EQ(rated.Save(), 1);
        m_ratedCategory = rated.get_RefID();
    }

    std::string StatePath() const { return m_home.Home() + "/.config/Kestovar/Quillmar-desktop.timer"; }

    static std::vector<std::unique_ptr<CProjectItem>> Entries() {
        std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        std::vector<std::unique_ptr<CProjectItem>> entries;
        while (!list->IsEmpty())
            entries.emplace_back(static_cast<CProjectItem*>(list->Detach(0).release()));
        return entries;
    }

    // The entry as stored: loaded afresh by its ID.
    static CProjectItem Stored(int id) {
        CProjectItem entry;
        entry.set_ID(id);
        EXPECT_EQ(entry.Load(), 1);
        return entry;
    }

    static CString NewProject(const char16_t* name) {
        CProject project;
        project.set_Description(name);
        EXPECT_EQ(project.Save(), 1);
        return project.get_RefID();
    }

    CString m_ratedCategory;
};

using TimerStopTest = EntryTimerTest;
using TimerPersistenceTest = EntryTimerTest;
using TimerIdleTest = EntryTimerTest;

}   // namespace

TEST_F(EntryTimerTest, StopMakesAnOrdinaryTimeEntryOfTheTimeRun) {
    CEntryTimer timer;
    EXPECT_EQ(timer.StatePath(), StatePath());   // beside the registry file
    ASSERT_EQ(timer.Start(kProject, m_ratedCategory, u"Design review").result, Result::Done);
    Minutes(30);
    ASSERT_EQ(timer.Pause().result, Result::Done);
    EXPECT_EQ(timer.GetState(), State::Paused);
    Minutes(20);
    EXPECT_EQ(timer.RunSeconds(), 30 * 60);
    ASSERT_EQ(timer.Resume().result, Result::Done);
    Minutes(15.5);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done) << stop.message.ToUtf8();
    EXPECT_EQ(stop.minutes, 45);
    EXPECT_EQ(timer.GetState(), State::Idle);

    const CProjectItem entry = Stored(stop.entryId);
    EXPECT_EQ(entry.get_ItemType(), CProjectItem::ItemType_Time);
    EXPECT_EQ(entry.get_ProjectRef(), kProject);
    EXPECT_EQ(entry.get_CategoryRef(), m_ratedCategory);
    EXPECT_EQ(entry.get_Description(), CString(u"Design review"));
    EXPECT_EQ(entry.get_ItemDate(), COleDateTime(2004, 3, 7, 0, 0, 0));
    EXPECT_EQ(entry.get_StartTime(), TimeOfDay(14, 5, 0));
    EXPECT_EQ(entry.get_EndTime(), TimeOfDay(15, 10, 30));
    EXPECT_EQ(entry.get_DurationInMinutes(), 45);
    EXPECT_FLOAT_EQ(entry.get_BillAmount(), 60.0f);
    EXPECT_EQ(entry.get_IsBillable(), 1);
    EXPECT_EQ(entry.get_PymtStatus(), CProjectItem::PymtStatus_NotBilled);
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(TimerStopTest, AmountFollowsTheCategoryRateAsTheEditorComputesIt) {
    EXPECT_FLOAT_EQ(TimeEntryAmount(90, 80.0f), 120.0f);
    EXPECT_EQ(TimeEntryAmount(0, 80.0f), 0.0f);
    EXPECT_FLOAT_EQ(MileageEntryAmount(12000, 12150, 0.365f), 54.75f);

    CCategory odd;
    odd.set_Quillmar(33.33f);
    ASSERT_EQ(odd.Save(), 1);
    struct Case {
        CString category;
        int minutes;
        float amount;
    } cases[] = {{m_ratedCategory, 90, 120.0f},
                 {odd.get_RefID(), 5, TimeEntryAmount(5, 33.33f)},
                 {kFreeCategory, 90, 0.0f},
                 {CString(), 90, 0.0f}};
    for (const Case& c : cases) {
        CEntryTimer timer;
        ASSERT_EQ(timer.Start(kProject, c.category, CString()).result, Result::Done);
        Minutes(c.minutes);
        const CEntryTimer::Outcome stop = timer.Stop();
        ASSERT_EQ(stop.result, Result::Done);
        EXPECT_EQ(StoredAmount(Stored(stop.entryId).get_BillAmount()), StoredAmount(ToTheCent(c.amount)))
            << c.category.ToUtf8();
    }
}

TEST_F(TimerStopTest, ACategoryDeletedWhileTimingBillsNothing) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, m_ratedCategory, CString()).result, Result::Done);
    CCategory category;
    category.set_ID(GetCurrDataHelper()->RefID_To_ID(m_ratedCategory, u"category"));
    m_boxes.Answer(IDYES);
    ASSERT_EQ(category.Delete(), 1);
    Minutes(60);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    EXPECT_EQ(Stored(stop.entryId).get_BillAmount(), 0.0f);
}

TEST_F(TimerStopTest, ATimerAcrossMidnightMakesOneEntryOnItsStartDay) {
    Clock::Set(COleDateTime(2004, 3, 7, 23, 30, 0));
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(150);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    const CProjectItem entry = Stored(stop.entryId);
    EXPECT_EQ(entry.get_ItemDate(), COleDateTime(2004, 3, 7, 0, 0, 0));
    EXPECT_EQ(entry.get_StartTime(), TimeOfDay(23, 30, 0));
    EXPECT_EQ(entry.get_EndTime(), TimeOfDay(2, 0, 0));
    EXPECT_EQ(entry.get_DurationInMinutes(), 150);
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(TimerStopTest, UnderAMinuteIsReportedFirstAndCreatedOnlyWhenAsked) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, m_ratedCategory, CString()).result, Result::Done);
    Clock::AdvanceSeconds(40);
    const CEntryTimer::Outcome asked = timer.Stop();
    EXPECT_EQ(asked.result, Result::ZeroMinutes);
    EXPECT_EQ(asked.minutes, 0);
    EXPECT_EQ(timer.GetState(), State::Running);
    EXPECT_TRUE(Entries().empty());

    Clock::AdvanceSeconds(30);   // while the user reads the question
    const CEntryTimer::Outcome made = timer.StopAt(asked.stoppedAt, ZeroMinutes::Create);
    ASSERT_EQ(made.result, Result::Done);
    const CProjectItem entry = Stored(made.entryId);
    EXPECT_EQ(entry.get_DurationInMinutes(), 0);
    EXPECT_EQ(entry.get_EndTime(), TimeOfDay(14, 5, 40));
    EXPECT_EQ(entry.get_BillAmount(), 0.0f);
}

TEST_F(TimerStopTest, DiscardMakesNoEntry) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Clock::AdvanceSeconds(20);
    ASSERT_EQ(timer.Discard().result, Result::Done);
    EXPECT_EQ(timer.GetState(), State::Idle);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(timer.Discard().result, Result::NotActive);
}

TEST_F(TimerStopTest, TheEntryIsSentAtTheNextSynchronisation) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), u"Sync me").result, Result::Done);
    Minutes(10);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    const COleDateTime lastSync =
        CDateTimeFormatter::GetDateTimeFromDB(GetCurrDataHelper()->GetMetaDataValue(u"lastSync"));
    std::unique_ptr<CObArray> changed(GetCurrDataHelper()->GetObjectListModifiedAfter(u"projectItem", lastSync));
    ASSERT_EQ(changed->GetSize(), 1);
    EXPECT_EQ(static_cast<CProjectItem*>(changed->GetAt(0))->get_ID(), stop.entryId);
    EXPECT_NE(DataFileText().find("<description>Sync me</description>"), std::string::npos);
}

TEST_F(EntryTimerTest, OneTimerAtATime) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), u"first").result, Result::Done);
    const CEntryTimer::Outcome second = timer.Start(kProject, m_ratedCategory, u"second");
    EXPECT_EQ(second.result, Result::AlreadyActive);
    EXPECT_FALSE(second.message.IsEmpty());
    EXPECT_EQ(timer.Description(), CString(u"first"));
    EXPECT_EQ(timer.Resume().result, Result::NotPaused);
    ASSERT_EQ(timer.Pause().result, Result::Done);
    EXPECT_EQ(timer.Pause().result, Result::NotRunning);
}

TEST_F(EntryTimerTest, BadDetailsAreRefusedAndChangeNothing) {
    CEntryTimer timer;
    CProject deleted;
    deleted.set_Description(u"Gone");
    ASSERT_EQ(deleted.Save(), 1);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(deleted.Delete(), 1);   // its RefID lives on in the deletion marker

    EXPECT_EQ(timer.Start(CString(), CString(), CString()).result, Result::NoSuchProject);
    EXPECT_EQ(timer.Start(u"NOPE", CString(), CString()).result, Result::NoSuchProject);
    EXPECT_EQ(timer.Start(deleted.get_RefID(), CString(), CString()).result, Result::NoSuchProject);
    EXPECT_EQ(timer.Start(kProject, kProject, CString()).result, Result::NoSuchCategory);
    EXPECT_EQ(timer.Start(kProject, CString(), CString(u'x', 256)).result, Result::DescriptionTooLong);
    EXPECT_EQ(timer.GetState(), State::Idle);
    EXPECT_FALSE(FileExists(StatePath()));

    ASSERT_EQ(timer.Start(kProject, CString(), CString(u'x', 255)).result, Result::Done);
    EXPECT_EQ(timer.SetDetails(kProject, u"NOPE", u"changed").result, Result::NoSuchCategory);
    EXPECT_EQ(timer.Description(), CString(u'x', 255));
    ASSERT_EQ(timer.SetDetails(kProject, m_ratedCategory, u"changed").result, Result::Done);
    Minutes(60);
    EXPECT_EQ(Stored(timer.Stop().entryId).get_BillAmount(), 80.0f);
}

TEST_F(EntryTimerTest, SummerTimeNeitherAddsNorTakesTime) {
    // The local clock goes back an hour while the timer runs; UTC runs on.
    struct ScriptedClock : CTimerClock {
        CTimerInstant now;
        CTimerInstant Now() const override { return now; }
    };
    auto clock = std::make_shared<ScriptedClock>();
    clock->now = {127000000000000000, COleDateTime(2004, 10, 31, 1, 30, 0)};
    CEntryTimer timer(StatePath(), clock);
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    clock->now = {clock->now.utc + 45 * kTimerTicksPerMinute, COleDateTime(2004, 10, 31, 1, 15, 0)};
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    const CProjectItem entry = Stored(stop.entryId);
    EXPECT_EQ(entry.get_DurationInMinutes(), 45);
    EXPECT_EQ(entry.get_StartTime(), TimeOfDay(1, 30, 0));
    EXPECT_EQ(entry.get_EndTime(), TimeOfDay(1, 15, 0));
}

TEST_F(EntryTimerTest, RecentProjectsAreTheLastFiveStillStored) {
    std::vector<CString> projects = {kProject};
    for (const char16_t* name : {u"B", u"C", u"D", u"E", u"F"})
        projects.push_back(NewProject(name));
    CEntryTimer timer;
    for (const CString& project : projects) {
        ASSERT_EQ(timer.Start(project, CString(), CString()).result, Result::Done);
        ASSERT_EQ(timer.Discard().result, Result::Done);
    }
    ASSERT_EQ(timer.Start(projects[2], CString(), CString()).result, Result::Done);
    EXPECT_EQ(timer.RecentProjects(),
              (std::vector<CString>{projects[2], projects[5], projects[4], projects[3], projects[1]}));

    CProject gone;
    gone.set_ID(GetCurrDataHelper()->RefID_To_ID(projects[4], u"project"));
    m_boxes.Answer(IDYES);
    ASSERT_EQ(gone.Delete(), 1);
    CEntryTimer restarted;
    restarted.Restore();
    EXPECT_EQ(restarted.RecentProjects(), (std::vector<CString>{projects[2], projects[5], projects[3], projects[1]}));
}

TEST_F(TimerPersistenceTest, ARunningTimerComesBackWithTheTimePassed) {
    {
        CEntryTimer timer;
        ASSERT_EQ(timer.Restore().result, Restored::NoTimer);
        ASSERT_EQ(timer.Start(kProject, m_ratedCategory, u"Survives").result, Result::Done);
        Minutes(10);
        ASSERT_EQ(timer.Pause().result, Result::Done);
        Minutes(5);
        ASSERT_EQ(timer.Resume().result, Result::Done);
        Minutes(20);
    }   // the program ends (or crashes: nothing is written at exit)
    Minutes(60);
    CEntryTimer timer;
    const CEntryTimer::RestoreOutcome restored = timer.Restore();
    EXPECT_EQ(restored.result, Restored::Timer);
    EXPECT_EQ(timer.GetState(), State::Running);
    EXPECT_EQ(timer.ProjectRef(), kProject);
    EXPECT_EQ(timer.CategoryRef(), m_ratedCategory);
    EXPECT_EQ(timer.Description(), CString(u"Survives"));
    EXPECT_EQ(timer.FirstStart().local, TestNow());
    EXPECT_EQ(timer.RunSeconds(), 90 * 60);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    EXPECT_EQ(Stored(stop.entryId).get_DurationInMinutes(), 90);
    EXPECT_EQ(Stored(stop.entryId).get_StartTime(), TimeOfDay(14, 5, 0));
}

TEST_F(TimerPersistenceTest, StartingBeforeRestoringNeverReplacesAKeptTimer) {
    {
        CEntryTimer timer;
        ASSERT_EQ(timer.Start(kProject, CString(), u"kept").result, Result::Done);
    }
    CEntryTimer timer;
    EXPECT_EQ(timer.Start(kProject, CString(), u"new").result, Result::AlreadyActive);
    EXPECT_EQ(timer.Description(), CString(u"kept"));
}

TEST_F(TimerPersistenceTest, APausedTimerStaysPausedWhileClosed) {
    {
        CEntryTimer timer;
        ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
        Minutes(25);
        ASSERT_EQ(timer.Pause().result, Result::Done);
    }
    Minutes(600);
    CEntryTimer timer;
    ASSERT_EQ(timer.Restore().result, Restored::Timer);
    EXPECT_EQ(timer.GetState(), State::Paused);
    EXPECT_EQ(timer.RunSeconds(), 25 * 60);
}

TEST_F(TimerPersistenceTest, EveryChangeIsOnDiskAtOnce) {
    CEntryTimer timer;
    auto onDisk = [this] { return CTimerStateFile(StatePath()).Load(); };
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    EXPECT_EQ(onDisk().state.phase, CTimerState::Phase::Running);
    Minutes(1);
    ASSERT_EQ(timer.Pause().result, Result::Done);
    EXPECT_EQ(onDisk().state.phase, CTimerState::Phase::Paused);
    ASSERT_EQ(timer.Resume().result, Result::Done);
    EXPECT_EQ(onDisk().state.pauses.size(), 1u);
    ASSERT_EQ(timer.Stop().result, Result::Done);
    EXPECT_EQ(onDisk().state.phase, CTimerState::Phase::Idle);
    EXPECT_EQ(onDisk().state.recentProjects, std::vector<CString>{kProject});
    for (const std::string& name : FolderEntries(m_home.Home() + "/.config/Kestovar"))
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST_F(TimerPersistenceTest, AChangeThatCannotBeWrittenIsNotMade) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    // A folder in the state file's place: the rename fails, even for root.
    std::filesystem::remove(StatePath());
    std::filesystem::create_directory(StatePath());
    const CEntryTimer::Outcome pause = timer.Pause();
    EXPECT_EQ(pause.result, Result::StateNotSaved);
    EXPECT_NE(pause.message.Find(CString(StatePath())), -1);
    EXPECT_EQ(timer.GetState(), State::Running);
    Minutes(5);
    EXPECT_EQ(timer.Stop().result, Result::StateNotSaved);
    EXPECT_EQ(timer.GetState(), State::Running);
    EXPECT_TRUE(Entries().empty());

    std::filesystem::remove(StatePath());
    ASSERT_EQ(timer.Stop().result, Result::Done);
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(TimerPersistenceTest, ADamagedFileIsALostTimerAndNothingElse) {
    {
        CEntryTimer timer;
        ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    }
    const std::string text = ReadFileBytes(StatePath());
    ASSERT_TRUE(WriteFileBytes(StatePath(), text.substr(0, text.size() - 10)));
    const std::string dataBefore = DataFileText();

    CEntryTimer timer;
    const CEntryTimer::RestoreOutcome restored = timer.Restore();
    EXPECT_EQ(restored.result, Restored::Lost);
    EXPECT_NE(restored.message.Find(u"lost"), -1);
    EXPECT_NE(restored.message.Find(CString(StatePath() + ".damaged")), -1);
    EXPECT_EQ(timer.GetState(), State::Idle);
    EXPECT_TRUE(FileExists(StatePath() + ".damaged"));
    EXPECT_EQ(DataFileText(), dataBefore);

    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    CEntryTimer again;
    EXPECT_EQ(again.Restore().result, Restored::Timer);
}

TEST_F(TimerPersistenceTest, AStopCutShortByACrashIsFinishedOnceAtTheNextStart) {
    CTimerState stopping;
    stopping.phase = CTimerState::Phase::Stopping;
    stopping.projectRef = kProject;
    stopping.categoryRef = m_ratedCategory;
    stopping.firstStart = CTimerClock().Now();
    stopping.lastActivity = stopping.firstStart;
    stopping.stoppedAt = {stopping.firstStart.utc + 30 * kTimerTicksPerMinute, COleDateTime(2004, 3, 7, 14, 35, 0)};
    stopping.entryRefId = u"CRASHED7";
    ASSERT_TRUE(CTimerStateFile(StatePath()).Save(stopping));

    // The entry was not saved before the crash: it is saved now.
    CEntryTimer timer;
    const CEntryTimer::RestoreOutcome restored = timer.Restore();
    ASSERT_EQ(restored.result, Restored::StoppedEntrySaved);
    EXPECT_EQ(timer.GetState(), State::Idle);
    const CProjectItem entry = Stored(restored.entryId);
    EXPECT_EQ(entry.get_RefID(), CString(u"CRASHED7"));
    EXPECT_EQ(entry.get_DurationInMinutes(), 30);
    EXPECT_FLOAT_EQ(entry.get_BillAmount(), 40.0f);

    // The entry was saved but clearing the timer was not: nothing more is saved.
    ASSERT_TRUE(CTimerStateFile(StatePath()).Save(stopping));
    CEntryTimer again;
    EXPECT_EQ(again.Restore().result, Restored::NoTimer);
    EXPECT_EQ(Entries().size(), 1u);
    EXPECT_EQ(CTimerStateFile(StatePath()).Load().state.phase, CTimerState::Phase::Idle);
}

TEST_F(TimerPersistenceTest, AnEntryThatCannotBeSavedWaitsAndIsSavedOnce) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(12);
    // A folder in the data file's place: the data file cannot be written.
    const std::string dataFile = DataFilePath();
    const std::string kept = dataFile + ".kept";
    std::filesystem::rename(dataFile, kept);
    std::filesystem::create_directory(dataFile);
    const CEntryTimer::Outcome failed = timer.Stop();
    EXPECT_EQ(failed.result, Result::EntryNotSaved);
    EXPECT_EQ(timer.GetState(), State::Stopping);
    EXPECT_EQ(CTimerStateFile(StatePath()).Load().state.phase, CTimerState::Phase::Stopping);

    Minutes(5);
    EXPECT_EQ(timer.Stop().result, Result::EntryNotSaved);
    std::filesystem::remove(dataFile);
    const CEntryTimer::Outcome saved = timer.Stop();
    ASSERT_EQ(saved.result, Result::Done);
    EXPECT_EQ(saved.minutes, 12);
    EXPECT_EQ(Entries().size(), 1u);
    EXPECT_EQ(timer.GetState(), State::Idle);
}

TEST_F(TimerPersistenceTest, ARetriedStopNeverTakesTheIdOfARecordSavedAfterAReload) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(12);
    const std::string dataFile = DataFilePath();
    std::filesystem::rename(dataFile, dataFile + ".kept");
    std::filesystem::create_directory(dataFile);
    ASSERT_EQ(timer.Stop().result, Result::EntryNotSaved);
    // The data file comes back and is read again (as after a synchronisation); the ID the
    // entry had was never written, so the next record gets it.
    std::filesystem::remove(dataFile);
    std::filesystem::rename(dataFile + ".kept", dataFile);
    ASSERT_EQ(Store().Initialize(), 1);
    Minutes(1);
    CClient client;
    client.set_Description(u"Saved meanwhile");
    ASSERT_EQ(client.Save(), 1);

    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    EXPECT_NE(stop.entryId, client.get_ID());
    CClient reloaded;
    reloaded.set_ID(client.get_ID());
    ASSERT_EQ(reloaded.Load(), 1);
    EXPECT_EQ(reloaded.get_Description(), CString(u"Saved meanwhile"));
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(TimerPersistenceTest, DiscardingAnUnsavedStopDropsItsEntry) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(12);
    const std::string dataFile = DataFilePath();
    std::filesystem::rename(dataFile, dataFile + ".kept");
    std::filesystem::create_directory(dataFile);
    ASSERT_EQ(timer.Stop().result, Result::EntryNotSaved);
    ASSERT_EQ(timer.Discard().result, Result::Done);
    std::filesystem::remove(dataFile);
    CClient client;   // any later save writes the whole document
    ASSERT_EQ(client.Save(), 1);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(TimerIdleTest, AskingWaitsForTheThresholdAndKeepsTheActivityBeforeIt) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(30);
    EXPECT_FALSE(timer.NoteActivity(480));
    const CTimerInstant lastActivity = timer.LastActivity();
    EXPECT_EQ(lastActivity.local, COleDateTime(2004, 3, 7, 14, 35, 0));
    Minutes(450);
    EXPECT_FALSE(timer.NeedsIdleDecision(480));
    Minutes(1);
    EXPECT_TRUE(timer.NeedsIdleDecision(480));
    EXPECT_FALSE(timer.NeedsIdleDecision(0));
    EXPECT_TRUE(timer.NoteActivity(480));
    EXPECT_EQ(timer.LastActivity(), lastActivity);
}

TEST_F(TimerIdleTest, KeepCountsTheTimeAndAsksAgainOneThresholdLater) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(500);
    ASSERT_TRUE(timer.NeedsIdleDecision(480));
    ASSERT_EQ(timer.KeepIdleTime().result, Result::Done);
    EXPECT_FALSE(timer.NeedsIdleDecision(480));
    EXPECT_EQ(timer.RunSeconds(), 500 * 60);
    Minutes(480);
    EXPECT_FALSE(timer.NeedsIdleDecision(480));
    Minutes(1);
    EXPECT_TRUE(timer.NeedsIdleDecision(480));
}

TEST_F(TimerIdleTest, DiscardTheExcessCutsTheRunBackAndRunsOn) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(100);
    ASSERT_EQ(timer.Pause().result, Result::Done);
    Minutes(60);
    ASSERT_EQ(timer.Resume().result, Result::Done);
    Minutes(600);   // 700 minutes run, 220 past the threshold
    ASSERT_EQ(timer.DiscardIdleExcess(480).result, Result::Done);
    EXPECT_EQ(timer.GetState(), State::Running);
    EXPECT_EQ(timer.RunSeconds(), 480 * 60);
    EXPECT_FALSE(timer.NeedsIdleDecision(480));
    Minutes(10);
    const CEntryTimer::Outcome stop = timer.Stop();
    ASSERT_EQ(stop.result, Result::Done);
    EXPECT_EQ(stop.minutes, 490);
    // The entry still spans the whole day: first start to stop.
    EXPECT_EQ(Stored(stop.entryId).get_EndTime(), TimeOfDay(2, 55, 0));
}

TEST_F(TimerIdleTest, DiscardingWhilePausedKeepsThePause) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    Minutes(600);
    ASSERT_EQ(timer.Pause().result, Result::Done);
    Minutes(30);
    ASSERT_TRUE(timer.NeedsIdleDecision(480));
    ASSERT_EQ(timer.DiscardIdleExcess(480).result, Result::Done);
    EXPECT_EQ(timer.GetState(), State::Paused);
    EXPECT_EQ(timer.RunSeconds(), 480 * 60);
    Minutes(30);
    EXPECT_EQ(timer.RunSeconds(), 480 * 60);
    ASSERT_EQ(timer.Resume().result, Result::Done);
    Minutes(1);
    EXPECT_EQ(timer.RunSeconds(), 481 * 60);
    CEntryTimer restarted;
    restarted.Restore();
    EXPECT_EQ(restarted.RunSeconds(), 481 * 60);
}

TEST_F(TimerIdleTest, StopAtTheLastActivityEndsTheEntryThere) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, m_ratedCategory, CString()).result, Result::Done);
    Minutes(45);
    EXPECT_FALSE(timer.NoteActivity(480));
    Minutes(2);
    EXPECT_FALSE(timer.NoteActivity(480));
    Minutes(900);
    ASSERT_TRUE(timer.NoteActivity(480));
    const CEntryTimer::Outcome stop = timer.StopAtLastActivity();
    ASSERT_EQ(stop.result, Result::Done);
    const CProjectItem entry = Stored(stop.entryId);
    EXPECT_EQ(entry.get_DurationInMinutes(), 47);
    EXPECT_EQ(entry.get_EndTime(), TimeOfDay(14, 52, 0));
    EXPECT_EQ(StoredAmount(entry.get_BillAmount()), StoredAmount(ToTheCent(TimeEntryAmount(47, 80.0f))));
}

TEST_F(TimerIdleTest, TheLastActivityIsWrittenOnceItIsAMinuteNewer) {
    CEntryTimer timer;
    ASSERT_EQ(timer.Start(kProject, CString(), CString()).result, Result::Done);
    auto onDisk = [this] { return CTimerStateFile(StatePath()).Load().state.lastActivity.local; };
    Clock::AdvanceSeconds(30);
    timer.NoteActivity(480);
    EXPECT_EQ(timer.LastActivity().local, COleDateTime(2004, 3, 7, 14, 5, 30));
    EXPECT_EQ(onDisk(), TestNow());
    Clock::AdvanceSeconds(40);
    timer.NoteActivity(480);
    EXPECT_EQ(onDisk(), COleDateTime(2004, 3, 7, 14, 6, 10));
}
