// The desktop's Remote API against a real quillmar-connectd: registry reads, file copies,
// remote invocation, pairing and a clean stop.
#include <sys/stat.h>
#include <sys/wait.h>
#include <filesystem>
#include <thread>

#include "connection/Pairing.h"
#include "connection/Rapi.h"
#include "connection/tests/ServiceFixture.h"
#include "platform/LocalAlloc.h"

namespace {

std::u16string Utf16(const std::string& text) { return CString(text).str(); }

class Connection : public ServiceFixture {
protected:
    HRESULT Invoke(const std::u16string& function, const std::string& input, std::string& answer,
                   const std::u16string& library = u"Sync.dll") {
        DWORD size = 0;
        BYTE* output = nullptr;
        std::string in = input;
        HRESULT result =
            CeRapiInvoke((Utf16(AppPathText()) + library).c_str(), function.c_str(), static_cast<DWORD>(in.size()),
                         in.empty() ? nullptr : reinterpret_cast<BYTE*>(in.data()), &size, &output, nullptr, 0);
        answer.assign(reinterpret_cast<const char*>(output), output ? size : 0);
        if (output) {
            EXPECT_EQ(LocalFree(output), nullptr);
        }
        return result;
    }
};

}   // namespace

TEST_F(Connection, PairingTextNamesTheServiceAndKeyFileIsPrivate) {
    auto pairing = Pairing::Parse(pairingText);
    ASSERT_TRUE(pairing);
    EXPECT_EQ(pairing->host, "127.0.0.1");
    EXPECT_EQ(pairing->port, port);
    struct stat info {};
    ASSERT_EQ(::stat((device.ConfigHome() + "/Kestovar/connectd.key").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(Connection, InitSignalsSuccessAndReadsTheDeviceRegistry) {
    SetDeviceDword(kDeviceSettingsKey, "FirstDayOfWeek", 2);
    ASSERT_TRUE(ConnectDesktop()) << CeRapiGetErrorMessage() << ServiceLog();
    HKEY key = nullptr;
    ASSERT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, kDeviceSettingsKey16, 0, KEY_READ, &key), 0);
    BYTE buffer[260] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    ASSERT_EQ(CeRegQueryValueEx(key, u"AppPath", nullptr, &type, buffer, &size), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, (AppPath().size() + 1) * 2);
    EXPECT_EQ(CString(reinterpret_cast<const char16_t*>(buffer)), CString(AppPath()));

    DWORD day = 0;
    size = sizeof day;
    ASSERT_EQ(CeRegQueryValueEx(key, u"FirstDayOfWeek", nullptr, &type, reinterpret_cast<BYTE*>(&day), &size), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(day, 2u);

    BYTE tiny[4];
    size = sizeof tiny;
    EXPECT_EQ(CeRegQueryValueEx(key, u"AppPath", nullptr, &type, tiny, &size), static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, (AppPath().size() + 1) * 2);
    size = 0;
    EXPECT_EQ(CeRegQueryValueEx(key, u"AppPath", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, (AppPath().size() + 1) * 2);
    EXPECT_EQ(CeRegQueryValueEx(key, u"NoSuchValue", nullptr, &type, buffer, &size),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CeRegCloseKey(key), 0);
    EXPECT_EQ(CeRegQueryValueEx(key, u"AppPath", nullptr, &type, buffer, &size),
              static_cast<LONG>(ERROR_INVALID_HANDLE));

    HKEY missing = nullptr;
    EXPECT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Nobody", 0, KEY_READ, &missing),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing, nullptr);
}

TEST_F(Connection, SubkeyOpensBelowAnOpenedKey) {
    ASSERT_TRUE(ConnectDesktop());
    HKEY software = nullptr;
    HKEY settings = nullptr;
    ASSERT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Vendor", 0, KEY_READ, &software), 0);
    ASSERT_EQ(CeRegOpenKeyEx(software, u"Device\\Settings", 0, KEY_READ, &settings), 0);
    DWORD size = 0;
    EXPECT_EQ(CeRegQueryValueEx(settings, u"AppPath", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_GT(size, 0u);
    CeRegCloseKey(settings);
    CeRegCloseKey(software);
}

TEST_F(Connection, FilesOfBoundarySizesCopyByteForByteBothWays) {
    ASSERT_TRUE(ConnectDesktop());
    for (size_t size : {size_t{0}, size_t{1}, size_t{8192}, size_t{8193}, size_t{200000}}) {
        const std::string bytes = PatternBytes(size);
        ASSERT_TRUE(WriteDeviceFile(Utf16(AppPathText()) + u"Quillmar.dat", bytes)) << size;
        EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), bytes) << size;
        WriteFileBytes(AppPath() + "/device.xml", bytes);
        std::string back;
        ASSERT_TRUE(ReadDeviceFile(Utf16(AppPathText()) + u"Device.xml", back)) << size;
        EXPECT_EQ(back, bytes) << size;
    }
}

TEST_F(Connection, NamesMatchWithoutRegardToCaseAndRelativeToAppPath) {
    WriteFileBytes(AppPath() + "/desktop.xml", "old");
    ASSERT_TRUE(ConnectDesktop());
    ASSERT_TRUE(WriteDeviceFile(Utf16(AppPathText()) + u"Desktop.xml", "new"));
    EXPECT_EQ(ReadFileBytes(AppPath() + "/desktop.xml"), "new");
    EXPECT_FALSE(std::filesystem::exists(AppPath() + "/Desktop.xml"));
    std::string back;
    ASSERT_TRUE(ReadDeviceFile(u"DESKTOP.XML", back));
    EXPECT_EQ(back, "new");
    std::filesystem::create_directories(AppPath() + "/Sub");
    WriteFileBytes(AppPath() + "/Sub/Note.txt", "inside");
    ASSERT_TRUE(ReadDeviceFile(u"sub/NOTE.txt", back));
    EXPECT_EQ(back, "inside");
    WriteFileBytes(AppPath() + "/Quillmar.dat", "old");
    ASSERT_TRUE(WriteDeviceFile(u"quillmar.DAT", "data"));
    EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), "data");
}

TEST_F(Connection, MissingFileIsFileNotFound) {
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(CeCreateFile((Utf16(AppPathText()) + u"Device.xml").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Connection, CutConnectionLeavesTheOldFileWhole) {
    WriteFileBytes(AppPath() + "/Quillmar.dat", "the whole old file");
    ASSERT_TRUE(ConnectDesktop());
    HANDLE file = CeCreateFile((Utf16(AppPathText()) + u"Quillmar.dat").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(CeWriteFile(file, "half", 4, &written, nullptr));
    CeRapiUninit();   // gone before the close
    EXPECT_FALSE(CeCloseHandle(file));
    EXPECT_EQ(CeGetLastError(), ERROR_NOT_CONNECTED);
    ASSERT_TRUE(GoodDesktopServed());
    // The cut session cleans up on its own time; give it a moment under load.
    size_t entries = 0;
    for (int tries = 0; tries < 500; ++tries) {
        entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(AppPath()))
            entries += entry.path().extension() == ".so" ? 0 : 1;
        if (entries == 1)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), "the whole old file");
    EXPECT_EQ(entries, 1u) << "a temporary file was left behind";
}

TEST_F(Connection, InvokeAnswersInALocalAllocBuffer) {
    ASSERT_TRUE(ConnectDesktop());
    std::string answer;
    EXPECT_EQ(Invoke(u"Greeting", "", answer), S_OK);
    EXPECT_EQ(answer, std::string("hello from the device") + '\0');
    EXPECT_EQ(Invoke(u"Reverse", "abc\x01", answer), S_OK);
    EXPECT_EQ(answer,
              "\x01"
              "cba");
    EXPECT_EQ(Invoke(u"Greeting", "", answer, u"sync.DLL"), S_OK);
}

TEST_F(Connection, InvokeWithoutOutputPointerStillRuns) {
    ASSERT_TRUE(ConnectDesktop());
    DWORD size = 77;
    EXPECT_EQ(CeRapiInvoke((Utf16(AppPathText()) + u"Sync.dll").c_str(), u"Greeting", 0, nullptr, &size, nullptr,
                           nullptr, 0),
              S_OK);
    EXPECT_EQ(size, 0u);
}

TEST_F(Connection, EachInvocationStartsAFreshProcess) {
    ASSERT_TRUE(ConnectDesktop());
    std::string first;
    std::string second;
    ASSERT_EQ(Invoke(u"CallCount", "", first), S_OK);
    ASSERT_EQ(Invoke(u"CallCount", "", second), S_OK);
    EXPECT_EQ(first, std::string("1") + '\0');
    EXPECT_EQ(second, std::string("1") + '\0');
}

TEST_F(Connection, LibraryRunsWithThePlatformLibraryOfTheDeviceFolder) {
    ASSERT_TRUE(ConnectDesktop());
    std::string answer;
    ASSERT_EQ(Invoke(u"ProgramFolder", "", answer), S_OK);
    EXPECT_EQ(answer, std::filesystem::canonical(AppPath()).string() + '\0');
}

TEST_F(Connection, ExportFailuresComeBackAsFailures) {
    ASSERT_TRUE(ConnectDesktop());
    std::string answer;
    EXPECT_EQ(Invoke(u"Refuse", "", answer), static_cast<HRESULT>(0x80070020u));
    // Allowed, but the library has no such export.
    EXPECT_EQ(Invoke(u"Missing", "", answer), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    // Not among the exports a desktop may call, though the library has it.
    EXPECT_EQ(Invoke(u"NotOffered", "", answer), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Invoke(u"Greeting", "", answer, u"Missing.dll"), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(FAILED(Invoke(u"Crash", "", answer)));
    EXPECT_TRUE(answer.empty());
    // The connection survives all of them.
    EXPECT_EQ(Invoke(u"Greeting", "", answer), S_OK);
    std::filesystem::remove(AppPath() + "/libSync.so");
    EXPECT_EQ(Invoke(u"Greeting", "", answer), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
}

TEST_F(Connection, HangingExportIsKilledAfterTheTimeLimit) {
    ASSERT_TRUE(ConnectDesktop());
    std::string answer;
    EXPECT_EQ(Invoke(u"Hang", "", answer), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    EXPECT_EQ(Invoke(u"Greeting", "", answer), S_OK);
}

TEST_F(Connection, ServiceWritesALogLinePerConnectionAndRequest) {
    ASSERT_TRUE(ConnectDesktop());
    std::string answer;
    Invoke(u"Greeting", "", answer);
    CeRapiUninit();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string log = ServiceLog();
    EXPECT_NE(log.find("connection from 127.0.0.1"), std::string::npos) << log;
    EXPECT_NE(log.find("authenticated"), std::string::npos) << log;
    EXPECT_NE(log.find("invoke"), std::string::npos) << log;
}

TEST_F(Connection, StopsCleanlyOnSigtermWithADesktopConnected) {
    ASSERT_TRUE(ConnectDesktop());
    const int status = StopService();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(ServiceLog().find("stopped"), std::string::npos);
    std::string answer;
    EXPECT_TRUE(FAILED(Invoke(u"Greeting", "", answer)));
}

TEST_F(Connection, NoServiceRunningGivesTheEventAFailure) {
    StopService();
    RAPIINIT init;
    init.cbSize = kRapiInitSize;
    ASSERT_GE(CeRapiInitEx(&init), 0);
    ASSERT_EQ(WaitForSingleObject(init.heRapiInit, 15000), WAIT_OBJECT_0);
    EXPECT_TRUE(FAILED(init.hrRapiInit));
}

TEST_F(Connection, MissingAppPathIsPathNotFound) {
    SetDeviceString(kDeviceSettingsKey, "AppPath", device.Root() + "/nowhere");
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(CeCreateFile(u"Quillmar.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(Connection, StopDuringAWriteKeepsTheOldFileAndNoTemporary) {
    WriteFileBytes(AppPath() + "/Quillmar.dat", "the whole old file");
    ASSERT_TRUE(ConnectDesktop());
    HANDLE file = CeCreateFile(u"Quillmar.dat", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(CeWriteFile(file, "half", 4, &written, nullptr));
    const int status = StopService();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(CeCloseHandle(file));
    EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), "the whole old file");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(AppPath()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names.size(), 3u) << "a temporary file was left behind";
}

TEST_F(Connection, KeyIsKeptAcrossStarts) {
    const std::string first = pairingText;
    ASSERT_TRUE(RestartService({}));
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(Pairing::Parse(pairingText)->key, Pairing::Parse(first)->key);
}

TEST_F(Connection, KeyFileOthersMayReadIsRefused) {
    const std::string keyFile = device.ConfigHome() + "/Kestovar/connectd.key";
    std::filesystem::permissions(keyFile, std::filesystem::perms::group_read, std::filesystem::perm_options::add);
    std::string output;
    std::string errors;
    const int status = RunServiceOnce({"--pairing-text"}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_TRUE(output.empty());
    EXPECT_NE(errors.find("chmod 600"), std::string::npos) << errors;
}

TEST_F(Connection, DamagedKeyFileIsRefused) {
    WriteFileBytes(device.Root() + "/bad.key", "not a key\n");
    std::filesystem::permissions(device.Root() + "/bad.key",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    StopService();
    std::string output;
    std::string errors;
    const int status =
        RunServiceOnce({"--settings-key", kDeviceSettingsKey, "--port", "0", "--key-file", device.Root() + "/bad.key"},
                       output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(errors.find("does not hold a pairing key"), std::string::npos) << errors;
    EXPECT_EQ(ReadFileBytes(device.Root() + "/bad.key"), "not a key\n");
}

TEST_F(Connection, BadOptionsAreRefusedWithUsage) {
    std::string output;
    std::string errors;
    const std::string key = kDeviceSettingsKey;
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--port", "0"},
                                                      {"--settings-key", key, "--port", "70000"},
                                                      {"--settings-key", key, "--port"},
                                                      {"--settings-key", key, "--frobnicate", "1"},
                                                      {"--settings-key", key, "--invoke-timeout-ms", "soon"},
                                                      {"--settings-key", key, "--exports", "A,,B"},
                                                      {"--settings-key", ""},
                                                      {"--pairing-text", "--port", "5000"}}) {
        const int status = RunServiceOnce(arguments, output, errors);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << arguments[0] << " " << arguments[1];
        EXPECT_NE(errors.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(RunServiceOnce({"--help"}, output, errors), 0);
    EXPECT_NE(output.find("--pairing-text"), std::string::npos);
}

TEST_F(Connection, PortInUseIsReported) {
    std::string output;
    std::string errors;
    const int status =
        RunServiceOnce({"--settings-key", kDeviceSettingsKey, "--port", std::to_string(port)}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(errors.find("cannot listen"), std::string::npos) << errors;
}

TEST_F(Connection, SecondServiceForTheSameUserIsRefused) {
    std::string output;
    std::string errors;
    const int status = RunServiceOnce({"--settings-key", kDeviceSettingsKey, "--port", "0"}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(errors.find("another quillmar-connectd serves this user already"), std::string::npos) << errors;
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Connection, OpenFilesAreLimitedPerConnection) {
    WriteFileBytes(AppPath() + "/Quillmar.dat", "data");
    ASSERT_TRUE(ConnectDesktop());
    std::vector<HANDLE> files;
    for (int i = 0; i < 16; ++i) {
        files.push_back(CeCreateFile(u"Quillmar.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(files.back(), INVALID_HANDLE_VALUE) << i;
    }
    EXPECT_EQ(CeCreateFile(u"Quillmar.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_TOO_MANY_OPEN_FILES);
    EXPECT_TRUE(CeCloseHandle(files.front()));
    EXPECT_FALSE(CeCloseHandle(files.front()));
    EXPECT_EQ(CeGetLastError(), ERROR_INVALID_HANDLE);
    std::string bytes;
    EXPECT_TRUE(ReadDeviceFile(u"Quillmar.dat", bytes));
    EXPECT_EQ(bytes, "data");
}

TEST_F(Connection, CreateNewRefusesAnExistingFile) {
    WriteFileBytes(AppPath() + "/Quillmar.dat", "data");
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(CeCreateFile(u"quillmar.DAT", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadFileBytes(AppPath() + "/Quillmar.dat"), "data");
}

TEST_F(Connection, SecondInitReplacesTheConnection) {
    WriteFileBytes(AppPath() + "/Quillmar.dat", "data");
    ASSERT_TRUE(ConnectDesktop());
    HANDLE stale = CeCreateFile(u"Quillmar.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(stale, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ConnectDesktop());
    EXPECT_EQ(CeGetFileSize(stale, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(CeGetLastError(), ERROR_INVALID_HANDLE);
    std::string bytes;
    EXPECT_TRUE(ReadDeviceFile(u"Quillmar.dat", bytes));
    EXPECT_EQ(bytes, "data");
}

TEST_F(Connection, RegistryKeyPathsMaySeparateWithSlashes) {
    ASSERT_TRUE(ConnectDesktop());
    for (const char16_t* path : {u"Software/Vendor/Device/Settings", u"Software\\Vendor/Device\\Settings",
                                 u"/Software//Vendor/Device/Settings/"}) {
        HKEY key = nullptr;
        ASSERT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), 0) << CString(path).ToUtf8();
        DWORD size = 0;
        EXPECT_EQ(CeRegQueryValueEx(key, u"AppPath", nullptr, nullptr, nullptr, &size), 0);
        EXPECT_EQ(size, (AppPath().size() + 1) * 2);
        CeRegCloseKey(key);
    }
    HKEY software = nullptr;
    HKEY settings = nullptr;
    ASSERT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software/", 0, KEY_READ, &software), 0);
    ASSERT_EQ(CeRegOpenKeyEx(software, u"Vendor/Device/Settings", 0, KEY_READ, &settings), 0);
    DWORD size = 0;
    EXPECT_EQ(CeRegQueryValueEx(settings, u"AppPath", nullptr, nullptr, nullptr, &size), 0);
    CeRegCloseKey(settings);
    CeRegCloseKey(software);
    HKEY missing = nullptr;
    EXPECT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software/Vendor/Nobody", 0, KEY_READ, &missing),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Connection, PairingTextComesFromTheRunningService) {
    // The port the system chose, as the service itself reports it.
    EXPECT_NE(port, 0u);
    EXPECT_NE(ServiceLog().find("listening on 127.0.0.1:" + std::to_string(port)), std::string::npos) << ServiceLog();
    EXPECT_TRUE(GoodDesktopServed());
    // Another key file: the text carries that key, and no second key appears anywhere.
    const std::string ownKey = device.Root() + "/own.key";
    ASSERT_TRUE(RestartService({"--key-file", ownKey}));
    std::string output;
    std::string errors;
    ASSERT_EQ(RunServiceOnce({"--pairing-text"}, output, errors), 0) << errors;
    EXPECT_EQ(Pairing::Parse(output)->key, *Pairing::KeyFromHex(ReadFileBytes(ownKey).substr(0, 64)));
    EXPECT_EQ(Pairing::Parse(output)->port, port);
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Connection, PairingTextSaysPlainlyWhenNoServiceRunsOrItsKeyIsGone) {
    const std::string ownKey = device.Root() + "/own.key";
    ASSERT_TRUE(RestartService({"--key-file", ownKey}));
    std::filesystem::remove(ownKey);
    std::string output;
    std::string errors;
    int status = RunServiceOnce({"--pairing-text"}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_TRUE(output.empty());
    EXPECT_NE(errors.find("the running service's key cannot be read"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(ownKey));

    StopService();
    status = RunServiceOnce({"--pairing-text"}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_TRUE(output.empty());
    EXPECT_NE(errors.find("no quillmar-connectd is running"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(ownKey));
}

TEST_F(Connection, StaleStateOfAKilledServiceIsNotTakenForARunningOne) {
    ::kill(service, SIGKILL);
    ::waitpid(service, nullptr, 0);
    service = -1;
    std::string output;
    std::string errors;
    const int status = RunServiceOnce({"--pairing-text"}, output, errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(errors.find("no quillmar-connectd is running"), std::string::npos) << errors;
    ASSERT_TRUE(StartService());
    EXPECT_TRUE(GoodDesktopServed());
}

TEST_F(Connection, LogNamesWhatWasDoneButHoldsNeitherKeyNorContents) {
    ASSERT_TRUE(ConnectDesktop());
    const std::string contents = "contents-that-stay-private";
    ASSERT_TRUE(WriteDeviceFile(u"Quillmar.dat", contents));
    std::string back;
    ASSERT_TRUE(ReadDeviceFile(u"Quillmar.dat", back));
    std::string answer;
    Invoke(u"Reverse", contents, answer);
    CeRapiUninit();
    ASSERT_TRUE(LogShows("closed"));
    const std::string log = ServiceLog();
    EXPECT_NE(log.find("\"Quillmar.dat\""), std::string::npos) << log;
    EXPECT_EQ(log.find(contents), std::string::npos) << log;
    EXPECT_EQ(log.find(pairingText.substr(pairingText.rfind(':') + 1, 64)), std::string::npos) << log;
}
