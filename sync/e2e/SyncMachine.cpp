#include "sync/e2e/SyncMachine.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "biz/DataHelper.h"
#include "connection/Pairing.h"
#include "platform/Registry.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDeviceLibraries[] = {"libSync.so", "libQuillmarBiz.so", "libQuillmarPlatform.so",
                                            "libQuillmarRes.so"};
constexpr auto kServiceStartLimit = std::chrono::seconds(10);
// Where the device program keeps its settings, "AppPath" among them; the service is told.
constexpr const char16_t* kDeviceSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

std::vector<std::string> DeviceEnvironment(const TempHome& device) {
    return {"HOME=" + device.Home(),
            "XDG_CONFIG_HOME=" + device.ConfigHome(),
            "XDG_DATA_HOME=" + device.DataHome(),
            "XDG_RUNTIME_DIR=" + device.RuntimeFolder(),
            "PATH=/usr/bin:/bin",
            "LC_ALL=C"};
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the service program with the device's environment in a session of its own, so that
// the workers it starts in groups of their own can still be found by their session.
// Everything the child needs is prepared before fork: the relay thread may hold locks.
pid_t SpawnService(const TempHome& device, std::vector<std::string> arguments, int out, int err) {
    arguments.insert(arguments.begin(), QUILLMAR_CONNECTD_PATH);
    std::vector<std::string> environment = DeviceEnvironment(device);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        // A test that dies must not leave its device serving.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (out >= 0)
            ::dup2(out, STDOUT_FILENO);
        if (err >= 0)
            ::dup2(err, STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return child;
}

// The live processes of a session (zombies are dead already).
std::vector<pid_t> LiveProcessesOfSession(pid_t session) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        // pid (comm) state ppid pgrp session ...; comm may hold spaces, so read after the last ')'.
        const size_t close = text.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(text.substr(close + 1));
        char state = 0;
        long parent = 0, group = 0, sessionId = 0;
        fields >> state >> parent >> group >> sessionId;
        if (sessionId == session && state != 'Z' && state != 'X')
            found.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return found;
}

// The running service's pairing text: its address, the port it chose and its key.
std::string PairingTextOf(const TempHome& device) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return "";
    const pid_t child = SpawnService(device, {"--pairing-text"}, pipeFds[1], -1);
    ::close(pipeFds[1]);
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    ::close(pipeFds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}   // namespace

void WaitForNextSecond() {
    const std::time_t start = std::time(nullptr);
    while (std::time(nullptr) == start)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

SyncMachine::SyncMachine(const Options& options) : m_options(options) {
    if (!SetUpFolders() || !CopyDeviceLibraries())
        return;
    ActivateDesktop();
    if (!WriteDeviceAppPath())
        return;
    m_proxy = std::make_unique<LoopbackProxy>(0);
    if (!m_proxy->Listening())
        m_problem = "the relay does not listen";
}

SyncMachine::~SyncMachine() {
    if (m_service > 0 && !StopService())
        KillService();
    m_proxy.reset();
}

bool SyncMachine::SetUpFolders() {
    m_desktopData = m_desktop.DataFolder();
    m_deviceApp = m_device.Root() + "/app";
    std::error_code error;
    fs::create_directories(m_desktopData, error);
    fs::create_directories(m_deviceApp, error);
    if (error)
        m_problem = "the folders could not be made: " + error.message();
    return !error;
}

bool SyncMachine::CopyDeviceLibraries() {
    for (const char* name : kDeviceLibraries) {
        std::error_code error;
        fs::copy_file(fs::path(QUILLMAR_DEVICE_LIB_DIR) / name, fs::path(m_deviceApp) / name,
                      fs::copy_options::overwrite_existing, error);
        if (error) {
            m_problem = std::string("the device library ") + name + " could not be copied: " + error.message();
            return false;
        }
    }
    return true;
}

bool SyncMachine::WriteDeviceAppPath() {
    ActivateDevice();
    const bool written = Registry::SetString(kDeviceSettingsKey, u"AppPath", CString(m_deviceApp));
    ActivateDesktop();
    if (!written)
        m_problem = "the device's AppPath could not be written";
    return written;
}

void SyncMachine::ActivateDesktop() { m_desktop.Activate(); }

void SyncMachine::ActivateDevice() { m_device.Activate(); }

void SyncMachine::WithDeviceEnvironment(const std::function<void()>& work) {
    ActivateDevice();
    work();
    ActivateDesktop();
}

std::string SyncMachine::ServiceLog() const { return ReadFileBytes(m_device.Root() + "/connectd.log"); }

bool SyncMachine::StartService() {
    if (m_service > 0)
        return true;
    if (!StartServiceOnce())
        return false;
    m_proxy->SetTarget(m_servicePort);
    m_problem.clear();
    return m_paired || StorePairing();
}

bool SyncMachine::StartServiceOnce() {
    const std::string logPath = m_device.Root() + "/connectd.log";
    const size_t logStart = ServiceLog().size();
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    m_service = SpawnService(m_device,
                             {"--settings-key", CString(kDeviceSettingsKey).ToUtf8(), "--port", "0",
                              "--invoke-timeout-ms", std::to_string(m_options.invokeTimeoutMs)},
                             -1, log);
    ::close(log);
    const auto deadline = std::chrono::steady_clock::now() + kServiceStartLimit;
    bool listening = false;
    while (m_service > 0 && !listening && std::chrono::steady_clock::now() < deadline) {
        listening = ServiceLog().find("listening on", logStart) != std::string::npos;
        if (!listening && ::waitpid(m_service, nullptr, WNOHANG) == m_service)
            m_service = -1;
        if (!listening)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The port the service chose, from its pairing text.
    const std::optional<Pairing> pairing = listening ? Pairing::Parse(PairingTextOf(m_device)) : std::nullopt;
    if (!pairing) {
        m_problem = "the service did not start:\n" + ServiceLog();
        KillService();
        return false;
    }
    m_servicePort = pairing->port;
    return true;
}

bool SyncMachine::StorePairing() {
    const std::string text = PairingTextOf(m_device);
    std::optional<Pairing> pairing = Pairing::Parse(text);
    if (!pairing) {
        m_problem = "no pairing text: " + text;
        return false;
    }
    // The desktop dials the relay, which reaches whichever service runs now.
    pairing->port = m_proxy->Port();
    m_paired = Pairing::Store(*pairing).ok();
    if (!m_paired)
        m_problem = "the pairing could not be stored";
    return m_paired;
}

void SyncMachine::KillService() {
    if (m_service <= 0)
        return;
    ::kill(-m_service, SIGKILL);
    ::waitpid(m_service, nullptr, 0);
    // A worker in a group of its own may still be finishing what it was asked; nothing of the
    // service may run on once it is said to be dead.
    for (int round = 0; round < 500; ++round) {
        const std::vector<pid_t> left = LiveProcessesOfSession(m_service);
        if (left.empty())
            break;
        for (pid_t pid : left)
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_service = -1;
}

bool SyncMachine::StopService() {
    if (m_service <= 0)
        return true;
    int status = -1;
    ::kill(m_service, SIGTERM);
    ::waitpid(m_service, &status, 0);
    m_service = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SyncMachine::UseDesktopData() {
    ::setenv("QUILLMAR_DATA_DIR", m_desktopData.c_str(), 1);
    CDataHelper* store = GetCurrDataHelper();
    return store && store->Initialize();
}

bool SyncMachine::UseDeviceData() {
    ::setenv("QUILLMAR_DATA_DIR", m_deviceApp.c_str(), 1);
    CDataHelper* store = GetCurrDataHelper();
    return store && store->Initialize();
}

bool SyncMachine::OnDevice(const std::function<void()>& edit) {
    if (!UseDeviceData())
        return false;
    edit();
    return UseDesktopData();
}
