#include "biz/InvoiceBook.h"

#include <algorithm>
#include <memory>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Invoice.h"
#include "platform/Clock.h"
#include "xml/MarkupArchive.h"

namespace {

// Resource library strings.
constexpr unsigned kNumberMissing = 301;
constexpr unsigned kNumberUsed = 302;
constexpr unsigned kNoEntries = 303;
constexpr unsigned kEntriesChanged = 304;
constexpr unsigned kIssueNotWritten = 305;
constexpr unsigned kVoidNotWritten = 306;
constexpr unsigned kInvoiceNotFound = 307;
constexpr unsigned kTaxRateOutOfRange = 308;
constexpr unsigned kAlreadyVoided = 309;

// A number cut around its last run of digits: "INV-0042/A" is "INV-", "0042", "/A".
struct NumberParts {
    CString prefix;
    CString digits;
    CString suffix;
};

bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }

NumberParts Split(const CString& number) {
    int end = number.GetLength();
    while (end > 0 && !IsDigit(number.GetAt(end - 1)))
        --end;
    int start = end;
    while (start > 0 && IsDigit(number.GetAt(start - 1)))
        --start;
    return {number.Left(start), number.Mid(start, end - start), number.Mid(end)};
}

// Compares two runs of digits by value, however many leading zeros they have.
int CompareDigits(CString a, CString b) {
    a.TrimLeft(u'0');
    b.TrimLeft(u'0');
    if (a.GetLength() != b.GetLength())
        return a.GetLength() < b.GetLength() ? -1 : 1;
    return a.Compare(b);
}

bool SameNumber(const CString& a, const CString& b) { return a.CompareNoCase(b) == 0; }

// The sequence after `used` was issued: past it when it was at or beyond the sequence of the
// same form, or when it starts a numbering of another form; otherwise as it was.
CString SequenceAfter(const CString& sequence, const CString& used) {
    const CString next = CInvoiceBook::Increment(used);
    if (next.IsEmpty())
        return sequence;
    const NumberParts current = Split(sequence);
    const NumberParts issued = Split(used);
    const bool sameForm = !current.digits.IsEmpty() && SameNumber(current.prefix, issued.prefix) &&
                          SameNumber(current.suffix, issued.suffix);
    if (sameForm && CompareDigits(issued.digits, current.digits) < 0)
        return sequence;
    return next;
}

std::unique_ptr<CProjectItem> LoadEntry(CDataHelper& store, const CString& refId) {
    auto item = std::make_unique<CProjectItem>();
    item->set_ID(store.RefID_To_ID(refId, u"projectItem"));
    if (item->get_ID() == 0 || !item->Load())
        return nullptr;
    return item;
}

// Whether the entry still says what the invoice was prepared from.
bool StillAsPrepared(const CProjectItem& item, const CInvoice::Entry& entry, const CString& clientRef) {
    return item.get_PymtStatus() == CProjectItem::PymtStatus_NotBilled && item.get_IsBillable() != 0 &&
           item.get_ItemType() == entry.type && CAmount::FromFloat(item.get_BillAmount()) == entry.amount &&
           item.get_ProjectRef() == entry.projectRef && item.get_CategoryRef() == entry.categoryRef &&
           (entry.type != CProjectItem::ItemType_Time || item.get_DurationInMinutes() == entry.minutes) &&
           (entry.type != CProjectItem::ItemType_Mileage ||
            item.get_OdometerEnd() - item.get_OdometerStart() == entry.distance) &&
           item.get_ClientRef() == clientRef;
}

// Sets the entries' status and saves each; stops at the first save that fails. `touched`
// receives every entry whose element may have changed, the failed one included.
bool SaveWithStatus(const std::vector<std::unique_ptr<CProjectItem>>& items, CProjectItem::PymtStatus status,
                    std::vector<CProjectItem*>& touched, CString& failedRefId) {
    for (const auto& item : items) {
        touched.push_back(item.get());
        item->set_PymtStatus(status);
        if (!item->Save()) {
            failedRefId = item->get_RefID();
            return false;
        }
    }
    return true;
}

// Puts entries back to `status`, as one write. Saves that fail here leave the data file as it
// was before the change being undone, since that change was never written.
void RestoreStatus(const std::vector<CProjectItem*>& touched, CProjectItem::PymtStatus status) {
    for (CProjectItem* item : touched) {
        item->set_PymtStatus(status);
        item->Save();
    }
}

