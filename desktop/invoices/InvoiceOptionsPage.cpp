#include "desktop/invoices/InvoiceOptionsPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "biz/Invoice.h"
#include "desktop/invoices/InvoiceText.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {
constexpr int kMaxNameChars = 100;
constexpr int kMaxTextChars = 500;

QPlainTextEdit* MakeTextBox(QWidget* parent, const char* name, int lines) {
    auto* edit = Named(new QPlainTextEdit(parent), name);
    edit->setTabChangesFocus(true);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * lines + 12);
    return edit;
}
}   // namespace

CInvoiceOptionsPage::CInvoiceOptionsPage(QWidget* parent) : CPropertyPage(u"Invoice", parent) {
    setObjectName(QStringLiteral("invoiceOptionsPage"));
}

void CInvoiceOptionsPage::CreateControls() {
    QGridLayout* yours = nullptr;
    QGroupBox* sender = MakeGroup(tr("On your invoices"), this, yours);
    m_name = Named(new QLineEdit(this), "invoiceNameEdit");
    m_address = MakeTextBox(this, "invoiceAddressEdit", 4);
    m_terms = MakeTextBox(this, "invoiceTermsEdit", 3);
    yours->addWidget(MakeBuddyLabel(tr("Your &name:"), m_name, this), 0, 0);
    yours->addWidget(m_name, 0, 1);
    yours->addWidget(MakeBuddyLabel(tr("Your &address:"), m_address, this), 1, 0, Qt::AlignTop);
    yours->addWidget(m_address, 1, 1);
    yours->addWidget(MakeBuddyLabel(tr("&Payment terms:"), m_terms, this), 2, 0, Qt::AlignTop);
    yours->addWidget(m_terms, 2, 1);

    QGridLayout* figures = nullptr;
    QGroupBox* usual = MakeGroup(tr("New invoices"), this, figures);
    m_unit = Named(new QComboBox(this), "invoiceDistanceUnitCombo");
    m_unit->addItem(tr("Kilometres"), QStringLiteral("km"));
    m_unit->addItem(tr("Miles"), QStringLiteral("mi"));
    m_taxRate = Named(new QLineEdit(this), "invoiceTaxRateEdit");
    m_taxRate->setMaximumWidth(60);
    m_dueDays = Named(MakeDigitsEdit(this), "invoiceDueDaysEdit");
    m_dueDays->setMaximumWidth(60);
    figures->addWidget(MakeBuddyLabel(tr("&Distance in:"), m_unit, this), 0, 0);
    figures->addWidget(m_unit, 0, 1);
    figures->addWidget(MakeBuddyLabel(tr("&Tax rate (%, 0 = none):"), m_taxRate, this), 1, 0);
    figures->addWidget(m_taxRate, 1, 1);
    figures->addWidget(MakeBuddyLabel(tr("D&ue after (days):"), m_dueDays, this), 2, 0);
    figures->addWidget(m_dueDays, 2, 1);
    figures->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sender);
    layout->addWidget(usual);
    layout->addStretch(1);
}

void CInvoiceOptionsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_name, m_settings.m_strName);
    DDV_MaxChars(pDX, m_settings.m_strName, kMaxNameChars);
    DDX_Text(pDX, m_address, m_settings.m_strAddress);
    DDV_MaxChars(pDX, m_settings.m_strAddress, kMaxTextChars);
    DDX_Text(pDX, m_terms, m_settings.m_strPaymentTerms);
    DDV_MaxChars(pDX, m_settings.m_strPaymentTerms, kMaxTextChars);
    if (pDX->m_bSaveAndValidate) {
        m_settings.m_strDistanceUnit = qtconv::FromQString(m_unit->currentData().toString());
        pDX->PrepareCtrl(m_taxRate);
        if (!CInvoiceText::ParseTaxRate(m_taxRate->text(), m_settings.m_nTaxRate)) {
            pDX->Fail(u"Please enter a tax rate between 0 and 100 percent, with at most two decimals.");
            return;
        }
    } else {
        m_unit->setCurrentIndex(m_settings.m_strDistanceUnit == u"mi" ? 1 : 0);
        m_taxRate->setText(CInvoiceText::TaxRate(m_settings.m_nTaxRate));
    }
    DDX_Text(pDX, m_dueDays, m_settings.m_nDueDays);
    DDV_MinMaxInt(pDX, m_settings.m_nDueDays, 0, CInvoiceSettings::kMaxDueDays);
}
