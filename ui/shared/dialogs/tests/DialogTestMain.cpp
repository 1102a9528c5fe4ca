// Runs the shared dialogs' tests offscreen in a private HOME, over a new data file, with a test
// host in place of a program's.
#include <gtest/gtest.h>

#include <QApplication>

#include "biz/DataHelper.h"
#include "ui/shared/tests/TestAppHost.h"
#include "ui/shared/tests/UiTestEnvironment.h"

int main(int argc, char** argv) {
    TestEnvironment environment;
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    TestAppHost host;
    if (GetCurrDataHelper()->Initialize() != 1)
        return 1;
    return RUN_ALL_TESTS();
}
