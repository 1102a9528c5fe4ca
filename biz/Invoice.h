#pragma once
// An invoice for one client: the client's unbilled billable entries of a period, each of which
// the user may leave out, summed into lines by project, entry type and category, with the
// number, dates, seller and client details, an optional tax rate and the totals. Quantities are
// hours for time, distance (in the unit the settings name) for mileage and items for expenses.
// Preparing reads the data store; nothing is written until CInvoiceBook issues it.
#include <vector>

#include "biz/Amount.h"
#include "biz/BizExport.h"
#include "biz/ProjectItem.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class QUILLMAR_BIZ_EXPORT CInvoice {
public:
    struct Entry {
        CString refId;   // identifies the entry on both sides of a synchronisation
        int id = 0;      // its ID in this data file when prepared
        COleDateTime date;
        CProjectItem::ItemType type = CProjectItem::ItemType_Time;
        CString projectRef;
        CString categoryRef;
        CString projectName;    // description of the project ("" when it is gone)
        CString categoryName;   // description of the category, else its code
        CString description;    // as the entries list shows it (get_DescriptionEx)
        int minutes = 0;        // time entries
        int distance = 0;       // mileage entries: odometer end - start
        CAmount amount;
        bool included = true;
    };

    struct Line {
        CString projectRef;
        CString categoryRef;
        CString projectName;
        CString categoryName;
        CProjectItem::ItemType type = CProjectItem::ItemType_Time;
        long long minutes = 0;    // time lines
        long long distance = 0;   // mileage lines
        int items = 0;            // entries on the line (the quantity of expense lines)
        CAmount amount;
    };

    struct Party {
        CString name;
        CString address;   // lines separated by line breaks
        CString contact;
        CString accountNum;
    };

    enum : int { MaxTaxRate = 10000 };   // hundredths of a percent: 100 %

    CInvoice();

    // Fills the entries with the client's entries that are not billed (status 0) and billable,
    // dated from `start` to `end` (whole days, both included), all included, in line order; and
    // the client's details from its record. Issue and due dates become today. false, with
    // `error` for the user, when the client does not exist.
    bool Prepare(const CString& clientRef, const COleDateTime& start, const COleDateTime& end, CString& error);

    // Includes or leaves out the entry with that RefID; false when the invoice has no such entry.
    bool SetIncluded(const CString& refId, bool included);
    std::vector<Entry> IncludedEntries() const;

    // One line per project, entry type and category of the included entries: ordered by project
    // name, then time, expense, mileage, then category name.
    std::vector<Line> Lines() const;
    CAmount Subtotal() const;
    // The subtotal times the tax rate, rounded to the cent (half away from zero).
    CAmount Tax() const;
    CAmount Total() const;

    // The order of entries and lines; entries of one line stand together, by date.
    static bool LineOrder(const Entry& a, const Entry& b);

    CString m_strNumber;
    COleDateTime m_dtIssue;
    COleDateTime m_dtDue;
    COleDateTime m_dtPeriodStart;
    COleDateTime m_dtPeriodEnd;
    Party m_seller;
    CString m_strPaymentTerms;
    CString m_strClientRef;
    Party m_client;
    int m_nTaxRate = 0;          // hundredths of a percent (1900 = 19 %); 0 = no tax
    CString m_strDistanceUnit;   // "km", "mi": what the settings call the distance unit
    std::vector<Entry> m_entries;
};
