// End to end: a desktop synchronises through a real quillmar-connectd serving this test's
// device HOME, and the running device program shows the desktop's new entry without a restart.
#include <gtest/gtest.h>

#ifdef QUILLMAR_E2E_CONNECTD

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "biz/Helpers.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/Paths.h"
#include "ui/shared/ListCtrlEx.h"

namespace {

namespace fs = std::filesystem;

// Starts a program with extra environment values; its standard output goes to `output` (-1:
// inherited).
pid_t Spawn(std::vector<std::string> arguments, const std::vector<std::string>& environment, int output = -1) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        for (const std::string& value : environment)
            putenv(const_cast<char*>(value.c_str()));
        if (output >= 0)
            dup2(output, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

int WaitFor(pid_t child) {
    int status = 0;
    if (child <= 0 || waitpid(child, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RunAndCapture(const std::vector<std::string>& arguments) {
    int ends[2];
    if (pipe(ends) != 0)
        return std::string();
    const pid_t child = Spawn(arguments, {}, ends[1]);
    close(ends[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    close(ends[0]);
    WaitFor(child);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool ShowsAmount(CListCtrlEx& list, const QString& amount) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->text(4) == amount)
            return true;
    }
    return false;
}

// The device's program folder holds the libraries the connection service loads, as on the
// handheld after installation.
bool InstallDeviceLibraries(const fs::path& appPath) {
    std::error_code error;
    for (const char* name : {"libSync.so", "libQuillmarBiz.so", "libQuillmarPlatform.so", "libQuillmarRes.so"}) {
        fs::copy_file(fs::path(GetProgramFolder()) / name, appPath / name, fs::copy_options::overwrite_existing,
                      error);
        if (error)
            return false;
    }
    return true;
}

class ServiceProcess {
public:
    explicit ServiceProcess(pid_t pid) : m_pid(pid) {}
    ~ServiceProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            WaitFor(m_pid);
        }
    }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

private:
    pid_t m_pid;
};

}   // namespace

TEST(DeviceSyncEndToEnd, ARunningProgramShowsTheDesktopsChangesAfterASynchronisation) {
    ResetDeviceData();
    const char* appPath = std::getenv("QUILLMAR_TEST_APP_PATH");
    ASSERT_NE(appPath, nullptr);
    ASSERT_TRUE(InstallDeviceLibraries(appPath));

    RunningDevice device;
    CViewByDate& view = device.View();
    view.SetPeriodType(CViewByDate::PeriodDay);
    view.GoToDate(COleDateTime::GetCurrentTime());

    // On a port the system picks; the running service's pairing text names it.
    const std::string connectd = QUILLMAR_E2E_CONNECTD;
    ServiceProcess service(
        Spawn({connectd, "--settings-key", CQuillmarApp::kSettingsKey.ToUtf8(), "--port", "0"}, {}));
    QElapsedTimer waited;
    waited.start();
    std::string pairing;
    while ((pairing = RunAndCapture({connectd, "--pairing-text"})).empty() && waited.elapsed() < 10000)
        QTest::qWait(50);
    ASSERT_FALSE(pairing.empty());

    // The desktop: a HOME of its own beside the device's.
    const fs::path desktop = fs::path(std::getenv("HOME")) / "desktop-machine";
    for (const char* sub : {".config", ".local/share", "run", "data"})
        fs::create_directories(desktop / sub);
    chmod((desktop / "run").c_str(), 0700);
    const std::vector<std::string> desktopEnvironment = {
        "HOME=" + desktop.string(), "XDG_CONFIG_HOME=" + (desktop / ".config").string(),
        "XDG_DATA_HOME=" + (desktop / ".local/share").string(), "XDG_RUNTIME_DIR=" + (desktop / "run").string(),
        "QUILLMAR_DATA_DIR=" + (desktop / "data").string()};
    const pid_t driver = Spawn({QUILLMAR_E2E_DRIVER, pairing, "4321.5"}, desktopEnvironment);
    ASSERT_EQ(WaitFor(driver), 0);

    const QString amount = Text(FormatMoney(4321.5f));
    waited.restart();
    while (!ShowsAmount(*view.GetListCtrl(), amount) && waited.elapsed() < 10000)
        QTest::qWait(50);
    EXPECT_TRUE(ShowsAmount(*view.GetListCtrl(), amount));
}

#endif   // QUILLMAR_E2E_CONNECTD
