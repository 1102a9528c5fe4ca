#pragma once
// Folders of the program and of the user, and file-name helpers.
#include <optional>
#include <string>

// The folder holding the module that contains the platform code (the executable, or the shared
// business library that links it): "X.dll" is looked for there. No trailing slash.
std::string GetProgramFolder();
// The user's HOME ($HOME, else the password database).
std::string GetHomeFolder();
// $XDG_CONFIG_HOME or ~/.config.
std::string GetConfigHome();
// $XDG_DATA_HOME or ~/.local/share.
std::string GetDataHome();
// The desktop data folder: $QUILLMAR_DATA_DIR, else $XDG_DATA_HOME/Kestovar/Quillmar; made when missing.
std::string GetDesktopDataFolder();
// Makes the folder and its parents; false when it cannot.
bool MakeFolders(const std::string& folder, unsigned mode = 0755);

// Resolves `name` inside `folder` without regard to case, as on the device: the path of the
// existing entry whose name matches case-insensitively (exact match preferred), or
// folder/name when none exists. nullopt when `name` holds a separator or is "." / "..".
std::optional<std::string> ResolveNameNoCase(const std::string& folder, const std::string& name);

// Writes `bytes` to `path` atomically: temporary file in the same folder, flush (fsync unless
// disabled by SetDiskSyncEnabled(false) for benchmarks), rename over the target. On any failure
// returns false and leaves the old file as it was.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
void SetDiskSyncEnabled(bool enabled);
bool ReadWholeFile(const std::string& path, std::string& bytes);
