#pragma once
// Issuing and voiding invoices, their numbers and the list of those issued, on the data store's
// data document. The next number is the data file's metadata value "nextInvoiceNumber", which
// stays on this side (metadata is never part of a change file). Issuing marks the invoice's
// entries billed through their ordinary Save, so the change reaches the other side at the next
// synchronisation; the entries, the issued invoice and the number reach the file in one write,
// and when anything fails every change is undone and nothing is marked.
#include <optional>
#include <vector>

#include "biz/BizExport.h"
#include "biz/IssuedInvoice.h"
#include "platform/CString.h"

class CInvoice;

class QUILLMAR_BIZ_EXPORT CInvoiceBook {
public:
    struct Outcome {
        bool ok = false;
        CString message;   // for the user when not ok
        // RefIDs of the entries the message is about: those that stopped an invoice from being
        // issued; after a void, those left as they were (paid since, or deleted).
        std::vector<CString> entries;
    };

    // The name of the metadata value holding the next number.
    static const CString& SequenceName();

    // The number a new invoice is offered: the sequence ("1" when it was never set), moved past
    // any number already issued.
    static CString NextNumber();
    // Sets the sequence (the user's own numbering); 1 when the data file was written.
    static int SetNextNumber(const CString& number);
    // The number after `number`: its last run of digits plus one, as wide as before
    // ("INV-0099" -> "INV-0100", "7" -> "8"); "" when it holds no digit.
    static CString Increment(const CString& number);

    // Issued invoices by issue date, then number, voided ones included.
    static std::vector<CIssuedInvoice> List();
    static std::optional<CIssuedInvoice> Find(const CString& number);

    // Issues `invoice` under its number (surrounding spaces removed): checks that the number is
    // new, that the tax rate lies between 0 and 100 %, that at least one entry is included and
    // that every included entry is still as prepared (not billed, billable, same amount and
    // client); then marks the entries billed (status 1), stores the issued invoice and moves the
    // sequence past its number. `issued` (when given) receives the stored invoice.
    static Outcome Issue(const CInvoice& invoice, CIssuedInvoice* issued = nullptr);
    // Voids the invoice: its entries that are still billed go back to not billed (status 0);
    // paid or deleted ones, and those billed again on another invoice that stands, are left and
    // listed in the outcome. The invoice stays listed, voided.
    static Outcome Void(const CString& number);

private:
    static Outcome Failure(unsigned messageId, const CString& argument = CString());
};
