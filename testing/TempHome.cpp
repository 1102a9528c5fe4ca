#include "testing/TempHome.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/Registry.h"

namespace {

std::optional<std::string> Variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Assign(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

}   // namespace

TempHome::TempHome(const std::string& name) : m_folder(name) {
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    std::filesystem::create_directories(RuntimeFolder());
    // The runtime folder holds sockets and locks: its owner's alone, as the XDG rules want.
    ::chmod(RuntimeFolder().c_str(), 0700);
    Activate();
}

TempHome::~TempHome() {
    // Latest first, so a variable set twice gets its value from before the first.
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        Assign(it->first, it->second);
    Registry::Reload();
}

void TempHome::Activate() {
    Set("HOME", Home());
    Set("XDG_CONFIG_HOME", ConfigHome());
    Set("XDG_DATA_HOME", DataHome());
    Set("XDG_RUNTIME_DIR", RuntimeFolder());
    Set("QUILLMAR_DATA_DIR", DataFolder());
    Registry::Reload();
}

void TempHome::Set(const std::string& name, const std::optional<std::string>& value) {
    const bool saved =
        std::any_of(m_saved.begin(), m_saved.end(), [&name](const auto& entry) { return entry.first == name; });
    if (!saved)
        m_saved.emplace_back(name, Variable(name));
    Assign(name, value);
}
