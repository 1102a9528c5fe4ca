#pragma once
// The device's program folder (the "AppPath" value of the registry key the service was given)
// and the resolution of the desktop's names inside it. A name may be relative to the folder or
// start with the AppPath value itself; "\" and "/" both separate. Every part matches an entry
// without regard to case. Refused: other absolute paths, "." and ".." parts, folders that are
// links, and final links whose target lies outside the folder.
//
// What a desktop may change is narrower than what it may read: only the data file and the two
// change files, at the top of the folder, and never anything with an execute bit, so no code
// can be put there over the connection. The only library it may run is the sync library.
#include <optional>
#include <string>

#include "connection/RapiTypes.h"
#include "platform/CString.h"

class DeviceFolder {
public:
    // Reads AppPath from `settingsKey` (below HKEY_CURRENT_USER) now; Win32 error
    // ERROR_PATH_NOT_FOUND in `error` when it is missing or not a folder.
    static std::optional<DeviceFolder> Open(const std::string& settingsKey, DWORD& error);

    // The path to use on this machine, or nullopt with a Win32 error (ERROR_ACCESS_DENIED for a
    // refused name). The file itself may not exist yet.
    std::optional<std::string> ResolveFile(const CString& name, DWORD& error) const;
    // The same for a file to be created, truncated or written: one of the data and change files.
    std::optional<std::string> ResolveWritable(const CString& name, DWORD& error) const;
    // The sync library by its device name ("Sync.dll" is libSync.so at the top of the folder);
    // ERROR_ACCESS_DENIED for any other library, ERROR_MOD_NOT_FOUND when it is not there.
    std::optional<std::string> ResolveSyncLibrary(const CString& name, DWORD& error) const;

    // True for the names of the data and change files, compared without regard to case.
    static bool IsWritableName(const std::string& name);

    const std::string& RealPath() const { return m_real; }

private:
    DeviceFolder(std::string appPath, std::string real) : m_appPath(std::move(appPath)), m_real(std::move(real)) {}
    bool IsInside(const std::string& realPath) const;
    // The desktop's name relative to the folder, "/" separated; empty when it is another absolute path.
    std::string Relative(const CString& name) const;
    std::optional<std::string> Resolve(const std::string& relative, DWORD& error) const;

    std::string m_appPath;   // as the registry holds it, separators made "/", no trailing one
    std::string m_real;      // the folder's real path
};
