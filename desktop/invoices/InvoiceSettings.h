#pragma once
// What the Invoice page of the Options sheet keeps for new invoices: the user's own name and
// address, the payment terms, the unit mileage is counted in, the tax rate and the days until
// an invoice is due. Kept under "Settings" beside the program's other settings.
#include "platform/CString.h"

class CInvoiceSettings {
public:
    static constexpr int kMaxDueDays = 365;

    CString m_strName;
    CString m_strAddress;   // lines separated by line breaks
    CString m_strPaymentTerms;
    CString m_strDistanceUnit;   // "km" or "mi"
    int m_nTaxRate = 0;          // hundredths of a percent (1900 = 19 %)
    int m_nDueDays = 30;

    // The stored settings; missing ones take their defaults, out-of-range ones are clamped.
    static CInvoiceSettings Load();
    // false when the registry could not be written.
    bool Save() const;
    // Miles where the system's locale measures in miles, else kilometres.
    static CString DefaultDistanceUnit();
};
