// A save that must wait for another process writing the data file tells the user, and the
// note goes once the save has landed.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <QLabel>
#include <QtTest>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "ui/shared/LockWaitNotice.h"
#include "ui/shared/tests/UiTestEnvironment.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

// Holds the data file's lock through its own open file, as another process would.
class LockHeldElsewhere {
public:
    LockHeldElsewhere() {
        const std::string path = GetCurrDataHelper()->GetDataFilePath().ToUtf8() + ".lock";
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        m_held = m_fd >= 0 && ::flock(m_fd, LOCK_EX) == 0;
    }
    ~LockHeldElsewhere() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;

    bool Held() const { return m_held; }
    void ReleaseAfter(std::chrono::milliseconds delay) {
        m_release = std::thread([this, delay] {
            std::this_thread::sleep_for(delay);
            ::flock(m_fd, LOCK_UN);
        });
    }
    void Join() {
        if (m_release.joinable())
            m_release.join();
    }

private:
    int m_fd = -1;
    bool m_held = false;
    std::thread m_release;
};

int SaveClient(const CString& name) {
    CClient client;
    client.set_Description(name);
    return client.Save();
}

}   // namespace

class LockWaitNoticeTests : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ResetUserData();
        ResetDataStore();
        CLockWaitNotice::Install();
        m_window = std::make_unique<QWidget>();
        m_window->resize(240, 320);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() {
        CDataHelper::SetLockWaitHandler({});
        m_window.reset();
    }

    void aSaveThatWaitsSaysSoAndLandsAfterTheWait() {
        LockHeldElsewhere other;
        QVERIFY(other.Held());
        other.ReleaseAfter(std::chrono::milliseconds(1000));
        const int saved = SaveClient(u"Waited for");
        other.Join();
        QCOMPARE(saved, 1);
        QWidget* note = CLockWaitNotice::Shown();
        QVERIFY(note);
        QCOMPARE(note->parentWidget(), m_window.get());
        QCOMPARE(static_cast<QLabel*>(note)->text(), CLockWaitNotice::Text());
        QVERIFY(!CLockWaitNotice::Text().isEmpty());
        QVERIFY(DataFileContents().find("Waited for") != std::string::npos);
        // Once the program runs again the note and the busy cursor are gone.
        QTRY_VERIFY(!CLockWaitNotice::Shown());
        QVERIFY(!QApplication::overrideCursor());
    }

    void aSaveThatDoesNotWaitShowsNothing() {
        QCOMPARE(SaveClient(u"Straight in"), 1);
        QVERIFY(!CLockWaitNotice::Shown());
        QVERIFY(!QApplication::overrideCursor());
    }

private:
    std::unique_ptr<QWidget> m_window;
};

UI_TEST_MAIN(LockWaitNoticeTests)
#include "LockWaitNoticeTests.moc"
