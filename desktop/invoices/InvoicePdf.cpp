#include "desktop/invoices/InvoicePdf.h"

#include <QBuffer>
#include <QLocale>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "biz/Invoice.h"
#include "desktop/invoices/InvoiceText.h"
#include "ui/qt/QtConvert.h"

namespace {

QString Escaped(const CString& text) { return qtconv::ToQString(text).toHtmlEscaped(); }

// Line breaks kept, as an address is written.
QString Lines(const CString& text) {
    QString html = Escaped(text);
    html.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return html.replace(u'\n', QStringLiteral("<br>"));
}

QString Cell(const QString& html, const char* align = "left") {
    return QStringLiteral("<td align=\"%1\">%2</td>").arg(QLatin1String(align), html);
}

QString Header(const CInvoice& invoice, bool voided) {
    QString html = QStringLiteral("<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\"><tr>");
    html += QStringLiteral("<td width=\"55%\" valign=\"top\"><b>%1</b><br>%2</td>")
                .arg(Escaped(invoice.m_seller.name), Lines(invoice.m_seller.address));
    html += QStringLiteral("<td valign=\"top\" align=\"right\"><span style=\"font-size:20pt\"><b>INVOICE</b></span>");
    if (voided)
        html += QStringLiteral("<br><span style=\"font-size:14pt; color:#b00000\"><b>VOID</b></span>");
    html += QStringLiteral("<br>Invoice number: <b>%1</b><br>Date: %2<br>Due: %3</td></tr></table>")
                .arg(Escaped(invoice.m_strNumber), CInvoiceText::Date(invoice.m_dtIssue),
                     CInvoiceText::Date(invoice.m_dtDue));
    html += QStringLiteral("<p><b>Bill to:</b><br>%1").arg(Escaped(invoice.m_client.name));
    if (!invoice.m_client.contact.IsEmpty())
        html += QStringLiteral("<br>") + Escaped(invoice.m_client.contact);
    if (!invoice.m_client.address.IsEmpty())
        html += QStringLiteral("<br>") + Lines(invoice.m_client.address);
    if (!invoice.m_client.accountNum.IsEmpty())
        html += QStringLiteral("<br>Account: ") + Escaped(invoice.m_client.accountNum);
    html += QStringLiteral("</p><p>Work from %1 to %2</p>")
                .arg(CInvoiceText::Date(invoice.m_dtPeriodStart), CInvoiceText::Date(invoice.m_dtPeriodEnd));
    return html;
}

QString TotalRow(const QString& label, const CAmount& amount, bool bold = false) {
    const QString money = CInvoiceText::Money(amount);
    return QStringLiteral("<tr><td colspan=\"2\" align=\"right\">%1</td>%2</tr>")
        .arg(bold ? QStringLiteral("<b>%1</b>").arg(label) : label,
             Cell(bold ? QStringLiteral("<b>%1</b>").arg(money) : money, "right"));
}

QString LinesTable(const CInvoice& invoice) {
    QString html = QStringLiteral(
        "<table width=\"100%\" cellpadding=\"4\" cellspacing=\"0\" border=\"1\" style=\"border-collapse:collapse\">"
        "<tr style=\"background-color:#e8e8e8\"><th align=\"left\">Description</th><th align=\"right\">Quantity</th>"
        "<th align=\"right\">Amount</th></tr>");
    for (const CInvoice::Line& line : invoice.Lines()) {
        html += QStringLiteral("<tr>") + Cell(CInvoiceText::LineName(line).toHtmlEscaped()) +
                Cell(CInvoiceText::LineQuantity(line, invoice.m_strDistanceUnit), "right") +
                Cell(CInvoiceText::Money(line.amount), "right") + QStringLiteral("</tr>");
    }
    html += TotalRow(QStringLiteral("Subtotal"), invoice.Subtotal());
    if (invoice.m_nTaxRate != 0)
        html += TotalRow(QStringLiteral("Tax (%1%)").arg(CInvoiceText::TaxRate(invoice.m_nTaxRate)), invoice.Tax());
    html += TotalRow(QStringLiteral("Total"), invoice.Total(), true);
    return html + QStringLiteral("</table>");
}

QString Details(const CInvoice& invoice) {
    QString html = QStringLiteral(
        "<p><b>Details</b></p><table width=\"100%\" cellpadding=\"3\" cellspacing=\"0\" style=\"font-size:8pt\">"
        "<tr><th align=\"left\">Date</th><th align=\"left\">Project</th><th align=\"left\">Description</th>"
        "<th align=\"right\">Quantity</th><th align=\"right\">Amount</th></tr>");
    for (const CInvoice::Entry& entry : invoice.IncludedEntries()) {
        html += QStringLiteral("<tr>") + Cell(CInvoiceText::Date(entry.date)) + Cell(Escaped(entry.projectName)) +
                Cell(Escaped(entry.description)) +
                Cell(CInvoiceText::EntryQuantity(entry, invoice.m_strDistanceUnit), "right") +
                Cell(CInvoiceText::Money(entry.amount), "right") + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}   // namespace

QPageSize::PageSizeId CInvoicePdf::PageSizeFor(const QLocale& locale) {
    if (locale.measurementSystem() == QLocale::ImperialUSSystem)
        return QPageSize::Letter;
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::CostaRica:
    case QLocale::Guatemala:
    case QLocale::PuertoRico: return QPageSize::Letter;
    default: return QPageSize::A4;
    }
}

QString CInvoicePdf::Html(const CInvoice& invoice, bool voided) {
    QString html = QStringLiteral("<html><body style=\"font-size:10pt\">");
    html += Header(invoice, voided);
    html += LinesTable(invoice);
    if (!invoice.m_strPaymentTerms.IsEmpty())
        html += QStringLiteral("<p><b>Payment terms</b><br>%1</p>").arg(Lines(invoice.m_strPaymentTerms));
    html += Details(invoice);
    return html + QStringLiteral("</body></html>");
}

void CInvoicePdf::SetUpPage(QPagedPaintDevice& device) {
    device.setPageSize(QPageSize(PageSizeFor(QLocale::system())));
    device.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
}

void CInvoicePdf::Paint(const CInvoice& invoice, QPagedPaintDevice& device, bool voided) {
    QTextDocument document;
    document.setHtml(Html(invoice, voided));
    document.print(&device);
}

bool CInvoicePdf::Write(const CInvoice& invoice, const QString& path, QString& error, bool voided) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        SetUpPage(writer);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Invoice %1").arg(qtconv::ToQString(invoice.m_strNumber)));
        writer.setCreator(QStringLiteral("Quillmar"));
        Paint(invoice, writer, voided);
    }
    if (buffer.data().isEmpty()) {
        error = QStringLiteral("The PDF document could not be made.");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
