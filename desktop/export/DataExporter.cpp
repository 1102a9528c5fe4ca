#include "desktop/export/DataExporter.h"

#include <QFileDialog>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/EntryCsvExport.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "desktop/export/ExcelApplication.h"
#include "desktop/export/ExcelBorders.h"
#include "desktop/export/ExcelFont.h"
#include "platform/Locale.h"
#include "platform/ObArray.h"
#include "platform/StringTable.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"

namespace {

constexpr int kArrayColumns = 20;
constexpr float kMinutesToHours = 0.016666668f;   // the single-precision value nearest 1/60
const char16_t kCannotStartExcel[] = u"Cannot start Microsoft Excel";

// Entries of the data store in its order (by date, equal dates in document order) that the
// request's filter lets through. A filter's period is read through the store's date index, so
// an export of a week builds the week's entries and not the whole file's.
class PassingEntries {
public:
    explicit PassingEntries(const CProjectItemFilter* filter) {
        CDataHelper* store = GetCurrDataHelper();
        if (filter && HasPeriod(*filter)) {
            m_inPeriod = store->GetEntriesInRange(filter->m_dtStart, filter->m_dtEnd);
            for (const auto& entry : m_inPeriod)
                Keep(filter, entry.get());
            return;
        }
        m_all.reset(store->GetObjectList(u"projectItem"));
        for (int i = 0; i < m_all->GetSize(); ++i)
            Keep(filter, static_cast<CProjectItem*>(m_all->GetAt(i)));
    }
    int Total() const { return static_cast<int>(m_passing.size()); }
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (CProjectItem* entry : m_passing)
            visit(*entry);
    }

private:
    static bool HasPeriod(const CProjectItemFilter& filter) {
        return filter.m_dtStart.GetStatus() == COleDateTime::valid &&
               filter.m_dtEnd.GetStatus() == COleDateTime::valid;
    }
    void Keep(const CProjectItemFilter* filter, CProjectItem* entry) {
        if (!filter || filter->RunOnItem(entry) == 0)
            m_passing.push_back(entry);
    }

    std::unique_ptr<CObArray> m_all;
    std::vector<std::unique_ptr<CProjectItem>> m_inPeriod;
    std::vector<CProjectItem*> m_passing;
};

template <typename Record>
bool LoadByRef(Record& record, const CString& refId, const char16_t* elemName) {
    if (refId.IsEmpty())
        return false;
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, elemName));
    return record.Load() != 0;
}

CString ClientDescription(CProjectItem& entry) {
    CClient client;
    return LoadByRef(client, entry.get_ClientRef(), u"client") ? client.get_Description() : CString();
}

CString ProjectDescription(CProjectItem& entry) {
    CProject project;
    return LoadByRef(project, entry.get_ProjectRef(), u"project") ? project.get_Description() : CString();
}

CString CategoryCode(CProjectItem& entry) {
    CCategory category;
    return LoadByRef(category, entry.get_CategoryRef(), u"category") ? category.get_Code() : CString();
}

CString TypeText(const CProjectItem& entry) {
    switch (entry.get_ItemType()) {
    case CProjectItem::ItemType_Time: return GetResString(30, 1);
    case CProjectItem::ItemType_Expense: return GetResString(52, 1);
    case CProjectItem::ItemType_Mileage: return GetResString(53, 1);
    }
    return CString();
}

CString StatusText(const CProjectItem& entry) {
    switch (entry.get_PymtStatus()) {
    case CProjectItem::PymtStatus_NotBilled: return GetResString(101, 1);
    case CProjectItem::PymtStatus_Billed: return GetResString(102, 1);
    case CProjectItem::PymtStatus_Paid: return GetResString(103, 1);
    }
    return CString();
}

bool IsTime(const CProjectItem& entry) { return entry.get_ItemType() == CProjectItem::ItemType_Time; }

bool IsMileage(const CProjectItem& entry) { return entry.get_ItemType() == CProjectItem::ItemType_Mileage; }

float DurationInHours(const CProjectItem& entry) {
    return Rounded(static_cast<float>(entry.get_DurationInMinutes()) * kMinutesToHours);
}

CString WithoutCarriageReturns(CString text) {
    text.Remove(u'\r');
    return text;
}

// The two-decimal value every money and hours text shows, as the decimal the user typed
// (49.99, not the float's 49.9900016784668).
double TwoDecimals(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return std::strtod(text, nullptr);
}

