#pragma once
// Tools > Create Invoice: the user picks a client and a period and sees the client's unbilled
// billable entries of it, all checked, under one row per line (project, type and category)
// with quantities and amounts; sets the number (the next of the data file's sequence, editable),
// the issue and due dates and the tax rate; sees the seller details of the Options and the
// client's address, and the totals. "Save as PDF" writes the invoice and, once the user
// confirms, issues it: the entries become billed through their own saves. Nothing is marked
// when the PDF cannot be written, and nothing stays marked when the data file cannot be.
// "Print" issues the invoice and then prints it: paper cannot be taken back as a file can, so
// nothing is printed that is not on record.
#include <QDialog>

#include "biz/Invoice.h"
#include "desktop/invoices/InvoiceSettings.h"

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CDlgCreateInvoice : public QDialog {
    Q_OBJECT
public:
    enum Column { ColItem, ColDate, ColQuantity, ColAmount, ColCount };

    // Opens on `clientRef` when given (else the first client) and the current month.
    explicit CDlgCreateInvoice(QWidget* parent = nullptr, const CString& clientRef = CString());

    // The invoice as the dialog holds it now: entries, choices and figures typed.
    const CInvoice& Invoice();
    void SelectClient(const CString& clientRef);
    void SetPeriod(const COleDateTime& start, const COleDateTime& end);

    // What "Save as PDF" does: checks, asks for the file, writes it, asks to mark the entries
    // billed and issues the invoice; true (and the dialog accepted) once it is issued.
    bool SaveAsPdf();
    // What "Print" does: checks, asks to issue the invoice, shows the print dialog, issues it and
    // prints it; true (and the dialog accepted) once it is issued, even when the printer then
    // failed (that is told, and the Invoices list prints it again). A cancelled print dialog
    // changes nothing.
    bool Print();
    // The PDF of the last invoice issued here; empty when it was printed instead.
    QString SavedPath() const { return m_savedPath; }
    // What became of the invoice issued here, for the status bar.
    QString IssuedMessage() const;

    QComboBox* ClientCombo() const { return m_client; }
    QTreeWidget* EntriesTree() const { return m_entries; }
    QLineEdit* NumberEdit() const { return m_number; }
    QLineEdit* TaxRateEdit() const { return m_taxRate; }
    QLabel* TotalsLabel() const { return m_totals; }
    QLabel* ClientAddressLabel() const { return m_clientAddress; }

private:
    void BuildControls();
    QWidget* BuildHeader();
    QWidget* BuildFooter();
    void FillClients(const CString& clientRef);
    // Prepares the invoice again for the client and period shown and refills the list.
    void Prepare();
    void FillEntries();
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void UpdateFigures();
    // The line of a row of the list, summed from its checked entries.
    CInvoice::Line LineOfRow(const QTreeWidgetItem& row) const;
    void ShowLineRow(QTreeWidgetItem& row) const;
    // Takes the number, dates, tax rate and the Options' details into the invoice; false
    // with the reason shown when one of them cannot be used.
    bool TakeChoices();
    bool ChooseFile(QString& path);
    bool ConfirmIssue(const QString& path);
    bool ConfirmPrint();
    // Issues the invoice; on failure says why, removes the PDF at `pdfPath` (if any) and returns false.
    bool Issue(const QString& pdfPath);
    void ReportIssueFailure(const std::vector<CString>& entries, const CString& message, bool writeFailed,
                            const QString& undone);

    CInvoice m_invoice;
    CInvoiceSettings m_settings;
    QString m_savedPath;
    enum class Issued { No, Saved, Printed, PrintFailed } m_issued = Issued::No;
    bool m_filling = false;

    QComboBox* m_client = nullptr;
    QDateTimeEdit* m_start = nullptr;
    QDateTimeEdit* m_end = nullptr;
    QTreeWidget* m_entries = nullptr;
    QLineEdit* m_number = nullptr;
    QDateTimeEdit* m_issue = nullptr;
    QDateTimeEdit* m_due = nullptr;
    QLineEdit* m_taxRate = nullptr;
    QLabel* m_seller = nullptr;
    QLabel* m_clientAddress = nullptr;
    QLabel* m_totals = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
};
