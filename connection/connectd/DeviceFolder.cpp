#include "connection/connectd/DeviceFolder.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace {

const char* const kSettingsKey = "Software\\Kestovar\\Quillmar\\Settings";

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

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = text[text.size() - tail.size() + i];
        if (std::tolower(static_cast<unsigned char>(a)) != tail[i])
            return false;
    }
    return true;
}

// "X.dll" is libX.so, as everywhere in this system; a name already in library form stays.
std::string LibraryFileName(const std::string& name) {
    if (EndsWithNoCase(name, ".dll"))
        return "lib" + name.substr(0, name.size() - 4) + ".so";
    return name;
}

}  // namespace

std::optional<DeviceFolder> DeviceFolder::Open(DWORD& error) {
    Registry::Reload();
    auto appPath = Registry::QueryString(kSettingsKey, "AppPath");
    error = ERROR_PATH_NOT_FOUND;
    if (!appPath || appPath->IsEmpty())
        return std::nullopt;
    std::string path = Slashes(appPath->ToUtf8());
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    auto real = RealPathOf(path);
    struct stat info{};
    if (!real || ::stat(real->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    error = ERROR_SUCCESS;
    return DeviceFolder(path, *real);
}

bool DeviceFolder::IsInside(const std::string& realPath) const {
    return realPath.size() > m_real.size() && realPath.compare(0, m_real.size(), m_real) == 0 &&
           (m_real == "/" || realPath[m_real.size()] == '/');
}

std::optional<std::string> DeviceFolder::ResolveFile(const CString& name, DWORD& error) const {
    return Resolve(Slashes(name.ToUtf8()), false, error);
}

std::optional<std::string> DeviceFolder::ResolveLibrary(const CString& name, DWORD& error) const {
    auto path = Resolve(Slashes(name.ToUtf8()), true, error);
    struct stat info{};
    if (path && (::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode))) {
        error = ERROR_MOD_NOT_FOUND;
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> DeviceFolder::Resolve(std::string path, bool asLibrary, DWORD& error) const {
    error = ERROR_ACCESS_DENIED;
    if (path.compare(0, m_appPath.size() + 1, m_appPath + "/") == 0)
        path.erase(0, m_appPath.size() + 1);
    else if (!path.empty() && path[0] == '/')
        return std::nullopt;
    std::vector<std::string> parts = Parts(path);
    if (parts.empty()) {
        error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    if (asLibrary)
        parts.back() = LibraryFileName(parts.back());
    std::string folder = m_real;
    for (size_t i = 0; i < parts.size(); ++i) {
        // ResolveNameNoCase refuses "." and "..", so no part can climb out.
        auto entry = ResolveNameNoCase(folder, parts[i]);
        if (!entry)
            return std::nullopt;
        struct stat info{};
        const bool exists = ::lstat(entry->c_str(), &info) == 0;
        const bool last = i + 1 == parts.size();
        if (!last) {
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
