#pragma once
// How invoices show their figures, alike in the dialog, the list and the PDF: quantities by
// entry type (hours with two decimals, distance in the invoice's unit, expense items), money as
// the user's money text, dates, the name of a line and the tax rate.
#include <QString>

#include "biz/Invoice.h"

class QDate;

class CInvoiceText {
public:
    static QString Money(const CAmount& amount);
    static QString Date(const COleDateTime& date);
    // "Website: Design", "Audit: Expenses", "Audit: Mileage"; a line without a project says so.
    static QString LineName(const CInvoice::Line& line);
    static QString LineQuantity(const CInvoice::Line& line, const CString& distanceUnit);
    static QString EntryQuantity(const CInvoice::Entry& entry, const CString& distanceUnit);
    // "19", "7.5": hundredths of a percent as the user types the rate.
    static QString TaxRate(int hundredths);
    // The rate typed ("19", "7.5", "7,25", "" = 0) in hundredths of a percent; false when it is
    // not a number with at most two decimals.
    static bool ParseTaxRate(const QString& text, int& hundredths);
    // The number made fit for a file name ("INV/7" -> "INV-7").
    static QString FileNamePart(const CString& number);

    static QDate ToQDate(const COleDateTime& date);
    static COleDateTime FromQDate(const QDate& date);
};
