#include "connection/tests/ServiceFixture.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "connection/Pairing.h"
#include "connection/Rapi.h"
#include "platform/Registry.h"

namespace {

void UseDeviceEnvironment(const TempHome& device) {
    ::setenv("HOME", device.Home().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", device.ConfigHome().c_str(), 1);
    ::setenv("XDG_DATA_HOME", device.DataHome().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", device.RuntimeFolder().c_str(), 1);
}

// Runs the service binary with the device's HOME; stdout to `out`, stderr to `log`.
pid_t Spawn(const TempHome& device, const std::vector<std::string>& arguments, int out, int log) {
    pid_t child = ::fork();
    if (child != 0)
        return child;
    UseDeviceEnvironment(device);
    if (out >= 0)
        ::dup2(out, STDOUT_FILENO);
    if (log >= 0)
        ::dup2(log, STDERR_FILENO);
    std::vector<char*> argv;
    std::string program = QUILLMAR_CONNECTD;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

// Output and errors go to files, so neither pipe can fill while the other is read.
int RunOnce(const TempHome& device, const std::vector<std::string>& arguments, std::string& output,
            std::string& errors) {
    const std::string outPath = device.Root() + "/once.out";
    const std::string errPath = device.Root() + "/once.err";
    int out = ::open(outPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int err = ::open(errPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_t child = Spawn(device, arguments, out, err);
    int status = -1;
    ::waitpid(child, &status, 0);
    ::close(out);
    ::close(err);
    output = ReadFileBytes(outPath);
    errors = ReadFileBytes(errPath);
    return status;
}

}   // namespace

std::string PatternBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 256) & 0xFF);
    return bytes;
}

bool ProcessGone(pid_t pid, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void ServiceFixture::SetUp() {
    std::filesystem::create_directories(AppPath());
    std::filesystem::create_directories(Outside());
    SetDeviceString(kDeviceSettingsKey, "AppPath", AppPath());
    // As on a device: the sync library and the platform library it links, side by side.
    std::filesystem::copy_file(RAPI_TEST_EXPORTS, AppPath() + "/libSync.so");
    std::filesystem::copy_file(QUILLMAR_PLATFORM_LIBRARY, AppPath() + "/libQuillmarPlatform.so");
    ASSERT_TRUE(StartService());
}

void ServiceFixture::TearDown() {
    CeRapiUninit();
    if (service > 0) {
        const int status = StopService();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ServiceLog();
    }
}

std::vector<std::string> ServiceFixture::TestOptions() {
    return {"--handshake-timeout-ms",
            "800",
            "--idle-timeout-ms",
            "3000",
            "--invoke-timeout-ms",
            "1500",
            "--summary-interval-ms",
            "200",
            "--exports",
            "Greeting,Reverse,CallCount,ProgramFolder,Refuse,Hang,Crash,Touch,Missing,"
            "StragglersThenHang,StragglersThenReturn"};
}

bool ServiceFixture::StartService(const std::vector<std::string>& arguments) {
    const std::string logPath = device.Root() + "/connectd.log";
    const size_t logStart = ServiceLog().size();
    int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    std::vector<std::string> all = {"--settings-key", kDeviceSettingsKey, "--port", "0"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    service = Spawn(device, all, -1, log);
    ::close(log);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool listening = false;
    while (!listening && std::chrono::steady_clock::now() < deadline) {
        listening = ServiceLog().find("listening on", logStart) != std::string::npos;
        if (!listening && ::waitpid(service, nullptr, WNOHANG) == service) {
            service = -1;
            ADD_FAILURE() << "the service ended at start:\n" << ServiceLog();
            return false;
        }
        if (!listening)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!listening) {
        ADD_FAILURE() << "the service did not start listening:\n" << ServiceLog();
        return false;
    }
    // The port it chose, as a desktop learns it: from the pairing text.
    std::string errors;
    RunOnce(device, {"--pairing-text"}, pairingText, errors);
    auto pairing = Pairing::Parse(pairingText);
    if (!pairing || !Pairing::StoreText(CString(pairingText)).ok()) {
        ADD_FAILURE() << "no pairing text: " << pairingText << errors;
        return false;
    }
    port = pairing->port;
    return true;
}

int ServiceFixture::StopService() {
    int status = -1;
    ::kill(service, SIGTERM);
    ::waitpid(service, &status, 0);
    service = -1;
    return status;
}

bool ServiceFixture::RestartService(const std::vector<std::string>& extra) {
    CeRapiUninit();
    const int status = StopService();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<std::string> arguments = TestOptions();
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return StartService(arguments);
}

bool ServiceFixture::LogShows(const std::string& text) const {
    for (int tries = 0; tries < 500; ++tries) {
        if (ServiceLog().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int ServiceFixture::RunServiceOnce(const std::vector<std::string>& arguments, std::string& output,
                                   std::string& errors) {
    return RunOnce(device, arguments, output, errors);
}

std::string ServiceFixture::ServiceLog() const { return ReadFileBytes(device.Root() + "/connectd.log"); }

void ServiceFixture::SetDeviceString(const std::string& key, const std::string& name, const std::string& value) {
    device.Activate();
    EXPECT_TRUE(Registry::SetString(CString(key), CString(name), CString(value)));
    desktop.Activate();
}

void ServiceFixture::SetDeviceDword(const std::string& key, const std::string& name, uint32_t value) {
    device.Activate();
    EXPECT_TRUE(Registry::SetDword(CString(key), CString(name), value));
    desktop.Activate();
}

std::string ServiceFixture::AppPathText() const { return AppPath() + "\\"; }

bool ServiceFixture::ConnectDesktop() {
    RAPIINIT init;
    init.cbSize = kRapiInitSize;
    if (FAILED(CeRapiInitEx(&init)))
        return false;
    return WaitForSingleObject(init.heRapiInit, 15000) == WAIT_OBJECT_0 && SUCCEEDED(init.hrRapiInit);
}

bool ServiceFixture::ReadDeviceFile(const std::u16string& name, std::string& bytes) {
    HANDLE file = CeCreateFile(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    const DWORD size = CeGetFileSize(file, &high);
    bytes.clear();
    char chunk[8192];
    DWORD got = 0;
    while (CeReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    const bool closed = CeCloseHandle(file);
    return closed && size != INVALID_FILE_SIZE && high == 0 && size == bytes.size();
}

bool ServiceFixture::WriteDeviceFile(const std::u16string& name, const std::string& bytes) {
    HANDLE file = CeCreateFile(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (size_t at = 0; ok && at < bytes.size(); at += 8192) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(8192, bytes.size() - at));
        DWORD written = 0;
        ok = CeWriteFile(file, bytes.data() + at, chunk, &written, nullptr) && written == chunk;
    }
    return CeCloseHandle(file) && ok;
}

bool ServiceFixture::GoodDesktopServed() {
    CeRapiUninit();
    if (!ConnectDesktop())
        return false;
    HKEY key = nullptr;
    if (CeRegOpenKeyEx(HKEY_CURRENT_USER, kDeviceSettingsKey16, 0, KEY_READ, &key) != 0)
        return false;
    BYTE buffer[260] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LONG result = CeRegQueryValueEx(key, u"AppPath", nullptr, &type, buffer, &size);
    CeRegCloseKey(key);
    CeRapiUninit();
    return result == 0 && type == REG_SZ && CString(reinterpret_cast<const char16_t*>(buffer)) == CString(AppPath());
}

int ServiceFixture::RawConnect() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ServiceFixture::ReceiveUntilClosed(int fd, int timeoutMs, std::string& bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buffer[4096];
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return true;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}
