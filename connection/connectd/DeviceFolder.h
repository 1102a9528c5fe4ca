#pragma once
// The device's program folder (registry HKCU\Software\Kestovar\Quillmar\Settings "AppPath") and
// the resolution of the desktop's names inside it. A name may be relative to the folder or
// start with the AppPath value itself; "\" and "/" both separate. Every part matches an entry
// without regard to case. Refused: other absolute paths, "." and ".." parts, folders that are
// links, and final links whose target lies outside the folder.
#include <optional>
#include <string>

#include "platform/CString.h"
#include "connection/RapiTypes.h"

class DeviceFolder {
public:
    // Reads AppPath now; Win32 error ERROR_PATH_NOT_FOUND in `error` when it is missing or not a folder.
    static std::optional<DeviceFolder> Open(DWORD& error);

    // The path to use on this machine, or nullopt with a Win32 error (ERROR_ACCESS_DENIED for a
    // refused name). The file itself may not exist yet.
    std::optional<std::string> ResolveFile(const CString& name, DWORD& error) const;
    // A library by its device name ("Sync.dll" is libSync.so); it must exist inside the folder.
    std::optional<std::string> ResolveLibrary(const CString& name, DWORD& error) const;

    const std::string& RealPath() const { return m_real; }

private:
    DeviceFolder(std::string appPath, std::string real) : m_appPath(std::move(appPath)), m_real(std::move(real)) {}
    bool IsInside(const std::string& realPath) const;
    std::optional<std::string> Resolve(std::string relative, bool asLibrary, DWORD& error) const;

    std::string m_appPath;   // as the registry holds it, separators made "/", no trailing one
    std::string m_real;      // the folder's real path
};
