// The device program. `quillmar-device` opens the main window over the data file in the folder
// that the registry value "AppPath" names; `quillmar-device --set-app-path DIR` stores that
// value (the installer's job on the handheld).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <QApplication>

#include "biz/BizApp.h"
#include "device/QuillmarApp.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/shared/LockWaitNotice.h"

namespace {

int SetAppPath(const char* folder) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(folder, error);
    if (error || !MakeFolders(path.lexically_normal().string())) {
        std::fprintf(stderr, "quillmar-device: %s is not a folder that can be used\n", folder);
        return 1;
    }
    const std::string normal = path.lexically_normal().string();
    const std::string value = normal.size() > 1 && normal.back() == '/' ? normal.substr(0, normal.size() - 1) : normal;
    if (!Registry::SetString(CQuillmarApp::kSettingsKey, u"AppPath", CString::FromUtf8(value))) {
        std::fprintf(stderr, "quillmar-device: the registry file %s could not be written\n",
                     Registry::FilePath().c_str());
        return 1;
    }
    std::printf("quillmar-device: AppPath is %s (registry %s)\n", value.c_str(), Registry::FilePath().c_str());
    return 0;
}

}   // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "--set-app-path") == 0) {
        if (argc != 3) {
            std::fprintf(stderr, "usage: quillmar-device --set-app-path FOLDER\n");
            return 2;
        }
        return SetAppPath(argv[2]);
    }
    // Only now, with the arguments read, may the data file be touched.
    if (QuillmarBizDeviceStart() == 0) {
        std::fprintf(stderr,
                     "quillmar-device: the data file could not be opened. The registry value AppPath "
                     "(HKCU\\Software\\Kestovar\\Quillmar\\Settings in %s) must name a writable folder; "
                     "set it with: quillmar-device --set-app-path FOLDER\n",
                     Registry::FilePath().c_str());
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmar"));
    QApplication::setOrganizationName(QStringLiteral("Kestovar"));
    InstallQtMessageBoxHandler();
    CLockWaitNotice::Install();
    CQuillmarApp app;
    if (!app.InitInstance())
        return 1;
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
