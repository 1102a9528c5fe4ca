#include "connection/tests/TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/Registry.h"

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-rapi-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
    std::filesystem::create_directories(m_path + "/.config");
    std::filesystem::create_directories(m_path + "/.local/share");
    std::filesystem::create_directories(m_path + "/run");
    std::filesystem::permissions(m_path + "/run", std::filesystem::perms::owner_all);
    Activate();
}

TempHome::~TempHome() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempHome::Activate() const {
    ::setenv("HOME", m_path.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (m_path + "/run").c_str(), 1);
    Registry::Reload();
}
