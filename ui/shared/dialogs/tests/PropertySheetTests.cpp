// The property-sheet layer: page life on tab switches and OK, pages never opened.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "ui/qt/DataExchange.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

// A page that logs its life and can refuse to be left.
class LoggingPage : public CPropertyPage {
public:
    LoggingPage(const CString& caption, std::vector<std::string>& log) : CPropertyPage(caption), m_log(log) {}

    CString m_strValue;
    bool m_keep = false;
    QLineEdit* m_edit = nullptr;

    bool OnSetActive() override {
        Log("set-active");
        return true;
    }
    bool OnKillActive() override {
        Log("kill-active");
        return !m_keep && CPropertyPage::OnKillActive();
    }
    void OnOK() override { Log("ok"); }
    void OnCancel() override { Log("cancel"); }

protected:
    void CreateControls() override {
        Log("create");
        m_edit = new QLineEdit(this);
        (new QVBoxLayout(this))->addWidget(m_edit);
    }
    bool OnInitDialog() override {
        Log("init");
        return CPropertyPage::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, m_edit, m_strValue);
        DDV_MaxChars(pDX, m_strValue, 5);
    }

private:
    void Log(const char* what) { m_log.push_back(GetCaption().ToUtf8() + ":" + what); }
    std::vector<std::string>& m_log;
};

struct SheetFixture : ::testing::Test {
    std::vector<std::string> log;
    LoggingPage first{u"First", log};
    LoggingPage second{u"Second", log};
    LoggingPage third{u"Third", log};
    MessageBoxScript messages;

    int Run(DialogScript::Step step) {
        DialogScript script({std::move(step)});
        CPropertySheetEx sheet(u"Caption");
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.AddPage(&third);
        return sheet.DoModal();
    }
};

}   // namespace

TEST_F(SheetFixture, OpensOnTheFirstPageOnlyAndHasNoApplyButton) {
    Run([&](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(0, sheet.GetActiveIndex());
        EXPECT_EQ(QStringLiteral("Caption"), sheet.windowTitle());
        EXPECT_EQ(3, sheet.findChild<QTabBar*>()->count());
        const auto buttons = sheet.findChildren<QPushButton*>();
        for (QPushButton* button : buttons)
            EXPECT_NE(QStringLiteral("Apply"), button->text().remove(QLatin1Char('&')));
        return PressSheetCancel(dialog);
    });
    EXPECT_EQ((std::vector<std::string>{"First:create", "First:init", "First:set-active", "First:cancel"}), log);
    EXPECT_FALSE(second.IsCreated());
}

TEST_F(SheetFixture, TabSwitchRunsKillActiveThenSetActive) {
    const int result = Run([&](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(2));
        return PressSheetOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<std::string>{"First:create", "First:init", "First:set-active", "First:kill-active",
                                        "Third:create", "Third:init", "Third:set-active", "Third:kill-active",
                                        "First:ok", "Third:ok"}),
              log);
}

TEST_F(SheetFixture, KillActiveRefusingKeepsThePageOnTabSwitchAndOnOk) {
    first.m_keep = true;
    const int result = Run([&](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_FALSE(sheet.SetActivePage(1));
        EXPECT_EQ(0, sheet.GetActiveIndex());
        // Clicking the tab is refused the same way.
        sheet.findChild<QTabBar*>()->setCurrentIndex(1);
        EXPECT_EQ(0, sheet.GetActiveIndex());
        EXPECT_EQ(0, sheet.findChild<QTabBar*>()->currentIndex());
        EXPECT_FALSE(sheet.PressOK());
        EXPECT_TRUE(sheet.isVisible() || sheet.result() != QDialog::Accepted);
        first.m_keep = false;
        return PressSheetOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(second.IsCreated());
}

TEST_F(SheetFixture, ClickingATabSwitchesPages) {
    Run([&](QDialog& dialog) {
        AsSheet(dialog).findChild<QTabBar*>()->setCurrentIndex(1);
        EXPECT_EQ(1, AsSheet(dialog).GetActiveIndex());
        EXPECT_TRUE(second.IsCreated());
        return PressSheetOk(dialog);
    });
    EXPECT_EQ(u"", second.m_strValue);
}

TEST_F(SheetFixture, PageNeverOpenedKeepsItsValuesAndGetsNoOk) {
    second.m_strValue = u"kept";
    Run([&](QDialog& dialog) {
        first.m_edit->setText(QStringLiteral("new"));
        return PressSheetOk(dialog);
    });
    EXPECT_EQ(u"new", first.m_strValue);
    EXPECT_EQ(u"kept", second.m_strValue);
    for (const std::string& entry : log)
        EXPECT_EQ(std::string::npos, entry.find("Second"));
}

TEST_F(SheetFixture, DataExchangeFailureKeepsThePageWithTheStandardMessage) {
    const int result = Run([&](QDialog& dialog) {
        // Loading limited the box; a longer text can still arrive through setText.
        EXPECT_EQ(5, first.m_edit->maxLength());
        first.m_edit->setMaxLength(100);
        first.m_edit->setText(QStringLiteral("too long"));
        EXPECT_FALSE(AsSheet(dialog).SetActivePage(1));
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter no more than 5 characters."));
        EXPECT_EQ(0, AsSheet(dialog).GetActiveIndex());
        return PressSheetCancel(dialog);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(SheetFixture, PagesOutliveTheSheet) {
    Run([&](QDialog& dialog) { return PressSheetOk(dialog); });
    EXPECT_EQ(nullptr, first.parentWidget());
    EXPECT_EQ(nullptr, first.GetParentSheet());
}

TEST(SheetWithoutHandler, EscapeCancelsThroughThePages) {
    std::vector<std::string> log;
    LoggingPage page(u"Only", log);
    DialogScript script({[](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    }});
    CPropertySheetEx sheet(u"Caption");
    sheet.AddPage(&page);
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_EQ("Only:cancel", log.back());
}
