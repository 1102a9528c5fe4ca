// The data export: the XML file's exact text, the workbook as written, the Export dialog's
// choices kept in the registry, and the spreadsheet settings.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "desktop/DialogBridge.h"
#include "desktop/QuillmarApp.h"
#include "desktop/export/DataExporter.h"
#include "desktop/export/DlgExcelSettings.h"
#include "desktop/export/DlgExport.h"
#include "desktop/export/ExcelApplication.h"
#include "desktop/export/tests/XlsxReader.h"
#include "desktop/tests/DocumentTestSupport.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"

namespace {

CString Res(unsigned id) { return GetResString(id, 1); }

// Collects the workbooks the export shows instead of opening them.
class CapturedWorkbooks {
public:
    explicit CapturedWorkbooks(bool opens = true)
        : m_previous(CExcelApplication::SetFileOpener([this, opens](const std::string& path) {
              m_paths.push_back(path);
              return opens;
          })) {}
    ~CapturedWorkbooks() {
        CExcelApplication::SetFileOpener(m_previous);
        for (const auto& path : m_paths)
            QFile::remove(QString::fromStdString(path));
    }
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
    CExcelApplication::FileOpener m_previous;
};

}   // namespace

class ExportTest : public QObject {
    Q_OBJECT

private:
    std::optional<testsupport::FixedDay> m_day;
    CProjectItemFilter m_filter;
    QTemporaryDir m_output;
    QStringList m_opened;
    UrlOpenHandler m_previousOpener;

    void AddSampleEntries() {
        CProjectItem time;
        time.set_ItemDate(COleDateTime(2004, 3, 7, 0, 0, 0));
        time.set_ProjectRef(u"SAMP002");
        time.set_CategoryRef(u"SAMP003");
        time.set_Description(u"Design review");
        time.set_DurationInMinutes(90);
        time.set_StartTime(COleDateTime(1899, 12, 30, 9, 0, 0));
        time.set_EndTime(COleDateTime(1899, 12, 30, 10, 30, 0));
        time.set_BillAmount(120.0f);
        time.set_Custom1(u"PO-7");
        QCOMPARE(time.Save(), 1);

        CProjectItem expense;
        expense.set_ItemType(CProjectItem::ItemType_Expense);
        expense.set_ItemDate(COleDateTime(2004, 3, 8, 0, 0, 0));
        expense.set_ProjectRef(u"SAMP002");
        expense.set_CategoryRef(u"SAMP003");
        expense.set_Description2(u"Airfare");
        expense.set_Description(u"Trip");
        expense.set_BillAmount(250.5f);
        expense.set_PymtStatus(CProjectItem::PymtStatus_Billed);
        expense.set_Notes(u"line one\r\nline two");
        QCOMPARE(expense.Save(), 1);

        CProjectItem mileage;
        mileage.set_ItemType(CProjectItem::ItemType_Mileage);
        mileage.set_ItemDate(COleDateTime(2004, 3, 9, 0, 0, 0));
        mileage.set_ProjectRef(u"SAMP002");
        mileage.set_Description(u"Site visit");
        mileage.set_OdometerStart(12000);
        mileage.set_OdometerEnd(12150);
        mileage.set_BillAmount(54.75f);
        mileage.set_IsBillable(0);
        mileage.set_PymtStatus(CProjectItem::PymtStatus_Paid);
        QCOMPARE(mileage.Save(), 1);

        CProjectItem outside;
        outside.set_ItemDate(COleDateTime(2004, 4, 1, 0, 0, 0));
        outside.set_ProjectRef(u"SAMP002");
        QCOMPARE(outside.Save(), 1);
    }

    // A time entry whose texts hold everything CSV has to protect, and a negative amount.
    void AddAwkwardEntry() {
        CProjectItem entry;
        entry.set_ItemDate(COleDateTime(2004, 3, 10, 0, 0, 0));
        entry.set_ProjectRef(u"SAMP002");
        entry.set_Description(CString("Müller, Söhne & \"Co\" – 東京"));
        entry.set_DurationInMinutes(20);
        entry.set_BillAmount(-12.5f);
        entry.set_Notes(u"first, line\r\nsecond \"quoted\"");
        QCOMPARE(entry.Save(), 1);
    }

