// The synchronisation flow of the sync commands against a scripted engine.
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QRadioButton>

#include <QtTest>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/SyncDriver.h"
#include "desktop/CommandIds.h"
#include "desktop/DlgSyncDirection.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/SyncProgressDlg.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/WriteFault.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"

using namespace testsupport;

namespace {

struct Script {
    int initialize = 1;
    bool paired = true;
    int regular = CSyncDriver::RegularDone;
    int fullSync = 1;
    CString error;
    std::function<void(int)> onFullSync;
    CSyncSummary summary;
    std::optional<CDataFileSummary> deviceData;
    int lastStepRun = CSyncDriver::kLastStep;   // a failed synchronisation stops earlier
    QStringList calls;
    // What the progress window showed while each step ran.
    QStringList stepLabels;
    bool progressAlwaysVisible = true;
};

// The progress window the frame shows, if any.
QProgressDialog* ShownProgress() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible())
            return progress;
    }
    return nullptr;
}

class ScriptedSyncDriver : public CSyncDriver {
public:
    explicit ScriptedSyncDriver(Script& script) : m_script(script) {}
    ~ScriptedSyncDriver() override { m_script.calls << "released"; }
    bool IsPaired() const override { return m_script.paired; }
    int Initialize() override { return Call("Initialize", m_script.initialize); }
    int RegularSync(const StepCallback& beforeStep) override {
        const int last = m_script.regular == RegularNotPartners ? 0 : m_script.lastStepRun;
        for (int step = 0; step <= last; ++step) {
            beforeStep(step);
            QProgressDialog* progress = ShownProgress();
            m_script.progressAlwaysVisible = m_script.progressAlwaysVisible && progress;
            m_script.stepLabels << (progress ? progress->labelText() : QString());
        }
        return Call("RegularSync", m_script.regular);
    }
    CSyncSummary GetSummary() const override { return m_script.summary; }
    std::optional<CDataFileSummary> DeviceDataSummary() override { return m_script.deviceData; }
    int PerformFullSync(int direction) override {
        if (m_script.onFullSync)
            m_script.onFullSync(direction);
        return Call(QStringLiteral("FullSync(%1)").arg(direction), m_script.fullSync);
    }
    CString GetLastErrorText() const override { return m_script.error; }

private:
    int Call(const QString& name, int result) {
        m_script.calls << name;
        return result;
    }
    Script& m_script;
};

int ChooseDesktop(QDialog& dialog) {
    auto& direction = dynamic_cast<CDlgSyncDirection&>(dialog);
    direction.DesktopButton()->setChecked(true);
    return QDialog::Accepted;
}

}   // namespace

class SyncFlowTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CQuillmarApp> m_app;
    Script m_script;
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

