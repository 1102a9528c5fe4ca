// Runs the desktop's own dialogs' tests offscreen in a private HOME, over a new data file,
// with the desktop's application object (and so its host of the shared dialogs).
#include <gtest/gtest.h>

#include <QApplication>

#include "biz/DataHelper.h"
#include "desktop/QuillmarApp.h"
#include "ui/shared/tests/UiTestEnvironment.h"

int main(int argc, char** argv) {
    TestEnvironment environment;
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    CQuillmarApp quillmar;
    if (GetCurrDataHelper()->Initialize() != 1)
        return 1;
    return RUN_ALL_TESTS();
}