    // Exports through the Export dialog as CSV with only the fields in `rows` checked.
    int ExportCsvThroughDialog(const QString& path, std::initializer_list<int> rows, bool userDates = false) {
        testsupport::DialogScript dialogs({
            [&](QDialog& dialog) {
                auto* format = dialog.findChild<QComboBox*>("formatList");
                auto* dates = dialog.findChild<QCheckBox*>("csvUserDates");
                auto* fields = dialog.findChild<QListWidget*>("fieldList");
                if (!format || !dates || !fields || format->count() != 3 || dates->isEnabled())
                    return int(QDialog::Rejected);
                format->setCurrentIndex(ExportFormat_Csv);
                if (!dates->isEnabled())
                    return int(QDialog::Rejected);
                dates->setChecked(userDates);
                for (int row = 0; row < ExportField_Count; ++row)
                    fields->item(row)->setCheckState(std::count(rows.begin(), rows.end(), row) ? Qt::Checked
                                                                                               : Qt::Unchecked);
                dialog.findChild<QPushButton*>("exportButton")->click();
                return dialog.result();
            },
            testsupport::SaveFileAs(path),
        });
        ExportData(m_filter);
        return dialogs.Shown();
    }

    ExportRequest Request(ExportFormat format) {
        ExportRequest request;
        request.m_pFilter = &m_filter;
        request.m_nFormat = format;
        return request;
    }

private slots:
    void init() {
        m_day.emplace(COleDateTime(2004, 3, 20, 14, 5, 0));
        QVERIFY(m_day->Ready());
        m_filter = CProjectItemFilter();
        m_filter.m_dtStart = COleDateTime(2004, 3, 1, 0, 0, 0);
        m_filter.m_dtEnd = COleDateTime(2004, 3, 31, 0, 0, 0);
        m_opened.clear();
        m_previousOpener = SetUrlOpenHandler([this](const QString& address) {
            m_opened << address;
            return 33;
        });
    }

    void cleanup() {
        SetUrlOpenHandler(m_previousOpener);
        m_day.reset();
    }

    void fieldNamesComeFromTheResourceLibrary() {
        QCOMPARE(ExportFieldXmlName(ExportField_StartTime), CString(u"StartTime"));
        QCOMPARE(ExportFieldXmlName(ExportField_BillingStatus), CString(u"BillingStatus"));
        for (int f = 0; f < ExportField_Count; ++f) {
            const CString name = ExportFieldXmlName(static_cast<ExportField>(f));
            QVERIFY(!name.IsEmpty());
            QCOMPARE(name.Find(u' '), -1);
        }
    }

    void xmlFileHoldsEveryFieldOfEachType() {
        AddSampleEntries();
        ExportRequest request = Request(ExportFormat_Xml);
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("all.xml"));
        QVERIFY(CDataExporter::WriteXmlFile(request));

