#include "connection/Rapi.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "connection/Pairing.h"
#include "connection/RapiClient.h"

namespace {

// Handle values: small numbers in ranges of their own, so one kind is never taken for another.
constexpr uintptr_t kFileHandleBase = 0x10000;
constexpr uintptr_t kKeyHandleBase = 0x20000;
constexpr uintptr_t kHandleRange = 0x10000;

struct InitEvent {
    bool signalled = false;
};

struct Connection {
    std::mutex mutex;
    std::unique_ptr<RapiClient> client;
    std::unique_ptr<InitEvent> event;
    std::map<uintptr_t, CString> keys;   // handle -> key path below HKEY_CURRENT_USER
    uintptr_t nextKey = 0;
    DWORD lastError = ERROR_SUCCESS;
    HRESULT connectionError = S_OK;
    std::string message;
};

Connection& State() {
    static Connection connection;
    return connection;
}

DWORD ErrorOf(const RapiStatus& status) {
    switch (status.code()) {
    case RapiStatus::Code::Ok: return ERROR_SUCCESS;
    case RapiStatus::Code::TimedOut: return ERROR_TIMEOUT;
    case RapiStatus::Code::AuthFailed: return ERROR_ACCESS_DENIED;
    case RapiStatus::Code::Closed: return ERROR_CONNECTION_ABORTED;
    default: return ERROR_NOT_CONNECTED;
    }
}

// Records a connection failure and answers its Win32 code.
DWORD ConnectionFailed(Connection& c, const RapiStatus& status) {
    c.lastError = ErrorOf(status);
    c.connectionError = HRESULT_FROM_WIN32(c.lastError);
    c.message = status.message();
    return c.lastError;
}

// The result of a request: the connection's failure, else the device's own code.
DWORD Outcome(Connection& c, const RapiStatus& status, DWORD deviceResult) {
    if (!status.ok())
        return ConnectionFailed(c, status);
    c.lastError = deviceResult;
    return deviceResult;
}

bool Connected(Connection& c) {
    if (c.client && c.client->IsConnected())
        return true;
    c.lastError = ERROR_NOT_CONNECTED;
    return false;
}

void Disconnect(Connection& c) {
    c.client.reset();
    c.event.reset();
    c.keys.clear();
}

HRESULT Connect(Connection& c) {
    Disconnect(c);
    c.connectionError = S_OK;
    c.message.clear();
    RapiStatus why;
    auto pairing = Pairing::Load(&why);
    if (!pairing)
        return HRESULT_FROM_WIN32(ConnectionFailed(c, why));
    RapiStatus status = RapiClient::Connect(*pairing, rapi::kConnectTimeoutMs, c.client);
    if (!status.ok())
        return HRESULT_FROM_WIN32(ConnectionFailed(c, status));
    c.lastError = ERROR_SUCCESS;
    return S_OK;
}

std::optional<CString> KeyPath(Connection& c, HKEY key) {
    if (key == HKEY_CURRENT_USER)
        return CString();
    auto found = c.keys.find(reinterpret_cast<uintptr_t>(key));
    if (found == c.keys.end())
        return std::nullopt;
    return found->second;
}

CString Joined(const CString& parent, const CString& child) {
    CString trimmed = child;
    trimmed.Trim(u'\\');
    if (parent.IsEmpty())
        return trimmed;
    if (trimmed.IsEmpty())
        return parent;
    return parent + u'\\' + trimmed;
}

std::optional<uint32_t> DeviceFile(HANDLE file) {
    auto value = reinterpret_cast<uintptr_t>(file);
    if (value < kFileHandleBase || value >= kFileHandleBase + kHandleRange)
        return std::nullopt;
    return static_cast<uint32_t>(value - kFileHandleBase);
}

}   // namespace

HRESULT CeRapiInitEx(RAPIINIT* init) {
    if (!init || (init->cbSize != kRapiInitSize && init->cbSize != sizeof(RAPIINIT)))
        return E_INVALIDARG;
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    // Connecting here, bounded by kConnectTimeoutMs, rather than on a thread: the caller's
    // record may be gone when its wait gives up, and nothing may write to it after that.
    HRESULT outcome = Connect(c);
    c.event = std::make_unique<InitEvent>();
    init->hrRapiInit = outcome;
    init->heRapiInit = c.event.get();
    c.event->signalled = true;
    return S_OK;
}

HRESULT CeRapiInit() {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    return Connect(c);
}

