#include "desktop/reports/ReportWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "biz/ReportCsvExport.h"
#include "desktop/reports/ReportDocument.h"
#include "desktop/reports/ReportPeriod.h"
#include "desktop/reports/ReportTable.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/SharedSettings.h"

namespace {

constexpr CReport::GroupBy kGroupings[] = {
    CReport::GroupBy_Client, CReport::GroupBy_Project, CReport::GroupBy_Category, CReport::GroupBy_EntryType,
    CReport::GroupBy_Day,    CReport::GroupBy_Week,    CReport::GroupBy_Month};

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QDate ToQDate(const COleDateTime& date) {
    return date.GetStatus() == COleDateTime::valid ? QDate(date.GetYear(), date.GetMonth(), date.GetDay())
                                                   : QDate::currentDate();
}

COleDateTime FromQDate(const QDate& date) { return COleDateTime(date.year(), date.month(), date.day(), 0, 0, 0); }

// The period chosen last, under "Settings".
const char16_t* const kPresetValue = u"ReportPeriod";
// The groupings (by their number, so a reordered list keeps them), the chart's measure and the
// line's step chosen last.
const char16_t* const kGroupByValue = u"ReportGroupBy";
const char16_t* const kThenByValue = u"ReportThenBy";
const char16_t* const kMeasureValue = u"ReportChart";
const char16_t* const kStepValue = u"ReportLineStep";

void TellFailure(const QString& text) { AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONSTOP); }

}   // namespace

CReportWindow::CReportWindow(const CProjectItemFilter& filter, int firstDayOfWeek, QWidget* parent)
    : QWidget(parent, Qt::Window), m_filter(filter), m_firstDayOfWeek(firstDayOfWeek) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(tr("Reports"));
    CreateControls();
    resize(1240, 720);
    SetFilter(filter);
}

CReportWindow::~CReportWindow() = default;

void CReportWindow::CreateControls() {
    m_tree = Named(new QTreeWidget(this), "reportTable");
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setStretchLastSection(false);
    m_barView = Named(new QChartView(this), "barChart");
    m_lineView = Named(new QChartView(this), "lineChart");
    for (QChartView* view : {m_barView, m_lineView}) {
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(320, 200);
    }
    auto* charts = new QSplitter(Qt::Vertical, this);
    charts->addWidget(m_barView);
    charts->addWidget(m_lineView);
    charts->setStretchFactor(0, 3);
    charts->setStretchFactor(1, 2);
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->addWidget(m_tree);
    m_split->addWidget(charts);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({620, 560});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateChoices());
    layout->addWidget(m_split, 1);
    layout->addWidget(CreateButtons());
}

QWidget* CReportWindow::CreateChoices() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto addLabelled = [&](const QString& text, QWidget* widget) {
        auto* label = new QLabel(text, row);
        label->setBuddy(widget);
        layout->addWidget(label);
        layout->addWidget(widget);
    };
    m_preset = Named(new QComboBox(row), "periodPreset");
    m_from = Named(new QDateEdit(row), "periodFrom");
    m_to = Named(new QDateEdit(row), "periodTo");
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        connect(edit, &QDateEdit::dateChanged, this, &CReportWindow::OnDateEdited);
    }
    FillPresets();
    connect(m_preset, &QComboBox::currentIndexChanged, this, &CReportWindow::OnPresetChosen);
    m_groupBy = Named(new QComboBox(row), "groupBy");
    m_thenBy = Named(new QComboBox(row), "thenBy");
    m_measure = Named(new QComboBox(row), "chartMeasure");
    m_measure->addItems({CReportCharts::MeasureName(CReportCharts::Measure_Hours),
                         CReportCharts::MeasureName(CReportCharts::Measure_Amount)});
    m_step = Named(new QComboBox(row), "lineStep");
    m_step->addItems({tr("Hours per day"), tr("Hours per week")});
    FillGroupings();
    RestoreChoices();
    for (QComboBox* box : {m_groupBy, m_thenBy, m_measure, m_step})
        connect(box, &QComboBox::currentIndexChanged, this, &CReportWindow::OnChoiceMade);
    addLabelled(tr("P&eriod:"), m_preset);
    addLabelled(tr("&From:"), m_from);
    addLabelled(tr("&To:"), m_to);
    addLabelled(tr("&Group by:"), m_groupBy);
    addLabelled(tr("T&hen by:"), m_thenBy);
    addLabelled(tr("&Chart:"), m_measure);
    layout->addWidget(m_step);
    layout->addStretch(1);
    return row;
}