        const std::string client = Res(4).ToUtf8(), project = Res(5).ToUtf8(), code = Res(7).ToUtf8();
        const std::string expected =
            "<Quillmar>\r\n"
            "<projectItem>\r\n"
            "<Date>3/7/2004</Date>\r\n<Client>" +
            client + "</Client>\r\n<Project>" + project +
            "</Project>\r\n"
            "<Category>" +
            code +
            "</Category>\r\n<Description>Design review</Description>\r\n"
            "<StartTime>9:00:00 AM</StartTime>\r\n<EndTime>10:30:00 AM</EndTime>\r\n<Hours>1.5</Hours>\r\n"
            "<EntryType>" +
            Res(30).ToUtf8() + "</EntryType>\r\n<Billable>" + Res(100).ToUtf8() +
            "</Billable>\r\n"
            "<Amount>120</Amount>\r\n<BillingStatus>" +
            Res(101).ToUtf8() +
            "</BillingStatus>\r\n"
            "<OdometerStart/>\r\n<OdometerEnd/>\r\n<Custom1>PO-7</Custom1>\r\n<Custom2/>\r\n<Custom3/>\r\n<Notes/>\r\n"
            "</projectItem>\r\n"
            "<projectItem>\r\n"
            "<Date>3/8/2004</Date>\r\n<Client>" +
            client + "</Client>\r\n<Project>" + project +
            "</Project>\r\n"
            "<Category/>\r\n<Description>Airfare: Trip</Description>\r\n"
            "<StartTime/>\r\n<EndTime/>\r\n<Hours/>\r\n"
            "<EntryType>" +
            Res(52).ToUtf8() + "</EntryType>\r\n<Billable>" + Res(100).ToUtf8() +
            "</Billable>\r\n"
            "<Amount>250.5</Amount>\r\n<BillingStatus>" +
            Res(102).ToUtf8() +
            "</BillingStatus>\r\n"
            "<OdometerStart/>\r\n<OdometerEnd/>\r\n<Custom1/>\r\n<Custom2/>\r\n<Custom3/>\r\n"
            "<Notes>line one\r\nline two</Notes>\r\n"
            "</projectItem>\r\n"
            "<projectItem>\r\n"
            "<Date>3/9/2004</Date>\r\n<Client>" +
            client + "</Client>\r\n<Project>" + project +
            "</Project>\r\n"
            "<Category/>\r\n<Description>Site visit</Description>\r\n"
            "<StartTime/>\r\n<EndTime/>\r\n<Hours/>\r\n"
            "<EntryType>" +
            Res(53).ToUtf8() + "</EntryType>\r\n<Billable>" + Res(99).ToUtf8() +
            "</Billable>\r\n"
            "<Amount>54.75</Amount>\r\n<BillingStatus>" +
            Res(103).ToUtf8() +
            "</BillingStatus>\r\n"
            "<OdometerStart>12000</OdometerStart>\r\n<OdometerEnd>12150</OdometerEnd>\r\n"
            "<Custom1/>\r\n<Custom2/>\r\n<Custom3/>\r\n<Notes/>\r\n"
            "</projectItem>\r\n"
            "</Quillmar>\r\n";
        const std::string actual = testsupport::FileBytes(m_output.filePath("all.xml")).toStdString();
        if (actual != expected)
            qWarning("%s", actual.c_str());
        QCOMPARE(actual, expected);
    }

    void xmlWithAllFieldsUncheckedHoldsEmptyEntries() {
        AddSampleEntries();
        ExportRequest request = Request(ExportFormat_Xml);
        request.m_bInclude.fill(0);
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("none.xml"));
        QVERIFY(CDataExporter::WriteXmlFile(request));
        QCOMPARE(testsupport::FileBytes(m_output.filePath("none.xml")).toStdString(),
                 std::string("<Quillmar>\r\n<projectItem/>\r\n<projectItem/>\r\n<projectItem/>\r\n</Quillmar>\r\n"));
    }

    void aWeekHoldsItsOwnEntriesInTheListsOrder() {
        auto save = [](int day, const CString& description) {
            CProjectItem entry;
            entry.set_ItemDate(COleDateTime(2004, 3, day, 0, 0, 0));
            entry.set_ProjectRef(u"SAMP002");
            entry.set_Description(description);
            entry.Save();
            return entry.get_ID();
        };
        save(7, u"Sunday before");
        save(8, u"Monday");   // the week's first day
        const int early = save(10, u"Wednesday early");
        save(10, u"Wednesday late");
        const int gone = save(12, u"Friday, deleted");
        save(14, u"Sunday");   // its last
        save(15, u"Monday after");
        // Saved again, an entry goes to the end of the document: after the other of its day.
        CProjectItem edited;
        edited.set_ID(early);
        QVERIFY(edited.Load());
        edited.set_Description(u"Wednesday early, edited");
        QCOMPARE(edited.Save(), 1);
        CProjectItem deleted;
        deleted.set_ID(gone);
        QVERIFY(deleted.Load());
        {
            testsupport::MessageBoxScript yes({IDYES});
            QCOMPARE(deleted.Delete(), 1);
        }

        m_filter.m_dtStart = COleDateTime(2004, 3, 8, 0, 0, 0);
        m_filter.m_dtEnd = COleDateTime(2004, 3, 14, 0, 0, 0);
        ExportRequest request = Request(ExportFormat_Xml);
        request.m_bInclude.fill(0);
        request.m_bInclude[ExportField_Description] = 1;
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("week.xml"));
        QVERIFY(CDataExporter::WriteXmlFile(request));
        std::string expected = "<Quillmar>\r\n";
        for (const char* description : {"Monday", "Wednesday late", "Wednesday early, edited", "Sunday"})
            expected +=
                std::string("<projectItem>\r\n<Description>") + description + "</Description>\r\n</projectItem>\r\n";
        expected += "</Quillmar>\r\n";
        QCOMPARE(testsupport::FileBytes(m_output.filePath("week.xml")).toStdString(), expected);
    }

    void xmlToAnUnwritablePlaceFails() {
        ExportRequest request = Request(ExportFormat_Xml);
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("no/such/folder/x.xml"));
        QVERIFY(!CDataExporter::WriteXmlFile(request));
        QCOMPARE(request.m_strError, CString(u"Cannot save ") + request.m_strOutputPath);
    }

    void workbookHoldsHeaderDataTotalsAndFormats() {
        AddSampleEntries();
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(CDataExporter::Run(request));
        QCOMPARE(workbooks.Paths().size(), size_t(1));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths()[0]));

        // Header: the field names, bold, a medium line below only.
        const XlsxCell* date = book.Cell("A1");
        QVERIFY(date);
        QCOMPARE(date->text, Res(78));
        QCOMPARE(book.Cell("O1")->text, Res(84));   // the custom label (default) heads custom field 1
        const XlsxStyle& header = book.StyleOf(*date);
        QVERIFY(header.bold);
        QCOMPARE(header.fontName, CString(u"Tahoma"));
        QCOMPARE(header.fontSize, 8.0);
        QCOMPARE(header.bottomBorder, CString(u"medium"));
        QVERIFY(header.topBorder.IsEmpty());
        QVERIFY(book.StyleOf(*book.Cell("R1")).rightBorder.IsEmpty());

        // Data: dates as day numbers with the date format, times, hours, amounts, odometers.
        QCOMPARE(book.Cell("A2")->text, CString(u"38053"));
        QCOMPARE(book.StyleOf(*book.Cell("A2")).numberFormat, StringTable::Get(57610));
        QVERIFY(!book.StyleOf(*book.Cell("A2")).bold);
        QCOMPARE(book.Cell("F2")->text.ToUtf8(), std::string("0.375"));
        QCOMPARE(book.StyleOf(*book.Cell("F2")).numberFormat, StringTable::Get(57611));
        QCOMPARE(book.Cell("H2")->text, CString(u"1.5"));
        QCOMPARE(book.Cell("K3")->text, CString(u"250.5"));
        QCOMPARE(book.Cell("M4")->text, CString(u"12000"));
        QCOMPARE(book.StyleOf(*book.Cell("M4")).numberFormat, StringTable::Get(57612));
        QCOMPARE(book.StyleOf(*book.Cell("O2")).numberFormat, CString(u"@"));

        // The expense leaves category, start, end and duration empty; notes lose their CRs.
        for (const char* empty : {"D3", "F3", "G3", "H3"}) {
            const XlsxCell* cell = book.Cell(empty);
            QVERIFY2(!cell || cell->text.IsEmpty(), empty);
        }
        QCOMPARE(book.Cell("R3")->text, CString(u"line one\nline two"));

        // Totals: the label, sums of amount and hours, a medium line above only.
        QCOMPARE(book.MaxRow(), 5);
        QCOMPARE(book.Cell("A5")->text, Res(107));
        QVERIFY(book.StyleOf(*book.Cell("A5")).bold);
        QCOMPARE(book.StyleOf(*book.Cell("A5")).topBorder, CString(u"medium"));
        QVERIFY(book.StyleOf(*book.Cell("A5")).bottomBorder.IsEmpty());
        QCOMPARE(book.Cell("K5")->formula, CString(u"SUM(K2:K4)"));
        QCOMPARE(book.Cell("H5")->formula, CString(u"SUM(H2:H4)"));
        QCOMPARE(book.StyleOf(*book.Cell("K2")).numberFormat, StringTable::Get(57609));
        QCOMPARE(book.StyleOf(*book.Cell("H2")).numberFormat, StringTable::Get(57613));

        // AutoFit: the description column is wide enough for its longest text.
        QVERIFY(book.ColumnWidth(4) >= CString(u"Airfare: Trip").GetLength() * 8.0 / 11.0);
    }

    void totalsCarryTheirValuesAndFitTheirColumns() {
        AddSampleEntries();
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        // Programs that do not recalculate on opening show the stored result of each sum.
        QCOMPARE(book.Cell("K5")->text, CString(u"425.25"));
        QCOMPARE(book.Cell("H5")->text, CString(u"1.5"));
        // The bold total in the currency format fits its column.
        QVERIFY(book.ColumnWidth(10) >= CString(u"$425.25").GetLength() * 8.0 / 11.0 * 1.1);
    }

    void amountsAndTotalsCarryTheDecimalsTyped() {
        for (float amount : {12345.67f, 99999.99f, 150000.25f, 49.99f}) {
            CProjectItem expense;
            expense.set_ItemType(CProjectItem::ItemType_Expense);
            expense.set_ItemDate(COleDateTime(2004, 3, 8, 0, 0, 0));
            expense.set_BillAmount(amount);
            QCOMPARE(expense.Save(), 1);
        }
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);   // as stored in the file
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        request.m_bInclude.fill(0);
        request.m_bInclude[ExportField_Amount] = 1;
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        // The library writes 16 digits, so 99999.99 may read "99999.99000000001": what counts is
        // that the text reads back as the double of the decimal typed, not the float's 99999.9921875.
        auto number = [&](const char* cell) { return std::strtod(book.Cell(cell)->text.ToUtf8().c_str(), nullptr); };
        QCOMPARE(number("A2"), 12345.67);
        QCOMPARE(number("A3"), 99999.99);
        QCOMPARE(number("A4"), 150000.25);
        QCOMPARE(book.Cell("A5")->text, CString(u"49.99"));
        QCOMPARE(number("A6"), 262395.9);

        request = Request(ExportFormat_Xml);
        request.m_bInclude.fill(0);
        request.m_bInclude[ExportField_Amount] = 1;
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("amounts.xml"));
        QVERIFY(CDataExporter::WriteXmlFile(request));
        const std::string amount = ExportFieldXmlName(ExportField_Amount).ToUtf8();
        std::string expected = "<Quillmar>\r\n";
        for (const char* text : {"12345.67", "99999.99", "150000.25", "49.99"})
            expected += "<projectItem>\r\n<" + amount + ">" + text + "</" + amount + ">\r\n</projectItem>\r\n";
        QCOMPARE(testsupport::FileBytes(m_output.filePath("amounts.xml")).toStdString(), expected + "</Quillmar>\r\n");
    }

    void durationOnlyTimeEntryLeavesStartAndEndEmpty() {
        CProjectItem time;
        time.set_ItemDate(COleDateTime(2004, 3, 7, 0, 0, 0));
        time.set_DurationInMinutes(45);
        time.set_StartTime(COleDateTime(1899, 12, 30, 0, 0, 0));
        time.set_EndTime(COleDateTime(1899, 12, 30, 0, 0, 0));
        QCOMPARE(time.Save(), 1);
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        for (const char* empty : {"F2", "G2"}) {
            const XlsxCell* cell = book.Cell(empty);
            QVERIFY2(!cell || cell->text.IsEmpty(), empty);
        }
        QCOMPARE(book.Cell("H2")->text, CString(u"0.75"));

        request = Request(ExportFormat_Xml);
        request.m_strOutputPath = qtconv::FromQString(m_output.filePath("duration.xml"));
        QVERIFY(CDataExporter::WriteXmlFile(request));
        const std::string text = testsupport::FileBytes(m_output.filePath("duration.xml")).toStdString();
        QVERIFY2(text.find("<StartTime/>\r\n<EndTime/>\r\n<Hours>0.75</Hours>") != std::string::npos, text.c_str());
    }

    void notesWithLineBreaksWrapInATallerRow() {
        AddSampleEntries();
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        QVERIFY(book.StyleOf(*book.Cell("R3")).wrapText);
        QVERIFY(book.RowHeight(3) >= 2 * 8.0);
        QVERIFY(!book.StyleOf(*book.Cell("A3")).wrapText);
        QVERIFY(!book.StyleOf(*book.Cell("E2")).wrapText);
        QCOMPARE(book.RowHeight(2), 0.0);   // one line: the row keeps its natural height
    }

    void emptyPeriodGivesTheHeaderOnly() {
        AddSampleEntries();
        m_filter.m_dtStart = m_filter.m_dtEnd = COleDateTime(2005, 1, 1, 0, 0, 0);
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        QCOMPARE(book.MaxRow(), 1);
        QVERIFY(book.Cell("A1"));
        QVERIFY(book.SheetXml().find("<f>") == std::string::npos);
    }

    void withoutTheAmountTheTotalsRowHasNoAmountSum() {
        AddSampleEntries();
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        request.m_bInclude.fill(0);
        request.m_bInclude[ExportField_Date] = 1;
        request.m_bInclude[ExportField_Duration] = 1;
        QVERIFY(CDataExporter::Run(request));
        XlsxReader book;
        QVERIFY(book.Open(workbooks.Paths().at(0)));
        QCOMPARE(book.Cell("A5")->text, Res(107));
        QCOMPARE(book.Cell("B5")->formula, CString(u"SUM(B2:B4)"));
        QVERIFY(!book.Cell("C5") || book.Cell("C5")->formula.IsEmpty());
    }

    void noApplicationToShowTheWorkbookFails() {
        AddSampleEntries();
        CapturedWorkbooks workbooks(false);
        ExportRequest request = Request(ExportFormat_Excel);
        QVERIFY(!CDataExporter::Run(request));
        QCOMPARE(request.m_strError, CString(u"Cannot start Microsoft Excel"));
    }

    void workbookGoesToTheSharedOpenerThatTellsWhenNothingOpensIt() {
        // Only the opener's presence is asked for; the handler installed by init answers.
        QTemporaryDir bin;
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly) && opener.write("#!/bin/sh\nexit 0\n") > 0);
        opener.close();
        QVERIFY(opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);
        AddSampleEntries();
        ExportRequest request = Request(ExportFormat_Excel);
        const bool exported = CDataExporter::Run(request);
        qputenv("PATH", oldPath);
        QVERIFY(exported);
        QCOMPARE(m_opened.size(), 1);
        const QString workbook = QUrl(m_opened.at(0)).toLocalFile();
        QVERIFY(workbook.endsWith(QStringLiteral(".xlsx")));
        QVERIFY(QFile::remove(workbook));
    }

    void noFieldCheckedNamesTheFailedStep() {
        CapturedWorkbooks workbooks;
        ExportRequest request = Request(ExportFormat_Excel);
        request.m_bInclude.fill(0);
        QVERIFY(!CDataExporter::Run(request));
        QVERIFY(request.m_strError.Find(u"header") >= 0);
        QVERIFY(workbooks.Paths().empty());
    }

    void unknownFormatFails() {
        ExportRequest request = Request(ExportFormat_Excel);
        request.m_nFormat = 7;
        QVERIFY(!CDataExporter::Run(request));
        QVERIFY(!request.m_strError.IsEmpty());
    }

    void dialogKeepsFieldChoicesAndExportsXml() {
        AddSampleEntries();
        const QString path = m_output.filePath("chosen.xml");
        testsupport::DialogScript dialogs({
            [&](QDialog& dialog) {
                auto* format = dialog.findChild<QComboBox*>("formatList");
                auto* fields = dialog.findChild<QListWidget*>("fieldList");
                auto* advanced = dialog.findChild<QPushButton*>("advancedSettings");
                if (!format || !fields || !advanced || fields->count() != ExportField_Count)
                    return int(QDialog::Rejected);
                if (format->currentIndex() != 0 || !advanced->isEnabled())
                    return int(QDialog::Rejected);
                format->setCurrentIndex(1);
                if (advanced->isEnabled())
                    return int(QDialog::Rejected);
                for (int row = 1; row < ExportField_Count; ++row)
                    fields->item(row)->setCheckState(Qt::Unchecked);
                dialog.findChild<QPushButton*>("exportButton")->click();
                return dialog.result();
            },
            testsupport::SaveFileAs(path),
        });
        ExportData(m_filter);
        QCOMPARE(dialogs.Shown(), 2);
        QCOMPARE(testsupport::FileBytes(path).toStdString(),
                 std::string("<Quillmar>\r\n<projectItem>\r\n<Date>3/7/2004</Date>\r\n</projectItem>\r\n"
                             "<projectItem>\r\n<Date>3/8/2004</Date>\r\n</projectItem>\r\n"
                             "<projectItem>\r\n<Date>3/9/2004</Date>\r\n</projectItem>\r\n</Quillmar>\r\n"));
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(Registry::GetDword(CDlgExport::FieldsKey(), Res(78), 7), 1u);
        QCOMPARE(Registry::GetDword(CDlgExport::FieldsKey(), Res(43), 7), 0u);
        QCOMPARE(Registry::GetDword(CDlgExport::FieldsKey(), Res(84), 7), 0u);

        // The next Export dialog starts from the kept choices.
        bool keptChecked = false, keptUnchecked = false;
        testsupport::DialogScript again({[&](QDialog& dialog) {
            auto* fields = dialog.findChild<QListWidget*>("fieldList");
            keptChecked = fields->item(0)->checkState() == Qt::Checked;
            keptUnchecked = fields->item(4)->checkState() == Qt::Unchecked;
            return int(QDialog::Rejected);
        }});
        ExportData(m_filter);
        QVERIFY(keptChecked);
        QVERIFY(keptUnchecked);
    }

    void csvThroughTheDialogHoldsTheChosenFieldsOfThePeriod() {
        AddSampleEntries();
        AddAwkwardEntry();
        const QString path = m_output.filePath("entries.csv");
        QCOMPARE(ExportCsvThroughDialog(path, {ExportField_Date, ExportField_Description, ExportField_Duration,
                                               ExportField_Amount, ExportField_Notes}),
                 2);
        // The April entry lies outside the view's period.
        QCOMPARE(testsupport::FileBytes(path).toStdString(),
                 std::string("Date,Description,Hours,Minutes,Amount,Notes\r\n"
                             "2004-03-07,Design review,1.50,90,120.00,\r\n"
                             "2004-03-08,Airfare: Trip,,,250.50,\"line one\r\nline two\"\r\n"
                             "2004-03-09,Site visit,,,54.75,\r\n"
                             "2004-03-10,\"Müller, Söhne & \"\"Co\"\" – 東京\",0.33,20,-12.50,"
                             "\"first, line\r\nsecond \"\"quoted\"\"\"\r\n"));
        QCOMPARE(m_opened, QStringList{QUrl::fromLocalFile(path).toString()});
        QCOMPARE(Registry::GetDword(CDlgExport::CsvUserDatesKey(), u"CsvUserDates", 7), 0u);

        // The user's short date, kept for the next export.
        QCOMPARE(ExportCsvThroughDialog(path, {ExportField_Date, ExportField_StartTime}, true), 2);
        QCOMPARE(testsupport::FileBytes(path).toStdString(),
                 std::string("Date,Start Time\r\n3/7/2004,9:00:00 AM\r\n3/8/2004,\r\n3/9/2004,\r\n"
                             "3/10/2004,2:00:00 PM\r\n"));
        QCOMPARE(Registry::GetDword(CDlgExport::CsvUserDatesKey(), u"CsvUserDates", 7), 1u);
    }

    void csvReadByPythonGivesTheSameValues() {
        if (QProcess::execute(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral("import csv")}) != 0)
            QSKIP("python3 is not installed");
        AddSampleEntries();
        AddAwkwardEntry();
        const QString path = m_output.filePath("python.csv");
        QCOMPARE(ExportCsvThroughDialog(path, {ExportField_Date, ExportField_Client, ExportField_Description,
                                               ExportField_Duration, ExportField_Amount, ExportField_Notes}),
                 2);
        // One line per field as hexadecimal UTF-8 ("-" when empty), records apart by an empty line.
        QProcess python;
        python.start(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import csv, sys\n"
                            "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                            "    for row in csv.reader(f):\n"
                            "        print('\\n'.join(v.encode('utf-8').hex() or '-' for v in row) + '\\n')\n"),
             path});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(python.exitCode(), 0);
        std::vector<std::vector<std::string>> records(1);
        for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
            if (line.isEmpty()) {
                if (!records.back().empty())
                    records.emplace_back();
                continue;
            }
            records.back().push_back(line == "-" ? std::string() : QByteArray::fromHex(line).toStdString());
        }
        records.pop_back();
        const std::string client = Res(4).ToUtf8();
        const std::vector<std::vector<std::string>> expected = {
            {"Date", "Client", "Description", "Hours", "Minutes", "Amount", "Notes"},
            {"2004-03-07", client, "Design review", "1.50", "90", "120.00", ""},
            {"2004-03-08", client, "Airfare: Trip", "", "", "250.50", "line one\r\nline two"},
            {"2004-03-09", client, "Site visit", "", "", "54.75", ""},
            {"2004-03-10", client, "Müller, Söhne & \"Co\" – 東京", "0.33", "20", "-12.50",
             "first, line\r\nsecond \"quoted\""},
        };
        QCOMPARE(records.size(), expected.size());
        for (size_t r = 0; r < expected.size(); ++r) {
            QCOMPARE(records[r].size(), expected[r].size());
            for (size_t f = 0; f < expected[r].size(); ++f)
                QCOMPARE(records[r][f], expected[r][f]);
        }
    }

    void csvThatCannotBeWrittenIsReportedAndTheDialogStays() {
        AddSampleEntries();
        testsupport::MessageBoxScript boxes;
        bool stayed = false;
        QString chosen;
        testsupport::DialogScript dialogs({
            [&](QDialog& dialog) {
                dialog.findChild<QComboBox*>("formatList")->setCurrentIndex(ExportFormat_Csv);
                dialog.findChild<QPushButton*>("exportButton")->click();
                stayed = dialog.result() != QDialog::Accepted;
                return int(QDialog::Rejected);
            },
            [&](QDialog& dialog) {
                auto& files = static_cast<QFileDialog&>(dialog);
                files.selectFile(m_output.filePath("no/such/folder/x.csv"));
                chosen = files.selectedFiles().value(0);   // as the dialog resolves it
                return int(QDialog::Accepted);
            },
        });
        ExportData(m_filter);
        QVERIFY(stayed);
        QVERIFY(chosen.endsWith(QStringLiteral("no/such/folder/x.csv")));
        QVERIFY(!QFile::exists(chosen));
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(boxes.Shown().size(), size_t(1));
        CString expected;
        const CString reason = CString(u"Cannot save ") + qtconv::FromQString(chosen);
        expected.Format(Res(105), reason.GetString());
        QCOMPARE(boxes.Shown()[0].text, expected);
    }

    void exportDialogShowsEveryFieldWithoutScrolling() {
        bool fits = false;
        testsupport::DialogScript dialogs({[&](QDialog& dialog) {
            auto* fields = dialog.findChild<QListWidget*>("fieldList");
            // However the dialog is sized, the list keeps room for every row.
            fits = fields->minimumHeight() - 2 * fields->frameWidth() >= fields->sizeHintForRow(0) * ExportField_Count;
            return int(QDialog::Rejected);
        }});
        ExportData(m_filter);
        QVERIFY(fits);
    }

    void excelSettingsBoxesShowTheLongestDefaultWhole() {
        int narrow = 0;
        testsupport::DialogScript dialogs({[&](QDialog& dialog) {
            dialog.findChild<QPushButton*>("defaults")->click();
            dialog.adjustSize();
            dialog.layout()->activate();
            for (auto* box : dialog.findChildren<QLineEdit*>())
                if (box->width() < box->fontMetrics().horizontalAdvance(box->text()) + 8)
                    ++narrow;
            return int(QDialog::Rejected);
        }});
        CDlgExcelSettings settings(ExcelCellFormats::Defaults());
        settings.DoModal();
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(narrow, 0);
    }

    void failureAfterACancelledFileDialogIsReported() {
        testsupport::MessageBoxScript boxes;
        CapturedWorkbooks workbooks(false);
        testsupport::DialogScript dialogs({
            [&](QDialog& dialog) {
                auto* format = dialog.findChild<QComboBox*>("formatList");
                auto* exportButton = dialog.findChild<QPushButton*>("exportButton");
                format->setCurrentIndex(1);
                exportButton->click();   // the file dialog is cancelled: no message
                format->setCurrentIndex(0);
                exportButton->click();   // the workbook cannot be shown: reported
                return dialog.result();
            },
            [](QDialog&) { return int(QDialog::Rejected); },
        });
        ExportData(m_filter);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        CString expected;
        expected.Format(Res(105), u"Cannot start Microsoft Excel");
        QCOMPARE(boxes.Shown()[0].text, expected);
        QVERIFY(boxes.Shown()[0].flags & MB_ICONSTOP);
    }

    void writtenXmlFileThatDoesNotOpenIsReported() {
        SetUrlOpenHandler([this](const QString& address) {
            m_opened << address;
            return 31;
        });
        testsupport::MessageBoxScript boxes;
        const QString path = m_output.filePath("kept.xml");
        bool closed = false;
        testsupport::DialogScript dialogs({
            [&](QDialog& dialog) {
                dialog.findChild<QComboBox*>("formatList")->setCurrentIndex(1);
                dialog.findChild<QPushButton*>("exportButton")->click();
                closed = dialog.result() == QDialog::Accepted;
                return dialog.result();
            },
            testsupport::SaveFileAs(path),
        });
        ExportData(m_filter);
        QVERIFY(QFileInfo(path).size() > 0);
        QCOMPARE(m_opened, QStringList{QUrl::fromLocalFile(path).toString()});
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(qtconv::ToQString(boxes.Shown()[0].text),
                 "Your data was exported to \"" + path +
                     "\", but the file could not be opened:\n\nThere is no application associated\nwith the "
                     "given filename extension.");
        QVERIFY(boxes.Shown()[0].flags & MB_ICONEXCLAMATION);
        QVERIFY(closed);   // the export itself succeeded
    }

    void excelSettingsDefaultsAndOkWriteTheFormats() {
        int answer = 0;
        testsupport::DialogScript script({
            [](QDialog& exportDialog) {
                exportDialog.findChild<QPushButton*>("advancedSettings")->click();
                return int(QDialog::Rejected);
            },
            [&answer](QDialog& dialog) {
                auto* currency = dialog.findChild<QLineEdit*>("currency");
                auto* date = dialog.findChild<QLineEdit*>("date");
                if (currency->maxLength() != 20)
                    return int(QDialog::Rejected);
                currency->setText("0.00 \"EUR\"");
                date->setText("dd.mm.yyyy");
                dialog.findChild<QPushButton*>("defaults")->click();
                if (currency->text() != "$#,##0.00")
                    return int(QDialog::Rejected);
                date->setText("dd.mm.yyyy");
                dialog.findChild<QPushButton*>("okButton")->click();
                answer = dialog.result();
                return answer;
            },
        });
        std::unique_ptr<CQuillmarApp> app = testsupport::StartProgram();
        QVERIFY(app);
        // The program's Export command, whose Advanced Settings keep the formats in its settings.
        dialogs::ExportData(m_filter);
        QCOMPARE(script.Shown(), 2);
        QCOMPARE(answer, int(QDialog::Accepted));
        QCOMPARE(app->m_strExcelFmtDate, CString(u"dd.mm.yyyy"));
        QCOMPARE(app->m_strExcelFmtCurrency, StringTable::Get(57609));
        const CString key = u"Software\\Kestovar\\Quillmar\\ExcelFmts";
        QCOMPARE(Registry::GetString(key, u"Date", u""), CString(u"dd.mm.yyyy"));
        QCOMPARE(Registry::GetString(key, u"Currency", u""), StringTable::Get(57609));
        QCOMPARE(Registry::GetString(key, u"Duration", u""), StringTable::Get(57613));
        testsupport::StopProgram(app);
    }

    void excelSettingsCancelChangesNothing() {
        testsupport::DialogScript dialogs({[](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("time")->setText("hh");
            dialog.findChild<QPushButton*>("cancelButton")->click();
            return dialog.result();
        }});
        bool kept = false;
        CDlgExcelSettings settings(ExcelCellFormats::Defaults(), [&kept](const ExcelCellFormats&) { kept = true; });
        QCOMPARE(settings.DoModal(), IDCANCEL);
        QVERIFY(!kept);
        QVERIFY(!Registry::KeyExists(u"Software\\Kestovar\\Quillmar\\ExcelFmts"));
    }
};

DESKTOP_TEST_MAIN(ExportTest)
#include "ExportTests.moc"
