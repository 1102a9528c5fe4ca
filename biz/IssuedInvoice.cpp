#include "biz/IssuedInvoice.h"

#include <cstdlib>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "xml/MarkupArchive.h"

namespace {

CString DateText(const COleDateTime& date) {
    return date.GetStatus() == COleDateTime::valid ? CDateTimeFormatter::FormatDateForDB(date) : CString();
}

COleDateTime DateOf(const CString& text) {
    COleDateTime date;
    if (text.IsEmpty())
        date.SetStatus(COleDateTime::null);
    else
        date = CDateTimeFormatter::GetDateTimeFromDB(text);
    return date;
}

long long NumberOf(const CString& text) { return std::strtoll(text.ToUtf8().c_str(), nullptr, 10); }

int IntOf(const CString& text) { return static_cast<int>(std::strtol(text.ToUtf8().c_str(), nullptr, 10)); }

// Cents from the "12.34" text written by CAmount::Format.
CAmount AmountOf(const CString& text) {
    const std::string utf8 = text.ToUtf8();
    const bool negative = !utf8.empty() && utf8[0] == '-';
    long long cents = 0;
    int decimals = -1;
    for (char ch : utf8) {
        if (ch == '.') {
            decimals = 0;
        } else if (ch >= '0' && ch <= '9' && decimals < 2) {
            cents = cents * 10 + (ch - '0');
            if (decimals >= 0)
                ++decimals;
        }
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 2; ++d)
        cents *= 10;
    return CAmount::FromCents(negative ? -cents : cents);
}

// The text of the first child of that name, "" when there is none.
CString ChildText(CMarkupArchive& archive, const char16_t* name) {
    archive.ResetChildPos();
    return archive.FindChildElem(name) ? archive.GetChildData() : CString();
}

void AddEntry(CMarkupArchive& document, const CInvoice::Entry& entry) {
    document.AddChildElem(u"entry", entry.description);
    document.SetChildAttrib(u"refId", entry.refId);
    document.SetChildAttrib(u"date", DateText(entry.date));
    document.SetChildAttrib(u"type", static_cast<int>(entry.type));
    document.SetChildAttrib(u"projectRef", entry.projectRef);
    document.SetChildAttrib(u"categoryRef", entry.categoryRef);
    document.SetChildAttrib(u"project", entry.projectName);
    document.SetChildAttrib(u"category", entry.categoryName);
    document.SetChildAttrib(u"minutes", entry.minutes);
    document.SetChildAttrib(u"distance", entry.distance);
    document.SetChildAttrib(u"amount", entry.amount.Format());
}

CInvoice::Entry ReadEntry(CMarkupArchive& archive) {
    CInvoice::Entry entry;
    entry.refId = archive.GetChildAttrib(u"refId");
    entry.date = DateOf(archive.GetChildAttrib(u"date"));
    entry.type = static_cast<CProjectItem::ItemType>(IntOf(archive.GetChildAttrib(u"type")));
    entry.projectRef = archive.GetChildAttrib(u"projectRef");
    entry.categoryRef = archive.GetChildAttrib(u"categoryRef");
    entry.projectName = archive.GetChildAttrib(u"project");
    entry.categoryName = archive.GetChildAttrib(u"category");
    entry.minutes = IntOf(archive.GetChildAttrib(u"minutes"));
    entry.distance = IntOf(archive.GetChildAttrib(u"distance"));
    entry.amount = AmountOf(archive.GetChildAttrib(u"amount"));
    entry.description = archive.GetChildData();
    return entry;
}

}   // namespace

CIssuedInvoice::CIssuedInvoice() : CBaseObject(ElemName()) { m_dtVoided.SetStatus(COleDateTime::null); }

const CString& CIssuedInvoice::ElemName() {
    static const CString name(u"invoice");
    return name;
}

void CIssuedInvoice::set_Invoice(const CInvoice& invoice) {
    m_invoice = invoice;
    m_invoice.m_entries = invoice.IncludedEntries();
    set_Description(invoice.m_strNumber);
    MakeDirty();
}

