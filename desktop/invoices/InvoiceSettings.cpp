#include "desktop/invoices/InvoiceSettings.h"

#include <algorithm>

#include <QLocale>

#include "biz/Invoice.h"
#include "platform/Registry.h"
#include "ui/shared/SharedSettings.h"

namespace {
const char16_t* const kName = u"InvoiceName";
const char16_t* const kAddress = u"InvoiceAddress";
const char16_t* const kTerms = u"InvoicePaymentTerms";
const char16_t* const kUnit = u"InvoiceDistanceUnit";
const char16_t* const kTaxRate = u"InvoiceTaxRate";
const char16_t* const kDueDays = u"InvoiceDueDays";
}   // namespace

CString CInvoiceSettings::DefaultDistanceUnit() {
    const QLocale locale = QLocale::system();
    const bool miles =
        locale.measurementSystem() != QLocale::MetricSystem || locale.territory() == QLocale::UnitedKingdom;
    return miles ? CString(u"mi") : CString(u"km");
}

CInvoiceSettings CInvoiceSettings::Load() {
    const CString& key = CSharedSettings::kSettingsKey;
    CInvoiceSettings settings;
    settings.m_strName = Registry::GetString(key, kName, CString());
    settings.m_strAddress = Registry::GetString(key, kAddress, CString());
    settings.m_strPaymentTerms = Registry::GetString(key, kTerms, CString());
    settings.m_strDistanceUnit = Registry::GetString(key, kUnit, DefaultDistanceUnit());
    if (settings.m_strDistanceUnit != u"km" && settings.m_strDistanceUnit != u"mi")
        settings.m_strDistanceUnit = DefaultDistanceUnit();
    settings.m_nTaxRate = static_cast<int>(
        std::min<uint32_t>(Registry::GetDword(key, kTaxRate, 0), static_cast<uint32_t>(CInvoice::MaxTaxRate)));
    settings.m_nDueDays = static_cast<int>(
        std::min<uint32_t>(Registry::GetDword(key, kDueDays, 30), static_cast<uint32_t>(kMaxDueDays)));
    return settings;
}

bool CInvoiceSettings::Save() const {
    const CString& key = CSharedSettings::kSettingsKey;
    bool written = Registry::SetString(key, kName, m_strName);
    written &= Registry::SetString(key, kAddress, m_strAddress);
    written &= Registry::SetString(key, kTerms, m_strPaymentTerms);
    written &= Registry::SetString(key, kUnit, m_strDistanceUnit);
    written &=
        Registry::SetDword(key, kTaxRate, static_cast<uint32_t>(std::clamp(m_nTaxRate, 0, +CInvoice::MaxTaxRate)));
    written &= Registry::SetDword(key, kDueDays, static_cast<uint32_t>(std::clamp(m_nDueDays, 0, kMaxDueDays)));
    return written;
}
