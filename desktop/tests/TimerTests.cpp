// The Timer toolbar and what it makes: the entry of a stop, pauses, the questions (a run under
// one minute, a second timer, idle time), the running time on the bar, in the status bar and
// the title, restoring after a restart, a lost timer, the shortcut, the Options page; the
// pickers following projects and categories made while the program runs.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/TimerStateFile.h"
#include "desktop/FrameTimer.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/TimerOptionsPage.h"
#include "desktop/TimerToolBar.h"
#include "desktop/ViewByDate.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/ObArray.h"
#include "testing/SettableClock.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TimerControl.h"

using namespace testsupport;

namespace {

const COleDateTime kMonday9(2026, 3, 2, 9, 0, 0);

std::vector<CProjectItem> StoredEntries() {
    std::vector<CProjectItem> entries;
    const std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(u"projectItem"));
    for (int index = 0; index < list->GetSize(); ++index)
        entries.push_back(*static_cast<const CProjectItem*>(list->GetAt(index)));
    return entries;
}

CString AddCategory(const CString& code, float rate) {
    CCategory category;
    category.set_Code(code);
    category.set_Quillmar(rate);
    category.Save();
    return category.get_RefID();
}

QAction* TimerAction(CMainFrame& frame, const char* name) { return frame.findChild<QAction*>(QLatin1String(name)); }

}   // namespace

class TimerTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CQuillmarApp> m_app;
    std::unique_ptr<SettableClock> m_clock;
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }
    CTimerToolBar& Bar() { return *Frame().GetTimer()->ToolBar(); }
    CTimerControl& Control() { return Frame().GetTimer()->Control(); }

    // Chooses the project on the toolbar as a user types it, then presses Start.
    void StartFor(const QString& projectText, const QString& description = QString()) {
        Bar().FillChoices();
        Bar().ProjectBox()->setEditText(projectText);
        Bar().DescriptionEdit()->setText(description);
        TimerAction(Frame(), "timerStart")->trigger();
    }
    void Restart() {
        StopProgram(m_app);
        m_app = StartProgram();
        QVERIFY(m_app);
    }

