#include "desktop/reports/ReportDocument.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "desktop/reports/ReportTable.h"
#include "platform/Locale.h"
#include "ui/qt/QtConvert.h"

namespace {

// Everything is laid out in units of 1/96 inch, whatever the device's resolution.
constexpr int kLogicalDpi = 96;
constexpr int kMargin = 48;
constexpr int kBodyPixels = 12;
constexpr int kTitlePixels = 18;
constexpr int kChartHeight = 300;

QFont Font(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Renders a chart in print colours into `target`.
void PaintChart(QPainter& painter, QChart* chart, const QRectF& target) {
    CReportCharts::ApplyPalette(*chart, CReportCharts::PrintPalette());
    chart->setTitleFont(Font(14, true));
    for (QAbstractAxis* axis : chart->axes())
        axis->setLabelsFont(Font(10));
    chart->legend()->setFont(Font(10));
    QGraphicsScene scene;   // takes the chart
    scene.addItem(chart);
    chart->resize(target.size());
    // Lay the chart out now: nothing shows it, so no event would.
    if (chart->layout())
        chart->layout()->activate();
    const QRectF source(QPointF(0, 0), target.size());
    scene.setSceneRect(source);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, source);
}

// Paints the table from `row` on, as many rows as fit below `top`; the next row to paint.
class TablePainter {
public:
    TablePainter(QPainter& painter, const CReport& report, double width)
        : m_painter(painter), m_headings(CReportTable::Headings(report)), m_rows(CReportTable::Rows(report)),
          m_width(width), m_rowHeight(kBodyPixels * 1.7) {}

    size_t Paint(size_t row, double top, double bottom) {
        double y = top;
        PaintRow(m_headings, y, true, 0);
        y += m_rowHeight;
        m_painter.drawLine(QPointF(0, y), QPointF(m_width, y));
        for (; row < m_rows.size() && y + m_rowHeight <= bottom; ++row) {
            const CReportTable::Row& r = m_rows[row];
            if (r.level < 0)
                m_painter.drawLine(QPointF(0, y), QPointF(m_width, y));
            const bool hasSubgroups = row + 1 < m_rows.size() && m_rows[row + 1].level == 1;
            PaintRow(r.cells, y, r.level < 0 || (r.level == 0 && hasSubgroups), r.level == 1 ? 16 : 0);
            y += m_rowHeight;
        }
        return row;
    }
    bool Done(size_t row) const { return row >= m_rows.size(); }

private:
    void PaintRow(const QStringList& cells, double y, bool bold, double indent) {
        m_painter.setFont(Font(kBodyPixels, bold));
        const double first = m_width * 0.30;
        const double other = (m_width - first) / (cells.size() - 1);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const double left = c == 0 ? indent : first + other * static_cast<double>(c - 1);
            const double cellWidth = c == 0 ? first - indent - 4 : other - 4;
            const QRectF cell(left, y, cellWidth, m_rowHeight);
            const QString text =
                m_painter.fontMetrics().elidedText(cells[c], Qt::ElideRight, static_cast<int>(cellWidth));
            m_painter.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
        }
    }

    QPainter& m_painter;
    QStringList m_headings;
    std::vector<CReportTable::Row> m_rows;
    double m_width;
    double m_rowHeight;
};

}   // namespace

QString CReportDocument::Title() const {
    const CReport::Request& request = m_report.GetRequest();
    QString title =
        QObject::tr("Report by %1").arg(qtconv::ToQString(CReport::GroupByName(request.groupBy)).toLower());
    if (request.thenBy != CReport::GroupBy_None)
        title += QObject::tr(" then %1").arg(qtconv::ToQString(CReport::GroupByName(request.thenBy)).toLower());
    const Locale& locale = Locale::UserDefault();
    const COleDateTime& start = request.filter.m_dtStart;
    const COleDateTime& end = request.filter.m_dtEnd;
    if (start.GetStatus() == COleDateTime::valid && end.GetStatus() == COleDateTime::valid)
        title += QStringLiteral(", %1 – %2")
                     .arg(qtconv::ToQString(locale.FormatDate(start, locale.shortDatePicture)),
                          qtconv::ToQString(locale.FormatDate(end, locale.shortDatePicture)));
    return title;
}

bool CReportDocument::Paint(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Logical units of 1/96 inch inside the margins.
    const double scale = static_cast<double>(device.logicalDpiX()) / kLogicalDpi;
    const double width = device.width() / scale - 2 * kMargin;
    const double height = device.height() / scale - 2 * kMargin;
    painter.scale(scale, scale);
    painter.translate(kMargin, kMargin);
    painter.setPen(Qt::black);

    painter.setFont(Font(kTitlePixels, true));
    painter.drawText(QRectF(0, 0, width, kTitlePixels * 2), Qt::AlignLeft | Qt::AlignVCenter, Title());
    double y = kTitlePixels * 2 + 8;
    const double chartWidth = (width - 12) / 2;
    PaintChart(painter, CReportCharts::BarChart(m_report, m_measure), QRectF(0, y, chartWidth, kChartHeight));
    PaintChart(painter, CReportCharts::LineChart(m_report), QRectF(chartWidth + 12, y, chartWidth, kChartHeight));
    y += kChartHeight + 16;

    TablePainter table(painter, m_report, width);
    size_t row = table.Paint(0, y, height);
    while (!table.Done(row)) {
        if (!device.newPage())
            return false;
        row = table.Paint(row, 0, height);
    }
    return painter.end();
}

bool CReportDocument::WritePdf(const QString& path, QString& error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QObject::tr("Cannot save %1: %2").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(Title());
        writer.setCreator(QStringLiteral("Quillmar"));
        const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
        writer.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!Paint(writer)) {
            file.cancelWriting();
            error = QObject::tr("Cannot save %1").arg(path);
            return false;
        }
    }
    if (!file.commit()) {
        error = QObject::tr("Cannot save %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
