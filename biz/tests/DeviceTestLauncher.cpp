// Runs a test program linked with the device build in a device HOME of its own: the HOME, the
// XDG folders and the registry's "AppPath" are made here first, and the folder goes afterwards.
// The device program's tests use it; the arguments after the program are passed on as they are.
// QUILLMAR_TEST_APP_PATH tells the program its "AppPath" folder.
//   QuillmarDeviceTestLauncher started <test program> [arguments]
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace {

bool PrepareHome(const std::string& home) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
    setenv("QUILLMAR_DATA_DIR", (home + "/desktop-data").c_str(), 1);
    std::error_code error;
    std::filesystem::create_directories(home + "/run", error);
    chmod((home + "/run").c_str(), 0700);
    Registry::Reload();
    const std::string appPath = home + "/Program Files/Quillmar";
    if (!std::filesystem::create_directories(appPath, error))
        return false;
    setenv("QUILLMAR_TEST_APP_PATH", appPath.c_str(), 1);
    return Registry::SetString(u"Software\\Kestovar\\Quillmar\\Settings", u"AppPath", CString::FromUtf8(appPath));
}

int RunAndWait(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        execv(argv[0], argv.data());
        std::perror("execv");
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}   // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::string(argv[1]) != "started") {
        std::fprintf(stderr, "usage: %s started <test program> [arguments]\n", argv[0]);
        return 2;
    }
    std::string home = (std::filesystem::temp_directory_path() / "quillmar-device-XXXXXX").string();
    if (!mkdtemp(home.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    int result = 1;
    if (PrepareHome(home)) {
        result = RunAndWait(std::vector<std::string>(argv + 2, argv + argc));
    } else {
        std::fprintf(stderr, "cannot prepare the device home %s\n", home.c_str());
    }
    std::error_code error;
    std::filesystem::remove_all(home, error);
    return result;
}
