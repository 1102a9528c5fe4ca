// Tools > Pair with Desktop: the running connection service's pairing text with Copy, how to
// start the service when it is not running, and this device's synchronisation state.
#include <gtest/gtest.h>

#ifdef QUILLMAR_E2E_CONNECTD

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/dialogs/DlgPairDesktop.h"
#include "device/tests/DeviceTestSupport.h"
#include "ui/qt/QtConvert.h"

namespace {

struct Seen {
    QString text;
    bool copyEnabled = false;
    QString syncState;
};

// Opens the dialog from the Tools menu; `act` may press its buttons before it closes.
Seen OpenFromTheMenu(CMainFrame& frame, const std::function<void(CDlgPairDesktop&)>& act = {}) {
    Seen seen;
    DialogScript dialogs({[&](QDialog& dialog) {
        auto& pair = dynamic_cast<CDlgPairDesktop&>(dialog);
        if (act)
            act(pair);
        seen.text = pair.TextLabel()->text().remove(QChar(0x200B));
        seen.copyEnabled = pair.CopyButton()->isEnabled();
        seen.syncState = pair.SyncLabel()->text();
        return int(QDialog::Accepted);
    }});
    QAction* action = frame.findChild<QAction*>(QStringLiteral("pairDesktop"));
    EXPECT_NE(action, nullptr);
    if (action)
        action->trigger();
    EXPECT_EQ(dialogs.Shown(), 1);
    return seen;
}

class PairDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceData();
        CDlgPairDesktop::SetServiceProgram(QStringLiteral(QUILLMAR_E2E_CONNECTD));
    }
    void TearDown() override {
        if (m_service.state() != QProcess::NotRunning) {
            m_service.terminate();
            if (!m_service.waitForFinished(10000))
                m_service.kill();
            m_service.waitForFinished(5000);
        }
        CDlgPairDesktop::SetServiceProgram(QString());
    }
    bool StartService() {
        m_service.start(QStringLiteral(QUILLMAR_E2E_CONNECTD),
                        {QStringLiteral("--settings-key"), qtconv::ToQString(CQuillmarApp::kSettingsKey),
                         QStringLiteral("--port"), QStringLiteral("0")});
        return m_service.waitForStarted(10000);
    }
    QProcess m_service;
};

}   // namespace

TEST_F(PairDesktop, WithoutTheServiceSaysHowToStartIt) {
    RunningDevice device;
    const Seen seen = OpenFromTheMenu(device.Frame());
    EXPECT_TRUE(seen.text.contains(QStringLiteral("not running"))) << seen.text.toStdString();
    EXPECT_TRUE(seen.text.contains(QStringLiteral("systemctl --user enable --now quillmar-connectd")));
    EXPECT_FALSE(seen.copyEnabled);
}

TEST_F(PairDesktop, ShowsTheRunningServicesTextAndCopiesIt) {
    RunningDevice device;
    ASSERT_TRUE(StartService());
    QProcess printer;
    QString expected;
    QElapsedTimer waited;
    waited.start();
    // The service writes its state once it listens.
    while (expected.isEmpty() && waited.elapsed() < 10000) {
        printer.start(QStringLiteral(QUILLMAR_E2E_CONNECTD), {QStringLiteral("--pairing-text")});
        printer.waitForFinished(5000);
        if (printer.exitCode() == 0)
            expected = QString::fromUtf8(printer.readAllStandardOutput()).trimmed();
        else
            QTest::qWait(50);
    }
    ASSERT_TRUE(expected.startsWith(QStringLiteral("quillmar-pair:1:"))) << expected.toStdString();
    QGuiApplication::clipboard()->clear();
    const Seen seen = OpenFromTheMenu(device.Frame(), [](CDlgPairDesktop& dialog) { dialog.CopyButton()->click(); });
    EXPECT_EQ(seen.text, expected);
    EXPECT_TRUE(seen.copyEnabled);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
}

TEST_F(PairDesktop, ShowsASynchronisationInProgressAndTheTimeOfTheLastOne) {
    RunningDevice device;
    CDataHelper* store = GetCurrDataHelper();
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(CDlgPairDesktop::SyncStateText().startsWith(QStringLiteral("Synchronizing")));
    const QString changes = qtconv::ToQString(store->GetOtherChangeFilePath());
    {
        QFile file(changes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<quillmar/>\r\n");
    }
    EXPECT_TRUE(
        OpenFromTheMenu(device.Frame()).syncState.startsWith(QStringLiteral("Synchronizing with the desktop now")));
    ASSERT_TRUE(QFile::remove(changes));
    EXPECT_TRUE(CDlgPairDesktop::SyncStateText().startsWith(QStringLiteral("Not synchronized")));
    CDlgPairDesktop::NoteSyncDone(COleDateTime(2026, 12, 8, 19, 40, 0));
    const QString state = OpenFromTheMenu(device.Frame()).syncState;
    EXPECT_TRUE(state.startsWith(QStringLiteral("Last synchronized: Dec 8, 2026"))) << state.toStdString();
}

#endif