QWidget* CReportWindow::CreateButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    auto* print = Named(new QPushButton(tr("&Print..."), row), "printReport");
    auto* pdf = Named(new QPushButton(tr("Save as P&DF..."), row), "savePdf");
    auto* csv = Named(new QPushButton(tr("Save as C&SV..."), row), "saveCsv");
    auto* close = Named(new QPushButton(tr("Close"), row), "closeReport");
    connect(print, &QPushButton::clicked, this, &CReportWindow::Print);
    connect(pdf, &QPushButton::clicked, this, &CReportWindow::SavePdf);
    connect(csv, &QPushButton::clicked, this, &CReportWindow::SaveCsv);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes it as it closes the dialogs beside it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    for (QPushButton* button : {print, pdf, csv, close})
        layout->addWidget(button);
    return row;
}

void CReportWindow::FillGroupings() {
    m_thenBy->addItem(tr("(Nothing)"), CReport::GroupBy_None);
    for (CReport::GroupBy by : kGroupings) {
        const QString name = qtconv::ToQString(CReport::GroupByName(by));
        m_groupBy->addItem(name, by);
        m_thenBy->addItem(name, by);
    }
}

namespace {

// The item of `box` whose data is the stored number, when there is one.
void SelectStoredData(QComboBox& box, const char16_t* value) {
    const int index = box.findData(static_cast<int>(Registry::GetDword(CSharedSettings::kSettingsKey, value, ~0u)));
    if (index >= 0)
        box.setCurrentIndex(index);
}

void SelectStoredIndex(QComboBox& box, const char16_t* value) {
    const auto index = static_cast<int>(Registry::GetDword(CSharedSettings::kSettingsKey, value, 0));
    if (index >= 0 && index < box.count())
        box.setCurrentIndex(index);
}

}   // namespace

void CReportWindow::RestoreChoices() {
    SelectStoredData(*m_groupBy, kGroupByValue);
    SelectStoredData(*m_thenBy, kThenByValue);
    SelectStoredIndex(*m_measure, kMeasureValue);
    SelectStoredIndex(*m_step, kStepValue);
}

void CReportWindow::OnChoiceMade() {
    const auto data = [](const QComboBox* box) { return static_cast<uint32_t>(box->currentData().toInt()); };
    const auto index = [](const QComboBox* box) { return static_cast<uint32_t>(box->currentIndex()); };
    Registry::SetDword(CSharedSettings::kSettingsKey, kGroupByValue, data(m_groupBy));
    Registry::SetDword(CSharedSettings::kSettingsKey, kThenByValue, data(m_thenBy));
    Registry::SetDword(CSharedSettings::kSettingsKey, kMeasureValue, index(m_measure));
    Registry::SetDword(CSharedSettings::kSettingsKey, kStepValue, index(m_step));
    Rebuild();
}

void CReportWindow::FillPresets() {
    const QString names[CReportPeriod::Preset_Count] = {tr("This week"),  tr("Last week"),    tr("This month"),
                                                        tr("Last month"), tr("This quarter"), tr("This year"),
                                                        tr("Last year"),  tr("Custom")};
    for (const QString& name : names)
        m_preset->addItem(name);
    const auto remembered = static_cast<int>(
        Registry::GetDword(CSharedSettings::kSettingsKey, kPresetValue, CReportPeriod::Preset_Custom));
    m_preset->setCurrentIndex(CReportPeriod::FromInt(remembered));
}

bool CReportWindow::ApplyPreset() {
    COleDateTime start, end;
    const auto preset = static_cast<CReportPeriod::Preset>(m_preset->currentIndex());
    if (!CReportPeriod::Range(preset, Clock::LocalNow(), m_firstDayOfWeek, start, end))
        return false;
    m_from->setDate(ToQDate(start));
    m_to->setDate(ToQDate(end));
    return true;
}

void CReportWindow::OnPresetChosen() {
    Registry::SetDword(CSharedSettings::kSettingsKey, kPresetValue, static_cast<uint32_t>(m_preset->currentIndex()));
    m_filling = true;
    const bool changed = ApplyPreset();
    m_filling = false;
    if (changed)
        Rebuild();
}

// A date typed or picked makes the period the user's own.
void CReportWindow::OnDateEdited() {
    if (m_filling)
        return;
    if (m_preset->currentIndex() != CReportPeriod::Preset_Custom) {
        const QSignalBlocker blocker(m_preset);
        m_preset->setCurrentIndex(CReportPeriod::Preset_Custom);
        Registry::SetDword(CSharedSettings::kSettingsKey, kPresetValue, CReportPeriod::Preset_Custom);
    }
    Rebuild();
}

