#include "platform/Paths.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/CString.h"
#include "platform/WriteFault.h"

namespace {

std::atomic<bool> g_diskSync{true};
std::atomic<unsigned> g_tempCounter{0};

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// XDG folders must be absolute; anything else is ignored so we never write relative to the
// current directory.
std::string AbsoluteEnvOr(const char* name, const std::string& fallback) {
    std::string value = EnvOrEmpty(name);
    if (!value.empty() && value.front() == '/')
        return value;
    return fallback;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = WriteFault::Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

constexpr std::string_view kTempInfix = ".tmp-";

// ".<name>.tmp-<pid>-<n>": the temporary file of a write of `name`, named after its writer.
std::string TempPrefix(const std::string& baseName) { return "." + baseName + std::string(kTempInfix); }

// Temporary files this process is writing at the moment (any thread).
struct OpenTempFiles {
    std::mutex mutex;
    std::set<std::string> paths;
};

OpenTempFiles& TheOpenTempFiles() {
    static OpenTempFiles* files = new OpenTempFiles;   // used until the very end of the process
    return *files;
}

// Keeps a temporary file registered as being written while it lives.
class OpenTempFile {
public:
    explicit OpenTempFile(std::string path) : m_path(std::move(path)) {
        std::lock_guard guard(TheOpenTempFiles().mutex);
        TheOpenTempFiles().paths.insert(m_path);
    }
    ~OpenTempFile() {
        std::lock_guard guard(TheOpenTempFiles().mutex);
        TheOpenTempFiles().paths.erase(m_path);
    }
    OpenTempFile(const OpenTempFile&) = delete;
    OpenTempFile& operator=(const OpenTempFile&) = delete;

private:
    std::string m_path;
};

bool IsBeingWrittenHere(const std::string& path) {
    std::lock_guard guard(TheOpenTempFiles().mutex);
    return TheOpenTempFiles().paths.count(path) != 0;
}

// Opens a fresh temporary file beside `path`; O_EXCL so two writers never share one.
int OpenTempBeside(const std::string& path, std::string& tempPath) {
    const std::string prefix = JoinPath(ParentOf(path), TempPrefix(BaseNameOf(path)));
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = prefix + std::to_string(::getpid()) + "-" + std::to_string(g_tempCounter.fetch_add(1));
        int fd = WriteFault::Open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename is only durable once the folder entry itself is on disk. 0, or the errno.
int SyncFolder(const std::string& folder) {
    if (!g_diskSync.load())
        return WriteFault::Take(WriteFault::Op::FolderSync);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = WriteFault::FsyncFolder(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot flush a folder at all; their renames are as durable as they get.
    return result == EINVAL || result == ENOTSUP ? 0 : result;
}

int SyncFile(int fd) {
    if (!g_diskSync.load())
        return WriteFault::Take(WriteFault::Op::Sync);
    return WriteFault::Fsync(fd) == 0 ? 0 : errno;
}

// Starts the disk writing what is written so far every few megabytes, so that the flush at the
// end of a large file waits only for its tail instead of the whole of it.
class WritebackStarter {
public:
    explicit WritebackStarter(int fd) : m_fd(fd), m_enabled(g_diskSync.load()) {}
    void Wrote(size_t bytes) {
        m_written += bytes;
        if (!m_enabled || m_written - m_started < kStep)
            return;
        // Only a hint: the flush at the end still reports any failure.
        ::sync_file_range(m_fd, static_cast<off_t>(m_started), static_cast<off_t>(m_written - m_started),
                          SYNC_FILE_RANGE_WRITE);
        m_started = m_written;
    }

private:
    static constexpr size_t kStep = size_t{4} << 20;
    int m_fd;
    bool m_enabled;
    size_t m_written = 0;
    size_t m_started = 0;
};

bool ApplyMode(int fd, const std::string& path, int mode) {
    if (mode >= 0)
        return ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        return ::fchmod(fd, old.st_mode & 07777) == 0;
    return true;
}

// The pid of "<pid>-<n>" at the start of `rest`; 0 when it is not of that form.
pid_t WriterPidOf(std::string_view rest) {
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 || dash + 1 == rest.size())
        return 0;
    long long pid = 0;
    for (size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9')
            return 0;
        pid = pid * 10 + (rest[i] - '0');
    }
    for (size_t i = dash + 1; i < rest.size(); ++i) {
        if (rest[i] < '0' || rest[i] > '9')
            return 0;
    }
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the temporary files of writes of `baseName` in `folder` whose writer is gone; how many.
int RemoveLeftoversIn(const std::string& folder, const std::string& baseName) {
    const std::string prefix = TempPrefix(baseName);
    std::vector<std::string> stale;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    while (struct dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        const pid_t pid = WriterPidOf(name.substr(prefix.size()));
        const std::string path = JoinPath(folder, std::string(name));
        // A pid of a live process may be another program's by now; its file is left alone.
        if (pid != 0 && (pid == ::getpid() ? !IsBeingWrittenHere(path) : ProcessIsGone(pid)))
            stale.push_back(path);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& path : stale) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

}   // namespace

std::string GetProgramFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&GetProgramFolder), &info) != 0 && info.dli_fname &&
        info.dli_fname[0] != '\0') {
        char resolved[PATH_MAX];
        if (::realpath(info.dli_fname, resolved))
            return ParentOf(resolved);
    }
    char exe[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        exe[n] = '\0';
        return ParentOf(exe);
    }
    return ".";
}