private slots:
    void init() {
        ResetUserData();
        m_clock = std::make_unique<SettableClock>(kMonday9);
        m_app = StartProgram();
        QVERIFY(m_app);
        const int client = AddClient(u"Acme");
        AddProject(u"Website", client);
        AddProject(u"Brochure", client);
    }
    void cleanup() {
        StopProgram(m_app);
        m_clock.reset();
    }

    void toolbarAndToolsMenuHoldTheTimerCommands() {
        QCOMPARE(Bar().objectName(), QStringLiteral("toolBarTimer"));
        QVERIFY(Bar().isVisibleTo(&Frame()));
        QMenu* tools = Frame().findChild<QMenu*>(QStringLiteral("menuTools"));
        QStringList names;
        for (QAction* action : tools->actions())
            names << action->objectName();
        QCOMPARE(names.mid(0, 4), (QStringList{"timerStart", "timerPause", "timerStop", "timerToggle"}));
        QVERIFY(!TimerAction(Frame(), "timerStop")->isEnabled());
        QVERIFY(!TimerAction(Frame(), "timerPause")->isEnabled());
    }

    void stopMakesTheEntryOfTheTimeRunPausesLeftOut() {
        const CString rate = AddCategory(u"DEV", 60.0f);
        Bar().FillChoices();
        Bar().CategoryBox()->setCurrentIndex(Bar().CategoryBox()->findText(QStringLiteral("DEV")));
        StartFor(QStringLiteral("Acme: Website"), QStringLiteral("Landing page"));
        QVERIFY(Control().IsActive());
        m_clock->AdvanceMinutes(50);
        TimerAction(Frame(), "timerPause")->trigger();
        QCOMPARE(TimerAction(Frame(), "timerPause")->text(), QStringLiteral("&Resume Timer"));
        m_clock->AdvanceMinutes(30);
        TimerAction(Frame(), "timerPause")->trigger();
        m_clock->AdvanceMinutes(40);
        emit Control().tick();
        QCOMPARE(Bar().TimeLabel()->text(), QStringLiteral("1:30:00"));
        QVERIFY(Frame().GetTimer()->StatusPane()->text().startsWith(QStringLiteral("1:30:00")));
        QVERIFY(Frame().windowTitle().contains(QStringLiteral("1:30:00")));
        QVERIFY(Frame().windowTitle().contains(QStringLiteral("Acme: Website")));

        TimerAction(Frame(), "timerStop")->trigger();
        QVERIFY(!Control().IsActive());
        const std::vector<CProjectItem> entries = StoredEntries();
        QCOMPARE(entries.size(), size_t(1));
        const CProjectItem& entry = entries.front();
        QCOMPARE(entry.get_ItemType(), CProjectItem::ItemType_Time);
        QCOMPARE(entry.get_DurationInMinutes(), 90);
        QCOMPARE(qtconv::ToQString(FormatProjectName(entry.get_ProjectRef())), QStringLiteral("Acme: Website"));
        QCOMPARE(entry.get_CategoryRef(), rate);
        QCOMPARE(entry.get_Description(), CString(u"Landing page"));
        QCOMPARE(entry.get_IsBillable(), 1);
        QCOMPARE(entry.get_BillAmount(), 90.0f);
        QCOMPARE(entry.get_ItemDate().GetDay(), 2);
        QCOMPARE(entry.get_StartTime().GetHour(), 9);
        QCOMPARE(entry.get_EndTime().GetHour(), 11);
        // The entries view shows it at once; the bar and the title are back to idle.
        QCOMPARE(Frame().GetEntriesView()->GetListCtrl()->topLevelItemCount(), 1);
        QVERIFY(Bar().TimeLabel()->text().isEmpty());
        QVERIFY(!Frame().windowTitle().contains(QStringLiteral("Timer")));
        QVERIFY(!Frame().GetTimer()->StatusPane()->isVisibleTo(&Frame()));
    }

    void aTypedNameMustTellOneProject() {
        MessageBoxScript boxes;
        StartFor(QStringLiteral("No such project"));
        QVERIFY(!Control().IsActive());
        StartFor(QStringLiteral("acme"));   // both projects hold it
        QVERIFY(!Control().IsActive());
        QCOMPARE(boxes.Shown().size(), size_t(2));
        StartFor(QStringLiteral("broch"));
        QCOMPARE(Control().ProjectText(), QStringLiteral("Acme: Brochure"));
    }

    void typingFindsAProjectWhateverItsCaseAndAccents() {
        AddProject(u"Audit", AddClient(u"Zürich Bank"));
        Bar().FillChoices();
        // The names offered while typing, then the one typed.
        QCompleter* offer = Bar().ProjectBox()->completer();
        offer->setCompletionPrefix(QStringLiteral("ZURICH"));
        QCOMPARE(offer->completionCount(), 1);
        QCOMPARE(offer->pathFromIndex(offer->currentIndex()), QStringLiteral("Zürich Bank: Audit"));
        offer->setCompletionPrefix(QStringLiteral("me: "));
        QCOMPARE(offer->completionCount(), 2);
        StartFor(QStringLiteral("zurich"));
        QVERIFY(Control().IsActive());
        QCOMPARE(Control().ProjectText(), QStringLiteral("Zürich Bank: Audit"));
    }

    void aRunUnderOneMinuteAsksBeforeMakingAZeroMinuteEntry() {
        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceSeconds(20);
        {
            MessageBoxScript boxes({IDCANCEL});
            TimerAction(Frame(), "timerStop")->trigger();
            QCOMPARE(boxes.Shown().size(), size_t(1));
        }
        QVERIFY(Control().IsActive());   // Cancel: the timer runs on
        {
            MessageBoxScript boxes({IDYES});
            TimerAction(Frame(), "timerStop")->trigger();
        }
        QVERIFY(!Control().IsActive());
        QCOMPARE(StoredEntries().size(), size_t(1));
        QCOMPARE(StoredEntries().front().get_DurationInMinutes(), 0);

        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceSeconds(10);
        {
            MessageBoxScript boxes({IDNO});
            TimerAction(Frame(), "timerStop")->trigger();
        }
        QVERIFY(!Control().IsActive());   // No: dropped without an entry
        QCOMPARE(StoredEntries().size(), size_t(1));
    }

    void startingASecondTimerAsksToStopTheFirst() {
        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceMinutes(15);
        {
            MessageBoxScript boxes({IDNO});
            StartFor(QStringLiteral("Acme: Brochure"));
            QCOMPARE(boxes.Shown().size(), size_t(1));
        }
        QCOMPARE(Control().ProjectText(), QStringLiteral("Acme: Website"));
        QVERIFY(StoredEntries().empty());
        {
            MessageBoxScript boxes({IDYES});
            StartFor(QStringLiteral("Acme: Brochure"));
        }
        QCOMPARE(Control().ProjectText(), QStringLiteral("Acme: Brochure"));
        QCOMPARE(StoredEntries().size(), size_t(1));
        QCOMPARE(StoredEntries().front().get_DurationInMinutes(), 15);
        // The project picker now offers the recent projects first.
        Bar().FillChoices();
        QCOMPARE(Bar().ProjectBox()->itemText(0), QStringLiteral("Acme: Brochure"));
        QCOMPARE(Bar().ProjectBox()->itemText(1), QStringLiteral("Acme: Website"));
    }

    void aRunningTimerIsBackAfterARestartWithTheTimeThatPassed() {
        StartFor(QStringLiteral("Acme: Website"), QStringLiteral("Night shift"));
        m_clock->AdvanceMinutes(10);
        Restart();
        m_clock->AdvanceMinutes(110);
        emit Control().tick();
        QVERIFY(Control().IsActive());
        QCOMPARE(Bar().TimeLabel()->text(), QStringLiteral("2:00:00"));
        QCOMPARE(Bar().DescriptionEdit()->text(), QStringLiteral("Night shift"));
        QVERIFY(TimerAction(Frame(), "timerStop")->isEnabled());
        TimerAction(Frame(), "timerStop")->trigger();
        QCOMPARE(StoredEntries().size(), size_t(1));
        QCOMPARE(StoredEntries().front().get_DurationInMinutes(), 120);
    }

    void aDamagedTimerFileIsReportedOnceAndTheProgramRuns() {
        StartFor(QStringLiteral("Acme: Website"));
        StopProgram(m_app);
        QFile file(QString::fromStdString(CTimerStateFile::DefaultPath()));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("QuillmarTimer 1\nphase runn");
        file.close();
        MessageBoxScript boxes;
        m_app = StartProgram();
        QVERIFY(m_app);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown().front().text.ToUtf8().find("lost") != std::string::npos);
        QVERIFY(!Control().IsActive());
        StartFor(QStringLiteral("Acme: Brochure"));
        QVERIFY(Control().IsActive());
    }

    void theShortcutStartsAndStopsTheLastProject() {
        QCOMPARE(Frame().GetTimer()->ToggleAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+T")));
        {
            MessageBoxScript boxes;
            Frame().GetTimer()->ToggleAction()->trigger();   // nothing timed yet: says so
            QCOMPARE(boxes.Shown().size(), size_t(1));
        }
        QVERIFY(!Control().IsActive());
        StartFor(QStringLiteral("Acme: Brochure"));
        m_clock->AdvanceMinutes(5);
        Frame().GetTimer()->ToggleAction()->trigger();
        QVERIFY(!Control().IsActive());
        Frame().GetTimer()->ToggleAction()->trigger();
        QCOMPARE(Control().ProjectText(), QStringLiteral("Acme: Brochure"));
    }

    void idleTimeAsksAndCanStopAtTheLastActivity() {
        QVERIFY(Control().SetOptions({60, false}));
        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceMinutes(40);
        QVERIFY(Control().NoteActivity());
        m_clock->AdvanceMinutes(200);
        DialogScript dialogs({[](QDialog& dialog) {
            return dialog.objectName() == "timerIdleDialog" ? int(CTimerControl::IdleStopAtLastActivity) : 0;
        }});
        TimerAction(Frame(), "timerStop")->trigger();
        QCOMPARE(dialogs.Shown(), 1);
        QVERIFY(!Control().IsActive());
        QCOMPARE(StoredEntries().size(), size_t(1));
        QCOMPARE(StoredEntries().front().get_DurationInMinutes(), 40);
    }

    void idleTimeCanBeCutBackToTheThreshold() {
        QVERIFY(Control().SetOptions({60, false}));
        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceMinutes(180);
        {
            DialogScript dialogs({[](QDialog&) { return int(CTimerControl::IdleDiscardExcess); }});
            TimerAction(Frame(), "timerPause")->trigger();   // the question comes instead
            QCOMPARE(dialogs.Shown(), 1);
        }
        QCOMPARE(Control().Timer().GetState(), CEntryTimer::State::Running);
        m_clock->AdvanceMinutes(5);
        TimerAction(Frame(), "timerStop")->trigger();
        QCOMPARE(StoredEntries().size(), size_t(1));
        QCOMPARE(StoredEntries().front().get_DurationInMinutes(), 65);
    }

    void pickersFollowProjectsAndCategoriesMadeWhileTheProgramRuns() {
        // A project made through File > New and a client renamed in the side bar are in the
        // project picker at once, without a restart.
        DialogScript project({[](QDialog& dialog) {
            if (auto* name = dialog.findChild<QLineEdit*>("descriptionEdit"))
                name->setText("Logo");
            return PressOk(dialog);
        }});
        Frame().ExecuteCommand(156);
        QCOMPARE(project.Shown(), 1);
        QVERIFY(Bar().ProjectBox()->findText(QStringLiteral("Logo")) >= 0);
        Bar().ProjectBox()->setEditText(QStringLiteral("Logo"));
        TimerAction(Frame(), "timerStart")->trigger();
        QCOMPARE(Control().Timer().GetState(), CEntryTimer::State::Running);
        TimerAction(Frame(), "timerStop")->trigger();

        // A category made in Tools > Categories is offered by the category picker.
        DialogScript categories({[](QDialog& dialog) {
                                     if (auto* add = dialog.findChild<QPushButton*>("newButton"))
                                         add->click();
                                     return PressOk(dialog);
                                 },
                                 [](QDialog& dialog) {
                                     dialog.findChild<QLineEdit*>("nameEdit")->setText("Travel Time");
                                     dialog.findChild<QLineEdit*>("codeEdit")->setText("TRAV");
                                     return PressOk(dialog);
                                 }});
        Frame().ExecuteCommand(188);
        QCOMPARE(categories.Shown(), 2);
        QVERIFY(Bar().CategoryBox()->findText(QStringLiteral("TRAV"), Qt::MatchContains) >= 0);
    }

    void optionsPageKeepsTheTimerOptionsAndEditAfterStopOpensTheEntry() {
        DialogScript options({[](QDialog& dialog) {
            auto& sheet = static_cast<CPropertySheetEx&>(dialog);
            auto* page = dialog.findChild<CPropertyPage*>(QStringLiteral("timerOptionsPage"));
            if (!page || !sheet.SetActivePage(page))
                return 0;
            auto* hours = page->findChild<QLineEdit*>(QStringLiteral("idleHoursEdit"));
            auto* edit = page->findChild<QCheckBox*>(QStringLiteral("editAfterStopCheck"));
            if (!hours || !edit)
                return 0;
            hours->setText(QStringLiteral("2"));
            edit->setChecked(true);
            return PressOk(dialog);
        }});
        Frame().ExecuteCommand(154);
        QCOMPARE(options.Unexpected(), 0);
        QCOMPARE(options.Shown(), 1);
        QCOMPARE(Control().GetOptions().idleThresholdMinutes, 120);
        QVERIFY(Control().GetOptions().editAfterStop);
        QCOMPARE(CTimerControl::LoadOptions().idleThresholdMinutes, 120);

        StartFor(QStringLiteral("Acme: Website"));
        m_clock->AdvanceMinutes(30);
        DialogScript editor({[](QDialog&) { return int(QDialog::Rejected); }});
        TimerAction(Frame(), "timerStop")->trigger();
        QCOMPARE(editor.Shown(), 1);
        QCOMPARE(StoredEntries().size(), size_t(1));   // cancelling the editor keeps the entry
    }
};

DESKTOP_TEST_MAIN(TimerTests)
#include "TimerTests.moc"
