// The report window on a small fixed data set: groups and totals against sums worked out by
// hand, the table and the charts following the choices, the charts following the palette, and
// the PDF, CSV and print outputs; the ready-made periods around fixed days, and the window
// keeping the one chosen, its groupings, measure and step.
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ReportCsvExport.h"
#include "desktop/reports/ReportPeriod.h"
#include "desktop/reports/ReportWindow.h"
#include "desktop/tests/DocumentTestSupport.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"

namespace {

COleDateTime March(int day) { return COleDateTime(2004, 3, day, 0, 0, 0); }

CString SaveClient(const char* name) {
    CClient client;
    client.set_Description(CString(name));
    client.Save();
    return client.get_RefID();
}

CString SaveProject(const char* name, const CString& clientRef) {
    CProject project;
    project.set_Description(CString(name));
    project.set_ClientRef(clientRef);
    project.Save();
    return project.get_RefID();
}

bool SaveEntry(CProjectItem::ItemType type, const CString& projectRef, const COleDateTime& date, int minutes,
               float amount, int billable, CProjectItem::PymtStatus status, int odometer = 0) {
    CProjectItem entry;
    entry.set_ItemType(type);
    entry.set_ProjectRef(projectRef);
    entry.set_ItemDate(date);
    entry.set_DurationInMinutes(minutes);
    entry.set_BillAmount(amount);
    entry.set_IsBillable(billable);
    entry.set_PymtStatus(status);
    entry.set_OdometerStart(odometer ? 1000 : 0);
    entry.set_OdometerEnd(odometer ? 1000 + odometer : 0);
    return entry.Save() == 1;
}

QStringList RowTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int c = 0; c < item->columnCount(); ++c)
        texts << item->text(c);
    return texts;
}

QList<QBarSet*> BarSets(QChart* chart) {
    auto* bars = chart->findChild<QAbstractBarSeries*>(QStringLiteral("bars"));
    return bars ? bars->barSets() : QList<QBarSet*>();
}

QDate Day(const char* iso) { return QDate::fromString(QLatin1String(iso), Qt::ISODate); }

QString Shown(const COleDateTime& start, const COleDateTime& end) {
    auto iso = [](const COleDateTime& date) {
        return QDate(date.GetYear(), date.GetMonth(), date.GetDay()).toString(Qt::ISODate) +
               (date.GetHour() || date.GetMinute() ? QStringLiteral("+time") : QString());
    };
    return iso(start) + QStringLiteral("..") + iso(end);
}

// The line chart's labelled days, in order, for a report over `first`..`last`.
struct TimeLabels {
    QStringList labels;
    QList<QDate> days;
    double min = 0;
    double max = 0;
};

TimeLabels LineLabels(const QDate& first, const QDate& last, CReport::SeriesStep step, int firstDayOfWeek) {
    CReport::Request request;
    request.filter.m_dtStart = COleDateTime(first.year(), first.month(), first.day(), 0, 0, 0);
    request.filter.m_dtEnd = COleDateTime(last.year(), last.month(), last.day(), 0, 0, 0);
    request.seriesStep = step;
    request.firstDayOfWeek = firstDayOfWeek;
    const std::unique_ptr<QChart> chart(CReportCharts::LineChart(CReport::Build(request)));
    TimeLabels shown;
    const QList<QAbstractAxis*> axes = chart->axes(Qt::Horizontal);
    auto* axis = axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(axes.first());
    if (!axis)
        return shown;
    shown.labels = axis->categoriesLabels();
    for (const QString& label : shown.labels)
        shown.days << QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(axis->endValue(label))).date();
    shown.min = axis->min();
    shown.max = axis->max();
    return shown;
}

qint64 MonthIndex(const QDate& day) { return qint64(day.year()) * 12 + day.month() - 1; }