HRESULT CeRapiUninit() {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    Disconnect(c);
    return S_OK;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    Connection& c = State();
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        if (!handle || !c.event || handle != c.event.get())
            return WAIT_FAILED;
        if (c.event->signalled)
            return WAIT_OBJECT_0;
    }
    // Not reached while connecting is synchronous; kept so a wait means what it says.
    if (milliseconds != INFINITE)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return WAIT_TIMEOUT;
}

LONG CeRegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!result)
        return static_cast<LONG>(c.lastError = ERROR_INVALID_PARAMETER);
    *result = nullptr;
    if (!Connected(c))
        return static_cast<LONG>(c.lastError);
    auto parent = KeyPath(c, key);
    if (!parent)
        return static_cast<LONG>(c.lastError = ERROR_INVALID_HANDLE);
    const CString path = Joined(*parent, CString(subKey));
    DWORD deviceResult = ERROR_SUCCESS;
    RapiStatus status = c.client->RegOpenKey(path, deviceResult);
    DWORD outcome = Outcome(c, status, deviceResult);
    if (outcome != ERROR_SUCCESS)
        return static_cast<LONG>(outcome);
    if (c.keys.size() >= kHandleRange - 1)
        return static_cast<LONG>(c.lastError = ERROR_TOO_MANY_OPEN_FILES);
    uintptr_t handle = 0;
    do {
        c.nextKey = (c.nextKey + 1) % kHandleRange;
        handle = kKeyHandleBase + c.nextKey;
    } while (c.keys.count(handle));
    c.keys[handle] = path;
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG CeRegQueryValueEx(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (data && !dataSize)
        return static_cast<LONG>(c.lastError = ERROR_INVALID_PARAMETER);
    if (!Connected(c))
        return static_cast<LONG>(c.lastError);
    auto path = KeyPath(c, key);
    if (!path)
        return static_cast<LONG>(c.lastError = ERROR_INVALID_HANDLE);
    DWORD deviceResult = ERROR_SUCCESS;
    DWORD valueType = REG_NONE;
    std::string bytes;
    RapiStatus status = c.client->RegQueryValue(*path, CString(valueName), deviceResult, valueType, bytes);
    DWORD outcome = Outcome(c, status, deviceResult);
    if (outcome != ERROR_SUCCESS)
        return static_cast<LONG>(outcome);
    if (type)
        *type = valueType;
    if (!dataSize)
        return ERROR_SUCCESS;
    const DWORD available = *dataSize;
    *dataSize = static_cast<DWORD>(bytes.size());
    if (!data)
        return ERROR_SUCCESS;
    if (available < bytes.size())
        return static_cast<LONG>(c.lastError = ERROR_MORE_DATA);
    std::memcpy(data, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

LONG CeRegCloseKey(HKEY key) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    if (c.keys.erase(reinterpret_cast<uintptr_t>(key)) == 0)
        return static_cast<LONG>(c.lastError = ERROR_INVALID_HANDLE);
    return ERROR_SUCCESS;
}

HANDLE CeCreateFile(LPCWSTR fileName, DWORD access, DWORD shareMode, void*, DWORD disposition,
                    DWORD flagsAndAttributes, HANDLE) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (!fileName) {
        c.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    if (!Connected(c))
        return INVALID_HANDLE_VALUE;
    DWORD deviceResult = ERROR_SUCCESS;
    uint32_t handle = 0;
    RapiStatus status = c.client->FileCreate(CString(fileName), access, shareMode, disposition, flagsAndAttributes,
                                             deviceResult, handle);
    if (Outcome(c, status, deviceResult) != ERROR_SUCCESS)
        return INVALID_HANDLE_VALUE;
    if (handle >= kHandleRange) {
        c.lastError = ERROR_INVALID_DATA;
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(kFileHandleBase + handle);
}

DWORD CeGetFileSize(HANDLE file, LPDWORD sizeHigh) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    auto handle = DeviceFile(file);
    if (!handle) {
        c.lastError = ERROR_INVALID_HANDLE;
        return INVALID_FILE_SIZE;
    }
    if (!Connected(c))
        return INVALID_FILE_SIZE;
    DWORD deviceResult = ERROR_SUCCESS;
    uint64_t size = 0;
    RapiStatus status = c.client->FileSize(*handle, deviceResult, size);
    if (Outcome(c, status, deviceResult) != ERROR_SUCCESS)
        return INVALID_FILE_SIZE;
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    else if (size >> 32)
        c.lastError = ERROR_INVALID_PARAMETER;
    return static_cast<DWORD>(size);
}

BOOL CeReadFile(HANDLE file, void* buffer, DWORD toRead, LPDWORD read, void*) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (read)
        *read = 0;
    auto handle = DeviceFile(file);
    if (!handle || (!buffer && toRead > 0)) {
        c.lastError = handle ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!Connected(c))
        return FALSE;
    DWORD total = 0;
    while (total < toRead) {
        const uint32_t ask = static_cast<uint32_t>(std::min<size_t>(toRead - total, rapi::kMaxChunk));
        DWORD deviceResult = ERROR_SUCCESS;
        std::string bytes;
        RapiStatus status = c.client->FileRead(*handle, ask, deviceResult, bytes);
        if (Outcome(c, status, deviceResult) != ERROR_SUCCESS)
            return FALSE;
        std::memcpy(static_cast<char*>(buffer) + total, bytes.data(), bytes.size());
        total += static_cast<DWORD>(bytes.size());
        if (read)
            *read = total;
        if (bytes.size() < ask)
            break;   // end of file
    }
    return TRUE;
}

