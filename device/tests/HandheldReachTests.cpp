// What a handheld user must be able to reach on a 240 x 320 screen: an OK on every dialog that
// the handheld's title bar used to confirm, an OK that follows what was typed, message boxes,
// menus and the calendar inside the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include "biz/Category.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "device/DeviceDialogLook.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/SoftKeyboard.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgOptionsKeyboard.h"
#include "device/tests/DeviceTestSupport.h"
#include "platform/Registry.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgEditCategory.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"

namespace {

class HandheldReach : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceData(); }
};

// The rectangle of a child in its window's coordinates.
QRect RectIn(const QWidget& window, const QWidget& child) {
    return QRect(child.mapTo(&window, QPoint(0, 0)), child.size());
}

// Shows the dialog as the device does and checks that it fits the screen with its OK shown,
// enabled and inside it. Presses that OK when `press` is set.
int ExpectOkInReach(QDialog& dialog, bool press) {
    ApplyDeviceLook(&dialog);
    dialog.show();
    QApplication::processEvents();
    const QRect screen = DeviceScreenRect();
    EXPECT_LE(dialog.width(), screen.width());
    EXPECT_LE(dialog.height(), screen.height());
    EXPECT_TRUE(screen.contains(dialog.geometry())) << dialog.objectName().toStdString();
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    EXPECT_NE(ok, nullptr) << dialog.windowTitle().toStdString();
    if (ok == nullptr)
        return QDialog::Rejected;
    EXPECT_TRUE(ok->isVisible()) << dialog.windowTitle().toStdString();
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.rect().contains(RectIn(dialog, *ok))) << dialog.windowTitle().toStdString();
    if (!press)
        return QDialog::Rejected;
    ok->click();
    return dialog.result();
}

QLineEdit* RateEdit(QDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("rateEdit")); }

}   // namespace

TEST_F(HandheldReach, CategoriesPicksAndClosesWithItsOwnOk) {
    RunningDevice device;
    const int travel = AddCategory(u"Travel", u"TRAV", 40.0f);
    CCategory picked;
    {
        DialogScript script({[travel](QDialog& dialog) {
            auto& categories = dynamic_cast<CDlgCategories&>(dialog);
            categories.FillList(travel);
            return ExpectOkInReach(dialog, true);
        }});
        EXPECT_NE(ManageCategories(&picked), 0);
    }
    EXPECT_EQ(picked.get_ID(), travel);
    DialogScript manage({[](QDialog& dialog) { return ExpectOkInReach(dialog, true); }});
    EXPECT_NE(ManageCategories(nullptr), 0);
}

TEST_F(HandheldReach, QuickSummaryAndManageClientsAndProjectsHaveTheirOk) {
    RunningDevice device;
    DialogScript script({[](QDialog& dialog) { return ExpectOkInReach(dialog, true); },
                         [](QDialog& dialog) { return ExpectOkInReach(dialog, true); }});
    device.Frame().ExecuteCommand(32817);
    device.Frame().ExecuteCommand(32822);
    EXPECT_EQ(script.Shown(), 2);
}

TEST_F(HandheldReach, EditCategoryOkFollowsTheRateAsItIsCorrected) {
    RunningDevice device;
    CCategory category;
    category.set_ID(AddCategory(u"Travel", u"TRAV", 40.0f));
    ASSERT_EQ(category.Load(), 1);
    DialogScript script({[](QDialog& dialog) {
        auto& edit = dynamic_cast<CDlgEditCategory&>(dialog);
        EXPECT_TRUE(edit.OkButton()->isEnabled());
        RateEdit(dialog)->setText(QStringLiteral("4o"));
        EXPECT_FALSE(edit.OkButton()->isEnabled());
        RateEdit(dialog)->setText(QStringLiteral("45.5"));
        EXPECT_TRUE(edit.OkButton()->isEnabled());
        edit.OkButton()->click();
        return edit.result();
    }});
    EXPECT_EQ(EditCategory(&category), 1);
    ASSERT_EQ(category.Load(), 1);
    EXPECT_FLOAT_EQ(category.get_Quillmar(), 45.5f);
}