// Labels one step apart throughout (1 or 7 days, or a whole number of months from a first of
// the month), none twice, and none missing before the first or after the last.
QString IrregularityOf(const TimeLabels& shown, const QDate& axisStart, const QDate& axisEnd) {
    const auto& days = shown.days;
    if (days.isEmpty() || days.size() > CReportCharts::MaxTimeLabels)
        return QStringLiteral("%1 labels").arg(days.size());
    if (QSet<QString>(shown.labels.begin(), shown.labels.end()).size() != shown.labels.size())
        return QStringLiteral("a label twice: ") + shown.labels.join(u',');
    if (days.front() < axisStart || days.back() > axisEnd)
        return QStringLiteral("a label off the axis");
    const bool monthly = std::all_of(days.begin(), days.end(), [](const QDate& d) { return d.day() == 1; }) &&
                         days.size() > 1 && days[0].daysTo(days[1]) > 7;
    if (monthly) {
        const qint64 step = MonthIndex(days[1]) - MonthIndex(days[0]);
        for (qsizetype i = 1; i < days.size(); ++i)
            if (MonthIndex(days[i]) - MonthIndex(days[i - 1]) != step)
                return QStringLiteral("months apart unevenly");
        if (MonthIndex(days.front()) - step >= MonthIndex(axisStart) + (axisStart.day() == 1 ? 0 : 1) ||
            MonthIndex(days.back()) + step <= MonthIndex(axisEnd))
            return QStringLiteral("a month left out at an end");
        return QString();
    }
    const qint64 step = days.size() > 1 ? days[0].daysTo(days[1]) : 1;
    if (step != 1 && step != 7)
        return QStringLiteral("%1 days apart").arg(step);
    for (qsizetype i = 1; i < days.size(); ++i)
        if (days[i - 1].daysTo(days[i]) != step)
            return QStringLiteral("days apart unevenly");
    if (days.size() > 1 && (days.front().addDays(-step) >= axisStart || days.back().addDays(step) <= axisEnd))
        return QStringLiteral("a day left out at an end");
    return QString();
}

}   // namespace

class ReportWindowTests : public QObject {
    Q_OBJECT
private:
    std::optional<testsupport::FixedDay> m_day;
    CProjectItemFilter m_march;
    QTemporaryDir m_output;
    std::unique_ptr<CReportWindow> m_window;

    // Hand-worked sums of March, by client:
    //   Acme: 4 entries, 90+30+45 min = 2.75 h, billable 75.00+49.99+120.10 = 245.09,
    //         expenses 120.10, paid 49.99, unpaid 75.00+120.10 = 195.10
    //   Bolt: 2 entries, no hours, billable 14.70-5.00 = 9.70, expenses -5.00, 42 miles,
    //         unpaid 9.70
    void AddEntries() {
        using Item = CProjectItem;
        const CString acme = SaveClient("Acme"), bolt = SaveClient("Bolt");
        const CString website = SaveProject("Website", acme), audit = SaveProject("Audit", acme);
        const CString repair = SaveProject("Repair", bolt);
        QVERIFY(SaveEntry(Item::ItemType_Time, website, March(1), 90, 75.0f, 1, Item::PymtStatus_NotBilled));
        QVERIFY(SaveEntry(Item::ItemType_Time, website, March(2), 30, 49.99f, 1, Item::PymtStatus_Paid));
        QVERIFY(SaveEntry(Item::ItemType_Time, audit, March(8), 45, 37.5f, 0, Item::PymtStatus_NotBilled));
        QVERIFY(SaveEntry(Item::ItemType_Expense, audit, March(9), 0, 120.1f, 1, Item::PymtStatus_Billed));
        QVERIFY(SaveEntry(Item::ItemType_Mileage, repair, March(15), 0, 14.7f, 1, Item::PymtStatus_NotBilled, 42));
        QVERIFY(SaveEntry(Item::ItemType_Expense, repair, March(31), 0, -5.0f, 1, Item::PymtStatus_NotBilled));
        // Outside the period.
        QVERIFY(SaveEntry(Item::ItemType_Time, repair, COleDateTime(2004, 2, 29, 0, 0, 0), 15, 5.0f, 1,
                          Item::PymtStatus_NotBilled));
        QVERIFY(SaveEntry(Item::ItemType_Time, website, COleDateTime(2004, 4, 1, 0, 0, 0), 60, 10.0f, 1,
                          Item::PymtStatus_NotBilled));
    }

