#include "connection/connectd/DeviceFolder.h"

#include <sys/stat.h>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace {

// The desktop creates and writes these and nothing else: the data file and the change files.
const char* const kWritableNames[] = {"Quillmar.dat", "desktop.xml", "device.xml"};
// The one library a desktop may run.
const char kSyncLibraryFile[] = "libSync.so";

std::string Slashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::optional<std::string> RealPathOf(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

std::vector<std::string> Parts(const std::string& relative) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos)
            slash = relative.size();
        if (slash > start)
            parts.push_back(relative.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return CString::FromUtf8(a).CompareNoCase(CString::FromUtf8(b)) == 0;
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// "X.dll" is libX.so, as everywhere in this system; a name already in library form stays.
std::string LibraryFileName(const std::string& name) {
    if (name.size() > 4 && SameNoCase(name.substr(name.size() - 4), ".dll"))
        return "lib" + name.substr(0, name.size() - 4) + ".so";
    return name;
}

}   // namespace

std::optional<DeviceFolder> DeviceFolder::Open(const std::string& settingsKey, DWORD& error) {
    Registry::Reload();
    auto appPath = Registry::QueryString(CString::FromUtf8(settingsKey), "AppPath");
    error = ERROR_PATH_NOT_FOUND;
    if (!appPath || appPath->IsEmpty())
        return std::nullopt;
    std::string path = Slashes(appPath->ToUtf8());
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    auto real = RealPathOf(path);
    struct stat info {};
    if (!real || ::stat(real->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    error = ERROR_SUCCESS;
    return DeviceFolder(path, *real);
}

bool DeviceFolder::IsWritableName(const std::string& name) {
    for (const char* writable : kWritableNames)
        if (SameNoCase(name, writable))
            return true;
    return false;
}

bool DeviceFolder::IsInside(const std::string& realPath) const {
    return realPath.size() > m_real.size() && realPath.compare(0, m_real.size(), m_real) == 0 &&
           (m_real == "/" || realPath[m_real.size()] == '/');
}

std::string DeviceFolder::Relative(const CString& name) const {
    std::string path = Slashes(name.ToUtf8());
    if (path.compare(0, m_appPath.size() + 1, m_appPath + "/") == 0)
        return path.substr(m_appPath.size() + 1);
    if (!path.empty() && path[0] == '/')
        return std::string();
    return path;
}

std::optional<std::string> DeviceFolder::ResolveFile(const CString& name, DWORD& error) const {
    return Resolve(Relative(name), error);
}

std::optional<std::string> DeviceFolder::ResolveWritable(const CString& name, DWORD& error) const {
    const std::vector<std::string> parts = Parts(Relative(name));
    error = ERROR_ACCESS_DENIED;
    if (parts.size() != 1 || !IsWritableName(parts[0]))
        return std::nullopt;
    auto path = Resolve(parts[0], error);
    struct stat info {};
    if (!path || ::stat(path->c_str(), &info) != 0)
        return path;   // refused, or a new file
    // Through a link inside the folder the target must be a data file as well; nothing that
    // could run, nor a second name of another file.
    if (!S_ISREG(info.st_mode) || (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) || info.st_nlink != 1 ||
        !IsWritableName(BaseName(*path))) {
        error = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> DeviceFolder::ResolveSyncLibrary(const CString& name, DWORD& error) const {
    const std::vector<std::string> parts = Parts(Relative(name));
    error = ERROR_ACCESS_DENIED;
    if (parts.size() != 1 || !SameNoCase(LibraryFileName(parts[0]), kSyncLibraryFile))
        return std::nullopt;
    auto path = Resolve(LibraryFileName(parts[0]), error);
    struct stat info {};
    if (path && (::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode))) {
        error = ERROR_MOD_NOT_FOUND;
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> DeviceFolder::Resolve(const std::string& relative, DWORD& error) const {
    error = ERROR_ACCESS_DENIED;
    std::vector<std::string> parts = Parts(relative);
    if (parts.empty())
        return std::nullopt;
    std::string folder = m_real;
    for (size_t i = 0; i < parts.size(); ++i) {
        // ResolveNameNoCase refuses "." and "..", so no part can climb out.
        auto entry = ResolveNameNoCase(folder, parts[i]);
        if (!entry)
            return std::nullopt;
        struct stat info {};
        const bool exists = ::lstat(entry->c_str(), &info) == 0;
        if (i + 1 < parts.size()) {
            if (!exists || !S_ISDIR(info.st_mode)) {
                error = exists ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
                return std::nullopt;
            }
            folder = *entry;
            continue;
        }
        if (!exists) {
            error = ERROR_SUCCESS;
            return entry;
        }
        // A link is followed only when it stays inside the folder.
        auto real = RealPathOf(*entry);
        if (!real || !IsInside(*real))
            return std::nullopt;
        error = ERROR_SUCCESS;
        return real;
    }
    return std::nullopt;
}