// The shortest text of that decimal ("85.5", "12345.67"), which "%g" gives too while it has
// six digits or fewer.
CString DecimalText(double value) {
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return CString::FromUtf8(std::string(text, result.ptr));
}

// A time entry entered as a duration only has both times on the zero date-time.
bool HasTimesOfDay(const CProjectItem& entry) {
    return IsTime(entry) && (entry.get_StartTime().m_dt != 0.0 || entry.get_EndTime().m_dt != 0.0);
}

// Columns of the spreadsheet that get formats or sums after the data is in.
struct FormattedColumns {
    std::array<int, ExportField_Count> column;
    FormattedColumns() { column.fill(-1); }
};

void StyleRange(CExcelRange range, bool bold) {
    CExcelFont font = range.Font();
    font.SetName(u"Tahoma");
    font.SetSize(8);
    font.SetBold(bold);
}

// A medium line along one edge of the range only.
void MediumLineAlong(CExcelRange range, int keptEdge) {
    range.BorderAround(xlContinuous, xlMedium, 0, 0);
    for (int edge : {xlEdgeTop, xlEdgeBottom, xlEdgeLeft, xlEdgeRight})
        if (edge != keptEdge)
            range.Borders().Item(edge).SetLineStyle(xlNone);
}

void SetColumnFormat(CExcelWorksheet& sheet, int column, const CString& format) {
    if (column < 0 || format.IsEmpty())
        return;
    sheet.Range(u"A1").Offset(0, column).EntireColumn().SetNumberFormat(format);
}

void SumColumn(CExcelRange totals, int column, int rows, const CString& format, CExcelWorksheet& sheet) {
    if (column < 0)
        return;
    CString formula;
    formula.Format(u"=SUM(R%dC%d:R%dC%d)", 2, column + 1, rows + 1, column + 1);
    totals.Offset(0, column).Resize(1, 1).SetFormulaR1C1(formula);
    SetColumnFormat(sheet, column, format);
}

bool FillHeader(ExportRequest& request, CExcelWorksheet& sheet, FormattedColumns& columns) {
    CExcelRange::Array header(1, std::vector<CVariant>(kArrayColumns));
    request.m_nColumn = 0;
    for (int f = 0; f < ExportField_Count; ++f) {
        if (!request.m_bInclude[f])
            continue;
        columns.column[f] = request.m_nColumn;
        header[0][request.m_nColumn++] = CVariant::Text(ExportFieldCaption(static_cast<ExportField>(f)));
    }
    if (request.m_nColumn == 0) {
        request.m_strError = u"Cannot write the header row: no field is selected.";
        return false;
    }
    CExcelRange range = sheet.Range(u"A1").Resize(1, request.m_nColumn);
    range.SetValue(header);
    StyleRange(range, true);
    MediumLineAlong(range, xlEdgeBottom);
    return true;
}

void FillData(ExportRequest& request, CExcelWorksheet& sheet, const PassingEntries& entries) {
    CExcelRange::Array data(entries.Total() + 1, std::vector<CVariant>(kArrayColumns));
    request.m_nRow = 0;
    entries.ForEach([&](CProjectItem& entry) {
        request.m_nColumn = 0;
        for (int f = 0; f < ExportField_Count; ++f)
            if (request.m_bInclude[f])
                data[request.m_nRow][request.m_nColumn++] =
                    CDataExporter::CellValue(static_cast<ExportField>(f), entry);
        ++request.m_nRow;
    });
    request.m_nColumn = 0;
    for (int f = 0; f < ExportField_Count; ++f)
        request.m_nColumn += request.m_bInclude[f] ? 1 : 0;
    if (request.m_nRow == 0)
        return;

    const int rows = request.m_nRow, columnCount = request.m_nColumn;
    CExcelRange range = sheet.Range(u"A2").Resize(rows, columnCount);
    range.SetValue(data);
    StyleRange(range, false);
    range.EntireColumn().AutoFit();
}

