#include "connection/connectd/DeviceSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "connection/RapiCodec.h"
#include "connection/SecureChannel.h"
#include "connection/SocketTransport.h"
#include "connection/connectd/DeviceFolder.h"
#include "connection/connectd/RemoteInvoker.h"
#include "connection/connectd/ServiceLog.h"
#include "platform/Registry.h"

using namespace rapi;

namespace {

std::string Status(DWORD code) {
    std::string answer;
    PutU32(answer, code);
    return answer;
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case ELOOP:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC: return ERROR_WRITE_FAULT;
    default: return ERROR_INVALID_PARAMETER;
    }
}

// A name for the log; control characters from the peer must not forge log lines.
std::string Describe(const CString& text) {
    std::string utf8 = text.ToUtf8();
    for (char& c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return "\"" + utf8 + "\"";
}

// Registry strings travel as UTF-16LE with their terminating zero, as the Win32 call gives them.
std::string Utf16Bytes(const CString& text) {
    std::string bytes;
    for (char16_t unit : text.str()) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    bytes.append(2, '\0');
    return bytes;
}

int OpenFlags(DWORD access, DWORD disposition) {
    int flags = O_CLOEXEC | O_NOFOLLOW;
    const bool reads = access & GENERIC_READ;
    const bool writes = access & GENERIC_WRITE;
    flags |= writes ? (reads ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return -1;
    }
}

// Temporary files of this session, kept where a stop signal's handler can reach them: the
// service ends its sessions with SIGTERM, and a replaced file must not leave its temporary behind.
char g_pendingTemps[kMaxOpenFiles][PATH_MAX];

void OnSessionStop(int) {
    if (const int group = RunningInvocationGroup(); group > 0)
        ::kill(-group, SIGKILL);
    for (auto& path : g_pendingTemps)
        if (path[0] != '\0')
            ::unlink(path);
    ::_exit(0);
}

void SetPendingTemp(size_t index, const std::string& path) {
    sigset_t stop;
    sigset_t previous;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    ::sigprocmask(SIG_BLOCK, &stop, &previous);
    if (path.size() < PATH_MAX)
        std::memcpy(g_pendingTemps[index], path.c_str(), path.size() + 1);
    else
        g_pendingTemps[index][0] = '\0';
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = OnSessionStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

// Registry key paths separate their names with "\\" or "/"; empty names are dropped.
CString KeyPath(const CString& key) {
    std::string path;
    for (char c : key.ToUtf8()) {
        if (c == '/' || c == '\\') {
            if (!path.empty() && path.back() != '\\')
                path.push_back('\\');
            continue;
        }
        path.push_back(c);
    }
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return CString::FromUtf8(path);
}

bool Creates(DWORD disposition) {
    return disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }
std::string BaseOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}   // namespace

DeviceSession::~DeviceSession() {
    for (size_t i = 0; i < m_files.size(); ++i) {
        OpenFile& file = m_files[i];
        if (file.fd < 0)
            continue;
        ::close(file.fd);
        if (!file.tempPath.empty()) {
            ::unlink(file.tempPath.c_str());
            SetPendingTemp(i, "");
        }
    }
}

void DeviceSession::Log(const std::string& text) const { LogLine(m_peer + ": " + text); }

void DeviceSession::Serve(SocketTransport& transport, SecureChannel& channel, const std::string& peer) {
    m_peer = peer;
    m_desktopFd = transport.Descriptor();
    InstallStopHandler();
    AdoptOrphans();
    for (;;) {
        std::string request;
        RapiStatus status = channel.Receive(request, m_options.idleTimeoutMs);
        if (!status.ok()) {
            Log(status.code() == RapiStatus::Code::Closed ? "closed" : "dropped: " + status.message());
            return;
        }
        std::string answer;
        if (!Answer(request, answer)) {
            Log(m_ended.empty() ? "dropped: malformed request" : m_ended);
            return;
        }
        status = channel.Send(answer);
        if (!status.ok()) {
            Log("dropped: " + status.message());
            return;
        }
    }
}

bool DeviceSession::Answer(std::string_view request, std::string& answer) {
    uint8_t op = 0;
    if (!GetU8(request, op))
        return false;
    switch (static_cast<Op>(op)) {
    case Op::RegOpenKey: return RegOpenKey(request, answer);
    case Op::RegQueryValue: return RegQueryValue(request, answer);
    case Op::FileCreate: return FileCreate(request, answer);
    case Op::FileRead: return FileRead(request, answer);
    case Op::FileWrite: return FileWrite(request, answer);
    case Op::FileSize: return FileSize(request, answer);
    case Op::FileClose: return FileClose(request, answer);
    case Op::Invoke: return Invoke(request, answer);
    }
    return false;
}

bool DeviceSession::RegOpenKey(std::string_view in, std::string& answer) {
    CString key;
    if (!GetText(in, key) || !in.empty())
        return false;
    key = KeyPath(key);
    Registry::Reload();
    DWORD result = Registry::KeyExists(key) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    Log("open key " + Describe(key) + " -> " + std::to_string(result));
    answer = Status(result);
    return true;
}

bool DeviceSession::RegQueryValue(std::string_view in, std::string& answer) {
    CString key;
    CString name;
    if (!GetText(in, key) || !GetText(in, name) || !in.empty())
        return false;
    key = KeyPath(key);
    Registry::Reload();
    auto value = Registry::Query(key, name);
    Log("query value " + Describe(key) + " " + Describe(name) + (value ? " -> found" : " -> not found"));
    if (!value) {
        answer = Status(ERROR_FILE_NOT_FOUND);
        return true;
    }
    answer = Status(ERROR_SUCCESS);
    switch (value->type) {
    case Registry::Type::Dword: {
        PutU32(answer, REG_DWORD);
        std::string bytes;
        PutU32(bytes, value->dword);
        PutBytes(answer, bytes);
        break;
    }
    case Registry::Type::String:
        PutU32(answer, REG_SZ);
        PutBytes(answer, Utf16Bytes(value->text));
        break;
    case Registry::Type::Binary:
        PutU32(answer, REG_BINARY);
        PutBytes(answer, std::string(value->bytes.begin(), value->bytes.end()));
        break;
    }
    if (answer.size() > kMaxMessageSize)
        answer = Status(ERROR_INSUFFICIENT_BUFFER);
    return true;
}

bool DeviceSession::FileCreate(std::string_view in, std::string& answer) {
    CString name;
    uint32_t access = 0, share = 0, disposition = 0, attributes = 0;
    if (!GetText(in, name) || !GetU32(in, access) || !GetU32(in, share) || !GetU32(in, disposition) ||
        !GetU32(in, attributes) || !in.empty())
        return false;
    auto reply = [&](DWORD result, const std::string& what) {
        Log("create " + Describe(name) + " -> " + std::to_string(result) + (what.empty() ? "" : " (" + what + ")"));
        answer = Status(result);
        return true;
    };
    const int flags = OpenFlags(access, disposition);
    if (flags < 0)
        return reply(ERROR_INVALID_PARAMETER, "unknown disposition");
    DWORD error = ERROR_SUCCESS;
    auto folder = DeviceFolder::Open(m_options.settingsKey, error);
    if (!folder)
        return reply(error, "no AppPath folder");
    // Only the data and change files may be made or changed; anything may be read.
    const bool changes = (access & GENERIC_WRITE) || Creates(disposition) || disposition == TRUNCATE_EXISTING;
    auto path = changes ? folder->ResolveWritable(name, error) : folder->ResolveFile(name, error);
    if (!path)
        return reply(error, changes ? "refused: not a data or change file" : "refused");
    OpenFile* slot = FreeSlot();
    if (!slot)
        return reply(ERROR_TOO_MANY_OPEN_FILES, "");
    struct stat existing {};
    if (::stat(path->c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return reply(ERROR_ACCESS_DENIED, "not a plain file");
    OpenFile opened = OpenPath(*path, access, disposition, flags);
    if (opened.fd < 0)
        return reply(ErrorFromErrno(errno), std::strerror(errno));
    struct stat info {};
    if (::fstat(opened.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(opened.fd);
        if (!opened.tempPath.empty())
            ::unlink(opened.tempPath.c_str());
        return reply(ERROR_ACCESS_DENIED, "not a plain file");
    }
    *slot = opened;
    const uint32_t handle = static_cast<uint32_t>(slot - m_files.data());
    if (!opened.tempPath.empty())
        SetPendingTemp(handle, opened.tempPath);
    reply(ERROR_SUCCESS, "");
    PutU32(answer, handle);
    return true;
}

DeviceSession::OpenFile* DeviceSession::FreeSlot() {
    for (OpenFile& file : m_files)
        if (file.fd < 0)
            return &file;
    return nullptr;
}

DeviceSession::OpenFile DeviceSession::OpenPath(const std::string& path, DWORD access, DWORD disposition, int flags) {
    OpenFile opened;
    opened.path = path;
    if (disposition != CREATE_ALWAYS || !(access & GENERIC_WRITE)) {
        opened.fd = ::open(path.c_str(), flags, 0644);
        return opened;
    }
    // Written beside the target and renamed over it on close, so a cut connection never
    // leaves a half-written file where a whole one was.
    std::string pattern = FolderOf(path) + "/." + BaseOf(path) + ".partXXXXXX";
    opened.fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (opened.fd >= 0) {
        ::fchmod(opened.fd, 0644);
        opened.tempPath = pattern;
    }
    return opened;
}

DeviceSession::OpenFile* DeviceSession::Find(uint32_t handle) {
    if (handle >= m_files.size() || m_files[handle].fd < 0)
        return nullptr;
    return &m_files[handle];
}

bool DeviceSession::FileRead(std::string_view in, std::string& answer) {
    uint32_t handle = 0, count = 0;
    if (!GetU32(in, handle) || !GetU32(in, count) || !in.empty() || count > kMaxChunk)
        return false;
    OpenFile* file = Find(handle);
    if (!file) {
        answer = Status(ERROR_INVALID_HANDLE);
        return true;
    }
    std::string bytes(count, '\0');
    size_t done = 0;
    while (done < count) {
        ssize_t got = ::read(file->fd, bytes.data() + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Log("read " + std::to_string(handle) + ": " + std::strerror(errno));
            answer = Status(ERROR_READ_FAULT);
            return true;
        }
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    Log("read " + std::to_string(handle) + " " + std::to_string(done) + " bytes");
    answer = Status(ERROR_SUCCESS);
    PutBytes(answer, bytes);
    return true;
}

bool DeviceSession::FileWrite(std::string_view in, std::string& answer) {
    uint32_t handle = 0;
    std::string bytes;
    if (!GetU32(in, handle) || !GetBytes(in, kMaxChunk, bytes) || !in.empty())
        return false;
    OpenFile* file = Find(handle);
    if (!file) {
        answer = Status(ERROR_INVALID_HANDLE);
        return true;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(file->fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            Log("write " + std::to_string(handle) + ": " + std::strerror(errno));
            answer = Status(ERROR_WRITE_FAULT);
            return true;
        }
        done += static_cast<size_t>(written);
    }
    Log("write " + std::to_string(handle) + " " + std::to_string(done) + " bytes");
    answer = Status(ERROR_SUCCESS);
    PutU32(answer, static_cast<uint32_t>(done));
    return true;
}

bool DeviceSession::FileSize(std::string_view in, std::string& answer) {
    uint32_t handle = 0;
    if (!GetU32(in, handle) || !in.empty())
        return false;
    OpenFile* file = Find(handle);
    struct stat info {};
    if (!file || ::fstat(file->fd, &info) != 0) {
        answer = Status(ERROR_INVALID_HANDLE);
        return true;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    Log("size " + std::to_string(handle) + " " + std::to_string(size) + " bytes");
    answer = Status(ERROR_SUCCESS);
    PutU32(answer, static_cast<uint32_t>(size));
    PutU32(answer, static_cast<uint32_t>(size >> 32));
    return true;
}

DWORD DeviceSession::Close(uint32_t handle) {
    OpenFile* file = Find(handle);
    if (!file)
        return ERROR_INVALID_HANDLE;
    OpenFile closing = *file;
    *file = OpenFile();
    if (closing.tempPath.empty())
        return ::close(closing.fd) == 0 ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
    const bool flushed = ::fsync(closing.fd) == 0;
    const bool closed = ::close(closing.fd) == 0;
    const bool replaced = flushed && closed && ::rename(closing.tempPath.c_str(), closing.path.c_str()) == 0;
    if (!replaced)
        ::unlink(closing.tempPath.c_str());
    SetPendingTemp(handle, "");
    return replaced ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

bool DeviceSession::FileClose(std::string_view in, std::string& answer) {
    uint32_t handle = 0;
    if (!GetU32(in, handle) || !in.empty())
        return false;
    DWORD result = Close(handle);
    Log("close " + std::to_string(handle) + " -> " + std::to_string(result));
    answer = Status(result);
    return true;
}

bool DeviceSession::Invoke(std::string_view in, std::string& answer) {
    CString library;
    CString function;
    std::string input;
    if (!GetText(in, library) || !GetText(in, function) || !GetBytes(in, kMaxInvokeData, input) || !in.empty())
        return false;
    const std::string what = "invoke " + Describe(library) + " " + Describe(function);
    auto reply = [&](HRESULT result, const std::string& bytes, const std::string& note) {
        Log(what + " -> " + std::to_string(static_cast<uint32_t>(result)) + (note.empty() ? "" : " (" + note + ")"));
        answer = Status(static_cast<DWORD>(result));
        PutBytes(answer, bytes);
        return true;
    };
    if (std::find(m_options.exports.begin(), m_options.exports.end(), function.ToUtf8()) == m_options.exports.end())
        return reply(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), "", "refused: not an export a desktop may call");
    DWORD error = ERROR_SUCCESS;
    auto folder = DeviceFolder::Open(m_options.settingsKey, error);
    if (!folder)
        return reply(HRESULT_FROM_WIN32(error), "", "no AppPath folder");
    auto path = folder->ResolveSyncLibrary(library, error);
    if (!path)
        return reply(HRESULT_FROM_WIN32(error), "",
                     error == ERROR_ACCESS_DENIED ? "refused: not the sync library" : "no such library");
    InvokeOutcome outcome = InvokeInChild(
        {m_options.invokeHelper, *path, function.ToUtf8(), input, m_options.invokeTimeoutMs, m_desktopFd});
    if (outcome.cancelled) {
        m_ended = what + " -> " + outcome.note;
        return false;
    }
    return reply(outcome.result, outcome.answer, outcome.note);
}
