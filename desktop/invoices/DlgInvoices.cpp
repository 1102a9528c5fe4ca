#include "desktop/invoices/DlgInvoices.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "biz/DataHelper.h"
#include "biz/InvoiceBook.h"
#include "desktop/invoices/InvoicePdf.h"
#include "desktop/invoices/InvoicePrinter.h"
#include "desktop/invoices/InvoiceText.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {
constexpr int kIndexRole = Qt::UserRole;

// The entries a void left as they were, by date and description, from the invoice's own copy.
QString Listed(const CInvoice& invoice, const std::vector<CString>& refIds) {
    QString text;
    for (const CString& refId : refIds) {
        for (const CInvoice::Entry& entry : invoice.m_entries) {
            if (entry.refId == refId)
                text += QStringLiteral("\n%1  %2  %3")
                            .arg(CInvoiceText::Date(entry.date), qtconv::ToQString(entry.projectName),
                                 qtconv::ToQString(entry.description));
        }
    }
    return text;
}
}   // namespace

CDlgInvoices::CDlgInvoices(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("invoicesDialog"));
    setWindowTitle(tr("Invoices"));
    m_list = Named(new QTreeWidget(this), "invoicesList");
    m_list->setColumnCount(ColCount);
    m_list->setHeaderLabels({tr("Number"), tr("Client"), tr("Issued"), tr("Due"), tr("Total"), tr("Status")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(ColClient, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_open = Named(new QPushButton(tr("&Open PDF"), this), "openInvoicePdfButton");
    m_print = Named(new QPushButton(tr("&Print..."), this), "printInvoiceButton");
    m_void = Named(new QPushButton(tr("&Void..."), this), "voidInvoiceButton");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    buttons->addButton(m_print, QDialogButtonBox::ActionRole);
    buttons->addButton(m_void, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_open, &QPushButton::clicked, this, &CDlgInvoices::OpenPdf);
    connect(m_print, &QPushButton::clicked, this, &CDlgInvoices::PrintSelected);
    connect(m_void, &QPushButton::clicked, this, &CDlgInvoices::VoidSelected);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CDlgInvoices::OpenPdf);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CDlgInvoices::UpdateButtons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    Fill();
    resize(700, 420);
}

void CDlgInvoices::Fill() {
    const CString current = Selected() ? Selected()->get_Number() : CString();
    m_invoices = CInvoiceBook::List();
    m_list->clear();
    // Newest first: the one just issued or voided is at hand.
    for (size_t index = m_invoices.size(); index-- > 0;) {
        const CIssuedInvoice& record = m_invoices[index];
        const CInvoice& invoice = record.get_Invoice();
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(ColNumber, kIndexRole, static_cast<int>(index));
        item->setText(ColNumber, qtconv::ToQString(record.get_Number()));
        item->setText(ColClient, qtconv::ToQString(invoice.m_client.name));
        item->setText(ColIssued, CInvoiceText::Date(invoice.m_dtIssue));
        item->setText(ColDue, CInvoiceText::Date(invoice.m_dtDue));
        item->setText(ColTotal, CInvoiceText::Money(invoice.Total()));
        item->setTextAlignment(ColTotal, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(ColStatus, record.get_IsVoided()
                                     ? tr("Voided %1").arg(CInvoiceText::Date(record.get_VoidedDate()))
                                     : tr("Issued"));
    }
    for (int column = 0; column < ColCount; ++column) {
        if (column != ColClient)
            m_list->resizeColumnToContents(column);
    }
    if (current.IsEmpty() || !Select(current))
        m_list->setCurrentItem(m_list->topLevelItem(0));
    UpdateButtons();
}

bool CDlgInvoices::Select(const CString& number) {
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (qtconv::FromQString(item->text(ColNumber)).CompareNoCase(number) == 0) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

const CIssuedInvoice* CDlgInvoices::Selected() const {
    const QTreeWidgetItem* item = m_list ? m_list->currentItem() : nullptr;
    if (!item)
        return nullptr;
    const int index = item->data(ColNumber, kIndexRole).toInt();
    return index >= 0 && index < static_cast<int>(m_invoices.size()) ? &m_invoices[static_cast<size_t>(index)]
                                                                     : nullptr;
}

void CDlgInvoices::UpdateButtons() {
    const CIssuedInvoice* invoice = Selected();
    m_open->setEnabled(invoice != nullptr);
    m_print->setEnabled(invoice != nullptr);
    m_void->setEnabled(invoice && !invoice->get_IsVoided());
}

QString CDlgInvoices::PdfPath(const CIssuedInvoice& invoice) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(
        QStringLiteral("invoices/Invoice %1.pdf").arg(CInvoiceText::FileNamePart(invoice.get_Number())));
}

bool CDlgInvoices::OpenPdf() {
    const CIssuedInvoice* invoice = Selected();
    if (!invoice)
        return false;
    const QString path = PdfPath(*invoice);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!CInvoicePdf::Write(invoice->get_Invoice(), path, error, invoice->get_IsVoided())) {
        AfxMessageBox(qtconv::FromQString(
                          tr("Invoice %1 could not be written to \"%2\". %3")
                              .arg(qtconv::ToQString(invoice->get_Number()), QDir::toNativeSeparators(path), error)),
                      MB_OK | MB_ICONSTOP);
        return false;
    }
    return OpenUrlOrReport(QUrl::fromLocalFile(path).toString()) > 32;
}

bool CDlgInvoices::PrintSelected() {
    const CIssuedInvoice* selected = Selected();
    if (!selected)
        return false;
    const CIssuedInvoice invoice = *selected;
    CInvoicePrinter printer(invoice.get_Invoice());
    if (!printer.Choose(this))
        return false;
    QString error;
    if (!printer.Print(error, invoice.get_IsVoided())) {
        AfxMessageBox(
            qtconv::FromQString(
                tr("Invoice %1 could not be printed. %2").arg(qtconv::ToQString(invoice.get_Number()), error)),
            MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool CDlgInvoices::VoidSelected() {
    const CIssuedInvoice* selected = Selected();
    if (!selected || selected->get_IsVoided())
        return false;
    const CIssuedInvoice invoice = *selected;
    const QString ask =
        tr("Void invoice %1 to %2 (%3)?\n\nIts %4 entries go back to not billed. The invoice stays listed as voided "
           "and its number is not used again.")
            .arg(qtconv::ToQString(invoice.get_Number()), qtconv::ToQString(invoice.get_Invoice().m_client.name),
                 CInvoiceText::Money(invoice.get_Invoice().Total()))
            .arg(invoice.get_Invoice().m_entries.size());
    if (AfxMessageBox(qtconv::FromQString(ask), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    const CWriteCheck check;
    const CInvoiceBook::Outcome outcome = CInvoiceBook::Void(invoice.get_Number());
    if (!outcome.ok) {
        CString text = outcome.message;
        const CDataHelper* store = GetCurrDataHelper();
        if (check.Failed() && store)
            text += u" " + store->GetLastWriteError();
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        Fill();
        return false;
    }
    m_entriesChanged = true;
    Fill();
    if (!outcome.entries.empty()) {
        const QString text =
            tr("Invoice %1 has been voided. These entries were left as they are, because they have "
               "been paid, deleted or billed on another invoice since:%2")
                .arg(qtconv::ToQString(invoice.get_Number()), Listed(invoice.get_Invoice(), outcome.entries));
        AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONINFORMATION);
    }
    return true;
}
