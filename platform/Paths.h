#pragma once
// Folders of the program and of the user, and file-name helpers.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PlatformExport.h"
#include "platform/WriteStatus.h"

// The folder holding the module that contains the platform code (the executable, or the shared
// business library that links it): "X.dll" is looked for there. No trailing slash.
QUILLMAR_PLATFORM_EXPORT std::string GetProgramFolder();
// The user's HOME ($HOME, else the password database).
QUILLMAR_PLATFORM_EXPORT std::string GetHomeFolder();
// $XDG_CONFIG_HOME or ~/.config (a relative $XDG_CONFIG_HOME is ignored, as the XDG rules say).
QUILLMAR_PLATFORM_EXPORT std::string GetConfigHome();
// $XDG_DATA_HOME or ~/.local/share (a relative value is ignored likewise).
QUILLMAR_PLATFORM_EXPORT std::string GetDataHome();
// The desktop data folder: $QUILLMAR_DATA_DIR, else $XDG_DATA_HOME/Kestovar/Quillmar; made when
// missing. The path is returned even when it could not be made (opening a file there then fails).
QUILLMAR_PLATFORM_EXPORT std::string GetDesktopDataFolder();
// Makes the folder and its parents (new ones get `mode`); true when it exists as a folder afterwards.
QUILLMAR_PLATFORM_EXPORT bool MakeFolders(const std::string& folder, unsigned mode = 0755);

// Resolves `name` inside `folder` without regard to case, as on the device: the path of the
// existing entry whose name matches case-insensitively (exact match preferred), or
// folder/name when none exists. nullopt when `name` is empty, holds a separator ('/' or '\\')
// or a NUL, or is "." / "..".
QUILLMAR_PLATFORM_EXPORT std::optional<std::string> ResolveNameNoCase(const std::string& folder,
                                                                      const std::string& name);

// Writes `bytes` to `path` atomically: temporary file ".<name>.tmp-<pid>-<n>" in the same
// folder, flush (fsync unless disabled by SetDiskSyncEnabled(false) for benchmarks), rename over
// the target, flush of the folder. When `path` is a symbolic link, the file it leads to is
// replaced in its own folder and the link stays. The new file gets `mode` when one is given
// (>= 0), else the old file's mode, else 0666 less the umask. On any failure returns false and
// removes the temporary file; the old file is as it was unless only the final folder flush
// failed (see WriteFileAtomicallyWithStatus). Every step goes through the write-fault seam.
QUILLMAR_PLATFORM_EXPORT bool WriteFileAtomically(const std::string& path, const std::string& bytes, int mode = -1);
// Receives the next piece of a file being written; false when it could not be written.
using FilePieceSink = std::function<bool(std::string_view piece)>;
// The same, with the bytes handed over piece by piece: `produce` passes every piece to the sink
// in order and returns false to abandon the write (or when the sink returned false). Lets a
// large file be written without holding all of its bytes in memory at once.
QUILLMAR_PLATFORM_EXPORT bool WriteFileAtomicallyInPieces(const std::string& path,
                                                          const std::function<bool(const FilePieceSink&)>& produce,
                                                          int mode = -1);
// The same, telling what happened: Written; NotWritten (the old file as it was); NotDurable
// (the new file is in place, but the flush of its folder failed).
QUILLMAR_PLATFORM_EXPORT WriteStatus WriteFileAtomicallyWithStatus(
    const std::string& path, const std::function<bool(const FilePieceSink&)>& produce, int mode = -1);
// Removes the temporary files that writes of `path` by processes that have ended left behind
// (beside the path and, for a symbolic link, beside the file it leads to). Files of live
// processes and those this process is writing stay. The number removed.
QUILLMAR_PLATFORM_EXPORT int RemoveStaleTempFiles(const std::string& path);
// The file that `path` leads to through symbolic links (relative ones taken from the link's
// folder); `path` itself when it is no link. A dangling link gives the missing file it names.
QUILLMAR_PLATFORM_EXPORT std::string FollowLinks(const std::string& path);
QUILLMAR_PLATFORM_EXPORT void SetDiskSyncEnabled(bool enabled);
QUILLMAR_PLATFORM_EXPORT bool IsDiskSyncEnabled();
// Reads the whole file; false (and `bytes` empty) when it cannot be read.
QUILLMAR_PLATFORM_EXPORT bool ReadWholeFile(const std::string& path, std::string& bytes);
