#include "sync/tests/SyncTestSupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "biz/DataHelper.h"
#include "biz/SyncHelper.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "xml/Markup.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsKey = "Software\\Kestovar\\Quillmar\\Settings";
constexpr const char* kDeviceLibraries[] = {"libSync.so", "libQuillmarBiz.so", "libQuillmarPlatform.so",
                                            "libQuillmarRes.so"};

std::optional<std::string> GetEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetOrUnset(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

// One record element (the main position) as text: tag, attributes but "id" in order, children
// but "modified" in order.
std::string RecordText(CMarkup& document) {
    std::string text = document.GetTagName().ToUtf8();
    for (int n = 0;; ++n) {
        const CString name = document.GetAttribName(n);
        if (name.IsEmpty())
            break;
        if (name != u"id")
            text += " " + name.ToUtf8() + "=\"" + document.GetAttrib(name).ToUtf8() + "\"";
    }
    while (document.FindChildElem()) {
        const CString name = document.GetChildTagName();
        if (name != u"modified")
            text += " <" + name.ToUtf8() + ">" + document.GetChildData().ToUtf8();
    }
    return text;
}

std::string ChildText(CMarkup& document, const char16_t* name) {
    document.ResetChildPos();
    const std::string text = document.FindChildElem(name) ? document.GetChildData().ToUtf8() : std::string();
    document.ResetChildPos();
    return text;
}

// The value of `key=` in the host's output lines.
std::string OutputValue(const std::string& output, const std::string& key) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return std::string();
}

std::string BytesFromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Runs the host with `environment`; its standard output, nullopt when it did not exit normally.
std::optional<std::string> RunHost(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment, int& exitCode) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& assignment : environment)
        envp.push_back(const_cast<char*>(assignment.c_str()));
    envp.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return std::nullopt;
    exitCode = WEXITSTATUS(status);
    return output;
}

std::vector<std::string> ChangeFilesIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (lower == "desktop.xml" || lower == "device.xml")
            found.push_back(name);
    }
    return found;
}

}   // namespace

FileSnapshot ReadFileSnapshot(const std::string& path) {
    FileSnapshot snapshot;
    CMarkup document;
    if (!document.Load(CString::FromUtf8(path)) || !document.FindElem())
        return snapshot;
    snapshot.loaded = true;
    while (document.FindChildElem()) {
        document.IntoElem();
        const std::string tag = document.GetTagName().ToUtf8();
        const std::string refId = document.GetAttrib(u"refId").ToUtf8();
        if (tag == "metaData") {
            while (document.FindChildElem())
                snapshot.metaData[document.GetChildTagName().ToUtf8()] = document.GetChildData().ToUtf8();
        } else if (tag == "deleted") {
            snapshot.markers.emplace_back(ChildText(document, u"description"), refId);
        } else {
            snapshot.ids[{tag, refId}] = std::atoi(document.GetAttrib(u"id").ToUtf8().c_str());
            snapshot.records[{tag, refId}] = RecordText(document);
        }
        document.OutOfElem();
    }
    return snapshot;
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    std::error_code error;
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error) && !error;
}

void SyncTest::SetUp() {
    m_root = m_user.Root();
    m_desktopFolder = m_user.DataFolder();
    m_runtimeFolder = m_user.RuntimeFolder();
    fs::create_directories(m_desktopFolder);
    // Whether a file reaches the disk before a crash is not what these tests look at.
    SetDiskSyncEnabled(false);
    m_deviceHome = MakeDeviceHome("device-home");
    m_deviceFolder = m_deviceHome + "/app";
    ASSERT_EQ(Store().Initialize(), 1);
}

void SyncTest::TearDown() { SetDiskSyncEnabled(true); }

CDataHelper& SyncTest::Store() { return *GetCurrDataHelper(); }

void SyncTest::UseDataFolder(const std::string& folder) {
    setenv("QUILLMAR_DATA_DIR", folder.c_str(), 1);
    ASSERT_EQ(Store().Initialize(), 1);
}

void SyncTest::OnDevice(const std::function<void()>& edit) {
    UseDataFolder(m_deviceFolder);
    edit();
    UseDataFolder(m_desktopFolder);
}

