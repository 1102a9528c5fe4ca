// Runs the device program's tests offscreen in the device HOME the launcher prepared.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "biz/BizApp.h"
#include "ui/qt/QtMessageBox.h"

int main(int argc, char** argv) {
    if (std::getenv("QUILLMAR_TEST_APP_PATH") == nullptr) {
        std::fprintf(stderr, "run these tests through QuillmarDeviceTestLauncher\n");
        return 2;
    }
    if (QuillmarBizDeviceStart() == 0) {
        std::fprintf(stderr, "the device build of the business library did not start\n");
        return 1;
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    InstallQtMessageBoxHandler();
    return RUN_ALL_TESTS();
}