void CReportWindow::SetFilter(const CProjectItemFilter& filter) {
    m_filter = filter;
    m_filling = true;
    if (!ApplyPreset()) {
        m_from->setDate(ToQDate(filter.m_dtStart));
        m_to->setDate(ToQDate(filter.m_dtEnd));
    }
    m_filling = false;
    Rebuild();
}

void CReportWindow::SetFirstDayOfWeek(int firstDayOfWeek) {
    if (firstDayOfWeek == m_firstDayOfWeek)
        return;
    m_firstDayOfWeek = firstDayOfWeek;
    m_filling = true;
    ApplyPreset();
    m_filling = false;
    Rebuild();
}

CReport::Request CReportWindow::MakeRequest() const {
    CReport::Request request;
    request.filter = m_filter;
    request.filter.m_dtStart = FromQDate(m_from->date());
    request.filter.m_dtEnd = FromQDate(m_to->date());
    request.groupBy = static_cast<CReport::GroupBy>(m_groupBy->currentData().toInt());
    request.thenBy = static_cast<CReport::GroupBy>(m_thenBy->currentData().toInt());
    request.firstDayOfWeek = m_firstDayOfWeek;
    request.seriesStep = m_step->currentIndex() == 1 ? CReport::SeriesStep_Week : CReport::SeriesStep_Day;
    return request;
}

void CReportWindow::Rebuild() {
    if (m_filling)
        return;
    m_report = std::make_unique<CReport>(CReport::Build(MakeRequest()));
    CReportTable::Fill(*m_tree, *m_report);
    FitTable();
    ShowCharts();
}

void CReportWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitTable();   // the splitter has its real width only now
}

void CReportWindow::FitTable() {
    constexpr int kChartRoom = 440;
    int needed = 2 * m_tree->frameWidth() + m_tree->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_tree->columnCount(); ++c)
        needed += m_tree->columnWidth(c);
    const QList<int> sizes = m_split->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (sizes.value(0) >= needed || total <= kChartRoom)
        return;
    const int table = std::min(needed, total - kChartRoom);
    m_split->setSizes({table, total - table});
}

void CReportWindow::ShowCharts() {
    const auto measure = static_cast<CReportCharts::Measure>(m_measure->currentIndex());
    for (auto [view, chart] : {std::pair{m_barView, CReportCharts::BarChart(*m_report, measure)},
                               std::pair{m_lineView, CReportCharts::LineChart(*m_report)}}) {
        CReportCharts::ApplyPalette(*chart, palette());
        QChart* old = view->chart();
        view->setChart(chart);   // the view owns the new chart; the old one is ours to delete
        delete old;
    }
}

QChart* CReportWindow::BarChart() const { return m_barView->chart(); }

QChart* CReportWindow::LineChart() const { return m_lineView->chart(); }

void CReportWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_report) {
        for (QChartView* view : {m_barView, m_lineView})
            CReportCharts::ApplyPalette(*view->chart(), palette());
    }
}

QString CReportWindow::ChooseFile(const QString& suffix, const QString& nameFilter) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setNameFilters({nameFilter, tr("All Files (*)")});
    dialog.selectFile(tr("Report.") + suffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

bool CReportWindow::SavePdf() {
    const QString path = ChooseFile(QStringLiteral("pdf"), tr("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    const CReportDocument document(*m_report, static_cast<CReportCharts::Measure>(m_measure->currentIndex()));
    if (!document.WritePdf(path, error)) {
        TellFailure(tr("The report could not be saved.\n\n%1").arg(error));
        return false;
    }
    return true;
}

bool CReportWindow::SaveCsv() {
    const QString path = ChooseFile(QStringLiteral("csv"), tr("CSV Files (*.csv)"));
    if (path.isEmpty())
        return false;
    CString error;
    if (!CReportCsvExport::Write(qtconv::FromQString(path), *m_report, CCsvWriter::Format(), error)) {
        TellFailure(tr("The report could not be saved.\n\n%1").arg(qtconv::ToQString(error)));
        return false;
    }
    return true;
}

bool CReportWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    const CReportDocument document(*m_report, static_cast<CReportCharts::Measure>(m_measure->currentIndex()));
    if (!document.Paint(printer)) {
        TellFailure(tr("The report could not be printed."));
        return false;
    }
    return true;
}
