#pragma once
// The report's two charts: bars of hours or billable amount per group (stacked by the second
// level when there is one) and a line of hours per day or week over the period. Their colours
// come from a palette, so they follow the program's theme on screen and print dark on white.
#include <QString>

#include "biz/Report.h"

class QChart;
class QPalette;

class CReportCharts {
public:
    enum Measure : int { Measure_Hours = 0, Measure_Amount = 1 };
    // More stacked series than this would leave a legend nobody can read: the smallest are
    // added up as "Other".
    enum : int { MaxStackedSeries = 10 };

    // The hours line's time axis labels at most this many days, each one step after the last.
    enum : int { MaxTimeLabels = 12 };

    // New charts, owned by the caller.
    static QChart* BarChart(const CReport& report, Measure measure);
    // Its time axis ("timeAxis", in milliseconds since the epoch at local midnight) labels every
    // day of a short period, else the first day of every week (as the request's weeks begin),
    // month, quarter or year, the finest step that stays within MaxTimeLabels and is no finer
    // than the line's own: never a day left out between two labelled ones, never a label twice.
    static QChart* LineChart(const CReport& report);
    // Background, texts, grid and the built-in colour theme after the palette.
    static void ApplyPalette(QChart& chart, const QPalette& palette);
    // A white page's palette, for printing and PDF.
    static QPalette PrintPalette();

    static QString MeasureName(Measure measure);
};
