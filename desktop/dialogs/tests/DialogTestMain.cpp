// Runs the dialog tests offscreen with HOME, the XDG folders and the data folder in a
// temporary folder, so the user's own settings and data are never touched.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "biz/DataHelper.h"
#include "desktop/QuillmarApp.h"

namespace {
std::string MakeTemporaryHome() {
    // mkdtemp replaces the six trailing X of its template.
    std::string pattern = (std::filesystem::temp_directory_path() / ("quillmar-dialogs-" + std::string(6, 'X'))).string();
    if (mkdtemp(pattern.data()) == nullptr)
        std::abort();
    return pattern;
}

void SetUpEnvironment(const std::string& home) {
    const std::filesystem::path root(home);
    for (const char* sub : {"config", "data", "runtime", "store"})
        std::filesystem::create_directories(root / sub);
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    setenv("QUILLMAR_DATA_DIR", (root / "store").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "C", 1);
}
}  // namespace

int main(int argc, char** argv) {
    const std::string home = MakeTemporaryHome();
    SetUpEnvironment(home);
    int result = 1;
    {
        QApplication application(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        CQuillmarApp quillmar;
        if (GetCurrDataHelper()->Initialize() == 1)
            result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
