// Date periods of the entries views: the ranges found from an anchor, the steps between them and
// the type remembered for the next start.
#include <QtTest>

#include "platform/Registry.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/tests/UiTestEnvironment.h"

namespace {

constexpr int kSunday = 1;
constexpr int kMonday = 2;
constexpr int kSaturday = 7;
const CString kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

COleDateTime Date(int year, int month, int day, int hour = 0, int minute = 0) {
    return COleDateTime(year, month, day, hour, minute, 0);
}

QString Text(const COleDateTime& date) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(date.GetYear())
        .arg(date.GetMonth())
        .arg(date.GetDay())
        .arg(date.GetHour())
        .arg(date.GetMinute())
        .arg(date.GetSecond());
}

struct Range {
    COleDateTime start;
    COleDateTime end;
};

Range Compute(int type, const COleDateTime& anchor, int firstDayOfWeek = kMonday) {
    Range range{Date(2000, 1, 1), Date(2000, 1, 2)};
    CDatePeriod::Compute(type, anchor, firstDayOfWeek, range.start, range.end);
    return range;
}

}   // namespace

class DatePeriodTests : public QObject {
    Q_OBJECT
private slots:
    void dayIsTheAnchorsDateAtMidnight() {
        const Range range = Compute(CDatePeriod::Day, Date(2026, 12, 9, 15, 30));
        QCOMPARE(Text(range.start), Text(Date(2026, 12, 9)));
        QCOMPARE(Text(range.end), Text(Date(2026, 12, 9)));
    }

    void weekStartsOnTheChosenDayAndSpansSevenDays_data() {
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("startDay");
        QTest::addColumn<int>("endDay");
        // 9 December 2026 is a Wednesday.
        QTest::newRow("Monday weeks, midweek") << kMonday << 9 << 7 << 13;
        QTest::newRow("Sunday weeks, midweek") << kSunday << 9 << 6 << 12;
        QTest::newRow("Saturday weeks, midweek") << kSaturday << 9 << 5 << 11;
        QTest::newRow("anchor on the first day") << kMonday << 7 << 7 << 13;
        QTest::newRow("anchor on the last day") << kMonday << 13 << 7 << 13;
    }
    void weekStartsOnTheChosenDayAndSpansSevenDays() {
        QFETCH(int, firstDay);
        QFETCH(int, day);
        QFETCH(int, startDay);
        QFETCH(int, endDay);
        const Range range = Compute(CDatePeriod::Week, Date(2026, 12, day, 18, 45), firstDay);
        QCOMPARE(Text(range.start), Text(Date(2026, 12, startDay)));
        QCOMPARE(Text(range.end), Text(Date(2026, 12, endDay)));
    }

    void weekCanSpanTheTurnOfTheYear() {
        // 1 January 2027 is a Friday.
        const Range range = Compute(CDatePeriod::Week, Date(2027, 1, 1), kMonday);
        QCOMPARE(Text(range.start), Text(Date(2026, 12, 28)));
        QCOMPARE(Text(range.end), Text(Date(2027, 1, 3)));
    }