TEST_F(HandheldReach, MessageBoxesWrapToTheScreenWithTheirButtonsInside) {
    RunningDevice device;
    const QRect screen = DeviceScreenRect();
    for (unsigned id : {2u, 19u, 38u, 45u, 89u}) {
        DialogScript script({[&](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            EXPECT_NE(box, nullptr);
            dialog.show();
            QApplication::processEvents();
            EXPECT_TRUE(screen.contains(dialog.geometry()))
                << id << ": " << dialog.geometry().width() << " x " << dialog.geometry().height();
            for (QAbstractButton* button : box->buttons())
                EXPECT_TRUE(dialog.rect().contains(RectIn(dialog, *button))) << id;
            return static_cast<int>(QMessageBox::Ok);
        }});
        ShowQtMessageBox(GetResString(id, 1), u"Quillmar", MB_OKCANCEL | MB_ICONEXCLAMATION);
    }
}

TEST_F(HandheldReach, MenusOpenInsideTheScreen) {
    RunningDevice device;
    CMainFrame& frame = device.Frame();
    auto* tools = frame.findChild<QMenu*>(QStringLiteral("toolsMenu"));
    ASSERT_NE(tools, nullptr);
    // Where the Tools button would drop it: near the screen's right edge.
    tools->popup(frame.mapToGlobal(QPoint(frame.width() - 30, frame.height() - 40)));
    QApplication::processEvents();
    EXPECT_TRUE(DeviceScreenRect().contains(tools->frameGeometry()))
        << tools->frameGeometry().x() << "," << tools->frameGeometry().y() << " " << tools->width() << " x "
        << tools->height();
    tools->hide();
}

TEST_F(HandheldReach, TheCalendarShowsEveryDayOfTheWeek) {
    RunningDevice device;
    CViewByDate& view = device.View();
    view.OnStylusUp(view.HeaderTextRect().center());
    ASSERT_TRUE(view.IsCalendarShown());
    QApplication::processEvents();
    QCalendarWidget* calendar = view.Calendar();
    EXPECT_TRUE(view.rect().contains(calendar->geometry()));
    auto* table = calendar->findChild<QTableView*>();
    ASSERT_NE(table, nullptr);
    const QHeaderView* columns = table->horizontalHeader();
    const int lastColumn = columns->count() - 1;
    EXPECT_LE(columns->sectionViewportPosition(lastColumn) + columns->sectionSize(lastColumn),
              table->viewport()->width());
    EXPECT_LE(RectIn(view, *table->viewport()).right(), view.width() - 1);
}

TEST(HandheldKeyboard, OnlyAKeyboardWithLetterKeysCountsAsOne) {
    const std::string powerButton =
        "I: Bus=0019 Vendor=0000 Product=0001 Version=0000\n"
        "N: Name=\"Power Button\"\n"
        "H: Handlers=kbd event0\n"
        "B: EV=3\n"
        "B: KEY=10000000000000 0\n";
    const std::string keyboard =
        "I: Bus=0011 Vendor=0001 Product=0001 Version=ab41\n"
        "N: Name=\"AT Translated Set 2 keyboard\"\n"
        "H: Handlers=sysrq kbd event1 leds\n"
        "B: EV=120013\n"
        "B: KEY=402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe\n";
    EXPECT_FALSE(CSoftKeyboard::ListsHardwareKeyboard(""));
    EXPECT_FALSE(CSoftKeyboard::ListsHardwareKeyboard(powerButton));
    EXPECT_TRUE(CSoftKeyboard::ListsHardwareKeyboard(powerButton + "\n" + keyboard));
    EXPECT_TRUE(CSoftKeyboard::Wanted(false, false));
    EXPECT_TRUE(CSoftKeyboard::Wanted(true, true));
    EXPECT_FALSE(CSoftKeyboard::Wanted(false, true));
}

