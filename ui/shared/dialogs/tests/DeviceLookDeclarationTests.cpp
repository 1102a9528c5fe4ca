// Every shared page and dialog declares a device look, and every widget it names exists in the
// dialog as this build makes it. (The device program's tests apply the looks.)
#include <gtest/gtest.h>

#include <string>

#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/tests/SharedDialogCatalogue.h"

namespace {
class DeviceLookDeclaration : public ::testing::TestWithParam<size_t> {};
}   // namespace

TEST_P(DeviceLookDeclaration, NamesOnlyWidgetsTheDialogHas) {
    const SharedDialog& shared = EverySharedDialog()[GetParam()];
    bool visited = false;
    shared.walk([&visited](QWidget& dialog) {
        visited = true;
        const auto* declared = dynamic_cast<const CHasDeviceLook*>(&dialog);
        ASSERT_NE(declared, nullptr) << "no device look declared";
        EXPECT_EQ(MissingDeviceLookWidgets(dialog, declared->GetDeviceLook()).join(u' ').toStdString(), "");
    });
    EXPECT_TRUE(visited);
}

INSTANTIATE_TEST_SUITE_P(Every, DeviceLookDeclaration, ::testing::Range(size_t{0}, EverySharedDialog().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(EverySharedDialog()[info.param].name);
                         });