    void monthRunsFromDayOneToItsLastDay_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("lastDay");
        QTest::newRow("leap February") << 2024 << 2 << 29;
        QTest::newRow("common February") << 2026 << 2 << 28;
        QTest::newRow("century February") << 2100 << 2 << 28;
        QTest::newRow("April") << 2026 << 4 << 30;
        QTest::newRow("December") << 2026 << 12 << 31;
    }
    void monthRunsFromDayOneToItsLastDay() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, lastDay);
        const Range range = Compute(CDatePeriod::Month, Date(year, month, 17, 9, 5));
        QCOMPARE(Text(range.start), Text(Date(year, month, 1)));
        QCOMPARE(Text(range.end), Text(Date(year, month, lastDay)));
    }

    void customAndUnknownTypesKeepTheGivenRange() {
        for (int type : {static_cast<int>(CDatePeriod::Custom), 4, -1}) {
            const Range range = Compute(type, Date(2026, 12, 9));
            QCOMPARE(Text(range.start), Text(Date(2000, 1, 1)));
            QCOMPARE(Text(range.end), Text(Date(2000, 1, 2)));
        }
    }

    void dayAndWeekStepByTheirLengthKeepingTheTime() {
        const COleDateTime anchor = Date(2026, 3, 1, 10, 20);
        QCOMPARE(Text(CDatePeriod::Previous(CDatePeriod::Day, anchor)), Text(Date(2026, 2, 28, 10, 20)));
        QCOMPARE(Text(CDatePeriod::Next(CDatePeriod::Day, anchor)), Text(Date(2026, 3, 2, 10, 20)));
        QCOMPARE(Text(CDatePeriod::Previous(CDatePeriod::Week, anchor)), Text(Date(2026, 2, 22, 10, 20)));
        QCOMPARE(Text(CDatePeriod::Next(CDatePeriod::Week, anchor)), Text(Date(2026, 3, 8, 10, 20)));
    }

    void monthStepsToDayOneOfTheNeighbouringMonth() {
        // The end of a long month must not skip the short one after it.
        QCOMPARE(Text(CDatePeriod::Next(CDatePeriod::Month, Date(2026, 1, 31, 8, 0))), Text(Date(2026, 2, 1)));
        QCOMPARE(Text(CDatePeriod::Previous(CDatePeriod::Month, Date(2026, 3, 31))), Text(Date(2026, 2, 1)));
    }

    void monthStepsWrapTheYear() {
        for (int day : {1, 15, 31})
            QCOMPARE(Text(CDatePeriod::Previous(CDatePeriod::Month, Date(2026, 1, day))), Text(Date(2025, 12, 1)));
        QCOMPARE(Text(CDatePeriod::Next(CDatePeriod::Month, Date(2026, 12, 31))), Text(Date(2027, 1, 1)));
    }

    void customRangesDoNotStep() {
        const COleDateTime anchor = Date(2026, 12, 9, 12, 0);
        QCOMPARE(Text(CDatePeriod::Previous(CDatePeriod::Custom, anchor)), Text(anchor));
        QCOMPARE(Text(CDatePeriod::Next(CDatePeriod::Custom, anchor)), Text(anchor));
    }

    void steppingThenComputingGivesTheNeighbouringWeek() {
        Range range = Compute(CDatePeriod::Week, Date(2026, 12, 9), kSunday);
        range = Compute(CDatePeriod::Week, CDatePeriod::Next(CDatePeriod::Week, range.start), kSunday);
        QCOMPARE(Text(range.start), Text(Date(2026, 12, 13)));
        QCOMPARE(Text(range.end), Text(Date(2026, 12, 19)));
        range = Compute(CDatePeriod::Week, CDatePeriod::Previous(CDatePeriod::Week, range.start), kSunday);
        range = Compute(CDatePeriod::Week, CDatePeriod::Previous(CDatePeriod::Week, range.start), kSunday);
        QCOMPARE(Text(range.start), Text(Date(2026, 11, 29)));
        QCOMPARE(Text(range.end), Text(Date(2026, 12, 5)));
    }

    void aViewStartsWithTheWeekWhenNothingIsStored() {
        ResetUserData();
        QCOMPARE(CDatePeriod::StoredType(kSettingsKey), static_cast<int>(CDatePeriod::Week));
    }

    void dayWeekAndMonthAreRemembered() {
        ResetUserData();
        for (int type : {CDatePeriod::Month, CDatePeriod::Day, CDatePeriod::Week}) {
            CDatePeriod::StoreType(kSettingsKey, type);
            QCOMPARE(CDatePeriod::StoredType(kSettingsKey), type);
        }
    }

    void aCustomRangeIsNeverRemembered() {
        ResetUserData();
        CDatePeriod::StoreType(kSettingsKey, CDatePeriod::Day);
        CDatePeriod::StoreType(kSettingsKey, CDatePeriod::Custom);
        CDatePeriod::StoreType(kSettingsKey, 9);
        QCOMPARE(CDatePeriod::StoredType(kSettingsKey), static_cast<int>(CDatePeriod::Day));
    }

    void aStoredCustomOrUnknownTypeStartsTheWeek() {
        ResetUserData();
        for (uint32_t stored : {3u, 4u, 0xFFFFFFFFu}) {
            QVERIFY(Registry::SetDword(kSettingsKey, u"PeriodType", stored));
            QCOMPARE(CDatePeriod::StoredType(kSettingsKey), static_cast<int>(CDatePeriod::Week));
        }
    }
};

UI_TEST_MAIN(DatePeriodTests)
#include "DatePeriodTests.moc"
