#pragma once
// Tools > Invoices: the invoices issued from this data file (number, client, dates, total and
// whether voided). "Open PDF" writes the chosen invoice again, as it was issued, and opens it;
// "Print" prints it as it was issued; "Void" puts its entries back to not billed after the user
// confirms, keeping the invoice listed and its number taken. A voided invoice shows it is void.
#include <vector>

#include <QDialog>

#include "biz/IssuedInvoice.h"

class QPushButton;
class QTreeWidget;

class CDlgInvoices : public QDialog {
    Q_OBJECT
public:
    enum Column { ColNumber, ColClient, ColIssued, ColDue, ColTotal, ColStatus, ColCount };

    explicit CDlgInvoices(QWidget* parent = nullptr);

    // Where "Open PDF" writes the PDF of an issued invoice.
    static QString PdfPath(const CIssuedInvoice& invoice);

    // Selects the invoice with that number; false when it is not listed.
    bool Select(const CString& number);
    // The buttons' actions on the selected invoice; true when done.
    bool OpenPdf();
    bool PrintSelected();
    bool VoidSelected();
    // Whether a void changed entries, so the caller refreshes its views.
    bool EntriesChanged() const { return m_entriesChanged; }

    QTreeWidget* List() const { return m_list; }

private:
    void Fill();
    void UpdateButtons();
    const CIssuedInvoice* Selected() const;

    std::vector<CIssuedInvoice> m_invoices;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_void = nullptr;
    bool m_entriesChanged = false;
};
