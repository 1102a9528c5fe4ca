#pragma once
// An invoice once issued, kept in the data file as an "invoice" element at the root: the
// invoice as it was sent (number, dates, parties, tax rate, and every entry with the names and
// amounts it had), so it can be shown again as it was, and whether it was voided. Only the
// record kinds synchronisation names (clients, projects, categories, entries and deletion
// markers) are ever written to a change file, so these elements stay on this side; the other
// side of a full copy carries them without reading them. An issued invoice is never deleted:
// voiding keeps its number taken.
#include "biz/BaseObject.h"
#include "biz/BizExport.h"
#include "biz/Invoice.h"

class QUILLMAR_BIZ_EXPORT CIssuedInvoice : public CBaseObject {
public:
    CIssuedInvoice();

    // The element name of issued invoices, "invoice".
    static const CString& ElemName();

    // Writes the element (a new invoice gets an ID and a RefID) and the data file. 1 written.
    int Save() override;
    // Reads the invoice with this object's ID from the current document; 0 when absent.
    int Load() override;
    void LoadFromXml(CString xml) override;
    // Refused (0): an issued invoice is voided, not deleted, so its number stays taken.
    int Delete() override;

    // The number is the record's Description.
    CString get_Number() const { return get_Description(); }
    const CInvoice& get_Invoice() const { return m_invoice; }
    // Takes the invoice's details and its included entries; the number becomes the Description.
    void set_Invoice(const CInvoice& invoice);
    bool get_IsVoided() const { return m_dtVoided.GetStatus() == COleDateTime::valid; }
    // When it was voided; null while it stands.
    COleDateTime get_VoidedDate() const { return m_dtVoided; }
    void set_VoidedDate(const COleDateTime& date) { SetField(m_dtVoided, date); }

private:
    CInvoice m_invoice;
    COleDateTime m_dtVoided;
};
