#include "desktop/invoices/InvoicePrinter.h"

#include <QPrintDialog>

#include "biz/Invoice.h"
#include "desktop/invoices/InvoicePdf.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"

CInvoicePrinter::CInvoicePrinter(const CInvoice& invoice) : m_invoice(invoice), m_printer(QPrinter::HighResolution) {
    m_printer.setDocName(QStringLiteral("Invoice %1").arg(qtconv::ToQString(invoice.m_strNumber)));
    m_printer.setCreator(QStringLiteral("Quillmar"));
    CInvoicePdf::SetUpPage(m_printer);
}

bool CInvoicePrinter::Choose(QWidget* parent) {
    QPrintDialog dialog(&m_printer, parent);
    dialog.setObjectName(QStringLiteral("invoicePrintDialog"));
    dialog.setWindowTitle(QObject::tr("Print Invoice %1").arg(qtconv::ToQString(m_invoice.m_strNumber)));
    return RunModal(dialog) == QDialog::Accepted;
}

bool CInvoicePrinter::Print(QString& error, bool voided) {
    CInvoicePdf::Paint(m_invoice, m_printer, voided);
    // The document cannot say that the printer refused it; the printer's state does.
    if (m_printer.printerState() == QPrinter::Error) {
        error = m_printer.outputFileName().isEmpty()
                    ? QObject::tr("The printer \"%1\" did not take it.").arg(m_printer.printerName())
                    : QObject::tr("The file \"%1\" could not be written.").arg(m_printer.outputFileName());
        return false;
    }
    return true;
}
