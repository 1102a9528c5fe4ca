#include "desktop/reports/ReportCharts.h"

#include <algorithm>
#include <map>
#include <QAbstractAxis>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QPalette>
#include <QStackedBarSeries>
#include <QValueAxis>

#include "platform/Locale.h"
#include "ui/qt/QtConvert.h"

namespace {

// Bars get too thin for their names past this many groups; the names are left out then.
constexpr int kMaxNamedBars = 31;

double Value(const CReportTotals& totals, CReportCharts::Measure measure) {
    if (measure == CReportCharts::Measure_Amount)
        return static_cast<double>(totals.m_billable.Cents()) / 100.0;
    return static_cast<double>(totals.m_nMinutes) / 60.0;
}

// The first day of the dated subgroup shown as `label` (the same label is the same day).
double DateOf(const CReport& report, const QString& label) {
    for (const CReport::Group& group : report.Groups())
        for (const CReport::Group& subgroup : group.subgroups)
            if (qtconv::ToQString(subgroup.label) == label)
                return subgroup.start.m_dt;
    return 0;
}

// Horizontal bars are drawn from the bottom up; given last to first, they read top to bottom
// in the table's order.
std::vector<const CReport::Group*> BarOrder(const CReport& report, bool horizontal) {
    std::vector<const CReport::Group*> groups;
    for (const CReport::Group& group : report.Groups())
        groups.push_back(&group);
    if (horizontal)
        std::reverse(groups.begin(), groups.end());
    return groups;
}

bool IsDated(CReport::GroupBy by) {
    return by == CReport::GroupBy_Day || by == CReport::GroupBy_Week || by == CReport::GroupBy_Month;
}

// The second level's labels that have something to show: dates in date order, names largest
// first; as many as fit into a legend, the rest is "Other".
QStringList StackLabels(const CReport& report, CReportCharts::Measure measure, bool& other) {
    std::vector<std::pair<QString, double>> ranked;
    std::map<QString, size_t> at;
    for (const CReport::Group& group : report.Groups())
        for (const CReport::Group& subgroup : group.subgroups) {
            const QString label = qtconv::ToQString(subgroup.label);
            const auto [found, added] = at.emplace(label, ranked.size());
            if (added)
                ranked.emplace_back(label, 0.0);
            ranked[found->second].second += Value(subgroup.totals, measure);
        }
    if (IsDated(report.GetRequest().thenBy))
        std::stable_sort(ranked.begin(), ranked.end(), [&](const auto& a, const auto& b) {
            return DateOf(report, a.first) < DateOf(report, b.first);
        });
    else
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
    std::erase_if(ranked, [](const auto& entry) { return entry.second == 0.0; });
    other = ranked.size() > static_cast<size_t>(CReportCharts::MaxStackedSeries);
    if (other)
        ranked.resize(CReportCharts::MaxStackedSeries - 1);
    QStringList labels;
    for (const auto& [label, sum] : ranked)
        labels << label;
    return labels;
}

QAbstractBarSeries* StackedSeries(const CReport& report, CReportCharts::Measure measure, bool horizontal) {
    bool other = false;
    const QStringList labels = StackLabels(report, measure, other);
    QAbstractBarSeries* series =
        horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries) : new QStackedBarSeries;
    std::vector<QBarSet*> sets;
    for (const QString& label : labels)
        sets.push_back(new QBarSet(label));
    if (other)
        sets.push_back(new QBarSet(QObject::tr("Other")));
    for (const CReport::Group* group : BarOrder(report, horizontal)) {
        std::vector<double> values(sets.size(), 0.0);
        for (const CReport::Group& subgroup : group->subgroups) {
            const qsizetype at = labels.indexOf(qtconv::ToQString(subgroup.label));
            if (at >= 0)
                values[static_cast<size_t>(at)] += Value(subgroup.totals, measure);
            else if (other)
                values.back() += Value(subgroup.totals, measure);
        }
        for (size_t i = 0; i < sets.size(); ++i)
            sets[i]->append(values[i]);
    }
    for (QBarSet* set : sets)
        series->append(set);
    return series;
}

