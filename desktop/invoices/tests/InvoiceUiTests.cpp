// Invoices in the desktop program: the Create Invoice dialog's lines and totals on a fixed set
// of entries, the number it offers and the numbers it refuses, Save as PDF (the text of the PDF,
// the entries marked billed, nothing marked when the PDF or the data file cannot be written),
// printing (issued first, nothing changed by a cancelled print dialog), the Invoices list with
// Open PDF, Print and Void, and the Invoice page of the Options.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/InvoiceBook.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/invoices/DlgCreateInvoice.h"
#include "desktop/invoices/DlgInvoices.h"
#include "desktop/invoices/InvoiceOptionsPage.h"
#include "desktop/invoices/InvoicePdf.h"
#include "desktop/invoices/InvoiceSettings.h"
#include "desktop/invoices/InvoiceText.h"
#include "desktop/tests/DocumentTestSupport.h"
#include "testing/FailingFile.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/TreeCtrlEx.h"

using namespace testsupport;
using Item = CProjectItem;

namespace {

const COleDateTime kMarch1(2026, 3, 1, 0, 0, 0);
const COleDateTime kMarch31(2026, 3, 31, 0, 0, 0);

COleDateTime March(int day) { return COleDateTime(2026, 3, day, 0, 0, 0); }

QString Money(long long cents) { return CInvoiceText::Money(CAmount::FromCents(cents)); }

CString SaveRecord(CBaseObject& record) {
    record.Save();
    return record.get_RefID();
}

CString SaveEntry(Item::ItemType type, const CString& project, const CString& category, const COleDateTime& date,
                  float amount, const CString& description, int minutes = 0, int status = 0, int billable = 1) {
    Item entry;
    entry.set_ItemType(type);
    entry.set_ProjectRef(project);
    entry.set_CategoryRef(category);
    entry.set_ItemDate(date);
    entry.set_BillAmount(amount);
    entry.set_Description(description);
    entry.set_DurationInMinutes(minutes);
    entry.set_PymtStatus(static_cast<Item::PymtStatus>(status));
    entry.set_IsBillable(billable);
    if (type == Item::ItemType_Mileage) {
        entry.set_OdometerStart(200);
        entry.set_OdometerEnd(223);
    }
    return SaveRecord(entry);
}

int StatusOf(const CString& refId) {
    Item entry;
    entry.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, u"projectItem"));
    return entry.Load() ? entry.get_PymtStatus() : -1;
}

}   // namespace

class InvoiceUiTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CQuillmarApp> m_app;
    QTemporaryDir m_folder;
    CString m_acme;
    CString m_bolt;
    std::vector<CString> m_onInvoice;   // the five entries Acme's March invoice takes
    std::vector<CString> m_others;      // billed, not billable, Bolt's, April's

    std::vector<int> Statuses(const std::vector<CString>& refIds) {
        std::vector<int> statuses;
        for (const CString& refId : refIds)
            statuses.push_back(StatusOf(refId));
        return statuses;
    }

    std::unique_ptr<CDlgCreateInvoice> OpenForAcme() {
        auto dialog = std::make_unique<CDlgCreateInvoice>(nullptr, m_acme);
        dialog->SetPeriod(kMarch1, kMarch31);
        return dialog;
    }

    QString PdfPath(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

private slots:
    void init() {
        ResetUserData();
        m_app = StartProgram();
        QVERIFY(m_app);
        CClient acme;
        acme.set_Description(u"Acme Ltd");
        acme.set_Address(u"1 Main Road\nSpringfield");
        m_acme = SaveRecord(acme);
        CClient bolt;
        bolt.set_Description(u"Bolt");
        m_bolt = SaveRecord(bolt);
        CProject website;
        website.set_Description(u"Website");
        website.set_ClientRef(m_acme);
        const CString web = SaveRecord(website);
        CProject audit;
        audit.set_Description(u"Audit");
        audit.set_ClientRef(m_acme);
        const CString aud = SaveRecord(audit);
        CProject boltWork;
        boltWork.set_Description(u"Gears");
        boltWork.set_ClientRef(m_bolt);
        const CString gears = SaveRecord(boltWork);
        CCategory designCategory;
        designCategory.set_Code(u"DES");
        designCategory.set_Description(u"Design");
        const CString design = SaveRecord(designCategory);
        CCategory supportCategory;
        supportCategory.set_Code(u"SUP");
        supportCategory.set_Description(u"Support");
        const CString support = SaveRecord(supportCategory);

        m_onInvoice = {
            SaveEntry(Item::ItemType_Time, web, design, March(2), 120.0f, u"Home page", 90),
            SaveEntry(Item::ItemType_Time, web, design, March(5), 80.0f, u"Logo", 60),
            SaveEntry(Item::ItemType_Time, web, support, March(6), 25.0f, u"Hosting call", 30),
            SaveEntry(Item::ItemType_Expense, aud, CString(), March(10), 30.0f, u"Train ticket"),
            SaveEntry(Item::ItemType_Mileage, aud, CString(), March(11), 8.05f, u"Site visit"),
        };
        m_others = {
            SaveEntry(Item::ItemType_Time, web, design, March(3), 50.0f, u"Billed before", 30, 1),
            SaveEntry(Item::ItemType_Time, web, design, March(4), 40.0f, u"Free advice", 30, 0, 0),
            SaveEntry(Item::ItemType_Time, gears, design, March(4), 70.0f, u"Bolt's work", 60),
            SaveEntry(Item::ItemType_Time, web, design, COleDateTime(2026, 4, 1, 0, 0, 0), 90.0f, u"April", 60),
        };
        CInvoiceSettings settings;
        settings.m_strName = u"Jo Maker";
        settings.m_strAddress = u"7 Quay Street\nPortsmouth";
        settings.m_strPaymentTerms = u"Payable within 30 days by bank transfer.";
        settings.m_strDistanceUnit = u"km";
        QVERIFY(settings.Save());
    }

    void cleanup() { StopProgram(m_app); }

    void linesAndTotalsOfTheClientsUnbilledWork() {
        auto dialog = OpenForAcme();
        QTreeWidget* tree = dialog->EntriesTree();
        QCOMPARE(tree->topLevelItemCount(), 4);
        const QStringList names = {QStringLiteral("Audit: Expenses"), QStringLiteral("Audit: Mileage"),
                                   QStringLiteral("Website: Design"), QStringLiteral("Website: Support")};
        const QStringList quantities = {QStringLiteral("1 item"), QStringLiteral("23 km"),
                                        QLocale().toString(2.5, 'f', 2) + QStringLiteral(" h"),
                                        QLocale().toString(0.5, 'f', 2) + QStringLiteral(" h")};
        const QStringList amounts = {Money(3000), Money(805), Money(20000), Money(2500)};
        int entries = 0;
        for (int row = 0; row < 4; ++row) {
            QTreeWidgetItem* line = tree->topLevelItem(row);
            QCOMPARE(line->text(CDlgCreateInvoice::ColItem), names[row]);
            QCOMPARE(line->text(CDlgCreateInvoice::ColQuantity), quantities[row]);
            QCOMPARE(line->text(CDlgCreateInvoice::ColAmount), amounts[row]);
            for (int child = 0; child < line->childCount(); ++child, ++entries)
                QCOMPARE(line->child(child)->checkState(CDlgCreateInvoice::ColItem), Qt::Checked);
        }
        QCOMPARE(entries, 5);
        QVERIFY(dialog->ClientAddressLabel()->text().contains(QStringLiteral("Springfield")));
        QVERIFY(dialog->TotalsLabel()->text().contains(Money(26305)));

        dialog->TaxRateEdit()->setText(QStringLiteral("19"));
        QCOMPARE(dialog->Invoice().Tax(), CAmount::FromCents(4998));   // 49.9795
        QVERIFY(dialog->TotalsLabel()->text().contains(Money(4998)));
        QVERIFY(dialog->TotalsLabel()->text().contains(Money(31303)));

        // Leaving the support call out empties its line and takes it off the totals.
        QTreeWidgetItem* support = tree->topLevelItem(3);
        support->child(0)->setCheckState(CDlgCreateInvoice::ColItem, Qt::Unchecked);
        QCOMPARE(support->text(CDlgCreateInvoice::ColAmount), Money(0));
        QCOMPARE(support->checkState(CDlgCreateInvoice::ColItem), Qt::Unchecked);
        QCOMPARE(dialog->Invoice().Subtotal(), CAmount::FromCents(23805));
        QCOMPARE(dialog->Invoice().Lines().size(), size_t(3));
        QVERIFY(dialog->TotalsLabel()->text().contains(Money(23805 + 4523)));   // 45.2295 tax

        // Another client's period lists only its own.
        dialog->SelectClient(m_bolt);
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(CDlgCreateInvoice::ColItem), QStringLiteral("Gears: Design"));

        // A period without unbilled work says so, and there is nothing to save.
        dialog->SetPeriod(COleDateTime(2026, 5, 1, 0, 0, 0), COleDateTime(2026, 5, 31, 0, 0, 0));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
        QVERIFY(tree->topLevelItem(0)->text(CDlgCreateInvoice::ColItem).startsWith(QStringLiteral("No unbilled")));
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("saveAsPdfButton"))->isEnabled());
    }

    void saveAsPdfFromTheMenuMarksTheEntriesBilled() {
        const QString path = PdfPath("march.pdf");
        MessageBoxScript boxes({IDYES});
        DialogScript dialogs({[&](QDialog& dialog) {
                                  auto* create = qobject_cast<CDlgCreateInvoice*>(&dialog);
                                  if (!create)
                                      return int(QDialog::Rejected);
                                  create->SelectClient(m_acme);
                                  create->SetPeriod(kMarch1, kMarch31);
                                  create->NumberEdit()->setText(QStringLiteral("INV-0041"));
                                  create->TaxRateEdit()->setText(QStringLiteral("19"));
                                  create->SaveAsPdf();
                                  return create->result();
                              },
                              SaveFileAs(path)});
        QVERIFY(Trigger(*m_app->GetMainFrame(), cmd::CreateInvoice));
        QCOMPARE(dialogs.Shown(), 2);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"Mark the 5 entries") >= 0);
        QVERIFY(QFile::exists(path));
        QStatusBar* bar = m_app->GetMainFrame()->statusBar();
        QVERIFY(bar->currentMessage().startsWith(QStringLiteral("Invoice INV-0041 issued")));
        QVERIFY(bar->currentMessage().contains(QStringLiteral("marked billed")));
        // It is read whole beside the status panes of the window as it first opens.
        int panes = 0;
        for (QWidget* pane : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            panes += pane->isVisible() ? pane->width() : 0;
        QVERIFY2(bar->fontMetrics().horizontalAdvance(bar->currentMessage()) < bar->width() - panes,
                 qPrintable(bar->currentMessage()));

        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, Item::PymtStatus_Billed));
        QCOMPARE(Statuses(m_others), (std::vector<int>{1, 0, 0, 0}));
        const std::vector<CIssuedInvoice> issued = CInvoiceBook::List();
        QCOMPARE(issued.size(), size_t(1));
        QCOMPARE(issued[0].get_Number(), CString(u"INV-0041"));
        QCOMPARE(issued[0].get_Invoice().Total(), CAmount::FromCents(31303));
        QCOMPARE(issued[0].get_Invoice().m_seller.name, CString(u"Jo Maker"));
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"INV-0042"));
        // On disk as well.
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, Item::PymtStatus_Billed));

        if (!HavePdfToText())
            QSKIP("pdftotext is not installed; the PDF's text is not checked");
        const QString text = PdfText(path);
        for (const QString& expected :
             {QStringLiteral("INV-0041"), QStringLiteral("Acme Ltd"), QStringLiteral("Springfield"),
              QStringLiteral("Jo Maker"), QStringLiteral("Website: Design"), QStringLiteral("Audit: Mileage"),
              QStringLiteral("23 km"), Money(20000), Money(4998), Money(31303), QStringLiteral("Tax (19%)"),
              QStringLiteral("Payable within 30 days"), QStringLiteral("Home page")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
    }

    void createInvoiceOpensOnTheSideBarsClient() {
        CMainFrame& frame = *m_app->GetMainFrame();
        frame.RefreshAll();
        CTreeCtrlEx* tree = frame.GetSideBarView()->GetTreeCtrl();
        const int boltId = GetCurrDataHelper()->RefID_To_ID(m_bolt, u"client");
        QTreeWidgetItem* bolt = tree->FindNode(0, boltId);
        QVERIFY(bolt);
        QString shown;
        DialogScript dialogs(
            {[&shown](QDialog& dialog) {
                 shown = dialog.findChild<QComboBox*>(QStringLiteral("invoiceClientCombo"))->currentText();
                 return int(QDialog::Rejected);
             },
             [&shown](QDialog& dialog) {
                 shown += u'|' + dialog.findChild<QComboBox*>(QStringLiteral("invoiceClientCombo"))->currentText();
                 return int(QDialog::Rejected);
             }});
        tree->setCurrentItem(bolt);
        QVERIFY(Trigger(frame, cmd::CreateInvoice));
        // A project's node means its client.
        tree->setCurrentItem(tree->FindNode(0, GetCurrDataHelper()->RefID_To_ID(m_acme, u"client"))->child(0));
        QVERIFY(Trigger(frame, cmd::CreateInvoice));
        QCOMPARE(shown, QStringLiteral("Bolt|Acme Ltd"));
    }

    void numberOfferedAndUsedNumbersRefused() {
        auto first = OpenForAcme();
        QCOMPARE(first->NumberEdit()->text(), QStringLiteral("1"));
        first->NumberEdit()->setText(QStringLiteral("2026-07"));
        {
            MessageBoxScript boxes({IDYES});
            DialogScript dialogs({SaveFileAs(PdfPath("one.pdf"))});
            QVERIFY(first->SaveAsPdf());
        }
        // The next one offers the number after the edited one.
        auto second = OpenForAcme();
        QCOMPARE(second->NumberEdit()->text(), QStringLiteral("2026-08"));

        // A number issued before is refused before anything is written.
        auto third = std::make_unique<CDlgCreateInvoice>(nullptr, m_bolt);
        third->SetPeriod(kMarch1, kMarch31);
        third->NumberEdit()->setText(QStringLiteral(" 2026-07 "));
        MessageBoxScript boxes;
        DialogScript dialogs({});
        QVERIFY(!third->SaveAsPdf());
        QCOMPARE(dialogs.Shown(), 0);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(boxes.Shown()[0].text,
                 CString(u"Invoice number 2026-07 has already been used. Please choose another number."));
        QCOMPARE(StatusOf(m_others[2]), 0);
        QCOMPARE(CInvoiceBook::List().size(), size_t(1));

        // An empty number and a tax rate out of range are refused too.
        third->NumberEdit()->clear();
        QVERIFY(!third->SaveAsPdf());
        third->NumberEdit()->setText(QStringLiteral("B-1"));
        third->TaxRateEdit()->setText(QStringLiteral("120"));
        QVERIFY(!third->SaveAsPdf());
        QCOMPARE(boxes.Shown().size(), size_t(3));
        QCOMPARE(boxes.Shown()[1].text, GetResString(301, 1));
        QCOMPARE(boxes.Shown()[2].text, GetResString(308, 1));
        QCOMPARE(dialogs.Shown(), 0);
    }

    void declinedOrUnwrittenPdfMarksNothing() {
        auto dialog = OpenForAcme();
        {
            // The PDF is written, the user declines: nothing marked, the number not taken.
            MessageBoxScript boxes({IDNO});
            DialogScript dialogs({SaveFileAs(PdfPath("draft.pdf"))});
            QVERIFY(!dialog->SaveAsPdf());
            QVERIFY(QFile::exists(PdfPath("draft.pdf")));
        }
        {
            // A PDF that cannot be written: said so, and no question asked.
            MessageBoxScript boxes;
            DialogScript dialogs({SaveFileAs(PdfPath("no/such/folder/x.pdf"))});
            QVERIFY(!dialog->SaveAsPdf());
            QCOMPARE(boxes.Shown().size(), size_t(1));
            QVERIFY(boxes.Shown()[0].text.Find(u"could not be saved") >= 0);
            QVERIFY(boxes.Shown()[0].text.Find(u"No entry has been marked billed") >= 0);
        }
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
        QVERIFY(CInvoiceBook::List().empty());
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"1"));
    }

    void failedDataFileWriteRollsBack() {
        auto dialog = OpenForAcme();
        const QString path = PdfPath("unwritten.pdf");
        MessageBoxScript boxes({IDYES});
        DialogScript dialogs({SaveFileAs(path)});
        {
            const FailingFile full(0);
            QVERIFY(!dialog->SaveAsPdf());
            QVERIFY(full.Failed());
        }
        QCOMPARE(boxes.Shown().size(), size_t(2));
        const CString& said = boxes.Shown()[1].text;
        QVERIFY(said.Find(GetResString(305, 1)) >= 0);
        QVERIFY(said.Find(u"PDF file has been removed") >= 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(dialog->isVisible() || dialog->result() != QDialog::Accepted);
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
        QVERIFY(CInvoiceBook::List().empty());
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"1"));
    }

    void invoicesListOpensThePdfAndVoids() {
        {
            auto dialog = OpenForAcme();
            dialog->NumberEdit()->setText(QStringLiteral("A-7"));
            MessageBoxScript boxes({IDYES});
            DialogScript dialogs({SaveFileAs(PdfPath("a7.pdf"))});
            QVERIFY(dialog->SaveAsPdf());
        }
        CDlgInvoices list;
        QCOMPARE(list.List()->topLevelItemCount(), 1);
        QTreeWidgetItem* row = list.List()->topLevelItem(0);
        QCOMPARE(row->text(CDlgInvoices::ColNumber), QStringLiteral("A-7"));
        QCOMPARE(row->text(CDlgInvoices::ColClient), QStringLiteral("Acme Ltd"));
        QCOMPARE(row->text(CDlgInvoices::ColTotal), Money(26305));
        QCOMPARE(row->text(CDlgInvoices::ColStatus), QStringLiteral("Issued"));

        QStringList opened;
        const UrlOpenHandler previous = SetUrlOpenHandler([&opened](const QString& address) {
            opened << address;
            return 33;
        });
        QVERIFY(list.OpenPdf());
        QCOMPARE(opened.size(), 1);
        const QString pdf = QUrl(opened[0]).toLocalFile();
        QVERIFY(QFile::exists(pdf));

        {
            // Declined: nothing changes.
            MessageBoxScript boxes({IDNO});
            QVERIFY(!list.VoidSelected());
            QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, Item::PymtStatus_Billed));
        }
        MessageBoxScript boxes({IDYES});
        QVERIFY(list.VoidSelected());
        QVERIFY(list.EntriesChanged());
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
        QCOMPARE(Statuses(m_others), (std::vector<int>{1, 0, 0, 0}));
        QVERIFY(list.List()->topLevelItem(0)->text(CDlgInvoices::ColStatus).startsWith(QStringLiteral("Voided")));
        QVERIFY(!list.VoidSelected());   // already voided: the button is off
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"A-8"));

        // Opened again, the PDF says it is void.
        QVERIFY(list.OpenPdf());
        SetUrlOpenHandler(previous);
        if (!HavePdfToText())
            QSKIP("pdftotext is not installed; the PDF's text is not checked");
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("VOID")) && text.contains(QStringLiteral("A-7")), qPrintable(text));
    }

    void printIssuesTheInvoiceAndPrintsWhatThePdfHolds() {
        auto dialog = OpenForAcme();
        dialog->NumberEdit()->setText(QStringLiteral("P-1"));
        {
            // Declined, or the print dialog cancelled: nothing printed, marked or numbered.
            MessageBoxScript boxes({IDNO, IDYES});
            DialogScript dialogs({Cancel()});
            QVERIFY(!dialog->Print());
            QCOMPARE(dialogs.Shown(), 0);
            QVERIFY(!dialog->Print());
            QCOMPARE(dialogs.Shown(), 1);
            QCOMPARE(boxes.Shown().size(), size_t(2));
            QVERIFY(boxes.Shown()[0].text.Find(u"Print invoice P-1 and mark the 5 entries") >= 0);
        }
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
        QVERIFY(CInvoiceBook::List().empty());
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"1"));
        {
            // A draft saved as PDF, not issued, for comparing with the printed page.
            MessageBoxScript boxes({IDNO});
            DialogScript dialogs({SaveFileAs(PdfPath("draft.pdf"))});
            QVERIFY(!dialog->SaveAsPdf());
        }

        // From the menu, as a user does it: the status bar says what became of it.
        const QString printed = PdfPath("printed.pdf");
        MessageBoxScript boxes({IDYES});
        DialogScript dialogs({[&](QDialog& shown) {
                                  auto* create = qobject_cast<CDlgCreateInvoice*>(&shown);
                                  if (!create)
                                      return int(QDialog::Rejected);
                                  create->SelectClient(m_acme);
                                  create->SetPeriod(kMarch1, kMarch31);
                                  create->NumberEdit()->setText(QStringLiteral("P-1"));
                                  create->findChild<QPushButton*>(QStringLiteral("printInvoiceButton"))->click();
                                  return create->result();
                              },
                              PrintToPdf(printed)});
        QVERIFY(Trigger(*m_app->GetMainFrame(), cmd::CreateInvoice));
        QCOMPARE(dialogs.Shown(), 2);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(m_app->GetMainFrame()->statusBar()->currentMessage(),
                 QStringLiteral("Invoice P-1 issued and printed; its entries are marked billed."));
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, Item::PymtStatus_Billed));
        QCOMPARE(CInvoiceBook::List().size(), size_t(1));
        QCOMPARE(CInvoiceBook::NextNumber(), CString(u"P-2"));

        if (!HavePdfToText())
            QSKIP("pdftotext is not installed; the printed text is not checked");
        const QString text = PdfText(printed);
        for (const QString& expected : {QStringLiteral("P-1"), QStringLiteral("Acme Ltd"),
                                        QStringLiteral("Website: Design"), Money(26305), QStringLiteral("Logo")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
        // The same words in the same order as the PDF; only the spacing of the columns differs.
        QCOMPARE(text.simplified(), PdfText(PdfPath("draft.pdf")).simplified());
    }

    void enterSavesRatherThanPrints() {
        auto dialog = OpenForAcme();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        MessageBoxScript boxes;
        DialogScript dialogs({Cancel()});
        QTest::keyClick(dialog->NumberEdit(), Qt::Key_Return);
        QCOMPARE(dialogs.ObjectNames(), std::vector<QString>{QStringLiteral("invoicePdfFileDialog")});
        QVERIFY(boxes.Shown().empty());
        QVERIFY(CInvoiceBook::List().empty());
    }

    void printThatFailsIsTold() {
        {
            // The data file cannot be written: the invoice is not issued and nothing is printed.
            auto dialog = OpenForAcme();
            const QString path = PdfPath("unissued.pdf");
            MessageBoxScript boxes({IDYES});
            DialogScript dialogs({PrintToPdf(path)});
            {
                const FailingFile full(0);
                QVERIFY(!dialog->Print());
            }
            QCOMPARE(boxes.Shown().size(), size_t(2));
            QVERIFY(boxes.Shown()[1].text.Find(u"Nothing has been printed") >= 0);
            QVERIFY(!QFile::exists(path));
            QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, 0));
            QVERIFY(CInvoiceBook::List().empty());
        }
        // The printer fails after the invoice was issued: it stays issued, and the user is told
        // where to print it again.
        auto dialog = OpenForAcme();
        MessageBoxScript boxes({IDYES});
        DialogScript dialogs({PrintToPdf(PdfPath("no/such/folder/x.pdf"))});
        QVERIFY(dialog->Print());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(boxes.Shown().size(), size_t(2));
        QVERIFY(boxes.Shown()[1].text.Find(u"could not be printed") >= 0);
        QVERIFY(boxes.Shown()[1].text.Find(u"Tools > Invoices") >= 0);
        QVERIFY(dialog->IssuedMessage().contains(QStringLiteral("not printed")));
        QCOMPARE(Statuses(m_onInvoice), std::vector<int>(5, Item::PymtStatus_Billed));
        QCOMPARE(CInvoiceBook::List().size(), size_t(1));
    }

    void invoicesListPrintsTheSelectedInvoice() {
        {
            auto dialog = OpenForAcme();
            dialog->NumberEdit()->setText(QStringLiteral("L-3"));
            MessageBoxScript boxes({IDYES});
            DialogScript dialogs({SaveFileAs(PdfPath("l3.pdf"))});
            QVERIFY(dialog->SaveAsPdf());
        }
        CDlgInvoices list;
        QVERIFY(list.findChild<QPushButton*>(QStringLiteral("printInvoiceButton"))->isEnabled());
        const QString path = PdfPath("l3-printed.pdf");
        {
            MessageBoxScript boxes;
            DialogScript dialogs({Cancel(), PrintToPdf(path)});
            QVERIFY(!list.PrintSelected());
            QVERIFY(!QFile::exists(path));
            QVERIFY(list.PrintSelected());
            QVERIFY(boxes.Shown().empty());
        }
        QVERIFY(QFile::exists(path));
        {
            MessageBoxScript boxes({IDYES});
            QVERIFY(list.VoidSelected());
        }
        const QString voided = PdfPath("l3-void.pdf");
        {
            MessageBoxScript boxes;
            DialogScript dialogs({PrintToPdf(voided), PrintToPdf(PdfPath("no/such/folder/l3.pdf"))});
            QVERIFY(list.PrintSelected());
            QVERIFY(!list.PrintSelected());
            QCOMPARE(boxes.Shown().size(), size_t(1));
            QVERIFY(boxes.Shown()[0].text.Find(u"Invoice L-3 could not be printed") >= 0);
        }
        if (!HavePdfToText())
            QSKIP("pdftotext is not installed; the printed text is not checked");
        const QString text = PdfText(path);
        QVERIFY2(text.contains(QStringLiteral("L-3")) && text.contains(Money(26305)) && !text.contains("VOID"),
                 qPrintable(text));
        QVERIFY2(PdfText(voided).contains(QStringLiteral("VOID")), qPrintable(PdfText(voided)));
    }

    void invoiceOptionsPageKeepsTheSettings() {
        DialogScript dialogs({[](QDialog& dialog) {
            auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog);
            CInvoiceOptionsPage* page = nullptr;
            for (int index = 0; sheet && index < sheet->GetPageCount(); ++index) {
                if (auto* invoice = dynamic_cast<CInvoiceOptionsPage*>(sheet->GetPage(index)))
                    page = invoice;
            }
            if (!page || !sheet->SetActivePage(page))
                return int(IDCANCEL);
            page->findChild<QLineEdit*>(QStringLiteral("invoiceNameEdit"))->setText(QStringLiteral("Kim Lee"));
            page->findChild<QPlainTextEdit*>(QStringLiteral("invoiceAddressEdit"))
                ->setPlainText(QStringLiteral("2 Hill Lane\nLeeds"));
            page->findChild<QComboBox*>(QStringLiteral("invoiceDistanceUnitCombo"))->setCurrentIndex(1);
            page->findChild<QLineEdit*>(QStringLiteral("invoiceTaxRateEdit"))->setText(QStringLiteral("7.5"));
            return PressOk(dialog);
        }});
        QVERIFY(Trigger(*m_app->GetMainFrame(), cmd::ToolsOptions));
        QCOMPARE(dialogs.Shown(), 1);
        const CInvoiceSettings settings = CInvoiceSettings::Load();
        QCOMPARE(settings.m_strName, CString(u"Kim Lee"));
        QCOMPARE(settings.m_strAddress, CString(u"2 Hill Lane\nLeeds"));
        QCOMPARE(settings.m_strDistanceUnit, CString(u"mi"));
        QCOMPARE(settings.m_nTaxRate, 750);

        auto dialog = OpenForAcme();
        QCOMPARE(dialog->TaxRateEdit()->text(), QLocale().toString(7.5, 'f', 1));
        QCOMPARE(dialog->EntriesTree()->topLevelItem(1)->text(CDlgCreateInvoice::ColQuantity),
                 QStringLiteral("23 mi"));
        QCOMPARE(dialog->Invoice().m_seller.address, CString(u"2 Hill Lane\nLeeds"));
    }

    void taxRateTextAndPageSize() {
        int rate = -1;
        QVERIFY(CInvoiceText::ParseTaxRate(QStringLiteral(" 19 % "), rate));
        QCOMPARE(rate, 1900);
        QVERIFY(CInvoiceText::ParseTaxRate(QStringLiteral("7,25"), rate));
        QCOMPARE(rate, 725);
        QVERIFY(CInvoiceText::ParseTaxRate(QString(), rate));
        QCOMPARE(rate, 0);
        for (const char* bad : {"100.01", "-5", "7.125", "abc"})
            QVERIFY2(!CInvoiceText::ParseTaxRate(QLatin1String(bad), rate), bad);
        QCOMPARE(CInvoicePdf::PageSizeFor(QLocale(QStringLiteral("en_US"))), QPageSize::Letter);
        QCOMPARE(CInvoicePdf::PageSizeFor(QLocale(QStringLiteral("fr_CA"))), QPageSize::Letter);
        QCOMPARE(CInvoicePdf::PageSizeFor(QLocale(QStringLiteral("en_GB"))), QPageSize::A4);
        QCOMPARE(CInvoicePdf::PageSizeFor(QLocale(QStringLiteral("de_DE"))), QPageSize::A4);
        QCOMPARE(CInvoiceText::FileNamePart(u"INV/7 a"), QStringLiteral("INV-7-a"));
    }
};

DESKTOP_TEST_MAIN(InvoiceUiTests)
#include "InvoiceUiTests.moc"