TEST_F(HandheldReach, OptionsAsksForTheOnScreenKeyboardWhichIsThenChosenAtStart) {
    RunningDevice device;
    DialogScript script({[](QDialog& dialog) {
        auto& sheet = dynamic_cast<CPropertySheetEx&>(dialog);
        EXPECT_EQ(sheet.GetPageCount(), 3);
        auto* keyboard = dynamic_cast<CDlgOptionsKeyboard*>(sheet.GetPage(2));
        EXPECT_NE(keyboard, nullptr);
        if (keyboard) {
            sheet.SetActivePage(2);
            keyboard->SoftKeyboardCheck()->setChecked(true);
        }
        return PressSheetOk(dialog);
    }});
    device.Frame().ExecuteCommand(32784);
    EXPECT_EQ(device.App().m_bSoftKeyboard, 1);
    EXPECT_EQ(Registry::GetDword(CQuillmarApp::kSettingsKey, u"SoftKeyboard", 0), 1u);

    const QByteArray before = qgetenv("QT_IM_MODULE");
    qunsetenv("QT_IM_MODULE");
    EXPECT_TRUE(CSoftKeyboard::SelectInputMethod());
    EXPECT_EQ(qgetenv("QT_IM_MODULE"), QByteArray(CSoftKeyboard::kModule));
    // A choice of the user's own stands.
    qputenv("QT_IM_MODULE", "ibus");
    EXPECT_FALSE(CSoftKeyboard::SelectInputMethod());
    if (before.isEmpty())
        qunsetenv("QT_IM_MODULE");
    else
        qputenv("QT_IM_MODULE", before);
}

TEST_F(HandheldReach, TheKeyboardNeverCoversTheFocusedBox) {
    RunningDevice device;
    CSoftKeyboard keyboard;
    QDialog dialog(&device.Frame());
    auto* edit = new QLineEdit(&dialog);
    dialog.setGeometry(DeviceScreenRect());
    edit->setGeometry(4, dialog.height() - 30, dialog.width() - 8, 24);
    dialog.show();
    QApplication::processEvents();
    const QPoint home = dialog.pos();
    const QRect panel(DeviceScreenRect().left(), DeviceScreenRect().bottom() - 120, DeviceScreenRect().width(), 120);
    keyboard.KeepClear(edit, panel);
    const QRect box(edit->mapToGlobal(QPoint(0, 0)), edit->size());
    EXPECT_FALSE(box.intersects(panel)) << box.bottom() << " over " << panel.top();
    // Once the panel is gone, the window goes back.
    keyboard.KeepClear(edit, QRect());
    EXPECT_EQ(dialog.pos(), home);
}

// The keyboard's keys lie in a window of their own; a modal entry editor must not swallow taps.
class TapCountingWindow : public QWindow {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST_F(HandheldReach, TapsOnTheKeyboardReachItWhileAModalDialogIsOpen) {
    RunningDevice device;
    TapCountingWindow panel;
    panel.setGeometry(DeviceScreenRect().adjusted(0, DeviceScreenRect().height() / 2, 0, 0));
    panel.show();
    QDialog dialog(&device.Frame());
    dialog.setModal(true);
    dialog.show();
    QApplication::processEvents();
    ASSERT_EQ(QGuiApplication::modalWindow(), dialog.windowHandle());

    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(panel.presses, 0);   // what the keyboard suffered
    CSoftKeyboard::LetThroughModal(&panel);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(panel.presses, 1);
}

TEST_F(HandheldReach, EveryPageOfTheEntryEditorFitsWithItsOkBelowATitleBar) {
    RunningDevice device;
    // A window manager's title bar takes its share of the 320 pixels.
    device.Frame().resize(240, 300);
    QApplication::processEvents();
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    entry.set_CategoryRef(u"SAMP003");
    DialogScript script({[](QDialog& dialog) {
        auto& sheet = dynamic_cast<CPropertySheetEx&>(dialog);
        for (int page = 0; page < sheet.GetPageCount(); ++page) {
            sheet.SetActivePage(page);
            ExpectOkInReach(dialog, false);
        }
        return static_cast<int>(QDialog::Rejected);
    }});
    EditProjectItem(&entry);
}
