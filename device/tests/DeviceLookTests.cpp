// Every shared page and dialog in both looks: each widget its device look names exists as the
// desktop makes the dialog and still after the device look is applied; then each caption shows
// the device program's text, each left-out widget is hidden, the title is drawn.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include "biz/Helpers.h"
#include "device/DeviceDialogLook.h"
#include "device/PageTitle.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/StringTable.h"
#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/tests/SharedDialogCatalogue.h"

namespace {

QString ShownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return QString();
}

void ExpectDeviceLook(QWidget& dialog, const DeviceLook& look) {
    for (const DeviceLook::Caption& caption : look.captions) {
        EXPECT_TRUE(StringTable::Has(caption.textId)) << "no device text " << caption.textId;
        EXPECT_EQ(ShownText(CaptionTarget(dialog, caption.widget)).toStdString(),
                  StringTable::Get(caption.textId).ToUtf8())
            << caption.widget;
    }
    for (const char* name : look.hidden) {
        auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget == nullptr || widget->isHidden()) << name;
    }
    if (look.defaultButton) {
        auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(look.defaultButton));
        EXPECT_TRUE(button && button->isDefault()) << look.defaultButton;
    }
    if (look.windowTitleId != 0) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), StringTable::Get(look.windowTitleId).ToUtf8());
    }
    auto* title = dialog.findChild<CPageTitle*>(QString(), Qt::FindDirectChildrenOnly);
    if (look.titleId != 0) {
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->Text().toStdString(), GetResString(look.titleId, 1).ToUtf8());
    } else {
        EXPECT_EQ(title, nullptr);
    }
}

class SharedDialogLooks : public ::testing::TestWithParam<size_t> {
protected:
    void SetUp() override { ResetDeviceData(); }
    // The device's string table and the main window that gives the dialogs their size.
    RunningDevice m_device;
};

}   // namespace

TEST_P(SharedDialogLooks, DeclaredWidgetsExistInBothLooks) {
    const SharedDialog& shared = EverySharedDialog()[GetParam()];
    bool visited = false;
    shared.walk([&visited](QWidget& dialog) {
        visited = true;
        const auto* declared = dynamic_cast<const CHasDeviceLook*>(&dialog);
        ASSERT_NE(declared, nullptr) << "no device look declared";
        const DeviceLook& look = declared->GetDeviceLook();
        EXPECT_EQ(MissingDeviceLookWidgets(dialog, look).join(u' ').toStdString(), "") << "desktop look";
        ApplyDeviceLook(&dialog);
        EXPECT_EQ(MissingDeviceLookWidgets(dialog, look).join(u' ').toStdString(), "") << "device look";
        ExpectDeviceLook(dialog, look);
    });
    EXPECT_TRUE(visited);
}

INSTANTIATE_TEST_SUITE_P(Every, SharedDialogLooks, ::testing::Range(size_t{0}, EverySharedDialog().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(EverySharedDialog()[info.param].name);
                         });