void FinishTotalsAndFormats(const ExportRequest& request, CExcelWorksheet& sheet, const FormattedColumns& columns) {
    const int rows = request.m_nRow, columnCount = request.m_nColumn;
    const ExcelCellFormats& formats = request.m_formats;
    CExcelRange totals = sheet.Range(u"A1").Offset(rows + 1, 0);
    totals.SetValue(CVariant::Text(GetResString(107, 1)));
    CExcelRange totalsRow = totals.Resize(1, columnCount);
    StyleRange(totalsRow, true);
    MediumLineAlong(totalsRow, xlEdgeTop);

    SumColumn(totals, columns.column[ExportField_Amount], rows, formats.currency, sheet);
    SumColumn(totals, columns.column[ExportField_Duration], rows, formats.duration, sheet);
    SetColumnFormat(sheet, columns.column[ExportField_StartTime], formats.time);
    SetColumnFormat(sheet, columns.column[ExportField_EndTime], formats.time);
    SetColumnFormat(sheet, columns.column[ExportField_OdometerStart], formats.number);
    SetColumnFormat(sheet, columns.column[ExportField_OdometerEnd], formats.number);
    SetColumnFormat(sheet, columns.column[ExportField_Date], formats.date);
    for (ExportField custom : {ExportField_Custom1, ExportField_Custom2, ExportField_Custom3})
        SetColumnFormat(sheet, columns.column[custom], u"@");
}

// Windows file-type filter ("Name|*.ext|...||") in the file dialog's form ("Name (*.ext);;...").
QStringList NameFilters(const CString& windowsFilter) {
    const QStringList parts = qtconv::ToQString(windowsFilter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i];
    return filters;
}

// Asks for the file to write (modal-dialog hook); false with the cancelled mark when the user
// chose none.
bool ChooseOutputFile(ExportRequest& request, QWidget* parent, const QString& suffix, const QStringList& filters) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setNameFilters(filters);
    dialog.selectFile(QStringLiteral("Quillmar.") + suffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        request.m_bCancelled = 1;
        return false;
    }
    request.m_strOutputPath = qtconv::FromQString(dialog.selectedFiles().first());
    return true;
}

}   // namespace

bool CDataExporter::Run(ExportRequest& request, QWidget* parent) {
    switch (request.m_nFormat) {
    case ExportFormat_Excel: return ExportToExcel(request);
    case ExportFormat_Xml: return ExportToXml(request, parent);
    case ExportFormat_Csv: return ExportToCsv(request, parent);
    }
    request.m_strError = u"Unknown export format.";
    return false;
}

bool CDataExporter::ExportToExcel(ExportRequest& request) {
    std::unique_ptr<CExcelApplication> excel = CExcelApplication::Create();
    if (!excel) {
        request.m_strError = kCannotStartExcel;
        return false;
    }
    std::optional<CExcelWorksheet> sheet = excel->Workbooks().Add().Worksheets().Item(1);
    FormattedColumns columns;
    if (!FillHeader(request, *sheet, columns))
        return false;
    PassingEntries entries(request.m_pFilter);
    FillData(request, *sheet, entries);
    if (request.m_nRow > 0)
        FinishTotalsAndFormats(request, *sheet, columns);
    if (!excel->SetVisible(true)) {
        request.m_strError = kCannotStartExcel;
        return false;
    }
    excel->SetUserControl(true);
    return true;
}

bool CDataExporter::ExportToXml(ExportRequest& request, QWidget* parent) {
    if (!ChooseOutputFile(request, parent, QStringLiteral("xml"), NameFilters(GetResString(104, 1))))
        return false;
    return WriteXmlFile(request);
}

bool CDataExporter::ExportToCsv(ExportRequest& request, QWidget* parent) {
    const QStringList filters{QStringLiteral("CSV Files (*.csv)"), QStringLiteral("All Files (*.*)")};
    if (!ChooseOutputFile(request, parent, QStringLiteral("csv"), filters))
        return false;
    return WriteCsvFile(request);
}

bool CDataExporter::WriteCsvFile(ExportRequest& request) {
    CEntryCsvExport::Options options;
    for (int f = 0; f < ExportField_Count; ++f)
        options.include[static_cast<size_t>(f)] = request.m_bInclude[static_cast<size_t>(f)];
    options.customLabels = {ExportFieldCaption(ExportField_Custom1), ExportFieldCaption(ExportField_Custom2),
                            ExportFieldCaption(ExportField_Custom3)};
    options.format.userDateFormat = request.m_bCsvUserDates;
    // Without a view's filter every entry goes, as in the other formats.
    const CProjectItemFilter everything;
    const CProjectItemFilter& filter = request.m_pFilter ? *request.m_pFilter : everything;
    return CEntryCsvExport::Write(request.m_strOutputPath, filter, options, request.m_strError);
}