// The entries of every invoice that stands (not voided) other than `number`: an entry put back
// to not billed by hand and billed again on a later invoice belongs to that one now.
std::vector<CString> OnOtherStandingInvoices(const CString& number) {
    std::vector<CString> refIds;
    for (const CIssuedInvoice& other : CInvoiceBook::List()) {
        if (other.get_IsVoided() || SameNumber(other.get_Number(), number))
            continue;
        for (const CInvoice::Entry& entry : other.get_Invoice().m_entries)
            refIds.push_back(entry.refId);
    }
    return refIds;
}

}   // namespace

const CString& CInvoiceBook::SequenceName() {
    static const CString name(u"nextInvoiceNumber");
    return name;
}

CInvoiceBook::Outcome CInvoiceBook::Failure(unsigned messageId, const CString& argument) {
    Outcome outcome;
    outcome.message.Format(GetResString(messageId, 1), argument);
    return outcome;
}

CString CInvoiceBook::Increment(const CString& number) {
    NumberParts parts = Split(number);
    if (parts.digits.IsEmpty())
        return CString();
    CString& digits = parts.digits;
    int at = digits.GetLength() - 1;
    for (; at >= 0; --at) {
        if (digits.GetAt(at) != u'9') {
            digits.SetAt(at, static_cast<char16_t>(digits.GetAt(at) + 1));
            break;
        }
        digits.SetAt(at, u'0');
    }
    if (at < 0)
        digits.Insert(0, u'1');
    return parts.prefix + digits + parts.suffix;
}

CString CInvoiceBook::NextNumber() {
    CDataHelper* store = GetCurrDataHelper();
    CString number = store ? store->GetMetaDataValue(SequenceName()) : CString();
    number.Trim();
    if (number.IsEmpty())
        number = u"1";
    const std::vector<CIssuedInvoice> issued = List();
    auto used = [&issued](const CString& candidate) {
        return std::any_of(issued.begin(), issued.end(), [&candidate](const CIssuedInvoice& invoice) {
            return SameNumber(invoice.get_Number(), candidate);
        });
    };
    // Each step passes one issued number at most, so this ends.
    for (size_t step = 0; step <= issued.size() && used(number); ++step) {
        const CString next = Increment(number);
        if (next.IsEmpty())
            break;
        number = next;
    }
    return number;
}

int CInvoiceBook::SetNextNumber(const CString& number) {
    CDataHelper* store = GetCurrDataHelper();
    CString trimmed = number;
    trimmed.Trim();
    return store ? store->SetMetaDataValue(SequenceName(), trimmed) : 0;
}

std::vector<CIssuedInvoice> CInvoiceBook::List() {
    std::vector<CIssuedInvoice> invoices;
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return invoices;
    CMarkupArchive* document = store->GetCurrentDataStore();
    document->ResetPos();
    if (document->FindElem()) {
        while (document->FindChildElem(CIssuedInvoice::ElemName())) {
            invoices.emplace_back();
            invoices.back().LoadFromXml(document->GetChildSubDoc());
        }
    }
    document->ResetPos();
    std::stable_sort(invoices.begin(), invoices.end(), [](const CIssuedInvoice& a, const CIssuedInvoice& b) {
        const COleDateTime& issuedA = a.get_Invoice().m_dtIssue;
        const COleDateTime& issuedB = b.get_Invoice().m_dtIssue;
        if (issuedA != issuedB)
            return issuedA < issuedB;
        return a.get_Number().CompareNoCase(b.get_Number()) < 0;
    });
    return invoices;
}

std::optional<CIssuedInvoice> CInvoiceBook::Find(const CString& number) {
    CString wanted = number;
    wanted.Trim();
    for (CIssuedInvoice& invoice : List()) {
        if (SameNumber(invoice.get_Number(), wanted))
            return invoice;
    }
    return std::nullopt;
}

