#include "desktop/reports/ReportCharts.h"

#include <QAbstractAxis>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPalette>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <map>

#include "ui/qt/QtConvert.h"

namespace {

// Bars get too thin for their names past this many groups; the names are left out then.
constexpr int kMaxNamedBars = 31;

double Value(const CReportTotals& totals, CReportCharts::Measure measure) {
    if (measure == CReportCharts::Measure_Amount)
        return static_cast<double>(totals.m_billable.Cents()) / 100.0;
    return static_cast<double>(totals.m_nMinutes) / 60.0;
}

// The second level's labels, largest first, as many as fit into a legend; the rest is "Other".
QStringList StackLabels(const CReport& report, CReportCharts::Measure measure, bool& other) {
    std::map<QString, double> sums;
    for (const CReport::Group& group : report.Groups())
        for (const CReport::Group& subgroup : group.subgroups)
            sums[qtconv::ToQString(subgroup.label)] += Value(subgroup.totals, measure);
    std::vector<std::pair<QString, double>> ranked(sums.begin(), sums.end());
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    other = ranked.size() > static_cast<size_t>(CReportCharts::MaxStackedSeries);
    if (other)
        ranked.resize(CReportCharts::MaxStackedSeries - 1);
    QStringList labels;
    for (const auto& [label, sum] : ranked)
        labels << label;
    return labels;
}

QAbstractBarSeries* StackedSeries(const CReport& report, CReportCharts::Measure measure) {
    bool other = false;
    const QStringList labels = StackLabels(report, measure, other);
    auto* series = new QStackedBarSeries;
    std::vector<QBarSet*> sets;
    for (const QString& label : labels)
        sets.push_back(new QBarSet(label));
    if (other)
        sets.push_back(new QBarSet(QObject::tr("Other")));
    for (const CReport::Group& group : report.Groups()) {
        std::vector<double> values(sets.size(), 0.0);
        for (const CReport::Group& subgroup : group.subgroups) {
            const qsizetype at = labels.indexOf(qtconv::ToQString(subgroup.label));
            values[at >= 0 ? static_cast<size_t>(at) : sets.size() - 1] += Value(subgroup.totals, measure);
        }
        for (size_t i = 0; i < sets.size(); ++i)
            sets[i]->append(values[i]);
    }
    for (QBarSet* set : sets)
        series->append(set);
    return series;
}

QAbstractBarSeries* PlainSeries(const CReport& report, CReportCharts::Measure measure) {
    auto* set = new QBarSet(CReportCharts::MeasureName(measure));
    for (const CReport::Group& group : report.Groups())
        *set << Value(group.totals, measure);
    auto* series = new QBarSeries;
    series->append(set);
    return series;
}

// The highest bar, stacked or side by side, and no lower than 0.
double Tallest(const QAbstractBarSeries& series) {
    const bool stacked = series.type() == QAbstractSeries::SeriesTypeStackedBar;
    double tallest = 0;
    const qsizetype count = series.barSets().isEmpty() ? 0 : series.barSets().first()->count();
    for (qsizetype i = 0; i < count; ++i) {
        double height = 0;
        for (const QBarSet* set : series.barSets())
            height = stacked ? height + std::max(0.0, set->at(i)) : std::max(height, set->at(i));
        tallest = std::max(tallest, height);
    }
    return tallest;
}

// The lowest value below 0 (a group with refunds can be negative), else 0.
double Lowest(const QAbstractBarSeries& series) {
    double lowest = 0;
    for (const QBarSet* set : series.barSets()) {
        double below = 0;
        for (qsizetype i = 0; i < set->count(); ++i)
            below = std::min(below, set->at(i));
        lowest = std::min(lowest, below);
    }
    return lowest;
}

// From 0 (or the lowest negative value) to a round number above `top`; an empty chart gets 0 to 1.
void ValueRange(QValueAxis& axis, double top, double bottom = 0) {
    axis.setRange(bottom, top > bottom ? top : bottom + 1);
    axis.applyNiceNumbers();
}

}   // namespace

QString CReportCharts::MeasureName(Measure measure) {
    return measure == Measure_Amount ? QObject::tr("Billable amount") : QObject::tr("Hours");
}

QChart* CReportCharts::BarChart(const CReport& report, Measure measure) {
    const bool stacked = report.GetRequest().thenBy != CReport::GroupBy_None;
    QAbstractBarSeries* series = stacked ? StackedSeries(report, measure) : PlainSeries(report, measure);
    series->setObjectName(QStringLiteral("bars"));
    auto* chart = new QChart;
    chart->setTitle(QObject::tr("%1 by %2")
                        .arg(MeasureName(measure), qtconv::ToQString(CReport::GroupByName(report.GetRequest().groupBy))
                                                       .toLower()));
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    for (const CReport::Group& group : report.Groups())
        categories->append(qtconv::ToQString(group.label));
    categories->setLabelsVisible(report.Groups().size() <= static_cast<size_t>(kMaxNamedBars));
    if (report.Groups().size() > 4)
        categories->setLabelsAngle(-45);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setLabelFormat(measure == Measure_Amount ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    ValueRange(*values, Tallest(*series), Lowest(*series));
    chart->legend()->setVisible(stacked);
    chart->legend()->setAlignment(Qt::AlignRight);
    return chart;
}

QChart* CReportCharts::LineChart(const CReport& report) {
    auto* series = new QLineSeries;
    series->setObjectName(QStringLiteral("hoursLine"));
    double top = 0;
    for (const CReport::Point& point : report.Series()) {
        const double hours = static_cast<double>(point.minutes) / 60.0;
        top = std::max(top, hours);
        // The axis shows local time: the step's first day at local midnight.
        const QDateTime start(qtconv::ToQDateTime(point.start).date(), QTime(0, 0));
        series->append(static_cast<double>(start.toMSecsSinceEpoch()), hours);
    }
    auto* chart = new QChart;
    const bool weeks = report.GetSeriesStep() == CReport::SeriesStep_Week;
    const bool months = report.GetSeriesStep() == CReport::SeriesStep_Month;
    chart->setTitle(months  ? QObject::tr("Hours per month")
                    : weeks ? QObject::tr("Hours per week")
                            : QObject::tr("Hours per day"));
    chart->addSeries(series);
    chart->legend()->setVisible(false);
    auto* time = new QDateTimeAxis;
    time->setFormat(months ? QStringLiteral("MMM yyyy") : QStringLiteral("d MMM"));
    time->setTickCount(std::clamp(static_cast<int>(report.Series().size()), 2, 8));
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    ValueRange(*values, top);
    return chart;
}

void CReportCharts::ApplyPalette(QChart& chart, const QPalette& palette) {
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    // The theme sets the series colours; then background and texts are made the palette's.
    chart.setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart.setBackgroundBrush(palette.brush(QPalette::Base));
    chart.setTitleBrush(palette.brush(QPalette::Text));
    chart.legend()->setLabelColor(palette.color(QPalette::Text));
    const QColor grid = palette.color(QPalette::Mid);
    for (QAbstractAxis* axis : chart.axes()) {
        axis->setLabelsColor(palette.color(QPalette::Text));
        axis->setGridLineColor(grid);
        axis->setLinePenColor(palette.color(QPalette::Text));
    }
}

QPalette CReportCharts::PrintPalette() {
    QPalette palette(Qt::black, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Mid, QColor(0xb0, 0xb0, 0xb0));
    return palette;
}
