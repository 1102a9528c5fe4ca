// Tools > Pair with Device against a real connection service on loopback (a device folder of
// its own, the device build as its sync library), through the dialog hooks.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "connection/Pairing.h"
#include "desktop/CommandIds.h"
#include "desktop/DlgPairDevice.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"
#include "sync/e2e/SyncMachine.h"

using namespace testsupport;

namespace {

// A loopback port that accepts connections into its backlog and never answers; closed, a
// port where nothing listens.
class SilentPeer {
public:
    SilentPeer() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_fd, 4) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentPeer() { Close(); }
    SilentPeer(const SilentPeer&) = delete;
    SilentPeer& operator=(const SilentPeer&) = delete;
    QString Port() const { return QString::number(m_port); }
    void Close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    unsigned m_port = 0;
};

struct Seen {
    QString result;
    bool okEnabled = false;
    int ended = -1;
};

}   // namespace

class PairingDialogTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<SyncMachine> m_machine;
    std::unique_ptr<CQuillmarApp> m_app;
    std::string m_text;   // the device's pairing text, as its service printed it
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

    // Opens the dialog from the Tools menu, lets `fill` enter something, presses Test, then OK.
    Seen PairThroughTheMenu(const std::function<void(CDlgPairDevice&)>& fill) {
        Seen seen;
        DialogScript dialogs({[&](QDialog& dialog) {
            auto& pair = dynamic_cast<CDlgPairDevice&>(dialog);
            pair.SetTimeoutMs(2000);
            fill(pair);
            pair.TestButton()->click();
            seen.result = pair.ResultLabel()->text();
            seen.okEnabled = pair.OkButton()->isEnabled();
            seen.ended = PressOk(dialog);
            return seen.ended;
        }});
        Trigger(Frame(), cmd::PairDevice);
        return seen;
    }

private slots:
    void init() {
        m_machine = std::make_unique<SyncMachine>();
        QVERIFY2(m_machine->Ready(), m_machine->Problem().c_str());
        QVERIFY2(m_machine->StartService(), m_machine->Problem().c_str());
        m_text = Pairing::Load()->Text();
        Registry::DeleteTree(CString(Pairing::kRegistryKey));
        m_app = StartProgram();
        QVERIFY(m_app);
    }
    void cleanup() {
        StopProgram(m_app);
        m_machine.reset();
    }

    void goodTextWithSurroundingSpacesPassesAndOkKeepsIt() {
        const Seen seen = PairThroughTheMenu([this](CDlgPairDevice& dialog) {
            dialog.TextBox()->setPlainText(QStringLiteral(" \n  %1 \r\n\n").arg(QString::fromStdString(m_text)));
        });
        QVERIFY2(seen.result.contains(QStringLiteral("was reached and accepted the key")), qPrintable(seen.result));
        QVERIFY(seen.result.contains(QString::fromStdString(m_machine->DeviceAppFolder())));
        // The device's data file was made on its own: a first synchronization decides.
        QVERIFY2(seen.result.contains(QStringLiteral("which side's data to keep")), qPrintable(seen.result));
        QVERIFY(seen.okEnabled);
        QCOMPARE(seen.ended, int(QDialog::Accepted));
        QVERIFY(Pairing::Load());
        QCOMPARE(Pairing::Load()->Text(), m_text);
    }

    void typedPartsPassToo() {
        const Pairing pairing = *Pairing::Parse(m_text);
        const Seen seen = PairThroughTheMenu([&pairing](CDlgPairDevice& dialog) {
            dialog.HostBox()->setText(QString::fromStdString(pairing.host));
            dialog.PortBox()->setText(QString::number(pairing.port));
            dialog.KeyBox()->setText(QString::fromStdString(Pairing::KeyToHex(pairing.key)).toUpper());
        });
        QVERIFY2(seen.okEnabled, qPrintable(seen.result));
        QCOMPARE(Pairing::Load()->Text(), m_text);
    }

    void wrongKeyIsRefusedAndNothingIsKept() {
        std::string wrong = m_text;
        wrong.back() = wrong.back() == '0' ? '1' : '0';
        const Seen seen = PairThroughTheMenu(
            [&wrong](CDlgPairDevice& dialog) { dialog.TextBox()->setPlainText(QString::fromStdString(wrong)); });
        QVERIFY2(seen.result.contains(QStringLiteral("refused the key")), qPrintable(seen.result));
        QVERIFY(!seen.okEnabled);
        QCOMPARE(seen.ended, int(QDialog::Rejected));
        QVERIFY(!Pairing::Load());
    }

    void nothingListeningIsSaidSo() {
        SilentPeer closed;
        const QString port = closed.Port();
        closed.Close();
        const Pairing pairing = *Pairing::Parse(m_text);
        const Seen seen = PairThroughTheMenu([&](CDlgPairDevice& dialog) {
            dialog.HostBox()->setText(QStringLiteral("127.0.0.1"));
            dialog.PortBox()->setText(port);
            dialog.KeyBox()->setText(QString::fromStdString(Pairing::KeyToHex(pairing.key)));
        });
        QVERIFY2(seen.result.contains(QStringLiteral("nothing listens on port")), qPrintable(seen.result));
        QVERIFY(seen.result.contains(QStringLiteral("systemctl --user start quillmar-connectd")));
        QVERIFY(!seen.okEnabled);
        QVERIFY(!Pairing::Load());
    }

    void silentPeerTimesOut() {
        SilentPeer silent;
        const Pairing pairing = *Pairing::Parse(m_text);
        const Seen seen = PairThroughTheMenu([&](CDlgPairDevice& dialog) {
            dialog.TextBox()->setPlainText(
                QStringLiteral("quillmar-pair:1:127.0.0.1:%1:%2")
                    .arg(silent.Port(), QString::fromStdString(Pairing::KeyToHex(pairing.key))));
        });
        QVERIFY2(seen.result.contains(QStringLiteral("in time")), qPrintable(seen.result));
        QVERIFY(!seen.okEnabled);
        QVERIFY(!Pairing::Load());
    }

    void badTextIsNamedAndAChangeAfterAPassedTestNeedsAnotherTest() {
        const Seen bad = PairThroughTheMenu([](CDlgPairDevice& dialog) {
            dialog.TextBox()->setPlainText(QStringLiteral("quillmar-pair:1:host:99999:abc"));
        });
        QVERIFY2(bad.result.contains(QStringLiteral("not a port number")), qPrintable(bad.result));
        QVERIFY(!bad.okEnabled);

        bool okAfterEdit = true;
        DialogScript dialogs({[&](QDialog& dialog) {
            auto& pair = dynamic_cast<CDlgPairDevice&>(dialog);
            pair.TextBox()->setPlainText(QString::fromStdString(m_text));
            pair.TestButton()->click();
            if (!pair.OkButton()->isEnabled())
                return int(QDialog::Rejected);
            pair.TextBox()->setPlainText(QString::fromStdString(m_text) + QStringLiteral("0"));
            okAfterEdit = pair.OkButton()->isEnabled();
            return PressOk(dialog);
        }});
        Trigger(Frame(), cmd::PairDevice);
        QVERIFY(!okAfterEdit);
        QVERIFY(!Pairing::Load());
    }
};

DESKTOP_TEST_MAIN(PairingDialogTests)
#include "PairingDialogTests.moc"
