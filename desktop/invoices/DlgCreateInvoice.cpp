#include "desktop/invoices/DlgCreateInvoice.h"

#include <algorithm>
#include <memory>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/InvoiceBook.h"
#include "desktop/invoices/InvoicePdf.h"
#include "desktop/invoices/InvoicePrinter.h"
#include "desktop/invoices/InvoiceText.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {

constexpr int kRefIdRole = Qt::UserRole;
// Resource library strings of the invoice checks.
constexpr unsigned kNumberMissing = 301;
constexpr unsigned kNumberUsed = 302;
constexpr unsigned kNoEntries = 303;
constexpr unsigned kTaxRateOutOfRange = 308;

bool SameLine(const CInvoice::Entry& a, const CInvoice::Entry& b) {
    return a.projectRef == b.projectRef && a.type == b.type && a.categoryRef == b.categoryRef;
}

QDateTime PickerValue(const COleDateTime& date) { return qtconv::ToQDateTime(GetDatePortion(date)); }

COleDateTime DateOf(const QDateTimeEdit* picker) { return GetDatePortion(qtconv::ToOleDateTime(picker->dateTime())); }

QString Row(const QString& label, const QString& value, bool bold = false) {
    const QString cell = bold ? QStringLiteral("<b>%1</b>") : QStringLiteral("%1");
    return QStringLiteral("<tr><td>%1</td><td align=\"right\">&nbsp;&nbsp;%2</td></tr>")
        .arg(cell.arg(label), cell.arg(value));
}

QString Multiline(const CString& text) {
    return qtconv::ToQString(text).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

}   // namespace

CDlgCreateInvoice::CDlgCreateInvoice(QWidget* parent, const CString& clientRef)
    : QDialog(parent), m_settings(CInvoiceSettings::Load()) {
    setObjectName(QStringLiteral("createInvoiceDialog"));
    setWindowTitle(tr("Create Invoice"));
    BuildControls();
    const COleDateTime today = GetDatePortion(Clock::LocalNow());
    m_start->setDateTime(PickerValue(COleDateTime(today.GetYear(), today.GetMonth(), 1, 0, 0, 0)));
    m_end->setDateTime(PickerValue(GetLastDayInMonth(today.GetYear(), today.GetMonth())));
    m_issue->setDateTime(PickerValue(today));
    m_due->setDateTime(PickerValue(today + COleDateTimeSpan(m_settings.m_nDueDays, 0, 0, 0)));
    m_taxRate->setText(CInvoiceText::TaxRate(m_settings.m_nTaxRate));
    m_number->setText(qtconv::ToQString(CInvoiceBook::NextNumber()));
    FillClients(clientRef);
    Prepare();
    connect(m_client, &QComboBox::currentIndexChanged, this, &CDlgCreateInvoice::Prepare);
    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, &CDlgCreateInvoice::Prepare);
    connect(m_end, &QDateTimeEdit::dateTimeChanged, this, &CDlgCreateInvoice::Prepare);
    connect(m_taxRate, &QLineEdit::textChanged, this, &CDlgCreateInvoice::UpdateFigures);
    connect(m_entries, &QTreeWidget::itemChanged, this, &CDlgCreateInvoice::OnItemChanged);
    resize(820, 620);
}

void CDlgCreateInvoice::BuildControls() {
    m_entries = Named(new QTreeWidget(this), "invoiceEntriesTree");
    m_entries->setColumnCount(ColCount);
    m_entries->setHeaderLabels({tr("Line / entry"), tr("Date"), tr("Quantity"), tr("Amount")});
    m_entries->setRootIsDecorated(true);
    m_entries->setUniformRowHeights(true);
    m_entries->header()->setSectionResizeMode(ColItem, QHeaderView::Stretch);
    m_entries->header()->setStretchLastSection(false);
    m_entries->setColumnWidth(ColDate, 100);
    m_entries->setColumnWidth(ColQuantity, 90);
    m_entries->setColumnWidth(ColAmount, 100);

    m_save = Named(new QPushButton(tr("Save as &PDF..."), this), "saveAsPdfButton");
    connect(m_save, &QPushButton::clicked, this, &CDlgCreateInvoice::SaveAsPdf);
    m_print = Named(new QPushButton(tr("P&rint..."), this), "printInvoiceButton");
    connect(m_print, &QPushButton::clicked, this, &CDlgCreateInvoice::Print);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_print, QDialogButtonBox::ActionRole);
    buttons->addButton(m_save, QDialogButtonBox::ActionRole);
    // Enter saves, as before there was Print: printing issues the invoice, so it takes a click.
    m_save->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildHeader());
    layout->addWidget(m_entries, 1);
    layout->addWidget(BuildFooter());
    layout->addWidget(buttons);
}

