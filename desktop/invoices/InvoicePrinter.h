#pragma once
// An invoice on paper, laid out as its PDF: the print dialog (through the modal-dialog hook,
// so a test can pick a PDF file as the printer), then the pages. Choosing and printing are two
// steps, so that Create Invoice can issue the invoice in between: a cancelled dialog has then
// changed nothing, and nothing reaches paper that is not on record.
#include <QPrinter>
#include <QString>

class CInvoice;
class QWidget;

class CInvoicePrinter {
public:
    // `invoice` must outlive this object.
    explicit CInvoicePrinter(const CInvoice& invoice);
    CInvoicePrinter(const CInvoicePrinter&) = delete;
    CInvoicePrinter& operator=(const CInvoicePrinter&) = delete;

    // The print dialog; false when the user cancelled it.
    bool Choose(QWidget* parent);
    // Prints on the printer chosen; false with the reason in `error` when the printer did not
    // take it. A voided invoice says so at the top.
    bool Print(QString& error, bool voided = false);

private:
    const CInvoice& m_invoice;
    QPrinter m_printer;
};
