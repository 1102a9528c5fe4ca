#include "desktop/export/DlgExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "desktop/export/DataExporter.h"
#include "desktop/export/DlgExcelSettings.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/SharedSettings.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {
constexpr int kFieldColumnWidth = 150;
constexpr char16_t kCsvUserDates[] = u"CsvUserDates";
}   // namespace

CDlgExport::CDlgExport(ExportRequest& request, QWidget* parent) : CDialog(u"Export Data", parent), m_request(request) {
    setObjectName(QStringLiteral("dlgExport"));
}

CString CDlgExport::FieldsKey() { return CSharedSettings::kAppKey + u"\\ExportFields"; }

CString CDlgExport::CsvUserDatesKey() { return CSharedSettings::kAppKey + u"\\Export"; }

void CDlgExport::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* formatGroup = MakeGroup(tr("&Format"), this, grid);
    m_format = Named(new QComboBox(this), "formatList");
    m_format->addItems({tr("Microsoft Excel"), tr("XML"), tr("CSV (comma-separated)")});
    formatGroup->setFocusProxy(m_format);
    m_advanced = Named(new QPushButton(tr("Advanced &Settings"), this), "advancedSettings");
    grid->addWidget(m_format, 0, 0);
    grid->addWidget(m_advanced, 0, 1);
    m_csvUserDates = Named(new QCheckBox(tr("Dates in my &short date format"), this), "csvUserDates");
    m_csvUserDates->setToolTip(tr("Otherwise dates are written as 2004-03-07 and times as 14:30:00"));
    grid->addWidget(m_csvUserDates, 1, 0, 1, 2);

    m_fields = Named(new QListWidget(this), "fieldList");
    m_fields->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fields->setMinimumWidth(kFieldColumnWidth + 30);
    auto* fieldsLabel = MakeBuddyLabel(tr("Fi&elds:"), m_fields, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(formatGroup);
    layout->addWidget(fieldsLabel);
    layout->addWidget(m_fields);
    layout->addLayout(AddOkCancelButtons());
    OkButton()->setText(tr("Exp&ort"));
    OkButton()->setObjectName(QStringLiteral("exportButton"));

    connect(m_format, &QComboBox::currentIndexChanged, this, &CDlgExport::OnFormatChanged);
    connect(m_advanced, &QPushButton::clicked, this, &CDlgExport::OnAdvancedSettings);
}

bool CDlgExport::OnInitDialog() {
    for (int f = 0; f < ExportField_Count; ++f) {
        const auto field = static_cast<ExportField>(f);
        auto* item = new QListWidgetItem(qtconv::ToQString(ExportFieldCaption(field)), m_fields);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const uint32_t kept = Registry::GetDword(FieldsKey(), ExportFieldName(field), 1);
        item->setCheckState(kept ? Qt::Checked : Qt::Unchecked);
    }
    ShowEveryField();
    m_csvUserDates->setChecked(Registry::GetDword(CsvUserDatesKey(), kCsvUserDates, 0) != 0);
    m_format->setCurrentIndex(ExportFormat_Excel);
    OnFormatChanged();
    return true;
}

// Eighteen short rows fit on any screen; a scroll bar would only hide choices.
void CDlgExport::ShowEveryField() {
    const int rows = m_fields->count();
    if (rows == 0)
        return;
    m_fields->setMinimumHeight(m_fields->sizeHintForRow(0) * rows + 2 * m_fields->frameWidth());
}

void CDlgExport::OnFormatChanged() {
    m_advanced->setEnabled(m_format->currentIndex() == ExportFormat_Excel);
    m_csvUserDates->setEnabled(m_format->currentIndex() == ExportFormat_Csv);
}

void CDlgExport::OnAdvancedSettings() {
    CDlgExcelSettings settings(m_request.m_formats, m_request.m_keepFormats, this);
    if (settings.DoModal() == IDOK)
        m_request.m_formats = settings.m_formats;
}

void CDlgExport::KeepFieldChoices() {
    for (int f = 0; f < ExportField_Count; ++f) {
        const auto field = static_cast<ExportField>(f);
        const int checked = m_fields->item(f)->checkState() == Qt::Checked ? 1 : 0;
        Registry::SetDword(FieldsKey(), ExportFieldName(field), static_cast<uint32_t>(checked));
        m_request.m_bInclude[f] = checked;
    }
}

void CDlgExport::OnOK() {
    m_request.m_nFormat = m_format->currentIndex();
    KeepFieldChoices();
    m_request.m_bCsvUserDates = m_csvUserDates->isChecked();
    if (m_request.m_nFormat == ExportFormat_Csv)
        Registry::SetDword(CsvUserDatesKey(), kCsvUserDates, m_request.m_bCsvUserDates ? 1u : 0u);
    // A file dialog cancelled earlier in this dialog must not hide a later failure.
    m_request.m_bCancelled = 0;
    m_request.m_strError.Empty();
    if (!CDataExporter::Run(m_request, this)) {
        ReportFailure();
        return;
    }
    if (m_request.m_nFormat == ExportFormat_Xml || m_request.m_nFormat == ExportFormat_Csv)
        OpenExportedFile();
    EndDialogOK();
}

// The file is written whether or not it opens; the user is told both.
void CDlgExport::OpenExportedFile() {
    const QString path = qtconv::ToQString(m_request.m_strOutputPath);
    const int result = OpenUrl(QUrl::fromLocalFile(path).toString());
    if (result > 32)
        return;
    const QString text = QStringLiteral("Your data was exported to \"%1\", but the file could not be opened:\n\n%2")
                             .arg(path, UrlOpenErrorText(result));
    AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONEXCLAMATION);
}

void CDlgExport::ReportFailure() {
    if (m_request.m_bCancelled)
        return;
    CString message;
    message.Format(GetResString(105, 1), m_request.m_strError.GetString());
    AfxMessageBox(message, MB_OK | MB_ICONSTOP);
}

void ExportData(const CProjectItemFilter& filter, QWidget* parent, const ExcelCellFormats& formats,
                std::function<void(const ExcelCellFormats&)> keepFormats) {
    ExportRequest request;
    request.m_pFilter = &filter;
    request.m_formats = formats;
    request.m_keepFormats = std::move(keepFormats);
    CDlgExport dialog(request, parent);
    dialog.DoModal();
}
