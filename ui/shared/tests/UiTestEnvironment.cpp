#include "ui/shared/tests/UiTestEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Registry.h"

namespace {
std::string MakeTemporaryHome() {
    // mkdtemp replaces the six trailing X of its template.
    std::string pattern = (std::filesystem::temp_directory_path() / ("quillmar-ui-" + std::string(6, 'X'))).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}
}   // namespace

TestEnvironment::TestEnvironment() : m_home(MakeTemporaryHome()) {
    const std::filesystem::path root(m_home);
    for (const char* sub : {"config", "data", "runtime", "store"})
        std::filesystem::create_directories(root / sub);
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    setenv("HOME", m_home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    setenv("QUILLMAR_DATA_DIR", (root / "store").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "C", 1);
    Registry::Reload();
}

TestEnvironment::~TestEnvironment() {
    std::error_code ignored;
    std::filesystem::remove_all(m_home, ignored);
}

void ResetUserData() {
    std::error_code ignored;
    std::filesystem::remove(Registry::FilePath(), ignored);
    Registry::Reload();
    for (const auto& entry : std::filesystem::directory_iterator(std::getenv("QUILLMAR_DATA_DIR"), ignored)) {
        if (entry.is_regular_file())
            std::filesystem::remove(entry.path(), ignored);
    }
}