QWidget* CDlgCreateInvoice::BuildHeader() {
    auto* header = new QWidget(this);
    m_client = Named(new QComboBox(header), "invoiceClientCombo");
    m_client->setMinimumWidth(220);
    m_start = Named(MakeDatePicker(header), "invoiceStartPicker");
    m_end = Named(MakeDatePicker(header), "invoiceEndPicker");
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(MakeBuddyLabel(tr("&Client:"), m_client, header));
    row->addWidget(m_client, 1);
    row->addSpacing(12);
    row->addWidget(MakeBuddyLabel(tr("&From:"), m_start, header));
    row->addWidget(m_start);
    row->addWidget(MakeBuddyLabel(tr("&To:"), m_end, header));
    row->addWidget(m_end);
    return header;
}

QWidget* CDlgCreateInvoice::BuildFooter() {
    auto* footer = new QWidget(this);
    QGridLayout* parties = nullptr;
    QGroupBox* partiesBox = MakeGroup(tr("From and to"), footer, parties);
    m_seller = Named(new QLabel(partiesBox), "invoiceSellerLabel");
    m_clientAddress = Named(new QLabel(partiesBox), "invoiceClientAddressLabel");
    for (QLabel* label : {m_seller, m_clientAddress}) {
        label->setTextFormat(Qt::RichText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    parties->addWidget(m_seller, 0, 0);
    parties->addWidget(m_clientAddress, 0, 1);
    parties->setColumnStretch(0, 1);
    parties->setColumnStretch(1, 1);
    const CString& name = m_settings.m_strName;
    m_seller->setText(QStringLiteral("<i>From</i><br><b>%1</b><br>%2<br><i>%3</i>")
                          .arg(name.IsEmpty() ? tr("(Your name: Tools > Options > Invoice)") : Multiline(name),
                               Multiline(m_settings.m_strAddress), Multiline(m_settings.m_strPaymentTerms)));

    QGridLayout* figures = nullptr;
    QGroupBox* figuresBox = MakeGroup(tr("Invoice"), footer, figures);
    m_number = Named(new QLineEdit(figuresBox), "invoiceNumberEdit");
    m_issue = Named(MakeDatePicker(figuresBox), "invoiceIssuePicker");
    m_due = Named(MakeDatePicker(figuresBox), "invoiceDuePicker");
    m_taxRate = Named(new QLineEdit(figuresBox), "invoiceTaxRateEdit");
    m_taxRate->setMaximumWidth(70);
    m_totals = Named(new QLabel(figuresBox), "invoiceTotalsLabel");
    m_totals->setTextFormat(Qt::RichText);
    figures->addWidget(MakeBuddyLabel(tr("&Number:"), m_number, figuresBox), 0, 0);
    figures->addWidget(m_number, 0, 1);
    figures->addWidget(MakeBuddyLabel(tr("&Issued:"), m_issue, figuresBox), 1, 0);
    figures->addWidget(m_issue, 1, 1);
    figures->addWidget(MakeBuddyLabel(tr("&Due:"), m_due, figuresBox), 2, 0);
    figures->addWidget(m_due, 2, 1);
    figures->addWidget(MakeBuddyLabel(tr("Ta&x rate (%):"), m_taxRate, figuresBox), 3, 0);
    figures->addWidget(m_taxRate, 3, 1, Qt::AlignLeft);
    figures->addWidget(m_totals, 0, 2, 4, 1, Qt::AlignRight | Qt::AlignTop);
    figures->setColumnStretch(2, 1);

    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(partiesBox, 1);
    row->addWidget(figuresBox, 1);
    return footer;
}

void CDlgCreateInvoice::FillClients(const CString& clientRef) {
    std::vector<std::pair<QString, QString>> clients;
    CDataHelper* store = GetCurrDataHelper();
    const std::unique_ptr<CObArray> list(store ? store->GetObjectList(u"client") : new CObArray);
    for (int index = 0; index < list->GetSize(); ++index) {
        const auto* client = static_cast<const CClient*>(list->GetAt(index));
        clients.emplace_back(qtconv::ToQString(client->get_Description()), qtconv::ToQString(client->get_RefID()));
    }
    std::sort(clients.begin(), clients.end(),
              [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
    const QSignalBlocker blocker(m_client);
    for (const auto& [name, refId] : clients)
        m_client->addItem(name, refId);
    const int wanted = m_client->findData(qtconv::ToQString(clientRef));
    m_client->setCurrentIndex(wanted >= 0 ? wanted : 0);
}

void CDlgCreateInvoice::SelectClient(const CString& clientRef) {
    const int index = m_client->findData(qtconv::ToQString(clientRef));
    if (index >= 0)
        m_client->setCurrentIndex(index);
}

void CDlgCreateInvoice::SetPeriod(const COleDateTime& start, const COleDateTime& end) {
    {
        const QSignalBlocker blockStart(m_start);
        m_start->setDateTime(PickerValue(start));
    }
    m_end->setDateTime(PickerValue(end));
    Prepare();
}

void CDlgCreateInvoice::Prepare() {
    const CString clientRef = qtconv::FromQString(m_client->currentData().toString());
    CString error;
    if (clientRef.IsEmpty() || !m_invoice.Prepare(clientRef, DateOf(m_start), DateOf(m_end), error)) {
        m_invoice.m_entries.clear();
        m_invoice.m_client = CInvoice::Party{};
    }
    const CInvoice::Party& client = m_invoice.m_client;
    QString address = QStringLiteral("<i>Bill to</i><br><b>%1</b>").arg(Multiline(client.name));
    if (!client.contact.IsEmpty())
        address += QStringLiteral("<br>") + Multiline(client.contact);
    address += QStringLiteral("<br>") + (client.address.IsEmpty() ? tr("<i>(no address in the client's record)</i>")
                                                                  : Multiline(client.address));
    m_clientAddress->setText(clientRef.IsEmpty() ? tr("<i>There is no client yet.</i>") : address);
    FillEntries();
}

void CDlgCreateInvoice::FillEntries() {
    m_filling = true;
    m_entries->clear();
    QTreeWidgetItem* line = nullptr;
    const CInvoice::Entry* previous = nullptr;
    for (const CInvoice::Entry& entry : m_invoice.m_entries) {
        if (!previous || !SameLine(*previous, entry)) {
            line = new QTreeWidgetItem(m_entries);
            line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
            line->setFirstColumnSpanned(false);
            line->setExpanded(true);
        }
        auto* item = new QTreeWidgetItem(line);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setData(ColItem, kRefIdRole, qtconv::ToQString(entry.refId));
        item->setText(ColItem, qtconv::ToQString(entry.description));
        item->setText(ColDate, CInvoiceText::Date(entry.date));
        item->setText(ColQuantity, CInvoiceText::EntryQuantity(entry, m_settings.m_strDistanceUnit));
        item->setText(ColAmount, CInvoiceText::Money(entry.amount));
        item->setTextAlignment(ColQuantity, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(ColAmount, Qt::AlignRight | Qt::AlignVCenter);
        item->setCheckState(ColItem, entry.included ? Qt::Checked : Qt::Unchecked);
        previous = &entry;
    }
    if (m_invoice.m_entries.empty()) {
        // Said in the list itself, where the user looks for the entries.
        auto* none =
            new QTreeWidgetItem(m_entries, {tr("No unbilled billable entries of this client in this period.")});
        none->setFlags(Qt::NoItemFlags);
        none->setFirstColumnSpanned(true);
    }
    m_entries->expandAll();
    m_filling = false;
    UpdateFigures();
}

void CDlgCreateInvoice::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (m_filling || column != ColItem || !item->parent())
        return;
    m_invoice.SetIncluded(qtconv::FromQString(item->data(ColItem, kRefIdRole).toString()),
                          item->checkState(ColItem) == Qt::Checked);
    UpdateFigures();
}

CInvoice::Line CDlgCreateInvoice::LineOfRow(const QTreeWidgetItem& row) const {
    CInvoice::Line line;
    for (int child = 0; child < row.childCount(); ++child) {
        const CString refId = qtconv::FromQString(row.child(child)->data(ColItem, kRefIdRole).toString());
        const auto entry =
            std::find_if(m_invoice.m_entries.begin(), m_invoice.m_entries.end(),
                         [&refId](const CInvoice::Entry& candidate) { return candidate.refId == refId; });
        if (entry == m_invoice.m_entries.end())
            continue;
        // The row is named by its entries even when none of them is checked.
        line.projectName = entry->projectName;
        line.categoryName = entry->categoryName;
        line.type = entry->type;
        if (!entry->included)
            continue;
        line.minutes += entry->minutes;
        line.distance += entry->distance;
        ++line.items;
        line.amount += entry->amount;
    }
    return line;
}

void CDlgCreateInvoice::ShowLineRow(QTreeWidgetItem& row) const {
    if (row.childCount() == 0)
        return;
    // What the row's checked entries add up to.
    const CInvoice::Line line = LineOfRow(row);
    row.setText(ColItem, CInvoiceText::LineName(line));
    row.setText(ColQuantity, CInvoiceText::LineQuantity(line, m_settings.m_strDistanceUnit));
    row.setText(ColAmount, CInvoiceText::Money(line.amount));
    row.setTextAlignment(ColQuantity, Qt::AlignRight | Qt::AlignVCenter);
    row.setTextAlignment(ColAmount, Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = row.font(ColItem);
    bold.setBold(true);
    for (int column = 0; column < ColCount; ++column)
        row.setFont(column, bold);
}

void CDlgCreateInvoice::UpdateFigures() {
    m_filling = true;
    for (int index = 0; index < m_entries->topLevelItemCount(); ++index)
        ShowLineRow(*m_entries->topLevelItem(index));
    m_filling = false;

    int rate = 0;
    const bool rateOk = CInvoiceText::ParseTaxRate(m_taxRate->text(), rate);
    m_invoice.m_nTaxRate = rateOk ? rate : 0;
    QString html = QStringLiteral("<table>") + Row(tr("Subtotal"), CInvoiceText::Money(m_invoice.Subtotal()));
    if (!rateOk)
        html += Row(tr("Tax"), tr("(rate not valid)"));
    else if (rate != 0)
        html += Row(tr("Tax (%1%)").arg(CInvoiceText::TaxRate(rate)), CInvoiceText::Money(m_invoice.Tax()));
    html += Row(tr("Total"), CInvoiceText::Money(m_invoice.Total()), true) + QStringLiteral("</table>");
    m_totals->setText(html);
    m_save->setEnabled(!m_invoice.IncludedEntries().empty());
    m_print->setEnabled(m_save->isEnabled());
}

const CInvoice& CDlgCreateInvoice::Invoice() {
    m_invoice.m_strNumber = qtconv::FromQString(m_number->text().trimmed());
    m_invoice.m_dtIssue = DateOf(m_issue);
    m_invoice.m_dtDue = DateOf(m_due);
    int rate = 0;
    m_invoice.m_nTaxRate = CInvoiceText::ParseTaxRate(m_taxRate->text(), rate) ? rate : -1;
    m_invoice.m_seller = CInvoice::Party{m_settings.m_strName, m_settings.m_strAddress, CString(), CString()};
    m_invoice.m_strPaymentTerms = m_settings.m_strPaymentTerms;
    m_invoice.m_strDistanceUnit = m_settings.m_strDistanceUnit;
    return m_invoice;
}

bool CDlgCreateInvoice::TakeChoices() {
    const CInvoice& invoice = Invoice();
    QWidget* field = nullptr;
    CString message;
    if (invoice.m_strNumber.IsEmpty()) {
        message = GetResString(kNumberMissing, 1);
        field = m_number;
    } else if (CInvoiceBook::Find(invoice.m_strNumber)) {
        message.Format(GetResString(kNumberUsed, 1), invoice.m_strNumber);
        field = m_number;
    } else if (invoice.m_nTaxRate < 0) {
        message = GetResString(kTaxRateOutOfRange, 1);
        field = m_taxRate;
    } else if (invoice.m_dtDue < invoice.m_dtIssue) {
        message = u"The due date cannot be before the issue date.";
        field = m_due;
    } else if (invoice.IncludedEntries().empty()) {
        message = GetResString(kNoEntries, 1);
        field = m_entries;
    }
    if (!field)
        return true;
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
    return false;
}

bool CDlgCreateInvoice::ChooseFile(QString& path) {
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("invoicePdfFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setNameFilters({tr("PDF Files (*.pdf)"), tr("All Files (*)")});
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(QStringLiteral("Invoice %1.pdf").arg(CInvoiceText::FileNamePart(m_invoice.m_strNumber)));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().first();
    return true;
}

bool CDlgCreateInvoice::ConfirmIssue(const QString& path) {
    const size_t count = m_invoice.IncludedEntries().size();
    const QString text =
        tr("Invoice %1 has been saved as \"%2\".\n\nMark the %3 entries on it as billed now? The invoice is then "
           "recorded and the next number taken; choose No if you will not send it.")
            .arg(qtconv::ToQString(m_invoice.m_strNumber), QDir::toNativeSeparators(path))
            .arg(count);
    return AfxMessageBox(qtconv::FromQString(text), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CDlgCreateInvoice::SaveAsPdf() {
    m_settings = CInvoiceSettings::Load();
    if (!TakeChoices())
        return false;
    QString path;
    if (!ChooseFile(path))
        return false;
    QString error;
    if (!CInvoicePdf::Write(m_invoice, path, error)) {
        const QString text = tr("The invoice could not be saved as \"%1\". %2\n\nNo entry has been marked billed.")
                                 .arg(QDir::toNativeSeparators(path), error);
        AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!ConfirmIssue(path) || !Issue(path))
        return false;
    m_savedPath = path;
    m_issued = Issued::Saved;
    accept();
    return true;
}

bool CDlgCreateInvoice::ConfirmPrint() {
    const QString text =
        tr("Print invoice %1 and mark the %2 entries on it as billed?\n\nThe invoice is recorded and the next "
           "number taken before it is printed.")
            .arg(qtconv::ToQString(m_invoice.m_strNumber))
            .arg(m_invoice.IncludedEntries().size());
    return AfxMessageBox(qtconv::FromQString(text), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CDlgCreateInvoice::Print() {
    m_settings = CInvoiceSettings::Load();
    if (!TakeChoices() || !ConfirmPrint())
        return false;
    CInvoicePrinter printer(m_invoice);
    if (!printer.Choose(this) || !Issue(QString()))
        return false;
    QString error;
    m_savedPath.clear();
    m_issued = printer.Print(error) ? Issued::Printed : Issued::PrintFailed;
    if (m_issued == Issued::PrintFailed) {
        const QString text = tr("Invoice %1 has been issued and its entries marked billed, but it could not be "
                                "printed. %2\n\nPrint it again from Tools > Invoices.")
                                 .arg(qtconv::ToQString(m_invoice.m_strNumber), error);
        AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONEXCLAMATION);
    }
    accept();
    return true;
}

QString CDlgCreateInvoice::IssuedMessage() const {
    const QString number = qtconv::ToQString(m_invoice.m_strNumber);
    switch (m_issued) {
    // Short enough to be read whole in the status bar; the question before named the file.
    case Issued::Saved: return tr("Invoice %1 issued and saved; its entries are marked billed.").arg(number);
    case Issued::Printed: return tr("Invoice %1 issued and printed; its entries are marked billed.").arg(number);
    case Issued::PrintFailed:
        return tr("Invoice %1 issued but not printed; its entries are marked billed.").arg(number);
    case Issued::No: break;
    }
    return QString();
}

bool CDlgCreateInvoice::Issue(const QString& pdfPath) {
    const CWriteCheck check;
    const CInvoiceBook::Outcome outcome = CInvoiceBook::Issue(m_invoice);
    if (outcome.ok)
        return true;
    // The PDF of an invoice that was not issued must not be sent by mistake.
    if (!pdfPath.isEmpty())
        QFile::remove(pdfPath);
    ReportIssueFailure(outcome.entries, outcome.message, check.Failed(),
                       pdfPath.isEmpty()
                           ? tr("Nothing has been printed, since the invoice has not been issued.")
                           : tr("The PDF file has been removed, since the invoice has not been issued."));
    if (!check.Failed() && !outcome.entries.empty())
        Prepare();
    return false;
}

void CDlgCreateInvoice::ReportIssueFailure(const std::vector<CString>& entries, const CString& message,
                                           bool writeFailed, const QString& undone) {
    CString text = message;
    const CDataHelper* store = GetCurrDataHelper();
    if (writeFailed && store && !store->GetLastWriteError().IsEmpty())
        text += u" " + store->GetLastWriteError();
    if (!entries.empty()) {
        text += u"\n";
        for (const CString& refId : entries) {
            for (const CInvoice::Entry& entry : m_invoice.m_entries) {
                if (entry.refId == refId)
                    text += u"\n" + qtconv::FromQString(CInvoiceText::Date(entry.date)) + u"  " + entry.projectName +
                            u"  " + entry.description;
            }
        }
    }
    text += u"\n\n" + qtconv::FromQString(undone);
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}