int CIssuedInvoice::Save() {
    CMarkupArchive* document = WriteCommonPart();
    if (!document)
        return 0;
    const CInvoice& invoice = m_invoice;
    document->SetChildAttrib(u"clientRef", invoice.m_strClientRef);
    document->IntoElem();
    document->AddChildElem(u"issueDate", DateText(invoice.m_dtIssue));
    document->AddChildElem(u"dueDate", DateText(invoice.m_dtDue));
    document->AddChildElem(u"periodStart", DateText(invoice.m_dtPeriodStart));
    document->AddChildElem(u"periodEnd", DateText(invoice.m_dtPeriodEnd));
    AddChildIfNotEmpty(*document, u"seller", invoice.m_seller.name);
    AddChildIfNotEmpty(*document, u"sellerAddress", invoice.m_seller.address);
    AddChildIfNotEmpty(*document, u"paymentTerms", invoice.m_strPaymentTerms);
    AddChildIfNotEmpty(*document, u"client", invoice.m_client.name);
    AddChildIfNotEmpty(*document, u"clientAddress", invoice.m_client.address);
    AddChildIfNotEmpty(*document, u"clientContact", invoice.m_client.contact);
    AddChildIfNotEmpty(*document, u"clientAccountNum", invoice.m_client.accountNum);
    AddChildIfNotEmpty(*document, u"distanceUnit", invoice.m_strDistanceUnit);
    document->AddChildElemEx(u"taxRate", invoice.m_nTaxRate);
    // The totals are derived from the entries; they are written for whoever reads the file.
    document->AddChildElem(u"subtotal", invoice.Subtotal().Format());
    document->AddChildElem(u"tax", invoice.Tax().Format());
    document->AddChildElem(u"total", invoice.Total().Format());
    AddChildIfNotEmpty(*document, u"voided", DateText(m_dtVoided));
    for (const CInvoice::Entry& entry : invoice.m_entries)
        AddEntry(*document, entry);
    document->OutOfElem();
    return FinishSave();
}

int CIssuedInvoice::Load() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store || !store->FindObject(get_ID(), ElemName()))
        return 0;
    CMarkupArchive* document = store->GetCurrentDataStore();
    if (document->GetTagName() != ElemName())
        return 0;
    LoadFromXml(document->GetSubDoc());
    set_IsDirty(0);
    return 1;
}

void CIssuedInvoice::LoadFromXml(CString xml) {
    CBaseObject::LoadFromXml(xml);
    CMarkupArchive archive;
    if (!archive.OpenString(xml) || !archive.FindElem())
        return;
    CInvoice& invoice = m_invoice;
    invoice.m_strNumber = get_Description();
    invoice.m_strClientRef = archive.GetAttrib(u"clientRef");
    invoice.m_dtIssue = DateOf(ChildText(archive, u"issueDate"));
    invoice.m_dtDue = DateOf(ChildText(archive, u"dueDate"));
    invoice.m_dtPeriodStart = DateOf(ChildText(archive, u"periodStart"));
    invoice.m_dtPeriodEnd = DateOf(ChildText(archive, u"periodEnd"));
    invoice.m_seller.name = ChildText(archive, u"seller");
    invoice.m_seller.address = ChildText(archive, u"sellerAddress");
    invoice.m_strPaymentTerms = ChildText(archive, u"paymentTerms");
    invoice.m_client.name = ChildText(archive, u"client");
    invoice.m_client.address = ChildText(archive, u"clientAddress");
    invoice.m_client.contact = ChildText(archive, u"clientContact");
    invoice.m_client.accountNum = ChildText(archive, u"clientAccountNum");
    invoice.m_strDistanceUnit = ChildText(archive, u"distanceUnit");
    invoice.m_nTaxRate = static_cast<int>(NumberOf(ChildText(archive, u"taxRate")));
    m_dtVoided = DateOf(ChildText(archive, u"voided"));
    invoice.m_entries.clear();
    archive.ResetChildPos();
    while (archive.FindChildElem(u"entry"))
        invoice.m_entries.push_back(ReadEntry(archive));
}

int CIssuedInvoice::Delete() { return 0; }
