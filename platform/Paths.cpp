#include "platform/Paths.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/CString.h"

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
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Opens a fresh temporary file beside `path`; O_EXCL so two writers never share one.
int OpenTempBeside(const std::string& path, std::string& tempPath) {
    const std::string folder = ParentOf(path);
    const std::string base = BaseNameOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = JoinPath(folder, "." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
                                        std::to_string(g_tempCounter.fetch_add(1)));
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename is only durable once the folder entry itself is on disk.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool ApplyMode(int fd, const std::string& path, int mode) {
    if (mode >= 0)
        return ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        return ::fchmod(fd, old.st_mode & 07777) == 0;
    return true;
}

}  // namespace

std::string GetProgramFolder() {
    Dl_info info {};
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
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return "/tmp";
}

std::string GetConfigHome() {
    return AbsoluteEnvOr("XDG_CONFIG_HOME", JoinPath(GetHomeFolder(), ".config"));
}

std::string GetDataHome() {
    return AbsoluteEnvOr("XDG_DATA_HOME", JoinPath(GetHomeFolder(), ".local/share"));
}

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
        if (candidate != "." && candidate != ".." &&
            CString::FromUtf8(candidate).CompareNoCase(wanted) == 0)
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
    if (path.empty() || path.back() == '/')
        return false;
    std::string tempPath;
    int fd = OpenTempBeside(path, tempPath);
    if (fd < 0)
        return false;
    const FilePieceSink sink = [fd](std::string_view piece) { return WriteAll(fd, piece); };
    bool ok = ApplyMode(fd, path, mode) && produce(sink);
    if (ok && g_diskSync.load())
        ok = ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tempPath.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    if (g_diskSync.load())
        SyncFolder(ParentOf(path));
    return true;
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