void SyncTest::SetDeviceAppPath(const std::string& home, const std::optional<std::string>& folder) {
    const std::optional<std::string> savedConfig = GetEnvironment("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    Registry::Reload();
    if (folder)
        EXPECT_TRUE(Registry::SetString(kSettingsKey, u"AppPath", CString::FromUtf8(*folder)));
    else
        Registry::DeleteValue(kSettingsKey, u"AppPath");
    SetOrUnset("XDG_CONFIG_HOME", savedConfig);
    Registry::Reload();
}

std::string SyncTest::MakeDeviceHome(const std::string& name) {
    const std::string home = m_root + "/" + name;
    const std::string folder = home + "/app";
    fs::create_directories(folder);
    for (const char* library : kDeviceLibraries)
        EXPECT_TRUE(CopyFileOver(std::string(QUILLMAR_TEST_DEVICE_DIR) + "/" + library, folder + "/" + library))
            << library;
    SetDeviceAppPath(home, folder);
    return home;
}

ExportCall SyncTest::CallDevice(const std::string& exportName, const std::string& deviceHome) {
    const std::string home = deviceHome.empty() ? m_deviceHome : deviceHome;
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string assignment = *variable;
        const std::string name = assignment.substr(0, assignment.find('='));
        if (name != "HOME" && name != "XDG_CONFIG_HOME" && name != "XDG_DATA_HOME" && name != "QUILLMAR_DATA_DIR")
            environment.push_back(assignment);
    }
    environment.push_back("HOME=" + home);
    environment.push_back("XDG_CONFIG_HOME=" + home + "/.config");
    environment.push_back("XDG_DATA_HOME=" + home + "/.local/share");
    char now[64];
    std::snprintf(now, sizeof now, "%.17g", COleDateTime::GetCurrentTime().m_dt);
    int exitCode = -1;
    const std::optional<std::string> output =
        RunHost({QUILLMAR_TEST_SYNC_HOST, ExportsLibrary(home + "/app"), exportName, now}, environment, exitCode);
    ExportCall call;
    if (!output || exitCode != 0) {
        call.errorText = "host exit " + std::to_string(exitCode) + ": " + output.value_or("");
        return call;
    }
    call.ran = true;
    call.status = static_cast<uint32_t>(std::stoul(OutputValue(*output, "status"), nullptr, 16));
    call.answer = BytesFromHex(OutputValue(*output, "answer"));
    return call;
}

void SyncTest::ExpectDeviceCallSucceeds(const std::string& exportName) {
    const ExportCall call = CallDevice(exportName);
    EXPECT_TRUE(call.ran) << call.errorText;
    EXPECT_EQ(call.status, 0u) << exportName;
}

void SyncTest::ExchangeChangeFiles() {
    const std::string desktopOwn = m_desktopFolder + "/desktop.xml";
    if (FileExists(desktopOwn)) {
        ASSERT_TRUE(CopyFileOver(desktopOwn, m_deviceFolder + "/Desktop.xml"));
    }
    const std::string deviceOwn = m_deviceFolder + "/device.xml";
    if (FileExists(deviceOwn)) {
        ASSERT_TRUE(CopyFileOver(deviceOwn, m_desktopFolder + "/device.xml"));
    }
}

void SyncTest::Synchronise() {
    ExpectDeviceCallSucceeds("TriggerDeviceSide_SerializeLocalChanges");
    CSyncHelper desktop;
    ASSERT_GE(desktop.SerializeLocalChanges(), 0);
    ExchangeChangeFiles();
    ASSERT_EQ(desktop.CommitRemoteChanges(), 1);
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    Advance();
}

void SyncTest::FullSyncToDevice() {
    CSyncHelper desktop;
    ASSERT_EQ(desktop.UpdateLastSyncDateTime(), 1);
    ASSERT_TRUE(CopyFileOver(DesktopDataFile(), DeviceDataFile()));
    ExpectDeviceCallSucceeds("TriggerDeviceSide_CommitRemoteChanges");
    Advance();
}

void SyncTest::ExpectConverged() {
    const FileSnapshot desktop = ReadFileSnapshot(DesktopDataFile());
    const FileSnapshot device = ReadFileSnapshot(DeviceDataFile());
    ASSERT_TRUE(desktop.loaded);
    ASSERT_TRUE(device.loaded);
    EXPECT_EQ(desktop.records, device.records);
    EXPECT_TRUE(desktop.markers.empty());
    EXPECT_TRUE(device.markers.empty());
    EXPECT_TRUE(ChangeFilesIn(m_desktopFolder).empty());
    EXPECT_TRUE(ChangeFilesIn(m_deviceFolder).empty());
}

void SyncTest::Advance(double seconds) const { Clock::AdvanceSeconds(seconds); }
