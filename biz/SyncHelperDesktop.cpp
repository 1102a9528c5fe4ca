// The desktop's half of CSyncHelper: the device reached through the Remote API of the
// connection (connection). Desktop build only.
#include "biz/SyncHelper.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "biz/DataHelper.h"
#include "connection/Rapi.h"
#include "platform/Paths.h"

namespace {

constexpr DWORD kConnectWaitMs = 15000;
constexpr DWORD kCopyChunk = 8192;
constexpr DWORD kAppPathBufferBytes = 260;
// A longer "AppPath" is read with a second query, up to this size.
constexpr DWORD kAppPathLimitBytes = 32768;

constexpr const char16_t* kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";
constexpr const char16_t* kSyncLibrary = u"Sync.dll";
constexpr const char16_t* kDeviceDesktopChanges = u"Desktop.xml";
constexpr const char16_t* kDeviceDeviceChanges = u"Device.xml";
constexpr const char16_t* kDeviceDataFile = u"Quillmar.dat";
constexpr const char* kEmptyChangeDocument = "<quillmar/>\r\n";

// A local file descriptor closed when it goes.
class LocalFile {
public:
    explicit LocalFile(int fd) : m_fd(fd) {}
    ~LocalFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// The read part of a local file; -1 on failure.
ssize_t ReadChunk(int fd, char* buffer, size_t size) {
    ssize_t got;
    do {
        got = ::read(fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool RemoveLocalFile(const CString& path) {
    if (path.IsEmpty())
        return true;
    std::error_code error;
    std::filesystem::remove(path.ToUtf8(), error);
    return !error;
}

bool DeviceFileMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

CString HexStatus(HRESULT result) { return CString::Formatted(u"0x%08X", static_cast<unsigned>(result)); }

// Writes all of `bytes` to an open device file; false at the first short or failed write.
bool WriteDeviceBytes(HANDLE file, const char* bytes, DWORD size) {
    DWORD written = 0;
    return CeWriteFile(file, bytes, size, &written, nullptr) && written == size;
}

// The data store once it holds a data file, so its paths are known.
CDataHelper* DesktopStore() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store || store->GetDataFilePath().IsEmpty())
        return nullptr;
    return store;
}

struct LocalFreeDeleter {
    void operator()(uint8_t* block) const { LocalFree(block); }
};

}   // namespace

std::shared_ptr<void> CSyncHelper::OpenConnectionScope() {
    // The deleter runs for the null pointer too: it marks the end of the helper, not of an object.
    return std::shared_ptr<void>(nullptr, [](void*) { CeRapiUninit(); });
}

int CSyncHelper::Fail(const CString& what) {
    m_strLastError = what;
    // What the connection said matters only when it is the connection that failed.
    const std::string reason = FAILED(CeRapiGetError()) ? CeRapiGetErrorMessage() : std::string();
    if (!reason.empty())
        m_strLastError += u": " + CString::FromUtf8(reason);
    return 0;
}

int CSyncHelper::FailOnDevice(const CString& what) {
    const DWORD error = CeGetLastError();
    Fail(what);
    if (!FAILED(CeRapiGetError()) && error != ERROR_SUCCESS)
        m_strLastError += CString::Formatted(u" (error %u)", static_cast<unsigned>(error));
    return 0;
}

int CSyncHelper::Initialize() {
    m_strLastError.Empty();
    DeviceAppPath.Empty();
    RAPIINIT init;
    init.cbSize = kRapiInitSize;
    if (FAILED(CeRapiInitEx(&init)))
        return Fail(u"The connection to the device could not be started");
    if (WaitForSingleObject(init.heRapiInit, kConnectWaitMs) != WAIT_OBJECT_0)
        return Fail(u"The device did not answer in time");
    if (FAILED(init.hrRapiInit))
        return Fail(u"The device could not be reached");
    // The event is signalled once the handshake is done, when the device's service has taken
    // the connection and answers it: no pause is needed before the first request.
    const CString appPath = GetAppPathOnDevice();
    if (appPath.IsEmpty())
        return Fail(u"The program folder on the device is not known (\"AppPath\")");
    DeviceAppPath = appPath + u'\\';
    return 1;
}

CString CSyncHelper::GetAppPathOnDevice() {
    HKEY key = nullptr;
    if (CeRegOpenKeyEx(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return CString();
    std::u16string value(kAppPathBufferBytes / sizeof(char16_t), u'\0');
    DWORD size = kAppPathBufferBytes;
    DWORD type = REG_NONE;
    LONG result = CeRegQueryValueEx(key, u"AppPath", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    if (result == static_cast<LONG>(ERROR_MORE_DATA) && size <= kAppPathLimitBytes) {
        value.assign((size + 1) / sizeof(char16_t), u'\0');
        size = static_cast<DWORD>(value.size() * sizeof(char16_t));
        result = CeRegQueryValueEx(key, u"AppPath", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    }
    CeRegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return CString();
    value.resize(size / sizeof(char16_t));
    // The stored text may or may not carry its terminating zero.
    const size_t end = value.find(u'\0');
    if (end != std::u16string::npos)
        value.resize(end);
    return CString(std::move(value));
}

int CSyncHelper::DoCeRapiInvoke(const CString& functionName, uint8_t** ppOutput, uint32_t* pcbOutput) {
    DWORD outputSize = 0;
    const CString library = DeviceAppPath + kSyncLibrary;
    const HRESULT result =
        CeRapiInvoke(library.GetString(), functionName.GetString(), 0, nullptr, &outputSize, ppOutput, nullptr, 0);
    if (pcbOutput)
        *pcbOutput = outputSize;
    if (FAILED(result)) {
        if (ppOutput) {
            LocalFree(*ppOutput);
            *ppOutput = nullptr;
        }
        std::fprintf(stderr, "quillmar: the device's %s answered %s\n", functionName.ToUtf8().c_str(),
                     HexStatus(result).ToUtf8().c_str());
        return Fail(u"The device could not do its part of the synchronization");
    }
    return 1;
}

int CSyncHelper::TriggerDeviceSide_SerializeLocalChanges() {
    m_strLastError.Empty();
    return DoCeRapiInvoke(u"TriggerDeviceSide_SerializeLocalChanges", nullptr);
}

int CSyncHelper::TriggerDeviceSide_CommitRemoteChanges() {
    m_strLastError.Empty();
    return DoCeRapiInvoke(u"TriggerDeviceSide_CommitRemoteChanges", nullptr);
}

int CSyncHelper::TriggerDeviceSide_UpdateLastSyncDateTime() {
    m_strLastError.Empty();
    return DoCeRapiInvoke(u"TriggerDeviceSide_UpdateLastSyncDateTime", nullptr);
}

CString CSyncHelper::GetDeviceSyncID() {
    uint8_t* answer = nullptr;
    uint32_t size = 0;
    if (!DoCeRapiInvoke(u"GetDeviceSideSyncID", &answer, &size))
        return CString();
    const std::unique_ptr<uint8_t, LocalFreeDeleter> owned(answer);
    if (!owned)
        return CString();
    // The answer is zero-terminated; never read past its size when it is not.
    const std::string_view bytes(reinterpret_cast<const char*>(owned.get()), size);
    return CString::FromUtf8(bytes.substr(0, bytes.find('\0')));
}

int CSyncHelper::VerifyPartnership() {
    m_strLastError.Empty();
    CDataHelper* store = GetCurrDataHelper();
    const CString desktopSyncId = store ? store->GetMetaDataValue(u"syncID") : CString();
    const CString deviceSyncId = GetDeviceSyncID();
    return !deviceSyncId.IsEmpty() && deviceSyncId == desktopSyncId ? 1 : 0;
}

int CSyncHelper::CopyLocalFileToRemote(const CString& devicePath, const CString& localPath) {
    const LocalFile local(::open(localPath.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC));
    if (local.fd() < 0)
        return errno == ENOENT ? -1 : Fail(u"The file " + localPath + u" could not be read");
    HANDLE remote = CeCreateFile(devicePath.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (remote == INVALID_HANDLE_VALUE)
        return FailOnDevice(u"The file " + devicePath + u" could not be created on the device");
    char chunk[kCopyChunk];
    for (;;) {
        const ssize_t got = ReadChunk(local.fd(), chunk, sizeof chunk);
        // On a failure the device file stays open: it replaces the old one only when closed,
        // and the connection's end discards it, so the device keeps its complete old file.
        if (got < 0)
            return Fail(u"The file " + localPath + u" could not be read");
        if (got == 0)
            break;
        if (!WriteDeviceBytes(remote, chunk, static_cast<DWORD>(got)))
            return FailOnDevice(u"The file " + devicePath + u" could not be written on the device");
    }
    if (!CeCloseHandle(remote))
        return FailOnDevice(u"The file " + devicePath + u" could not be completed on the device");
    return 1;
}

int CSyncHelper::CopyRemoteFileToLocal(const CString& devicePath, const CString& localPath) {
    HANDLE remote = CeCreateFile(devicePath.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (remote == INVALID_HANDLE_VALUE) {
        if (DeviceFileMissing(CeGetLastError()))
            return -1;
        return FailOnDevice(u"The file " + devicePath + u" could not be opened on the device");
    }
    DWORD sizeHigh = 0;
    const DWORD size = CeGetFileSize(remote, &sizeHigh);
    std::string bytes;
    bool complete = size != INVALID_FILE_SIZE && sizeHigh == 0;
    if (complete)
        bytes.reserve(size);
    char chunk[kCopyChunk];
    DWORD got = 0;
    while (complete && bytes.size() < size) {
        if (!CeReadFile(remote, chunk, sizeof chunk, &got, nullptr))
            complete = false;
        else if (got == 0)
            break;
        else
            bytes.append(chunk, got);
    }
    complete = CeCloseHandle(remote) && complete && bytes.size() == size;
    if (!complete)
        return FailOnDevice(u"The file " + devicePath + u" could not be read from the device");
    // Written beside and renamed over, so a failed copy leaves the old file whole.
    if (!WriteFileAtomically(localPath.ToUtf8(), bytes))
        return Fail(u"The file " + localPath + u" could not be written");
    return 1;
}

int CSyncHelper::PutEmptyChangeFileOnDevice(const CString& devicePath, const CString& committed) {
    HANDLE remote = CeCreateFile(devicePath.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (remote == INVALID_HANDLE_VALUE)
        return FailOnDevice(u"The file " + devicePath + u" could not be created on the device");
    const std::string empty = committed.IsEmpty() ? std::string(kEmptyChangeDocument)
                                                  : "<quillmar committed=\"" + committed.ToUtf8() + "\"/>\r\n";
    if (!WriteDeviceBytes(remote, empty.data(), static_cast<DWORD>(empty.size())))
        return FailOnDevice(u"The file " + devicePath + u" could not be written on the device");
    if (!CeCloseHandle(remote))
        return FailOnDevice(u"The file " + devicePath + u" could not be completed on the device");
    return 1;
}

int CSyncHelper::ExchangeChangeFiles() {
    m_strLastError.Empty();
    return SendOwnChangeFile() && ReceiveOtherChangeFile() ? 1 : 0;
}

int CSyncHelper::SendOwnChangeFile() {
    CDataHelper* store = DesktopStore();
    if (!store)
        return Fail(u"The data file of this computer is not loaded");
    const CString toDevice = DeviceAppPath + kDeviceDesktopChanges;
    const int sent = CopyLocalFileToRemote(toDevice, store->GetOwnChangeFilePath());
    if (sent == 0 || (sent < 0 && !PutEmptyChangeFileOnDevice(toDevice)))
        return 0;
    return 1;
}

int CSyncHelper::ReceiveOtherChangeFile() {
    CDataHelper* store = DesktopStore();
    if (!store)
        return Fail(u"The data file of this computer is not loaded");
    const CString fromDevice = DeviceAppPath + kDeviceDeviceChanges;
    const int received = CopyRemoteFileToLocal(fromDevice, store->GetOtherChangeFilePath());
    if (received == 0)
        return 0;
    if (received < 0 && !RemoveLocalFile(store->GetOtherChangeFilePath()))
        return Fail(u"The old file " + store->GetOtherChangeFilePath() + u" could not be removed");
    return 1;
}

std::optional<CDataFileSummary> CSyncHelper::ReadDeviceDataSummary() {
    std::string path = (std::filesystem::temp_directory_path() / "quillmar-device-data-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0)
        return std::nullopt;
    ::close(fd);
    // Only a look: a failure here is no failure of the synchronisation.
    const CString lastError = m_strLastError;
    const CString local = CString::FromUtf8(path);
    std::optional<CDataFileSummary> summary;
    if (CopyRemoteFileToLocal(DeviceAppPath + kDeviceDataFile, local) == 1)
        summary = CDataFileSummary::Read(local);
    m_strLastError = lastError;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return summary;
}

int CSyncHelper::PerformFullSync(int direction) {
    m_strLastError.Empty();
    CDataHelper* store = DesktopStore();
    if (!store)
        return Fail(u"The data file of this computer is not loaded");
    const CString deviceDataFile = DeviceAppPath + kDeviceDataFile;
    if (direction != 0) {
        const CString previousLastSync = store->GetMetaDataValue(u"lastSync");
        // The copy carries the new "lastSync", so both sides start from the same time.
        if (!UpdateLastSyncDateTime())
            return Fail(u"The data file of this computer could not be written");
        if (CopyLocalFileToRemote(deviceDataFile, store->GetDataFilePath()) != 1) {
            // The device kept its data: this side's changes must still go out next time.
            if (m_strLastError.IsEmpty())
                Fail(u"The data file of this computer could not be read");
            if (!store->SetMetaDataValue(u"lastSync", previousLastSync))
                m_strLastError +=
                    u". The time of the last synchronisation could not be put back in the data file of "
                    u"this computer either (" +
                    store->GetLastWriteError() +
                    u"), so changes made here before now will not go to the device with the next "
                    u"synchronisation; use Sync Troubleshooting to copy this computer's data to the device";
            return 0;
        }
        // A change file left by an unfinished synchronisation must not be committed over the copy.
        if (!PutEmptyChangeFileOnDevice(DeviceAppPath + kDeviceDesktopChanges) ||
            !TriggerDeviceSide_CommitRemoteChanges())
            return 0;
    } else {
        if (!TriggerDeviceSide_UpdateLastSyncDateTime())
            return 0;
        if (CopyRemoteFileToLocal(deviceDataFile, store->GetDataFilePath()) != 1) {
            if (m_strLastError.IsEmpty())
                Fail(u"The device has no data file");
            return 0;
        }
        // Whatever is saved next must go into the copied file, not over it.
        if (!store->Initialize())
            return Fail(u"The copied data file could not be loaded");
    }
    // Change files of an unfinished synchronisation belong to data that has just been replaced.
    RemoveLocalFile(store->GetOwnChangeFilePath());
    RemoveLocalFile(store->GetOtherChangeFilePath());
    return 1;
}

int CSyncHelper::FailStep(SyncStep step) {
    if (!m_strLastError.IsEmpty())
        std::fprintf(stderr, "quillmar: synchronisation step %d: %s\n", static_cast<int>(step),
                     m_strLastError.ToUtf8().c_str());
    CDataHelper* store = DesktopStore();
    const CString writeError = store ? store->GetLastWriteError() : CString();
    const CString because = writeError.IsEmpty() ? CString() : u" (" + writeError + u")";
    switch (step) {
    case SyncStep_DesktopSerialize:
        m_strLastError = u"The changes made on this computer could not be prepared for the device" + because +
                         u". No records were changed on either side. Synchronize again once the problem is solved.";
        break;
    case SyncStep_DesktopApply:
        m_strLastError = u"The changes made on the device could not be saved on this computer" + because +
                         u". The device has not taken this computer's changes yet. Synchronize again once the "
                         u"problem is solved; no change will be lost.";
        break;
    case SyncStep_DeviceCommit:
        m_strLastError =
            u"The connection to the device was interrupted while the device was saving this "
            u"computer's changes. The device's changes are saved here. Synchronize again to finish; "
            u"no change will be lost.";
        break;
    case SyncStep_DesktopComplete:
        m_strLastError =
            u"Both sides hold each other's changes, but this computer could not note that the "
            u"synchronization finished" +
            because + u". Synchronize again to finish.";
        break;
    default:
        m_strLastError =
            u"The device could not be reached, or stopped answering, before any change was saved. "
            u"No records were changed on either side. Check the device and its connection, then "
            u"synchronize again.";
        break;
    }
    return SyncResult_Failed;
}

int CSyncHelper::PerformRegularSync(const std::function<void(SyncStep)>& beforeStep) {
    m_strLastError.Empty();
    m_summary = CSyncSummary();
    if (DeviceAppPath.IsEmpty()) {
        m_strLastError = u"The device is not connected.";
        return SyncResult_Failed;
    }
    CDataHelper* store = DesktopStore();
    if (!store) {
        m_strLastError = u"The data file of this computer is not loaded.";
        return SyncResult_Failed;
    }
    const auto run = [&](SyncStep step, const std::function<bool()>& work) {
        if (beforeStep)
            beforeStep(step);
        return work();
    };
    if (!run(SyncStep_VerifyPartnership, [&] { return VerifyPartnership() != 0; }))
        return m_strLastError.IsEmpty() ? SyncResult_NotPartners : FailStep(SyncStep_VerifyPartnership);
    // Each step runs only when the ones before it succeeded.
    const std::pair<SyncStep, std::function<bool()>> steps[] = {
        {SyncStep_Announce,
         [&] {
             return PutEmptyChangeFileOnDevice(DeviceAppPath + kDeviceDesktopChanges,
                                               store->GetMetaDataValue(u"lastCommittedChanges")) != 0;
         }},
        {SyncStep_DeviceSerialize, [&] { return TriggerDeviceSide_SerializeLocalChanges() != 0; }},
        {SyncStep_Receive, [&] { return ReceiveOtherChangeFile() != 0; }},
        {SyncStep_DesktopSerialize, [&] { return SerializeLocalChanges() >= 0; }},
        {SyncStep_Send, [&] { return SendOwnChangeFile() != 0; }},
        {SyncStep_DesktopApply, [&] { return ApplyRemoteChanges() != 0; }},
        {SyncStep_DeviceCommit, [&] { return TriggerDeviceSide_CommitRemoteChanges() != 0; }},
        {SyncStep_DesktopComplete, [&] { return CompleteSynchronisation() != 0; }},
    };
    for (const auto& [step, work] : steps) {
        if (!run(step, work))
            return FailStep(step);
    }
    return SyncResult_Done;
}
