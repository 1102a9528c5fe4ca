#pragma once
// Test support: a temporary HOME with its own XDG folders, runtime folder and data folder, so
// tests never touch the real user's settings, sockets or data. Restores the environment and
// removes the folder when it goes.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

class ScopedUserFolders {
public:
    ScopedUserFolders() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-test-XXXXXX").string();
        m_root = ::mkdtemp(pattern.data());
        Set("HOME", m_root + "/home");
        Set("XDG_CONFIG_HOME", m_root + "/home/.config");
        Set("XDG_DATA_HOME", m_root + "/home/.local/share");
        Set("XDG_RUNTIME_DIR", m_root + "/run");
        Set("QUILLMAR_DATA_DIR", std::nullopt);
        std::filesystem::create_directories(m_root + "/home");
        std::filesystem::create_directories(m_root + "/run");
        ::chmod((m_root + "/run").c_str(), 0700);
    }
    ~ScopedUserFolders() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    ScopedUserFolders(const ScopedUserFolders&) = delete;
    ScopedUserFolders& operator=(const ScopedUserFolders&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Home() const { return m_root + "/home"; }

    // Sets (or with nullopt unsets) a variable; the first value seen is restored at the end.
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }

private:
    std::string m_root;
    std::map<std::string, std::optional<std::string>> m_saved;
};

inline std::string SlurpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void PutFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