    void Choose(const char* box, int index) { m_window->findChild<QComboBox*>(box)->setCurrentIndex(index); }

private slots:
    void init() {
        m_day.emplace(COleDateTime(2004, 3, 20, 14, 5, 0));
        QVERIFY(m_day->Ready());
        AddEntries();
        m_march = CProjectItemFilter();
        m_march.m_dtStart = March(1);
        m_march.m_dtEnd = March(31);
        m_window = std::make_unique<CReportWindow>(m_march, 2);
    }

    void cleanup() {
        m_window.reset();
        m_day.reset();
    }

    void groupsAndTotalsMatchTheSumsWorkedOutByHand() {
        QTreeWidget* table = m_window->Table();
        QCOMPARE(table->topLevelItemCount(), 3);
        QCOMPARE(RowTexts(table->headerItem()),
                 (QStringList{"Client", "Entries", "Hours", "Billable", "Expenses", "Mileage", "Paid", "Unpaid"}));
        QCOMPARE(RowTexts(table->topLevelItem(0)),
                 (QStringList{"Acme", "4", "2.75", "$245.09", "$120.10", "0", "$49.99", "$195.10"}));
        QCOMPARE(RowTexts(table->topLevelItem(1)),
                 (QStringList{"Bolt", "2", "0.00", "$9.70", "($5.00)", "42", "$0.00", "$9.70"}));
        QCOMPARE(RowTexts(table->topLevelItem(2)),
                 (QStringList{"Total", "6", "2.75", "$254.79", "$115.10", "42", "$49.99", "$204.80"}));
        QVERIFY(table->topLevelItem(2)->font(0).bold());

        // Horizontal bars, listed bottom up: the table's first group is the last bar.
        const QList<QBarSet*> sets = BarSets(m_window->BarChart());
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0]->count(), 2);
        QCOMPARE(sets[0]->at(1), 2.75);
        QCOMPARE(sets[0]->at(0), 0.0);
    }

    void switchingTheGroupingsRebuildsTableAndCharts() {
        Choose("thenBy", 2);   // (Nothing), Client, Project...
        QTreeWidget* table = m_window->Table();
        QCOMPARE(table->topLevelItemCount(), 3);
        QTreeWidgetItem* acme = table->topLevelItem(0);
        QCOMPARE(acme->childCount(), 2);
        QCOMPARE(RowTexts(acme->child(0)),
                 (QStringList{"Audit", "2", "0.75", "$120.10", "$120.10", "0", "$0.00", "$120.10"}));
        QCOMPARE(acme->child(1)->text(3), QStringLiteral("$124.99"));
        QCOMPARE(table->topLevelItem(1)->child(0)->text(0), QStringLiteral("Repair"));

        // Stacked by project, largest first: Website 2 h, Audit 0.75 h; Repair has no hours to show.
        auto* stacked = m_window->BarChart()->findChild<QHorizontalStackedBarSeries*>(QStringLiteral("bars"));
        QVERIFY(stacked);
        QList<QBarSet*> sets = stacked->barSets();
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0]->label(), QStringLiteral("Website"));
        QCOMPARE(sets[0]->at(1), 2.0);   // Acme
        QCOMPARE(sets[1]->at(1), 0.75);
        QCOMPARE(sets[0]->at(0), 0.0);   // Bolt

        // By month then client: dates read left to right, clients stacked in the legend.
        Choose("groupBy", 6);
        Choose("thenBy", 1);
        auto* monthly = m_window->BarChart()->findChild<QStackedBarSeries*>(QStringLiteral("bars"));
        QVERIFY(monthly && monthly->type() == QAbstractSeries::SeriesTypeStackedBar);
        QCOMPARE(monthly->barSets().size(), 1);   // only Acme has hours
        QCOMPARE(monthly->barSets()[0]->at(0), 2.75);

        Choose("groupBy", 3);   // entry type
        Choose("thenBy", 0);
        Choose("chartMeasure", 1);   // billable amount
        QCOMPARE(table->topLevelItemCount(), 4);
        QCOMPARE(RowTexts(table->topLevelItem(0)).mid(0, 4), (QStringList{"Time Entry", "3", "2.75", "$124.99"}));
        QCOMPARE(RowTexts(table->topLevelItem(1)).mid(0, 4), (QStringList{"Expense Entry", "2", "0.00", "$115.10"}));
        QCOMPARE(RowTexts(table->topLevelItem(2)).mid(0, 4), (QStringList{"Mileage Entry", "1", "0.00", "$14.70"}));
        sets = BarSets(m_window->BarChart());
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0]->at(2), 124.99);   // time entries, at the top
        QCOMPARE(sets[0]->at(1), 115.10);
    }

    void lineFollowsTheStepAndThePeriod() {
        auto points = [this] { return m_window->LineChart()->findChild<QLineSeries*>("hoursLine")->points(); };
        QCOMPARE(points().size(), 31);
        QCOMPARE(points()[0].y(), 1.5);
        QCOMPARE(points()[7].y(), 0.75);
        Choose("lineStep", 1);   // weeks from Monday 1 March
        QCOMPARE(points().size(), 5);
        QCOMPARE(points()[0].y(), 2.0);
        QCOMPARE(points()[1].y(), 0.75);

        // A longer period through the period chooser takes in the entry of 1 April.
        m_window->findChild<QDateEdit*>("periodTo")->setDate(QDate(2004, 4, 30));
        QCOMPARE(m_window->Report().Totals().m_nCount, 7);
        QCOMPARE(m_window->Table()->topLevelItem(0)->text(2), QStringLiteral("3.75"));

        // A period that ends before it begins holds nothing, and says so with a zero total.
        m_window->findChild<QDateEdit*>("periodFrom")->setDate(QDate(2004, 5, 1));
        QCOMPARE(m_window->Report().Totals().m_nCount, 0);
        QCOMPARE(points().size(), 0);
        QCOMPARE(m_window->Table()->topLevelItemCount(), 1);
    }

    void timeAxisLabelsEachStepOnce() {
        // A week: every day has its label, the last one too.
        TimeLabels week = LineLabels(QDate(2004, 12, 6), QDate(2004, 12, 12), CReport::SeriesStep_Day, 2);
        QCOMPARE(week.labels, (QStringList{"6 Dec", "7 Dec", "8 Dec", "9 Dec", "10 Dec", "11 Dec", "12 Dec"}));
        QCOMPARE(week.days.front(), QDate(2004, 12, 6));
        QCOMPARE(week.max, double(QDateTime(QDate(2004, 12, 12), QTime(0, 0)).toMSecsSinceEpoch()));

        // A month by day: its weeks' first days, as the user's weeks begin.
        QCOMPARE(LineLabels(QDate(2004, 3, 1), QDate(2004, 3, 31), CReport::SeriesStep_Day, 2).labels,
                 (QStringList{"1 Mar", "8 Mar", "15 Mar", "22 Mar", "29 Mar"}));
        QCOMPARE(LineLabels(QDate(2004, 3, 1), QDate(2004, 3, 31), CReport::SeriesStep_Day, 1).labels,
                 (QStringList{"7 Mar", "14 Mar", "21 Mar", "28 Mar"}));
        QCOMPARE(LineLabels(QDate(2004, 3, 1), QDate(2004, 3, 31), CReport::SeriesStep_Week, 2).labels,
                 (QStringList{"1 Mar", "8 Mar", "15 Mar", "22 Mar", "29 Mar"}));
        // A year: its months; two years by week: quarters, the year told.
        QCOMPARE(LineLabels(QDate(2004, 1, 1), QDate(2004, 12, 31), CReport::SeriesStep_Day, 2).labels,
                 (QStringList{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}));
        QCOMPARE(LineLabels(QDate(2003, 1, 1), QDate(2004, 12, 31), CReport::SeriesStep_Week, 2).labels,
                 (QStringList{"Jan 2003", "Apr 2003", "Jul 2003", "Oct 2003", "Jan 2004", "Apr 2004", "Jul 2004",
                              "Oct 2004"}));
        // One day: its label in the middle of the axis.
        const TimeLabels day = LineLabels(QDate(2004, 2, 29), QDate(2004, 2, 29), CReport::SeriesStep_Day, 2);
        QCOMPARE(day.labels, QStringList{"29 Feb"});
        QVERIFY(day.min < QDateTime(QDate(2004, 2, 29), QTime(0, 0)).toMSecsSinceEpoch() && day.max > day.min);

        // Periods of every length up to a year, and longer ones, from a leap day and from a year's
        // last days, either way the week begins: labels evenly spaced, none twice, none left out.
        std::vector<int> lengths;
        for (int days = 1; days <= 120; ++days)
            lengths.push_back(days);
        for (int days = 127; days <= 4000; days += 53)
            lengths.push_back(days);
        lengths.insert(lengths.end(), {6000, 9000, 15000});   // years apart
        for (const QDate& first : {QDate(2004, 2, 29), QDate(2004, 12, 30)}) {
            for (int days : lengths) {
                const QDate last = first.addDays(days - 1);
                const int firstDay = 1 + days % 2;
                for (CReport::SeriesStep step : {CReport::SeriesStep_Day, CReport::SeriesStep_Week}) {
                    const TimeLabels shown = LineLabels(first, last, step, firstDay);
                    // The axis runs from the line's first point (a week's first day for weeks).
                    QDate axisStart = first;
                    if (step == CReport::SeriesStep_Week)
                        while (axisStart.dayOfWeek() != (firstDay == 1 ? 7 : 1))
                            axisStart = axisStart.addDays(-1);
                    const QDate axisEnd = QDateTime::fromMSecsSinceEpoch(qint64(shown.max)).date();
                    const QString fault = IrregularityOf(shown, axisStart, axisEnd);
                    QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("%1 + %2 days, step %3: %4 [%5]")
                                                             .arg(first.toString(Qt::ISODate))
                                                             .arg(days)
                                                             .arg(int(step))
                                                             .arg(fault, shown.labels.join(u','))));
                }
            }
        }
    }

    void chartsFollowThePalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Base, QColor(0x10, 0x10, 0x10));
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        m_window->setPalette(dark);
        QCOMPARE(m_window->BarChart()->backgroundBrush().color(), QColor(0x10, 0x10, 0x10));
        QCOMPARE(m_window->BarChart()->titleBrush().color(), QColor(0xee, 0xee, 0xee));
        // A rebuilt chart keeps it.
        Choose("groupBy", 1);
        QCOMPARE(m_window->LineChart()->backgroundBrush().color(), QColor(0x10, 0x10, 0x10));
    }

    void pdfHoldsTheTableWithItsTotals() {
        const QString path = m_output.filePath("report.pdf");
        testsupport::DialogScript dialogs({testsupport::SaveFileAs(path)});
        QVERIFY(m_window->SavePdf());
        QVERIFY(testsupport::FileBytes(path).startsWith("%PDF"));
        if (!testsupport::HavePdfToText())
            QSKIP("pdftotext is not installed");
        const QString shown = testsupport::PdfText(path);
        for (const char* expected :
             {"Report by client", "3/1/2004", "Acme", "Bolt", "$254.79", "$204.80", "($5.00)", "Hours per day"})
            QVERIFY2(shown.contains(QString::fromUtf8(expected)), expected);
    }

    void pdfThatCannotBeWrittenIsTold() {
        testsupport::MessageBoxScript boxes;
        testsupport::DialogScript dialogs({testsupport::SaveFileAs(m_output.filePath("no/such/folder/report.pdf"))});
        QVERIFY(!m_window->SavePdf());
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"could not be saved") >= 0);
        QVERIFY(!QFile::exists(m_output.filePath("no/such/folder/report.pdf")));
    }

    void csvReadsBackAsTheReport() {
        Choose("thenBy", 7);   // month
        const QString path = m_output.filePath("report.csv");
        testsupport::DialogScript dialogs({testsupport::SaveFileAs(path)});
        QVERIFY(m_window->SaveCsv());
        const QByteArray bytes = testsupport::FileBytes(path);
        QCOMPARE(bytes.toStdString(), CReportCsvExport::Build(m_window->Report(), CCsvWriter::Format()));
        QVERIFY(bytes.contains("Acme,2004-03,4,2.75,165,245.09,120.10,0,49.99,195.10\r\n"));
        QVERIFY(bytes.endsWith("Total,,6,2.75,165,254.79,115.10,42,49.99,204.80\r\n"));

        // A cancelled file dialog writes nothing and says nothing.
        testsupport::MessageBoxScript boxes;
        testsupport::DialogScript cancelled({testsupport::Cancel()});
        QVERIFY(!m_window->SaveCsv());
        QVERIFY(boxes.Shown().empty());
    }

    void presetsAroundFixedDays() {
        using P = CReportPeriod;
        struct Case {
            const char* today;
            int firstDay;
            P::Preset preset;
            const char* range;
        };
        const Case cases[] = {
            // The last day of a year (a Friday): the week runs into the next year.
            {"2004-12-31", 2, P::Preset_ThisWeek, "2004-12-27..2005-01-02"},
            {"2004-12-31", 2, P::Preset_LastWeek, "2004-12-20..2004-12-26"},
            {"2004-12-31", 2, P::Preset_ThisMonth, "2004-12-01..2004-12-31"},
            {"2004-12-31", 2, P::Preset_ThisQuarter, "2004-10-01..2004-12-31"},
            {"2004-12-31", 2, P::Preset_ThisYear, "2004-01-01..2004-12-31"},
            // The first day of a year (a Saturday): last month and last week are last year's.
            {"2005-01-01", 2, P::Preset_LastMonth, "2004-12-01..2004-12-31"},
            {"2005-01-01", 2, P::Preset_LastYear, "2004-01-01..2004-12-31"},
            {"2005-01-01", 2, P::Preset_ThisQuarter, "2005-01-01..2005-03-31"},
            {"2005-01-01", 1, P::Preset_ThisWeek, "2004-12-26..2005-01-01"},
            {"2005-01-01", 1, P::Preset_LastWeek, "2004-12-19..2004-12-25"},
            // A Sunday begins the week when Sunday is the first day, and ends it when Monday is.
            {"2004-03-21", 1, P::Preset_ThisWeek, "2004-03-21..2004-03-27"},
            {"2004-03-21", 2, P::Preset_ThisWeek, "2004-03-15..2004-03-21"},
            {"2004-03-21", 7, P::Preset_ThisWeek, "2004-03-20..2004-03-26"},
            {"2004-03-21", 0, P::Preset_ThisWeek, "2004-03-15..2004-03-21"},   // no setting: Monday
            // February of a leap year ends on the 29th, of another year on the 28th.
            {"2004-03-10", 2, P::Preset_LastMonth, "2004-02-01..2004-02-29"},
            {"2004-02-15", 2, P::Preset_ThisMonth, "2004-02-01..2004-02-29"},
            {"2005-03-10", 2, P::Preset_LastMonth, "2005-02-01..2005-02-28"},
            {"2004-05-31", 2, P::Preset_ThisQuarter, "2004-04-01..2004-06-30"},
            {"2004-09-01", 2, P::Preset_ThisQuarter, "2004-07-01..2004-09-30"},
        };
        for (const Case& c : cases) {
            const QDate today = Day(c.today);
            // Late in the day: the period's days begin at midnight all the same.
            const COleDateTime now(today.year(), today.month(), today.day(), 23, 59, 0);
            COleDateTime start, end;
            QVERIFY2(P::Range(c.preset, now, c.firstDay, start, end), c.range);
            QCOMPARE(Shown(start, end), QLatin1String(c.range));
        }
        // Custom has no days of its own, nor has a day that is not valid.
        COleDateTime start = March(1), end = March(31);
        QVERIFY(!P::Range(P::Preset_Custom, March(5), 2, start, end));
        COleDateTime invalid;
        invalid.SetStatus(COleDateTime::invalid);
        QVERIFY(!P::Range(P::Preset_ThisMonth, invalid, 2, start, end));
        QCOMPARE(Shown(start, end), QStringLiteral("2004-03-01..2004-03-31"));
    }

    void presetSetsThePeriodAndIsRemembered() {
        auto* preset = m_window->findChild<QComboBox*>("periodPreset");
        auto* from = m_window->findChild<QDateEdit*>("periodFrom");
        auto* to = m_window->findChild<QDateEdit*>("periodTo");
        // Nothing chosen before: the entries view's period, as Custom.
        QCOMPARE(preset->currentText(), QStringLiteral("Custom"));
        QCOMPARE(from->date(), QDate(2004, 3, 1));

        // Today is Saturday 20 March; weeks begin on Monday.
        preset->setCurrentIndex(CReportPeriod::Preset_LastWeek);
        QCOMPARE(from->date(), QDate(2004, 3, 8));
        QCOMPARE(to->date(), QDate(2004, 3, 14));
        QCOMPARE(m_window->Report().Totals().m_nCount, 2);   // 8 and 9 March

        // The next window opens on it, whatever the entries view shows, and on the days of
        // its own today.
        Clock::Set(COleDateTime(2004, 4, 2, 9, 0, 0));
        CReportWindow again(m_march, 1);
        QCOMPARE(again.findChild<QComboBox*>("periodPreset")->currentIndex(), int(CReportPeriod::Preset_LastWeek));
        QCOMPARE(again.findChild<QDateEdit*>("periodFrom")->date(), QDate(2004, 3, 21));
        QCOMPARE(again.findChild<QDateEdit*>("periodTo")->date(), QDate(2004, 3, 27));
        // Opened once more from the main window, it keeps the preset's days.
        again.SetFilter(m_march);
        QCOMPARE(again.findChild<QDateEdit*>("periodFrom")->date(), QDate(2004, 3, 21));
        // A new first day of the week moves the week.
        again.SetFirstDayOfWeek(2);
        QCOMPARE(again.findChild<QDateEdit*>("periodFrom")->date(), QDate(2004, 3, 22));
        QCOMPARE(again.findChild<QDateEdit*>("periodTo")->date(), QDate(2004, 3, 28));

        // A date set by hand makes the period Custom, and Custom is what is remembered.
        preset->setCurrentIndex(CReportPeriod::Preset_ThisYear);
        QCOMPARE(to->date(), QDate(2004, 12, 31));
        QCOMPARE(m_window->Report().Totals().m_nCount, 8);
        to->setDate(QDate(2004, 3, 31));
        QCOMPARE(preset->currentText(), QStringLiteral("Custom"));
        QCOMPARE(from->date(), QDate(2004, 1, 1));
        QCOMPARE(m_window->Report().Totals().m_nCount, 7);
        CReportWindow custom(m_march, 2);
        QCOMPARE(custom.findChild<QComboBox*>("periodPreset")->currentText(), QStringLiteral("Custom"));
        QCOMPARE(custom.findChild<QDateEdit*>("periodFrom")->date(), QDate(2004, 3, 1));
        QCOMPARE(custom.findChild<QDateEdit*>("periodTo")->date(), QDate(2004, 3, 31));

        // A stored number that is no preset is taken as Custom.
        QVERIFY(Registry::SetDword(u"Software\\Kestovar\\Quillmar\\Settings", u"ReportPeriod", 99));
        CReportWindow unknown(m_march, 2);
        QCOMPARE(unknown.findChild<QComboBox*>("periodPreset")->currentText(), QStringLiteral("Custom"));
    }

    void groupingsMeasureAndStepAreRememberedAcrossOpenings() {
        auto text = [](CReportWindow& window, const char* box) {
            return window.findChild<QComboBox*>(box)->currentText();
        };
        // Nothing chosen before: by client, no second level, hours per day.
        QCOMPARE(text(*m_window, "groupBy"), QStringLiteral("Client"));
        QCOMPARE(text(*m_window, "thenBy"), QStringLiteral("(Nothing)"));

        m_window->findChild<QComboBox*>("groupBy")->setCurrentText(QStringLiteral("Project"));
        m_window->findChild<QComboBox*>("thenBy")->setCurrentText(QStringLiteral("Week"));
        Choose("chartMeasure", 1);
        Choose("lineStep", 1);
        const QString measure = text(*m_window, "chartMeasure");
        m_window->close();
        m_window.reset();

        // Reopened: the same choices, and the report built from them at once.
        CReportWindow again(m_march, 2);
        QCOMPARE(text(again, "groupBy"), QStringLiteral("Project"));
        QCOMPARE(text(again, "thenBy"), QStringLiteral("Week"));
        QCOMPARE(text(again, "chartMeasure"), measure);
        QCOMPARE(text(again, "lineStep"), QStringLiteral("Hours per week"));
        QCOMPARE(again.Table()->topLevelItemCount() > 0, true);
        QCOMPARE(again.Table()->topLevelItem(0)->text(0), QStringLiteral("Acme: Audit"));
        QVERIFY(again.Table()->topLevelItem(0)->childCount() > 0);

        // Back to no second level is remembered too.
        again.findChild<QComboBox*>("thenBy")->setCurrentIndex(0);
        CReportWindow third(m_march, 2);
        QCOMPARE(text(third, "thenBy"), QStringLiteral("(Nothing)"));
        QCOMPARE(third.Table()->topLevelItem(0)->childCount(), 0);

        // Stored numbers that are no longer offered leave the usual choices.
        const CString key = u"Software\\Kestovar\\Quillmar\\Settings";
        QVERIFY(Registry::SetDword(key, u"ReportGroupBy", 77));
        QVERIFY(Registry::SetDword(key, u"ReportLineStep", 9));
        CReportWindow unknown(m_march, 2);
        QCOMPARE(text(unknown, "groupBy"), QStringLiteral("Client"));
        QCOMPARE(text(unknown, "lineStep"), QStringLiteral("Hours per day"));
    }

    void escapeClosesTheWindow() {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto* groupBy = m_window->findChild<QComboBox*>("groupBy");
        groupBy->setFocus();
        QTest::keyClick(groupBy, Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
    }

    void printsThroughThePrintDialog() {
        const QString path = m_output.filePath("printed.pdf");
        testsupport::DialogScript dialogs({testsupport::PrintToPdf(path)});
        QVERIFY(m_window->Print());
        QVERIFY(testsupport::FileBytes(path).startsWith("%PDF"));
    }
};

DESKTOP_TEST_MAIN(ReportWindowTests)
#include "ReportWindowTests.moc"