bool CDataExporter::WriteXmlFile(ExportRequest& request) {
    CMarkupArchive document(CMarkupArchive::ArchiveModeStoring | CMarkupArchive::ArchiveModeCreate);
    document.SetEncodingString(u"ISO-8859-1");
    document.AddElem(StringTable::Get(57344));
    document.IntoElem();
    PassingEntries entries(request.m_pFilter);
    entries.ForEach([&](CProjectItem& entry) {
        document.AddElem(u"projectItem");
        document.IntoElem();
        for (int f = 0; f < ExportField_Count; ++f) {
            if (!request.m_bInclude[f])
                continue;
            const auto field = static_cast<ExportField>(f);
            document.AddElem(ExportFieldXmlName(field), XmlText(field, entry));
        }
        document.OutOfElem();
    });
    document.OutOfElem();
    if (!document.Save(request.m_strOutputPath)) {
        request.m_strError = CString(u"Cannot save ") + request.m_strOutputPath;
        return false;
    }
    return true;
}

CVariant CDataExporter::CellValue(ExportField field, CProjectItem& entry) {
    switch (field) {
    case ExportField_Date: return CVariant::Date(entry.get_ItemDate().m_dt);
    case ExportField_Client: return CVariant::Text(ClientDescription(entry));
    case ExportField_Project: return CVariant::Text(ProjectDescription(entry));
    case ExportField_Category: return CVariant::Text(IsTime(entry) ? CategoryCode(entry) : CString());
    case ExportField_Description: return CVariant::Text(entry.get_DescriptionEx());
    case ExportField_StartTime:
        return HasTimesOfDay(entry) ? CVariant::Date(entry.get_StartTime().m_dt) : CVariant::Text(CString());
    case ExportField_EndTime:
        return HasTimesOfDay(entry) ? CVariant::Date(entry.get_EndTime().m_dt) : CVariant::Text(CString());
    case ExportField_Duration:
        return IsTime(entry) ? CVariant::Number(TwoDecimals(DurationInHours(entry))) : CVariant::Text(CString());
    case ExportField_Type: return CVariant::Text(TypeText(entry));
    case ExportField_Billable: return CVariant::Text(GetResString(entry.get_IsBillable() ? 100 : 99, 1));
    case ExportField_Amount: return CVariant::Number(TwoDecimals(entry.get_BillAmount()));
    case ExportField_BillingStatus: return CVariant::Text(StatusText(entry));
    case ExportField_OdometerStart:
        return IsMileage(entry) ? CVariant::Number(entry.get_OdometerStart()) : CVariant::Text(CString());
    case ExportField_OdometerEnd:
        return IsMileage(entry) ? CVariant::Number(entry.get_OdometerEnd()) : CVariant::Text(CString());
    case ExportField_Custom1: return CVariant::Text(entry.get_Custom1());
    case ExportField_Custom2: return CVariant::Text(entry.get_Custom2());
    case ExportField_Custom3: return CVariant::Text(entry.get_Custom3());
    case ExportField_Notes: return CVariant::Text(WithoutCarriageReturns(entry.get_Notes()));
    case ExportField_Count: break;
    }
    return CVariant();
}

CString CDataExporter::XmlText(ExportField field, CProjectItem& entry) {
    const Locale& locale = Locale::UserDefault();
    switch (field) {
    case ExportField_Date: return locale.FormatDate(entry.get_ItemDate(), locale.shortDatePicture);
    case ExportField_StartTime:
        return HasTimesOfDay(entry) ? locale.FormatDefaultDateTime(entry.get_StartTime()) : CString();
    case ExportField_EndTime:
        return HasTimesOfDay(entry) ? locale.FormatDefaultDateTime(entry.get_EndTime()) : CString();
    case ExportField_Duration: return IsTime(entry) ? DecimalText(TwoDecimals(DurationInHours(entry))) : CString();
    case ExportField_Amount: return DecimalText(TwoDecimals(entry.get_BillAmount()));
    case ExportField_OdometerStart:
        return IsMileage(entry) ? CString::Formatted(u"%d", entry.get_OdometerStart()) : CString();
    case ExportField_OdometerEnd:
        return IsMileage(entry) ? CString::Formatted(u"%d", entry.get_OdometerEnd()) : CString();
    case ExportField_Notes: return entry.get_Notes();
    default: return CellValue(field, entry).GetText();
    }
}
