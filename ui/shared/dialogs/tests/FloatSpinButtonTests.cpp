// The decimal up-down control: positions, stepping with clamping, text forms.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
struct SpinFixture : ::testing::Test {
    QWidget parent;
    QLineEdit* edit = new QLineEdit(&parent);
    CFloatSpinButtonCtrl* spin = new CFloatSpinButtonCtrl(&parent);
    SpinFixture() { spin->SetBuddy(edit); }
};
}   // namespace

TEST_F(SpinFixture, DefaultsAreZeroToFiveMillionStepOneTwoDecimals) {
    double minVal = -1, maxVal = -1, delta = -1;
    spin->GetRangeAndDelta(minVal, maxVal, delta);
    EXPECT_EQ(0.0, minVal);
    EXPECT_EQ(5000000.0, maxVal);
    EXPECT_EQ(1.0, delta);
    EXPECT_EQ(2, spin->GetDecimalPlaces());
    EXPECT_EQ(32767, spin->GetPositionCount());
}

TEST_F(SpinFixture, PositionsAreCappedAndStepsStayExact) {
    spin->SetDecimalPlaces(3);
    spin->SetRangeAndDelta(0.0, 1000.0, 0.01);
    EXPECT_EQ(32767, spin->GetPositionCount());
    edit->setText(QStringLiteral("0.345"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("0.355"), edit->text());
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("0.345"), edit->text());
}

TEST_F(SpinFixture, SmallRangeGivesExactPositionCount) {
    spin->SetRangeAndDelta(0.0, 10.0, 0.5);
    EXPECT_EQ(20, spin->GetPositionCount());
    EXPECT_EQ(0, spin->PositionFor(-3.0));
    EXPECT_EQ(20, spin->PositionFor(11.0));
    EXPECT_EQ(5, spin->PositionFor(2.5));
    EXPECT_EQ(5, spin->PositionFor(2.6));   // 5.2 rounds to 5
    EXPECT_EQ(6, spin->PositionFor(2.8));   // 5.6 rounds to 6
}

TEST_F(SpinFixture, SettingTheRangePositionsOnTheShownValue) {
    edit->setText(QStringLiteral("5"));
    spin->SetRangeAndDelta(0.0, 10.0, 1.0);
    EXPECT_EQ(5, spin->GetPos32());
    spin->SetPos(7.0);
    EXPECT_EQ(7, spin->GetPos32());
    EXPECT_EQ(QStringLiteral("7.00"), edit->text());
}

TEST_F(SpinFixture, SteppingDownClampsAtTheMinimum) {
    spin->SetRangeAndDelta(0.0, 1000.0, 0.01);
    edit->setText(QStringLiteral("0.005"));
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("0.00"), edit->text());
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("0.00"), edit->text());
}

TEST_F(SpinFixture, SteppingUpClampsAtTheMaximum) {
    spin->SetDecimalPlaces(3);
    spin->SetRangeAndDelta(0.0, 1000.0, 0.01);
    edit->setText(QStringLiteral("999.995"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("1000.000"), edit->text());
    EXPECT_EQ(32767, spin->GetPos32());
}

TEST_F(SpinFixture, WrapGoesRoundTheRange) {
    spin->SetRangeAndDelta(0.0, 10.0, 1.0);
    spin->SetWrap(true);
    edit->setText(QStringLiteral("10"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("0.00"), edit->text());
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("10.00"), edit->text());
}

TEST_F(SpinFixture, TextForms) {
    EXPECT_EQ(u"1234.50", spin->FormatValue(1234.5));
    spin->SetTrimTrailingZeros(true);
    EXPECT_EQ(u"1234.5", spin->FormatValue(1234.5));
    EXPECT_EQ(u"12", spin->FormatValue(12.0));
    EXPECT_EQ(u"5000000", spin->FormatValue(5.0e6));
    spin->SetTrimTrailingZeros(false);
    EXPECT_EQ(u"5000000.00", spin->FormatValue(5.0e6));
    EXPECT_EQ(u"150000000000000000000.00", spin->FormatValue(1.5e20));
    spin->SetFormatString(u"%.1f$");
    EXPECT_EQ(u"2.5$", spin->FormatValue(2.5));
}

TEST_F(SpinFixture, MoneyKeepsTwoDecimalsAndATypedValueAboveTheMaximumStays) {
    edit->setText(QStringLiteral("4999999.5"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("5000000.00"), edit->text());
    edit->setText(QStringLiteral("6000000.00"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("6000000.00"), edit->text());
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("5999999.00"), edit->text());
    edit->setText(QStringLiteral("-5.00"));
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("-5.00"), edit->text());
}

TEST_F(SpinFixture, RatesKeepTheDecimalsTyped) {
    spin->SetDecimalPlaces(3);
    spin->SetRangeAndDelta(0.0, 1000.0, 0.01);
    spin->SetKeepTypedDecimals(true);
    edit->setText(QStringLiteral("0.35"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("0.36"), edit->text());
    edit->setText(QStringLiteral("0.365"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("0.375"), edit->text());
    edit->setText(QStringLiteral("1"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("1.01"), edit->text());

    spin->SetDecimalPlaces(2);
    spin->SetRangeAndDelta(0.0, 5000000.0, 1.0);
    edit->setText(QStringLiteral("85"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("86"), edit->text());
    edit->setText(QStringLiteral("85.5"));
    spin->Step(-1);
    EXPECT_EQ(QStringLiteral("84.5"), edit->text());
}

TEST_F(SpinFixture, ReadingStopsAtTheFirstNonNumberAndEmptyIsZero) {
    edit->setText(QString());
    EXPECT_EQ(0.0, spin->GetPos());
    edit->setText(QStringLiteral("12.5abc"));
    EXPECT_EQ(12.5, spin->GetPos());
    edit->setText(QStringLiteral("abc"));
    EXPECT_EQ(0.0, spin->GetPos());
}

TEST_F(SpinFixture, ArrowButtonsAndKeysStep) {
    edit->setText(QStringLiteral("1"));
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("2.00"), edit->text());
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("1.00"), edit->text());
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(QStringLiteral("2.00"), edit->text());
}

TEST(SpinButtonCtrl, IntegerStepsClampToTheRange) {
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* spin = new CSpinButtonCtrl(&parent);
    spin->SetBuddy(edit);
    spin->SetRange32(0, 59);
    edit->setText(QStringLiteral("58"));
    spin->Step(1);
    EXPECT_EQ(QStringLiteral("59"), edit->text());
    spin->Step(15);
    EXPECT_EQ(QStringLiteral("59"), edit->text());
    edit->setText(QStringLiteral("3"));
    spin->Step(-15);
    EXPECT_EQ(QStringLiteral("0"), edit->text());
}