BOOL CeWriteFile(HANDLE file, const void* buffer, DWORD toWrite, LPDWORD written, void*) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (written)
        *written = 0;
    auto handle = DeviceFile(file);
    if (!handle || (!buffer && toWrite > 0)) {
        c.lastError = handle ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!Connected(c))
        return FALSE;
    DWORD total = 0;
    while (total < toWrite) {
        const size_t chunk = std::min<size_t>(toWrite - total, rapi::kMaxChunk);
        DWORD deviceResult = ERROR_SUCCESS;
        uint32_t done = 0;
        std::string_view bytes(static_cast<const char*>(buffer) + total, chunk);
        RapiStatus status = c.client->FileWrite(*handle, bytes, deviceResult, done);
        if (Outcome(c, status, deviceResult) != ERROR_SUCCESS)
            return FALSE;
        total += done;
        if (written)
            *written = total;
        if (done < chunk) {
            c.lastError = ERROR_WRITE_FAULT;
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CeCloseHandle(HANDLE file) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    auto handle = DeviceFile(file);
    if (!handle) {
        c.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!Connected(c))
        return FALSE;
    DWORD deviceResult = ERROR_SUCCESS;
    RapiStatus status = c.client->FileClose(*handle, deviceResult);
    return Outcome(c, status, deviceResult) == ERROR_SUCCESS ? TRUE : FALSE;
}

HRESULT CeRapiInvoke(LPCWSTR dllPath, LPCWSTR functionName, DWORD cbInput, BYTE* pInput, DWORD* pcbOutput,
                     BYTE** ppOutput, IRAPIStream** ppIRAPIStream, DWORD) {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (pcbOutput)
        *pcbOutput = 0;
    if (ppOutput)
        *ppOutput = nullptr;
    if (ppIRAPIStream || !dllPath || !functionName || (cbInput > 0 && !pInput)) {
        c.lastError = ERROR_INVALID_PARAMETER;
        return E_INVALIDARG;
    }
    if (!Connected(c))
        return HRESULT_FROM_WIN32(ERROR_NOT_CONNECTED);
    HRESULT result = S_OK;
    std::string answer;
    std::string_view input(reinterpret_cast<const char*>(pInput), pInput ? cbInput : 0);
    RapiStatus status = c.client->Invoke(CString(dllPath), CString(functionName), input, result, answer);
    if (!status.ok())
        return HRESULT_FROM_WIN32(ConnectionFailed(c, status));
    c.lastError = FAILED(result) ? static_cast<DWORD>(result) & 0xFFFFu : ERROR_SUCCESS;
    if (ppOutput && !answer.empty()) {
        auto* block = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, answer.size()));
        if (!block) {
            c.lastError = ERROR_NOT_ENOUGH_MEMORY;
            return E_OUTOFMEMORY;
        }
        std::memcpy(block, answer.data(), answer.size());
        *ppOutput = block;
        if (pcbOutput)
            *pcbOutput = static_cast<DWORD>(answer.size());
    }
    return result;
}

DWORD CeGetLastError() {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.lastError;
}

HRESULT CeRapiGetError() {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.connectionError;
}

std::string CeRapiGetErrorMessage() {
    Connection& c = State();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.message;
}