std::string GetHomeFolder() {
    std::string home = EnvOrEmpty("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    struct passwd pw {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/tmp";
}

std::string GetConfigHome() { return AbsoluteEnvOr("XDG_CONFIG_HOME", JoinPath(GetHomeFolder(), ".config")); }

std::string GetDataHome() { return AbsoluteEnvOr("XDG_DATA_HOME", JoinPath(GetHomeFolder(), ".local/share")); }

std::string GetDesktopDataFolder() {
    std::string folder = EnvOrEmpty("QUILLMAR_DATA_DIR");
    if (folder.empty())
        folder = JoinPath(GetDataHome(), "Kestovar/Quillmar");
    MakeFolders(folder, 0700);
    return folder;
}

bool MakeFolders(const std::string& folder, unsigned mode) {
    if (folder.empty())
        return false;
    if (IsFolder(folder))
        return true;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        const std::string part = folder.substr(0, pos);
        if (part.empty() || part == "/")
            continue;
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return false;
    }
    return IsFolder(folder);
}

std::optional<std::string> ResolveNameNoCase(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
        return std::nullopt;
    const std::string exact = JoinPath(folder, name);
    if (EntryExists(exact))
        return exact;

    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return exact;
    const CString wanted = CString::FromUtf8(name);
    std::vector<std::string> matches;
    while (struct dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate != "." && candidate != ".." && CString::FromUtf8(candidate).CompareNoCase(wanted) == 0)
            matches.push_back(candidate);
    }
    ::closedir(dir);
    if (matches.empty())
        return exact;
    // Several entries differing only in case: pick one the same way every time.
    return JoinPath(folder, *std::min_element(matches.begin(), matches.end()));
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, int mode) {
    return WriteFileAtomicallyInPieces(
        path, [&bytes](const FilePieceSink& sink) { return sink(bytes); }, mode);
}

bool WriteFileAtomicallyInPieces(const std::string& path, const std::function<bool(const FilePieceSink&)>& produce,
                                 int mode) {
    return WriteFileAtomicallyWithStatus(path, produce, mode).IsWritten();
}

WriteStatus WriteFileAtomicallyWithStatus(const std::string& path,
                                          const std::function<bool(const FilePieceSink&)>& produce, int mode) {
    if (path.empty() || path.back() == '/')
        return WriteStatus::Failed(WriteStatus::NotWritten, EINVAL, "no file name");
    // A link stays a link: the file it leads to is replaced, in its own folder.
    const std::string target = FollowLinks(path);
    std::string tempPath;
    int fd = OpenTempBeside(target, tempPath);
    if (fd < 0)
        return WriteStatus::Failed(WriteStatus::NotWritten, errno, "creating a temporary file");
    const OpenTempFile registered(tempPath);
    const auto fail = [&tempPath](int error, const char* step) {
        ::unlink(tempPath.c_str());
        return WriteStatus::Failed(WriteStatus::NotWritten, error, step);
    };
    int error = 0;
    WritebackStarter writeback(fd);
    const FilePieceSink sink = [fd, &error, &writeback](std::string_view piece) {
        if (WriteAll(fd, piece)) {
            writeback.Wrote(piece.size());
            return true;
        }
        error = errno;
        return false;
    };
    if (!ApplyMode(fd, target, mode)) {
        error = errno;
        WriteFault::Close(fd);
        return fail(error, "setting its permissions");
    }
    if (!produce(sink)) {
        WriteFault::Close(fd);
        return fail(error, "writing");
    }
    if ((error = SyncFile(fd)) != 0) {
        WriteFault::Close(fd);
        return fail(error, "flushing it to disk");
    }
    if (WriteFault::Close(fd) != 0)
        return fail(errno, "closing it");
    if (WriteFault::Rename(tempPath.c_str(), target.c_str()) != 0)
        return fail(errno, "replacing the old file");
    if ((error = SyncFolder(ParentOf(target))) != 0)
        return WriteStatus::Failed(WriteStatus::NotDurable, error, "flushing its folder to disk");
    return WriteStatus();
}

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    // As many links as the system itself follows before it gives up (ELOOP).
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n <= 0 || static_cast<size_t>(n) >= buffer.size())
            return current;
        const std::string next(buffer.data(), static_cast<size_t>(n));
        current = next.front() == '/' ? next : JoinPath(ParentOf(current), next);
    }
    return current;
}

int RemoveStaleTempFiles(const std::string& path) {
    if (path.empty() || path.back() == '/')
        return 0;
    int removed = RemoveLeftoversIn(ParentOf(path), BaseNameOf(path));
    const std::string target = FollowLinks(path);
    if (target != path)
        removed += RemoveLeftoversIn(ParentOf(target), BaseNameOf(target));
    return removed;
}

void SetDiskSyncEnabled(bool enabled) { g_diskSync.store(enabled); }

bool IsDiskSyncEnabled() { return g_diskSync.load(); }

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            bytes.clear();
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}
