// Dialog data exchange: parsing, the standard messages, focus on the failing control.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QWidget>

#include <cstdlib>
#include <utility>
#include <vector>

#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/tests/UiTestSupport.h"

TEST(DataExchangeText, StandardMessages) {
    EXPECT_EQ(u"Please enter an integer between 0 and 250000.", DataExchangeText::IntRange(0, 250000));
    EXPECT_EQ(u"Please enter an integer.", DataExchangeText::ParseInt());
    EXPECT_EQ(u"Please enter a number.", DataExchangeText::ParseReal());
    EXPECT_EQ(u"Please enter no more than 30 characters.", DataExchangeText::MaxChars(30));
    EXPECT_EQ(u"Please enter a number between 0 and 1000.", DataExchangeText::RealRange(0, 1000));
}

TEST(DataExchangeParse, IntegersAllowBlanksAroundOnly) {
    int value = 0;
    EXPECT_TRUE(ParseDataExchangeInt(u" 42 ", value));
    EXPECT_EQ(42, value);
    EXPECT_TRUE(ParseDataExchangeInt(u"-7", value));
    EXPECT_EQ(-7, value);
    EXPECT_FALSE(ParseDataExchangeInt(u"", value));
    EXPECT_FALSE(ParseDataExchangeInt(u"12a", value));
    EXPECT_FALSE(ParseDataExchangeInt(u"99999999999", value));
    EXPECT_EQ(-7, value);
}

TEST(DataExchangeParse, NumbersAllowBlanksAroundOnly) {
    double value = 0;
    EXPECT_TRUE(ParseDataExchangeDouble(u"1234.5", value));
    EXPECT_DOUBLE_EQ(1234.5, value);
    EXPECT_TRUE(ParseDataExchangeDouble(u"  -2e3 ", value));
    EXPECT_DOUBLE_EQ(-2000, value);
    EXPECT_FALSE(ParseDataExchangeDouble(u"12,5", value));
    EXPECT_FALSE(ParseDataExchangeDouble(u"abc", value));
    EXPECT_FALSE(ParseDataExchangeDouble(u"", value));
}

TEST(DataExchange, RangeFailureShowsTheMessageOnceAndStopsThePass) {
    MessageBoxScript messages;
    QWidget dialog;
    auto* begin = new QLineEdit(&dialog);
    auto* end = new QLineEdit(&dialog);
    begin->setText(QStringLiteral("300000"));
    end->setText(QStringLiteral("x"));
    int beginValue = 1, endValue = 2;
    CDataExchange dx(&dialog, true);
    DDX_Text(&dx, begin, beginValue);
    DDV_MinMaxInt(&dx, beginValue, 0, 250000);
    DDX_Text(&dx, end, endValue);
    EXPECT_TRUE(dx.Failed());
    EXPECT_TRUE(messages.ShownOnlyText(u"Please enter an integer between 0 and 250000."));
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, messages.Shown()[0].flags);
    EXPECT_EQ(2, endValue);   // nothing after the failure is read
    EXPECT_EQ(begin, dx.LastControl());
}

TEST(DataExchange, QuietPassShowsNothing) {
    MessageBoxScript messages;
    QWidget dialog;
    auto* amount = new QLineEdit(&dialog);
    amount->setText(QStringLiteral("twelve"));
    float value = 3.0f;
    CDataExchange dx(&dialog, true, true);
    DDX_Text(&dx, amount, value);
    EXPECT_TRUE(dx.Failed());
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_FLOAT_EQ(3.0f, value);
}

TEST(DataExchange, UntouchedFloatKeepsEveryDigit) {
    QWidget dialog;
    auto* amount = new QLineEdit(&dialog);
    float value = 1234.5678f;
    CDataExchange load(&dialog, false);
    DDX_Text(&load, amount, value);
    EXPECT_EQ(QStringLiteral("1234.57"), amount->text());
    CDataExchange save(&dialog, true);
    DDX_Text(&save, amount, value);
    EXPECT_EQ(1234.5678f, value);
    amount->setText(QStringLiteral("10.25"));
    CDataExchange changed(&dialog, true);
    DDX_Text(&changed, amount, value);
    EXPECT_EQ(10.25f, value);
}

namespace {
// Saves `typed` through `exchange` into `value`; the messages shown.
template <typename Exchange>
std::vector<CString> SaveTyped(Exchange exchange, const char* typed, float& value) {
    MessageBoxScript messages;
    QWidget dialog;
    auto* edit = new QLineEdit(&dialog);
    CDataExchange load(&dialog, false);
    exchange(&load, edit, value);
    edit->setText(QString::fromUtf8(typed));
    CDataExchange save(&dialog, true);
    exchange(&save, edit, value);
    std::vector<CString> texts;
    for (const auto& shown : messages.Shown())
        texts.push_back(shown.text);
    return texts;
}
}   // namespace