QAbstractBarSeries* PlainSeries(const CReport& report, CReportCharts::Measure measure, bool horizontal) {
    auto* set = new QBarSet(CReportCharts::MeasureName(measure));
    for (const CReport::Group* group : BarOrder(report, horizontal))
        *set << Value(group->totals, measure);
    QAbstractBarSeries* series =
        horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries) : new QBarSeries;
    series->append(set);
    return series;
}

// The highest bar, stacked or side by side, and no lower than 0.
double Tallest(const QAbstractBarSeries& series) {
    const bool stacked = series.type() == QAbstractSeries::SeriesTypeStackedBar ||
                         series.type() == QAbstractSeries::SeriesTypeHorizontalStackedBar;
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
    // Decimals only where the scale is small enough to need them.
    axis.setLabelFormat(axis.max() - axis.min() >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
}

// Where the line chart puts a day: its local midnight.
double AxisValue(const QDate& day) { return static_cast<double>(QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch()); }

QDate ToDate(const COleDateTime& date) { return QDate(date.GetYear(), date.GetMonth(), date.GetDay()); }

// The label steps, finest first; years go on in 1-2-5 steps.
enum class TickStep { Day, Week, Month, Quarter, Year };

struct TimeTicks {
    std::vector<QDate> days;
    TickStep step = TickStep::Day;
};

// The days from `first` to `last` on which a step of `months` months begins (months counted
// from January of year 0, so quarters and years fall on their calendar starts).
std::vector<QDate> MonthStarts(const QDate& first, const QDate& last, int months) {
    std::vector<QDate> days;
    const long long index = static_cast<long long>(first.year()) * 12 + first.month() - 1;
    long long at = (index + months - 1) / months * months;
    if (at == index && first.day() != 1)
        at += months;
    for (;; at += months) {
        const QDate day(static_cast<int>(at / 12), static_cast<int>(at % 12) + 1, 1);
        if (day > last || days.size() > CReportCharts::MaxTimeLabels)
            break;
        days.push_back(day);
    }
    return days;
}

std::vector<QDate> DayStarts(const QDate& first, const QDate& last, int days, int weekStart) {
    std::vector<QDate> starts;
    QDate day = first;
    while (weekStart && day.dayOfWeek() != weekStart)
        day = day.addDays(1);
    for (; day <= last && starts.size() <= CReportCharts::MaxTimeLabels; day = day.addDays(days))
        starts.push_back(day);
    return starts;
}

TimeTicks ChooseTicks(const QDate& first, const QDate& last, CReport::SeriesStep lineStep, int firstDayOfWeek) {
    // Our weeks begin on 1 = Sunday .. 7 = Saturday; Qt's days are 1 = Monday .. 7 = Sunday.
    const int weekStart = (std::clamp(firstDayOfWeek, 1, 7) + 5) % 7 + 1;
    const auto fits = [](const std::vector<QDate>& days) {
        return !days.empty() && days.size() <= static_cast<size_t>(CReportCharts::MaxTimeLabels);
    };
    TimeTicks ticks;
    if (lineStep == CReport::SeriesStep_Day && fits(ticks.days = DayStarts(first, last, 1, 0)))
        return ticks;
    ticks.step = TickStep::Week;
    if (lineStep != CReport::SeriesStep_Month && fits(ticks.days = DayStarts(first, last, 7, weekStart)))
        return ticks;
    ticks.step = TickStep::Month;
    if (fits(ticks.days = MonthStarts(first, last, 1)))
        return ticks;
    ticks.step = TickStep::Quarter;
    if (fits(ticks.days = MonthStarts(first, last, 3)))
        return ticks;
    ticks.step = TickStep::Year;
    for (int years = 1;; years *= 10) {
        for (int times : {1, 2, 5}) {
            if (fits(ticks.days = MonthStarts(first, last, 12 * years * times)) || years > 1000)
                return ticks;
        }
    }
}

// Dates as the user's locale writes them; the year only where a label would be ambiguous.
const char16_t* TickPicture(TickStep step, bool oneYear) {
    switch (step) {
    case TickStep::Day:
    case TickStep::Week: return u"d MMM";
    case TickStep::Month: return oneYear ? u"MMM" : u"MMM yyyy";
    case TickStep::Quarter: return u"MMM yyyy";
    case TickStep::Year: break;
    }
    return u"yyyy";
}

QString TickLabel(const QDate& day, TickStep step, bool oneYear) {
    const COleDateTime date(day.year(), day.month(), day.day(), 0, 0, 0);
    return qtconv::ToQString(Locale::UserDefault().FormatDate(date, CString(TickPicture(step, oneYear))));
}

QCategoryAxis* TimeAxis(const CReport& report) {
    auto* axis = new QCategoryAxis;
    axis->setObjectName(QStringLiteral("timeAxis"));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const std::vector<CReport::Point>& points = report.Series();
    if (points.empty())
        return axis;
    const QDate first = ToDate(points.front().start);
    const QDate last = ToDate(points.back().start);
    // A single day still gets room either side of its point.
    const double halfDay = first == last ? 12 * 3600 * 1000.0 : 0.0;
    axis->setRange(AxisValue(first) - halfDay, AxisValue(last) + halfDay);
    axis->setStartValue(AxisValue(first) - halfDay);
    const TimeTicks ticks = ChooseTicks(first, last, report.GetSeriesStep(), report.GetRequest().firstDayOfWeek);
    if (ticks.days.empty())
        return axis;
    const bool oneYear = ticks.days.front().year() == ticks.days.back().year();
    for (const QDate& day : ticks.days)
        axis->append(TickLabel(day, ticks.step, oneYear), AxisValue(day));
    if (ticks.days.size() > 7)
        axis->setLabelsAngle(-45);
    return axis;
}

}   // namespace

