#pragma once
// An invoice as a PDF document, written with Qt's own PDF writer: the seller and the client,
// the number and dates, one row per line, the subtotal, the tax and the total, the payment
// terms, then the entries in detail. The page is Letter where the locale uses it, else A4.
#include <QPageSize>
#include <QString>

class CInvoice;
class QLocale;
class QPagedPaintDevice;

class CInvoicePdf {
public:
    // Letter in the United States, Canada and the other places that use it; A4 elsewhere.
    static QPageSize::PageSizeId PageSizeFor(const QLocale& locale);
    // The document as rich text; a voided invoice says so at the top.
    static QString Html(const CInvoice& invoice, bool voided = false);
    // The page size of the locale and the invoice's margins; a print dialog may change them after.
    static void SetUpPage(QPagedPaintDevice& device);
    // Lays the document out on the device's pages and paints it. A device that cannot be
    // painted on gets nothing; its owner tells (an empty buffer, a printer in its error state).
    static void Paint(const CInvoice& invoice, QPagedPaintDevice& device, bool voided = false);
    // Writes the PDF to `path` whole or not at all (an existing file is replaced only once the
    // new one is complete). false with the reason in `error`.
    static bool Write(const CInvoice& invoice, const QString& path, QString& error, bool voided = false);
};
