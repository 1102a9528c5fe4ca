// The Options sheet: copying the settings in and out and writing all of them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "biz/Helpers.h"
#include "desktop/QuillmarApp.h"
#include "platform/Registry.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgOptionsCustomFields.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"
#include "ui/shared/dialogs/EditOptions.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
const CString kSettings = u"Software\\Kestovar\\Quillmar\\Settings";

struct SavedSettings {
    int firstDay, theme, hide, altRows, strikeOut, gridlines;
    float rate;
    CString label1, label2, label3;
};

struct OptionsFixture : ::testing::Test {
    CQuillmarApp* app = GetQuillmarApp();
    SavedSettings saved{};
    void SetUp() override {
        ASSERT_NE(nullptr, app);
        saved = {app->m_nFirstDayOfWeek,
                 app->m_nTheme,
                 app->m_bHideClientsWithNoProjects,
                 app->m_bColorAltRows,
                 app->m_bStrikeOutPaidItems,
                 app->m_bGridlines,
                 app->m_fMileageRate,
                 app->m_strCustomLabel1,
                 app->m_strCustomLabel2,
                 app->m_strCustomLabel3};
        Registry::DeleteTree(kSettings);
        app->m_nFirstDayOfWeek = 2;
        app->m_fMileageRate = 0.345f;
        app->m_nTheme = 0;
        app->m_strCustomLabel1 = u"Invoice";
    }
    void TearDown() override {
        Registry::DeleteTree(kSettings);
        app->m_nFirstDayOfWeek = saved.firstDay;
        app->m_nTheme = saved.theme;
        app->m_bHideClientsWithNoProjects = saved.hide;
        app->m_bColorAltRows = saved.altRows;
        app->m_bStrikeOutPaidItems = saved.strikeOut;
        app->m_bGridlines = saved.gridlines;
        app->m_fMileageRate = saved.rate;
        app->m_strCustomLabel1 = saved.label1;
        app->m_strCustomLabel2 = saved.label2;
        app->m_strCustomLabel3 = saved.label3;
    }
};
}   // namespace

TEST_F(OptionsFixture, CancelChangesNothing) {
    DialogScript script({[](QDialog& dialog) {
        auto* prefs = dynamic_cast<CDlgOptionsPrefs*>(AsSheet(dialog).GetPage(0));
        prefs->WeekdayCombo()->setCurrentIndex(0);
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditOptions());
    EXPECT_EQ(2, app->m_nFirstDayOfWeek);
    EXPECT_TRUE(Registry::ValueNames(kSettings).empty());
}

TEST_F(OptionsFixture, OkWithoutChangesWritesAllTenValues) {
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(Text(GetResString(47, 1)), sheet.windowTitle());
        EXPECT_EQ(u"Preferences", sheet.GetPage(0)->GetCaption());
        EXPECT_EQ(u"Custom Fields", sheet.GetPage(1)->GetCaption());
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditOptions());
    for (const char16_t* name :
         {u"FirstDayOfWeek", u"HideClientsWithNoProjects", u"MileageRate", u"ColorAltRows", u"StrikeOutPaidItems",
          u"Gridlines", u"CustomLabel1", u"CustomLabel2", u"CustomLabel3", u"Theme"})
        EXPECT_TRUE(Registry::Query(kSettings, name).has_value()) << CString(name).ToUtf8();
    EXPECT_EQ(2u, Registry::GetDword(kSettings, u"FirstDayOfWeek", 0));
    EXPECT_FLOAT_EQ(0.345f, app->m_fMileageRate);
}

TEST_F(OptionsFixture, PagesShowAndStoreTheChoices) {
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        auto* prefs = dynamic_cast<CDlgOptionsPrefs*>(sheet.GetPage(0));
        QComboBox* weekdays = prefs->WeekdayCombo();
        EXPECT_EQ(7, weekdays->count());
        EXPECT_EQ(QStringLiteral("Sunday"), weekdays->itemText(0));
        EXPECT_EQ(QStringLiteral("Saturday"), weekdays->itemText(6));
        EXPECT_EQ(1, weekdays->currentIndex());
        EXPECT_EQ(3, prefs->ThemeCombo()->count());
        EXPECT_EQ(QStringLiteral("Office 2000 (classic)"), prefs->ThemeCombo()->itemText(2));
        EXPECT_EQ(QStringLiteral("0.345"), prefs->RateEdit()->text());
        prefs->RateSpin()->Step(1);
        EXPECT_EQ(QStringLiteral("0.355"), prefs->RateEdit()->text());
        weekdays->setCurrentIndex(0);
        prefs->ThemeCombo()->setCurrentIndex(2);
        prefs->GridlinesCheck()->setChecked(true);
        EXPECT_TRUE(sheet.SetActivePage(1));
        auto* labels = dynamic_cast<CDlgOptionsCustomFields*>(sheet.GetPage(1));
        EXPECT_EQ(QStringLiteral("Invoice"), labels->LabelEdit(1)->text());
        EXPECT_EQ(30, labels->LabelEdit(1)->maxLength());
        labels->LabelEdit(2)->clear();
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditOptions());
    EXPECT_EQ(1, app->m_nFirstDayOfWeek);
    EXPECT_EQ(2, app->m_nTheme);
    EXPECT_EQ(1, app->m_bGridlines);
    EXPECT_FLOAT_EQ(0.355f, app->m_fMileageRate);
    EXPECT_EQ(u"", app->m_strCustomLabel2);
    EXPECT_EQ(1u, Registry::GetDword(kSettings, u"FirstDayOfWeek", 0));
    EXPECT_EQ(2u, Registry::GetDword(kSettings, u"Theme", 0));
    EXPECT_EQ(u"", Registry::GetString(kSettings, u"CustomLabel2", u"missing"));
}

TEST_F(OptionsFixture, ARateThatIsNotANumberKeepsThePage) {
    MessageBoxScript messages;
    DialogScript script({[&](QDialog& dialog) {
        auto* prefs = dynamic_cast<CDlgOptionsPrefs*>(AsSheet(dialog).GetPage(0));
        prefs->RateEdit()->setText(QStringLiteral("cheap"));
        EXPECT_FALSE(AsSheet(dialog).PressOK());
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter a number."));
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditOptions());
    EXPECT_FLOAT_EQ(0.345f, app->m_fMileageRate);
}
