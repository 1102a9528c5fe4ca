// One instance per desktop: a second start raises the first window and ends without a window.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"

using namespace testsupport;

class SecondInstanceTests : public QObject {
    Q_OBJECT
private:
    static void WaitFor(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 5000)
            QTest::qWait(20);
    }

private slots:
    void init() { ResetUserData(); }

    void secondProcessRestoresTheFirstWindowAndEnds() {
        auto app = StartProgram();
        QVERIFY(app);
        CMainFrame& frame = *app->GetMainFrame();
        frame.showMinimized();
        QApplication::processEvents();
        QVERIFY(frame.windowState() & Qt::WindowMinimized);

        QProcess second;
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(QStringLiteral(QUILLMAR_EXE), {});
        QVERIFY(second.waitForStarted(5000));
        // Our event loop must run while the second process posts its message.
        WaitFor([&second] { return second.state() == QProcess::NotRunning; });
        QCOMPARE(second.state(), QProcess::NotRunning);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        WaitFor([&frame] { return !(frame.windowState() & Qt::WindowMinimized); });
        QVERIFY(!(frame.windowState() & Qt::WindowMinimized));
        QVERIFY(frame.isVisible());
        StopProgram(app);
    }

    void pairKeepsNothingWhenTheDeviceCannotBeReached() {
        // A free loopback port: nothing listens there, so the test fails and nothing is stored.
        const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        const unsigned port = ntohs(address.sin_port);
        ::close(probe);
        const QString key = QString(64, QLatin1Char('a'));
        QProcess pair;
        pair.start(QStringLiteral(QUILLMAR_EXE),
                   {"--pair", QStringLiteral("quillmar-pair:1:127.0.0.1:%1:").arg(port) + key});
        QVERIFY(pair.waitForFinished(30000));
        QCOMPARE(pair.exitCode(), 1);
        QVERIFY(QString::fromUtf8(pair.readAllStandardError()).contains(QStringLiteral("nothing listens")));
        Registry::Reload();
        QVERIFY(Registry::GetString(u"Software\\Kestovar\\Connection", u"Host", u"") == CString(u""));
    }

    void pairRefusesAMalformedText() {
        QProcess pair;
        pair.start(QStringLiteral(QUILLMAR_EXE), {"--pair", "not a pairing text"});
        QVERIFY(pair.waitForFinished(10000));
        QCOMPARE(pair.exitCode(), 1);
        QVERIFY(!pair.readAllStandardError().isEmpty());
        QProcess usage;
        usage.start(QStringLiteral(QUILLMAR_EXE), {"--pair"});
        QVERIFY(usage.waitForFinished(10000));
        QCOMPARE(usage.exitCode(), 2);
    }

    void secondStartInTheSameProcessFailsQuietly() {
        auto first = StartProgram();
        QVERIFY(first);
        auto second = std::make_unique<CQuillmarApp>();
        QVERIFY(!second->InitInstance());
        QVERIFY(!second->GetMainFrame());
        second.reset();
        StopProgram(first);
        // The lock went with the first instance.
        auto again = StartProgram();
        QVERIFY(again);
        StopProgram(again);
    }
};

DESKTOP_TEST_MAIN(SecondInstanceTests)
#include "SecondInstanceTests.moc"
