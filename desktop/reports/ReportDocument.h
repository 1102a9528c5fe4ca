#pragma once
// The report on paper or in a PDF file: title and period, the bar chart and the hours line in
// print colours, then the table, continued on further pages as needed.
#include <QString>

#include "biz/Report.h"
#include "desktop/reports/ReportCharts.h"

class QPagedPaintDevice;

class CReportDocument {
public:
    CReportDocument(const CReport& report, CReportCharts::Measure measure) : m_report(report), m_measure(measure) {}

    // Paints every page on a printer or PDF writer; false when the device cannot be painted on.
    bool Paint(QPagedPaintDevice& device) const;
    // Writes the PDF file (A4 or Letter as the user's locale says) to `path`; false with `error`
    // when it could not be written. The file is written whole or left as it was.
    bool WritePdf(const QString& path, QString& error) const;

    // "Report by client then month, 3/1/2004 - 3/31/2004"
    QString Title() const;

private:
    const CReport& m_report;
    CReportCharts::Measure m_measure;
};
