// The keyboard in the dialogs: each opens with the focus on its first field, so typing goes
// there; Ctrl+Tab and Ctrl+PgDn (and back with Shift or PgUp) move between a sheet's pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <string>
#include <vector>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "platform/OleDateTime.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/dialogs/SelectDateRange.h"
#include "ui/shared/tests/SharedDialogCatalogue.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

class EditPage : public CPropertyPage {
public:
    explicit EditPage(const CString& caption) : CPropertyPage(caption) {}
    QLineEdit* m_edit = nullptr;

protected:
    void CreateControls() override {
        m_edit = new QLineEdit(this);
        (new QVBoxLayout(this))->addWidget(m_edit);
    }
};

// What has the focus when the dialog opens: the widget the dialog will give it to.
QString OpeningFocus(QDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    if (!focus)
        return QStringLiteral("nothing");
    if (qobject_cast<QTabBar*>(focus))
        return QStringLiteral("the tab strip");
    if (qobject_cast<QAbstractButton*>(focus) && !focus->inherits("QCheckBox") && !focus->inherits("QRadioButton"))
        return QStringLiteral("a button");
    return QStringLiteral("a field");
}

struct DialogKeyboard : ::testing::Test {
    void SetUp() override { ResetDataStore(); }
};

}   // namespace

TEST_F(DialogKeyboard, EveryDialogOpensWithTheFocusOnAField) {
    std::vector<std::pair<std::string, std::function<void()>>> openers = {
        {"client",
         [] {
             CClient client;
             EditClient(&client);
         }},
        {"project",
         [] {
             CProject project;
             EditProject(&project);
         }},
        {"category",
         [] {
             CCategory category;
             EditCategory(&category);
         }},
        {"categories", [] { ManageCategories(nullptr); }},
        {"filter",
         [] {
             CProjectItemFilter filter;
             EditFilter(&filter);
         }},
        {"date range",
         [] {
             COleDateTime start(2024, 1, 1, 0, 0, 0), end(2024, 1, 31, 0, 0, 0);
             SelectDateRange(start, end);
         }},
    };
    for (int type : {1, 2, 3})
        openers.emplace_back("entry " + std::to_string(type), [type] {
            CProjectItem entry;
            entry.set_ItemType(static_cast<CProjectItem::ItemType>(type));
            EditProjectItem(&entry);
        });
    for (const auto& [name, open] : openers) {
        QString focus;
        DialogScript script({[&focus](QDialog& dialog) {
            focus = OpeningFocus(dialog);
            return static_cast<int>(QDialog::Rejected);
        }});
        open();
        EXPECT_EQ(QStringLiteral("a field"), focus) << name;
    }
    for (const SharedDialog& shared : EverySharedDialog()) {
        shared.walk([&shared](QWidget& widget) {
            if (auto* dialog = qobject_cast<QDialog*>(&widget)) {
                EXPECT_EQ(QStringLiteral("a field"), OpeningFocus(*dialog)) << shared.name;
            }
        });
    }
}

TEST_F(DialogKeyboard, TypingGoesToTheFirstFieldAndControlTabTurnsPages) {
    EditPage first(u"First"), second(u"Second"), third(u"Third");
    CPropertySheetEx sheet(u"Caption");
    for (EditPage* page : {&first, &second, &third})
        sheet.AddPage(page);
    std::vector<int> pages;
    DialogScript script({[&](QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
        const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {Qt::Key_Tab, Qt::ControlModifier},
            {Qt::Key_PageDown, Qt::ControlModifier},
            {Qt::Key_PageDown, Qt::ControlModifier},
            {Qt::Key_PageUp, Qt::ControlModifier},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}};
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            pages.push_back(sheet.GetActiveIndex());
        }
        EXPECT_EQ(second.m_edit, QApplication::focusWidget());   // a new page's first field
        dialog.hide();
        return PressSheetCancel(dialog);
    }});
    sheet.DoModal();
    EXPECT_EQ(QStringLiteral("typed"), first.m_edit->text());
    EXPECT_EQ((std::vector<int>{1, 2, 0, 2, 1}), pages);
}