private slots:
    void init() {
        ResetUserData();
        m_app = StartProgram();
        QVERIFY(m_app);
        m_script = Script();
        Frame().SetSyncDriverFactory([this] { return std::make_unique<ScriptedSyncDriver>(m_script); });
    }
    void cleanup() { StopProgram(m_app); }

    void partnersRunTheLibrarysRegularSynchronisation() {
        MessageBoxScript boxes;
        DialogScript dialogs({});
        const int project = AddProject(u"Later", 0);
        Q_UNUSED(project);
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "RegularSync", "released"}));
        QCOMPARE(dialogs.Shown(), 0);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(GetResString(51, 1)) == 0);
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONINFORMATION));
        // Everything was refreshed: the project added behind the tree's back shows now.
        QVERIFY(Frame().GetSideBarView()->GetTreeCtrl()->FindNode(1, project));
    }

    void progressNamesEachStepInOrderThenTheSummaryCountsWhatChanged() {
        m_script.summary.sent[u"projectItem"] = 2;
        m_script.summary.sent[u"client"] = 1;
        m_script.summary.deletionsSent = 1;
        m_script.summary.received[u"projectItem"] = 3;
        m_script.summary.deletionsApplied = 2;
        m_script.summary.conflictsKeptOwn = 1;
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::SyncDevice);
        QVERIFY(m_script.progressAlwaysVisible);
        QStringList expected;
        for (int step = 0; step <= CSyncDriver::kLastStep; ++step)
            expected << CSyncProgressDlg::StepText(step);
        QCOMPARE(m_script.stepLabels, expected);
        QVERIFY(m_script.stepLabels[3].startsWith(QStringLiteral("Step 3 of 8: Receiving")));
        QVERIFY(!ShownProgress());
        QCOMPARE(boxes.Shown().size(), size_t(1));
        const QString text = QString::fromStdU16String(boxes.Shown()[0].text.str());
        QVERIFY2(text.contains(QStringLiteral("Sent to the device: 1 client, 2 entries; 1 deletion.")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Received from the device: 3 entries; 2 deletions.")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Conflicts: 1, resolved as follows:")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("1 record: changed on both sides; this computer's version was kept")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Time taken: ")));
    }

    void theStatusBarShowsTheLastSuccessfulSynchronisationAcrossStarts() {
        QLabel* pane = Frame().GetLastSyncPane();
        QCOMPARE(pane->text(), QStringLiteral("Not synchronized yet"));
        m_script.regular = CSyncDriver::RegularFailed;
        m_script.lastStepRun = 3;
        {
            MessageBoxScript boxes;
            Trigger(Frame(), cmd::SyncDevice);
        }
        QCOMPARE(pane->text(), QStringLiteral("Not synchronized yet"));
        m_script.regular = CSyncDriver::RegularDone;
        {
            MessageBoxScript boxes;
            Trigger(Frame(), cmd::SyncDevice);
        }
        QVERIFY(pane->text().startsWith(QStringLiteral("Last synchronized: ")));
        const QString shown = pane->text();
        StopProgram(m_app);
        m_app = StartProgram();
        QVERIFY(m_app);
        QCOMPARE(Frame().GetLastSyncPane()->text(), shown);
    }

    void withoutAPairingThePairingDialogOpensFirst() {
        m_script.paired = false;
        MessageBoxScript boxes;
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(dialogs.ObjectNames(), (std::vector<QString>{QStringLiteral("dlgPairDevice")}));
        // Cancelled: nothing is connected to, nothing is said.
        QCOMPARE(m_script.calls, (QStringList{"released"}));
        QVERIFY(boxes.Shown().empty());
    }

    void failedInitialisationShowsString50WithTheReason() {
        m_script.initialize = 0;
        m_script.error = u"No device is paired with this desktop.";
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "released"}));
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(GetResString(50, 1)) == 0);
        QVERIFY(boxes.Shown()[0].text.Find(u"No device is paired") > 0);
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONSTOP));
    }

    void aFailedStepIsReportedWithItsReasonAndNotAsFinished() {
        m_script.regular = CSyncDriver::RegularFailed;
        m_script.error = u"The device did not answer.";
        const int project = AddProject(u"Applied before the failure", 0);
        MessageBoxScript boxes;
        DialogScript dialogs({});
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "RegularSync", "released"}));
        QCOMPARE(dialogs.Shown(), 0);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"Synchronization did not finish") == 0);
        QVERIFY(boxes.Shown()[0].text.Find(u"The device did not answer.") > 0);
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONSTOP));
        QVERIFY(Frame().GetSideBarView()->GetTreeCtrl()->FindNode(1, project));
    }

    void aFailedFullSyncIsReported() {
        m_script.fullSync = 0;
        m_script.error = u"The device has no data file";
        MessageBoxScript boxes;
        DialogScript dialogs({&ChooseDesktop});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"The device has no data file") > 0);
        QVERIFY(!(boxes.Shown()[0].text == GetResString(51, 1)));
    }

    void aDeviceThatCannotBeAskedChangesNothing() {
        m_script.regular = CSyncDriver::RegularFailed;
        m_script.error = u"The connection was lost.";
        MessageBoxScript boxes;
        DialogScript dialogs({});
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "RegularSync", "released"}));
        QCOMPARE(dialogs.Shown(), 0);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"The connection was lost.") > 0);
    }

    void noPartnershipAsksForTheDirection() {
        m_script.regular = CSyncDriver::RegularNotPartners;
        MessageBoxScript boxes;
        bool defaultWasDevice = false;
        QString caption;
        DialogScript dialogs({[&defaultWasDevice, &caption](QDialog& dialog) {
            auto& direction = dynamic_cast<CDlgSyncDirection&>(dialog);
            defaultWasDevice = direction.DeviceButton()->isChecked();
            caption = dialog.windowTitle();
            return int(QDialog::Accepted);
        }});
        Trigger(Frame(), cmd::SyncDevice);
        QVERIFY(defaultWasDevice);
        QCOMPARE(caption, QStringLiteral("Sync Direction"));
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "RegularSync", "FullSync(1)", "released"}));
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text == GetResString(51, 1));
    }

    void theDirectionDialogSaysWhatEachSideHolds() {
        CDataFileSummary device;
        device.clients = 1;
        device.projects = 2;
        device.categories = 1;
        device.entries = 40;
        device.lastChanged = COleDateTime(2026, 12, 7, 15, 4, 0);
        m_script.deviceData = device;
        m_script.regular = CSyncDriver::RegularNotPartners;
        AddProject(u"Held here", 0);
        MessageBoxScript boxes;
        QString desktopSide;
        QString deviceSide;
        DialogScript dialogs({[&](QDialog& dialog) {
            auto& direction = dynamic_cast<CDlgSyncDirection&>(dialog);
            desktopSide = direction.DesktopSideLabel()->text();
            deviceSide = direction.DeviceSideLabel()->text();
            return int(QDialog::Rejected);
        }});
        Trigger(Frame(), cmd::SyncDevice);
        // The sample data (one client, one project, one category) and the project added here.
        QVERIFY2(desktopSide.startsWith(
                     QStringLiteral("This computer: 1 client, 2 projects, 1 category and 0 entries, last changed ")),
                 qPrintable(desktopSide));
        QVERIFY2(deviceSide.startsWith(
                     QStringLiteral("The device: 1 client, 2 projects, 1 category and 40 entries, last changed ")),
                 qPrintable(deviceSide));
        QVERIFY(deviceSide.contains(QStringLiteral("12/7/26")) || deviceSide.contains(QStringLiteral("2026")));
    }

    void aDeviceWhoseDataCannotBeReadIsSaidSo() {
        QCOMPARE(CDlgSyncDirection::DescribeSide(QStringLiteral("The device"), std::nullopt),
                 QStringLiteral("The device: its data could not be read."));
    }

    void theDirectionDialogWarnsWhichSidesDataIsReplaced() {
        CDlgSyncDirection dialog(&Frame());
        QVERIFY(dialog.WarningLabel()->text().contains(QStringLiteral("every record on the device is replaced")));
        dialog.DesktopButton()->setChecked(true);
        QVERIFY(dialog.WarningLabel()->text().contains(QStringLiteral("every record on this computer is replaced")));
        dialog.DeviceButton()->setChecked(true);
        QVERIFY(dialog.WarningLabel()->text().contains(QStringLiteral("Changes made only on the device are lost")));
    }

    void setUpModeAlwaysAsksEvenForPartners() {
        MessageBoxScript boxes;
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Accepted); }});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "FullSync(1)", "released"}));
    }

    void cancelEndsQuietly() {
        MessageBoxScript boxes;
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "released"}));
        QVERIFY(boxes.Shown().empty());
    }

    void deviceDataReplacesTheDesktopsAndEverythingReloads() {
        // The "device" writes a data file with a client of its own over the desktop's.
        m_script.onFullSync = [](int direction) {
            QCOMPARE(direction, 0);
            const int extra = AddClient(u"From device");
            Q_UNUSED(extra);
        };
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        const int before = tree->topLevelItemCount();
        MessageBoxScript boxes;
        DialogScript dialogs({&ChooseDesktop});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        QCOMPARE(m_script.calls, (QStringList{"Initialize", "FullSync(0)", "released"}));
        QCOMPARE(tree->topLevelItemCount(), before + 1);
        QCOMPARE(boxes.Shown().size(), size_t(1));
    }

    void desktopDataToTheDeviceRefreshesNothing() {
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        const int before = tree->topLevelItemCount();
        m_script.onFullSync = [](int) { AddClient(u"Not shown yet"); };
        MessageBoxScript boxes;
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Accepted); }});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        QCOMPARE(tree->topLevelItemCount(), before);
    }

    void deviceDataThatDoesNotLoadIsReportedAndNotShownAsDone() {
        // The copy leaves no data file, and a new one cannot be written either.
        m_script.onFullSync = [](int) {
            std::remove(GetCurrDataHelper()->GetDataFilePath().ToUtf8().c_str());
            WriteFault::Arm(WriteFault::Op::Rename, 1, EROFS);
        };
        MessageBoxScript boxes;
        DialogScript dialogs({&ChooseDesktop});
        Trigger(Frame(), cmd::SyncTroubleshooting);
        WriteFault::Disarm();
        QVERIFY(!boxes.Shown().empty());
        const CString last = boxes.Shown().back().text;
        QVERIFY(last.Find(GetCurrDataHelper()->GetDataFilePath()) >= 0);
        QVERIFY(last.Find(u"could not be loaded after the synchronisation") >= 0);
        for (const ShownMessage& shown : boxes.Shown())
            QVERIFY(!(shown.text == GetResString(51, 1)));
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);
    }

    void withoutAnEngineTheFlowReportsString50() {
        Frame().SetSyncDriverFactory([] { return std::unique_ptr<CSyncDriver>(); });
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::SyncDevice);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text == GetResString(50, 1));
    }
};

DESKTOP_TEST_MAIN(SyncFlowTests)
#include "SyncFlowTests.moc"
