#include "bench/BenchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

CBenchFolder::CBenchFolder(const std::string& prefix) {
    // mkdtemp's template: the six X are replaced by a unique name.
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    m_path = pattern;
    setenv("QUILLMAR_DATA_DIR", m_path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_path + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
}

CBenchFolder::~CBenchFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}