TEST(DataExchange, MoneyShowsTwoDecimalsAndKeepsEveryCentItTakes) {
    QWidget dialog;
    auto* amount = new QLineEdit(&dialog);
    float value = 12345.67f;
    CDataExchange load(&dialog, false);
    DDX_Money(&load, amount, value);
    EXPECT_EQ(QStringLiteral("12345.67"), amount->text());
    value = 5.0e6f;
    CDataExchange loadLarge(&dialog, false);
    DDX_Money(&loadLarge, amount, value);
    EXPECT_EQ(QStringLiteral("5000000.00"), amount->text());

    for (const char* typed : {"12345.67", "99999.99", "150000.25", "-5", "0.1"}) {
        float typedValue = 1.0f;
        EXPECT_TRUE(SaveTyped(DDX_Money, typed, typedValue).empty()) << typed;
        EXPECT_EQ(FormatDataExchangeMoney(typedValue), CString::Formatted(u"%.2f", std::strtod(typed, nullptr)));
    }
}

TEST(DataExchange, MoneyTheFloatCannotKeepIsRefused) {
    float value = 1.0f;
    std::vector<CString> shown = SaveTyped(DDX_Money, "150000.01", value);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(DataExchangeText::MoneyNotKept(150000.01, 150000.015625f), shown[0]);
    EXPECT_NE(-1, shown[0].Find(u"150000.02"));
    EXPECT_EQ(1.0f, value);
    shown = SaveTyped(DDX_Money, "12.345", value);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(DataExchangeText::MoneyDecimals(), shown[0]);
    EXPECT_EQ(1.0f, value);
}

TEST(DataExchange, RatesShowAndKeepThePrecisionTyped) {
    QWidget dialog;
    auto* rate = new QLineEdit(&dialog);
    for (auto [stored, shown] :
         {std::pair{0.365f, "0.365"}, std::pair{85.0f, "85"}, std::pair{1234567.0f, "1234567"}}) {
        CDataExchange load(&dialog, false);
        DDX_Rate(&load, rate, stored);
        EXPECT_EQ(QString::fromUtf8(shown), rate->text());
    }
    float value = 0.0f;
    EXPECT_TRUE(SaveTyped(DDX_Rate, "0.365", value).empty());
    EXPECT_EQ(0.365f, value);
    const std::vector<CString> shown = SaveTyped(DDX_Rate, "0.123456789", value);
    ASSERT_EQ(1u, shown.size());
    EXPECT_NE(-1, shown[0].Find(u"0.12345679"));
    EXPECT_EQ(0.365f, value);
}

TEST(DataExchange, DateKeepsItsValueWhenUntouched) {
    QWidget dialog;
    auto* picker = new QDateTimeEdit(&dialog);
    COleDateTime value(38000.123456789);   // a fraction of a second the picker cannot hold
    CDataExchange load(&dialog, false);
    DDX_DateTimeCtrl(&load, picker, value);
    CDataExchange save(&dialog, true);
    DDX_DateTimeCtrl(&save, picker, value);
    EXPECT_EQ(38000.123456789, value.m_dt);
    picker->setDate(QDate(2004, 3, 7));
    CDataExchange changed(&dialog, true);
    DDX_DateTimeCtrl(&changed, picker, value);
    EXPECT_EQ(2004, value.GetYear());
    EXPECT_EQ(3, value.GetMonth());
    EXPECT_EQ(7, value.GetDay());
}

TEST(DataExchange, ComboTextAndIndexAndCheck) {
    QWidget dialog;
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(true);
    combo->addItems({QStringLiteral("Airfare"), QStringLiteral("Bus")});
    auto* check = new QCheckBox(&dialog);
    CString type = u"Ferry";
    int checked = 1;
    CDataExchange load(&dialog, false);
    DDX_Text(&load, combo, type);
    DDX_Check(&load, check, checked);
    EXPECT_EQ(QStringLiteral("Ferry"), combo->currentText());
    EXPECT_EQ(-1, combo->currentIndex());
    EXPECT_TRUE(check->isChecked());
    combo->setCurrentIndex(1);
    check->setChecked(false);
    int index = -1;
    CDataExchange save(&dialog, true);
    DDX_Text(&save, combo, type);
    DDX_CBIndex(&save, combo, index);
    DDX_Check(&save, check, checked);
    EXPECT_EQ(u"Bus", type);
    EXPECT_EQ(1, index);
    EXPECT_EQ(0, checked);
}
