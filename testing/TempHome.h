#pragma once
// A temporary user for a test: HOME, the XDG folders, the runtime folder and the desktop data
// folder all point into a fresh temporary folder while the object lives, so a test never
// touches the real user's settings, sockets or data. The environment is put back and the
// folder removed when it goes.
//
// Layout, below Root() (free for the test's own files):
//   home/                HOME, with home/.config and home/.local/share (the XDG folders)
//   run/                 XDG_RUNTIME_DIR, mode 0700
//   data/                QUILLMAR_DATA_DIR (made by whoever writes there first)
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testing/TempFolder.h"

class TempHome {
public:
    // `name` starts the temporary folder's name, to tell whose folder a leftover is.
    explicit TempHome(const std::string& name = "quillmar-test");
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Root() const { return m_folder.Path(); }
    std::string Home() const { return Root() + "/home"; }
    std::string ConfigHome() const { return Home() + "/.config"; }
    std::string DataHome() const { return Home() + "/.local/share"; }
    std::string RuntimeFolder() const { return Root() + "/run"; }
    std::string DataFolder() const { return Root() + "/data"; }

    // Points the variables here again (after another TempHome took them) and reloads the
    // settings from this HOME.
    void Activate();
    // Sets, or with nullopt unsets, a variable; its value from before is put back at the end.
    void Set(const std::string& name, const std::optional<std::string>& value);

private:
    TempFolder m_folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