QString CReportCharts::MeasureName(Measure measure) {
    return measure == Measure_Amount ? QObject::tr("Billable amount") : QObject::tr("Hours");
}

QChart* CReportCharts::BarChart(const CReport& report, Measure measure) {
    const CReport::Request& request = report.GetRequest();
    const bool stacked = request.thenBy != CReport::GroupBy_None;
    // Names are long and few: they read best beside horizontal bars. Dates are short and many,
    // and read left to right.
    const bool horizontal = !IsDated(request.groupBy);
    QAbstractBarSeries* series =
        stacked ? StackedSeries(report, measure, horizontal) : PlainSeries(report, measure, horizontal);
    series->setObjectName(QStringLiteral("bars"));
    auto* chart = new QChart;
    chart->setTitle(
        QObject::tr("%1 by %2")
            .arg(MeasureName(measure), qtconv::ToQString(CReport::GroupByName(request.groupBy)).toLower()));
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    for (const CReport::Group* group : BarOrder(report, horizontal))
        categories->append(qtconv::ToQString(group->label));
    categories->setLabelsVisible(report.Groups().size() <= static_cast<size_t>(kMaxNamedBars));
    if (!horizontal && report.Groups().size() > 6)
        categories->setLabelsAngle(-45);
    auto* values = new QValueAxis;
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
    ValueRange(*values, Tallest(*series), Lowest(*series));
    chart->legend()->setVisible(stacked);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChart* CReportCharts::LineChart(const CReport& report) {
    auto* series = new QLineSeries;
    series->setObjectName(QStringLiteral("hoursLine"));
    double top = 0;
    for (const CReport::Point& point : report.Series()) {
        const double hours = static_cast<double>(point.minutes) / 60.0;
        top = std::max(top, hours);
        series->append(AxisValue(ToDate(point.start)), hours);
    }
    auto* chart = new QChart;
    const bool weeks = report.GetSeriesStep() == CReport::SeriesStep_Week;
    const bool months = report.GetSeriesStep() == CReport::SeriesStep_Month;
    chart->setTitle(months  ? QObject::tr("Hours per month")
                    : weeks ? QObject::tr("Hours per week")
                            : QObject::tr("Hours per day"));
    chart->addSeries(series);
    chart->legend()->setVisible(false);
    QCategoryAxis* time = TimeAxis(report);
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    auto* values = new QValueAxis;
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