CInvoiceBook::Outcome CInvoiceBook::Issue(const CInvoice& invoice, CIssuedInvoice* issued) {
    CInvoice toIssue = invoice;
    toIssue.m_strNumber.Trim();
    const CString& number = toIssue.m_strNumber;
    if (number.IsEmpty())
        return Failure(kNumberMissing);
    if (Find(number))
        return Failure(kNumberUsed, number);
    if (toIssue.m_nTaxRate < 0 || toIssue.m_nTaxRate > CInvoice::MaxTaxRate)
        return Failure(kTaxRateOutOfRange);
    toIssue.m_entries = toIssue.IncludedEntries();
    if (toIssue.m_entries.empty())
        return Failure(kNoEntries);
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return Failure(kIssueNotWritten);

    Outcome changed = Failure(kEntriesChanged);
    std::vector<std::unique_ptr<CProjectItem>> items;
    for (const CInvoice::Entry& entry : toIssue.m_entries) {
        auto item = LoadEntry(*store, entry.refId);
        if (item && StillAsPrepared(*item, entry, toIssue.m_strClientRef))
            items.push_back(std::move(item));
        else
            changed.entries.push_back(entry.refId);
    }
    if (!changed.entries.empty())
        return changed;

    // Everything below reaches the file in the one write at EndDeferredFlush.
    const CString oldSequence = store->GetMetaDataValue(SequenceName());
    const CString newSequence = SequenceAfter(oldSequence.IsEmpty() ? CString(u"1") : oldSequence, number);
    CIssuedInvoice record;
    record.set_Invoice(toIssue);
    std::vector<CProjectItem*> touched;
    CString failedRefId;
    store->BeginDeferredFlush();
    const bool entriesSaved = SaveWithStatus(items, CProjectItem::PymtStatus_Billed, touched, failedRefId);
    const bool recordSaved = entriesSaved && record.Save();
    const bool sequenceMoved = recordSaved && newSequence != oldSequence;
    if (sequenceMoved)
        store->SetMetaDataValue(SequenceName(), newSequence);
    const bool written = store->EndDeferredFlush() != 0;
    if (entriesSaved && recordSaved && written) {
        if (issued)
            *issued = record;
        Outcome outcome;
        outcome.ok = true;
        return outcome;
    }

    store->BeginDeferredFlush();
    RestoreStatus(touched, CProjectItem::PymtStatus_NotBilled);
    if (record.get_ID() != 0)
        store->RemoveObject(record.get_ID(), CIssuedInvoice::ElemName());
    if (sequenceMoved)
        store->SetMetaDataValue(SequenceName(), oldSequence);
    store->EndDeferredFlush();
    Outcome failed = Failure(kIssueNotWritten);
    if (!failedRefId.IsEmpty())
        failed.entries.push_back(failedRefId);
    return failed;
}

CInvoiceBook::Outcome CInvoiceBook::Void(const CString& number) {
    std::optional<CIssuedInvoice> record = Find(number);
    if (!record)
        return Failure(kInvoiceNotFound, number);
    if (record->get_IsVoided())
        return Failure(kAlreadyVoided, record->get_Number());
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return Failure(kVoidNotWritten);

    Outcome outcome;
    const std::vector<CString> billedElsewhere = OnOtherStandingInvoices(record->get_Number());
    std::vector<std::unique_ptr<CProjectItem>> items;
    for (const CInvoice::Entry& entry : record->get_Invoice().m_entries) {
        auto item = LoadEntry(*store, entry.refId);
        const bool elsewhere =
            std::find(billedElsewhere.begin(), billedElsewhere.end(), entry.refId) != billedElsewhere.end();
        if (item && item->get_PymtStatus() == CProjectItem::PymtStatus_Billed && !elsewhere)
            items.push_back(std::move(item));
        else if (!item || item->get_PymtStatus() == CProjectItem::PymtStatus_Paid || elsewhere)
            outcome.entries.push_back(entry.refId);
    }

    std::vector<CProjectItem*> touched;
    CString failedRefId;
    store->BeginDeferredFlush();
    const bool entriesSaved = SaveWithStatus(items, CProjectItem::PymtStatus_NotBilled, touched, failedRefId);
    record->set_VoidedDate(GetDatePortion(Clock::LocalNow()));
    const bool recordSaved = entriesSaved && record->Save();
    const bool written = store->EndDeferredFlush() != 0;
    if (entriesSaved && recordSaved && written) {
        outcome.ok = true;
        return outcome;
    }

    store->BeginDeferredFlush();
    RestoreStatus(touched, CProjectItem::PymtStatus_Billed);
    if (entriesSaved) {
        // The record's save ran, so its element holds the void or was being rewritten.
        COleDateTime standing;
        standing.SetStatus(COleDateTime::null);
        record->set_VoidedDate(standing);
        record->Save();
    }
    store->EndDeferredFlush();
    Outcome failed = Failure(kVoidNotWritten);
    if (!failedRefId.IsEmpty())
        failed.entries.push_back(failedRefId);
    return failed;
}
