// Invoices: the entries and lines of a client's period, the totals and tax, the number
// sequence, issuing (entries billed through their own saves, in one write, undone when the
// write fails), the list of issued invoices, voiding, and what synchronisation does with them.
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/Invoice.h"
#include "biz/InvoiceBook.h"
#include "biz/IssuedInvoice.h"
#include "biz/SyncHelper.h"
#include "biz/tests/BizTestSupport.h"
#include "biz/tests/ReportTestData.h"
#include "platform/Clock.h"

namespace {

using Item = CProjectItem;

CAmount Cents(long long cents) { return CAmount::FromCents(cents); }

class InvoiceTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        data = ReportTestData::Create();
        // More unbilled work for Acme in March, on both projects and of every type.
        extra.push_back(SaveTimeEntry(data.website, data.design, March(3), 60, 50.0f));
        extra.push_back(SaveTimeEntry(data.website, data.support, March(4), 20, 16.67f));
        extra.push_back(SaveOtherEntry(Item::ItemType_Mileage, data.audit, March(10), 8.05f, 1,
                                       Item::PymtStatus_NotBilled, 200, 223));
        extra.push_back(SaveOtherEntry(Item::ItemType_Expense, data.audit, March(11), 30.0f));
        extra.push_back(SaveOtherEntry(Item::ItemType_Expense, data.audit, March(12), 19.99f));
    }

    CInvoice PreparedForAcme() {
        CInvoice invoice;
        CString error;
        EXPECT_TRUE(invoice.Prepare(data.acme, March(1), March(31), error)) << error.ToUtf8();
        invoice.m_strNumber = CInvoiceBook::NextNumber();
        return invoice;
    }

    static std::vector<CString> RefIds(const std::vector<CInvoice::Entry>& entries) {
        std::vector<CString> refIds;
        for (const CInvoice::Entry& entry : entries)
            refIds.push_back(entry.refId);
        return refIds;
    }

    static Item::PymtStatus StatusOf(const CString& refId) { return LoadEntry(refId).get_PymtStatus(); }

    // The statuses of every entry, as the store holds them now.
    std::vector<int> AllStatuses() const {
        std::vector<int> statuses;
        for (const CString& refId : data.entry)
            if (!refId.IsEmpty())
                statuses.push_back(StatusOf(refId));
        for (const CString& refId : extra)
            statuses.push_back(StatusOf(refId));
        return statuses;
    }

    // A folder where the data file should be makes every write of it fail.
    void BreakDataFile() {
        std::filesystem::remove(DataFilePath());
        std::filesystem::create_directory(DataFilePath());
    }

    void MendDataFile() {
        std::filesystem::remove(DataFilePath());
        ASSERT_EQ(Store().Flush(), 1);
    }

    ReportTestData data;
    std::vector<CString> extra;
};

TEST_F(InvoiceTest, TakesTheClientsUnbilledBillableEntriesOfThePeriod) {
    const CInvoice invoice = PreparedForAcme();
    // Not the paid, billed or non-billable ones, nor Bolt's; by project, type, category, date.
    EXPECT_EQ(RefIds(invoice.m_entries),
              (std::vector<CString>{extra[3], extra[4], extra[2], data.entry[1], extra[0], extra[1]}));
    EXPECT_EQ(invoice.m_client.name, CString(u"Acme"));
    EXPECT_EQ(invoice.m_client.address, CString(u"1 Main Road\nSpringfield"));
    EXPECT_EQ(invoice.m_dtPeriodStart, March(1));
    EXPECT_EQ(invoice.m_dtIssue, GetDatePortion(TestNow()));
    const CInvoice::Entry& expense = invoice.m_entries[0];
    EXPECT_EQ(expense.type, Item::ItemType_Expense);
    EXPECT_EQ(expense.projectName, CString(u"Audit"));
    EXPECT_EQ(expense.description, CString(u"Parts"));
    EXPECT_EQ(expense.amount, Cents(3000));
    EXPECT_EQ(invoice.m_entries[2].distance, 23);
    EXPECT_EQ(invoice.m_entries[3].minutes, 90);
    EXPECT_EQ(invoice.m_entries[3].categoryName, CString(u"Design"));
}

TEST_F(InvoiceTest, LinesByProjectTypeAndCategoryWithTotals) {
    CInvoice invoice = PreparedForAcme();
    const std::vector<CInvoice::Line> lines = invoice.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].projectName, CString(u"Audit"));
    EXPECT_EQ(lines[0].type, Item::ItemType_Expense);
    EXPECT_EQ(lines[0].items, 2);
    EXPECT_EQ(lines[0].amount, Cents(4999));
    EXPECT_EQ(lines[1].type, Item::ItemType_Mileage);
    EXPECT_EQ(lines[1].distance, 23);
    EXPECT_EQ(lines[1].amount, Cents(805));
    EXPECT_EQ(lines[2].categoryName, CString(u"Design"));
    EXPECT_EQ(lines[2].minutes, 150);
    EXPECT_EQ(lines[2].amount, Cents(12500));
    EXPECT_EQ(lines[3].categoryName, CString(u"Support"));
    EXPECT_EQ(lines[3].minutes, 20);
    EXPECT_EQ(lines[3].amount, Cents(1667));
    EXPECT_EQ(invoice.Subtotal(), Cents(19971));
    EXPECT_EQ(invoice.Tax(), Cents(0));

    invoice.m_nTaxRate = 1900;
    EXPECT_EQ(invoice.Tax(), Cents(3794));   // 37.9449
    EXPECT_EQ(invoice.Total(), Cents(23765));

    // An entry left out leaves its line when it was the only one.
    ASSERT_TRUE(invoice.SetIncluded(extra[1], false));
    EXPECT_FALSE(invoice.SetIncluded(data.entry[2], false));   // paid: never on the invoice
    EXPECT_EQ(invoice.Lines().size(), 3u);
    EXPECT_EQ(invoice.Subtotal(), Cents(18304));
    EXPECT_EQ(invoice.Tax(), Cents(3478));   // 34.7776
}

TEST_F(InvoiceTest, UnknownClientIsRefused) {
    CInvoice invoice;
    CString error;
    EXPECT_FALSE(invoice.Prepare(u"NOSUCHREF", March(1), March(31), error));
    EXPECT_EQ(error, GetResString(310, 1));
}

TEST_F(InvoiceTest, IssuingMarksTheEntriesBilledThroughTheirSaves) {
    CInvoice invoice = PreparedForAcme();
    ASSERT_EQ(invoice.m_strNumber, CString(u"1"));
    invoice.m_nTaxRate = 1900;
    invoice.m_seller.name = u"Me";
    invoice.SetIncluded(extra[1], false);
    const COleDateTime lastSync = CDateTimeFormatter::GetDateTimeFromDB(Store().GetMetaDataValue(u"lastSync"));
    Clock::AdvanceSeconds(60);
    CIssuedInvoice issued;
    const CInvoiceBook::Outcome outcome = CInvoiceBook::Issue(invoice, &issued);
    ASSERT_TRUE(outcome.ok) << outcome.message.ToUtf8();

    for (const CInvoice::Entry& entry : invoice.IncludedEntries()) {
        const Item stored = LoadEntry(entry.refId);
        EXPECT_EQ(stored.get_PymtStatus(), Item::PymtStatus_Billed);
        // Stamped as changed, so the next synchronisation sends it.
        EXPECT_GT(stored.get_ModifiedTime(), lastSync);
    }
    EXPECT_EQ(StatusOf(extra[1]), Item::PymtStatus_NotBilled);
    EXPECT_EQ(StatusOf(data.entry[3]), Item::PymtStatus_NotBilled);

    // On disk too, with the invoice and the sequence.
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(StatusOf(extra[0]), Item::PymtStatus_Billed);
    const std::vector<CIssuedInvoice> list = CInvoiceBook::List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].get_Number(), CString(u"1"));
    EXPECT_EQ(list[0].get_Invoice().m_strClientRef, data.acme);
    EXPECT_EQ(list[0].get_Invoice().Total(), Cents(21782));   // 183.04 + 34.78 tax
    EXPECT_EQ(list[0].get_Invoice().m_seller.name, CString(u"Me"));
    EXPECT_EQ(RefIds(list[0].get_Invoice().m_entries), RefIds(invoice.IncludedEntries()));
    EXPECT_FALSE(list[0].get_IsVoided());
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"2"));
}

TEST_F(InvoiceTest, IssuedInvoiceKeepsWhatWasSent) {
    CInvoice invoice = PreparedForAcme();
    ASSERT_TRUE(CInvoiceBook::Issue(invoice).ok);
    Item changed = LoadEntry(extra[0]);
    changed.set_BillAmount(999.0f);
    ASSERT_EQ(changed.Save(), 1);
    const std::optional<CIssuedInvoice> found = CInvoiceBook::Find(u" 1 ");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->get_Invoice().Subtotal(), invoice.Subtotal());
    EXPECT_EQ(found->get_Invoice().Lines().size(), invoice.Lines().size());
    EXPECT_EQ(found->get_Invoice().m_client.address, CString(u"1 Main Road\nSpringfield"));
    EXPECT_FALSE(CInvoiceBook::Find(u"2"));
}

TEST_F(InvoiceTest, NumbersAreCheckedAndTheSequenceMovesPastThem) {
    CInvoice invoice = PreparedForAcme();
    invoice.m_strNumber = u"  ";
    EXPECT_EQ(CInvoiceBook::Issue(invoice).message, GetResString(301, 1));

    invoice.m_strNumber = u"INV-0099";
    ASSERT_TRUE(CInvoiceBook::Issue(invoice).ok);
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"INV-0100"));

    // A used number is refused, whatever its case or spaces.
    CInvoice again;
    CString error;
    ASSERT_TRUE(again.Prepare(data.bolt, March(1), March(31), error));
    again.m_strNumber = u" inv-0099 ";
    const CInvoiceBook::Outcome used = CInvoiceBook::Issue(again);
    EXPECT_FALSE(used.ok);
    EXPECT_EQ(used.message, CString(u"Invoice number inv-0099 has already been used. Please choose another number."));

    // A number below the sequence leaves it; the sequence set back skips numbers in use.
    again.m_strNumber = u"INV-0050";
    ASSERT_TRUE(CInvoiceBook::Issue(again).ok);
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"INV-0100"));
    ASSERT_EQ(CInvoiceBook::SetNextNumber(u"INV-0050"), 1);
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"INV-0051"));
    EXPECT_EQ(Store().GetMetaDataValue(CInvoiceBook::SequenceName()), CString(u"INV-0050"));
}

TEST(InvoiceNumberTest, IncrementsTheLastRunOfDigits) {
    EXPECT_EQ(CInvoiceBook::Increment(u"7"), CString(u"8"));
    EXPECT_EQ(CInvoiceBook::Increment(u"99"), CString(u"100"));
    EXPECT_EQ(CInvoiceBook::Increment(u"INV-0099"), CString(u"INV-0100"));
    EXPECT_EQ(CInvoiceBook::Increment(u"2004-017/A"), CString(u"2004-018/A"));
    EXPECT_EQ(CInvoiceBook::Increment(u"DRAFT"), CString());
}

TEST_F(InvoiceTest, TaxRateAndEmptyInvoicesAreRefused) {
    CInvoice invoice = PreparedForAcme();
    invoice.m_nTaxRate = 10001;
    EXPECT_EQ(CInvoiceBook::Issue(invoice).message, GetResString(308, 1));
    invoice.m_nTaxRate = -1;
    EXPECT_EQ(CInvoiceBook::Issue(invoice).message, GetResString(308, 1));
    invoice.m_nTaxRate = 0;
    for (const CInvoice::Entry& entry : std::vector<CInvoice::Entry>(invoice.m_entries))
        invoice.SetIncluded(entry.refId, false);
    EXPECT_EQ(CInvoiceBook::Issue(invoice).message, GetResString(303, 1));
    EXPECT_TRUE(CInvoiceBook::List().empty());
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"1"));
}

TEST_F(InvoiceTest, EntriesChangedSincePreparingStopTheInvoice) {
    const std::vector<int> before = AllStatuses();
    CInvoice invoice = PreparedForAcme();
    Item billedElsewhere = LoadEntry(extra[0]);
    billedElsewhere.set_PymtStatus(Item::PymtStatus_Billed);
    ASSERT_EQ(billedElsewhere.Save(), 1);
    Item repriced = LoadEntry(extra[3]);
    repriced.set_BillAmount(31.0f);
    ASSERT_EQ(repriced.Save(), 1);

    const CInvoiceBook::Outcome outcome = CInvoiceBook::Issue(invoice);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, GetResString(304, 1));
    EXPECT_EQ(outcome.entries, (std::vector<CString>{extra[3], extra[0]}));
    std::vector<int> expected = before;
    expected[8] = Item::PymtStatus_Billed;   // extra[0], billed above, and nothing else
    EXPECT_EQ(AllStatuses(), expected);
    EXPECT_TRUE(CInvoiceBook::List().empty());
}

TEST_F(InvoiceTest, AFailedWriteMarksNothing) {
    const std::vector<int> before = AllStatuses();
    CInvoice invoice = PreparedForAcme();
    BreakDataFile();
    const CInvoiceBook::Outcome outcome = CInvoiceBook::Issue(invoice);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, GetResString(305, 1));
    EXPECT_EQ(AllStatuses(), before);
    EXPECT_TRUE(CInvoiceBook::List().empty());
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"1"));

    // What reaches the file once it can be written again holds none of it either.
    MendDataFile();
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(AllStatuses(), before);
    EXPECT_TRUE(CInvoiceBook::List().empty());
    EXPECT_EQ(DataFileText().find("<invoice"), std::string::npos);

    // And the same invoice goes through afterwards.
    EXPECT_TRUE(CInvoiceBook::Issue(invoice).ok);
}

TEST_F(InvoiceTest, VoidingPutsBilledEntriesBack) {
    const std::vector<int> before = AllStatuses();
    CInvoice invoice = PreparedForAcme();
    ASSERT_TRUE(CInvoiceBook::Issue(invoice).ok);
    Item paid = LoadEntry(extra[4]);
    paid.set_PymtStatus(Item::PymtStatus_Paid);
    ASSERT_EQ(paid.Save(), 1);

    const CInvoiceBook::Outcome outcome = CInvoiceBook::Void(u"1");
    ASSERT_TRUE(outcome.ok) << outcome.message.ToUtf8();
    EXPECT_EQ(outcome.entries, std::vector<CString>{extra[4]});   // paid since: left paid
    std::vector<int> expected = before;
    expected[12] = Item::PymtStatus_Paid;
    EXPECT_EQ(AllStatuses(), expected);
    const std::optional<CIssuedInvoice> voided = CInvoiceBook::Find(u"1");
    ASSERT_TRUE(voided);
    EXPECT_TRUE(voided->get_IsVoided());
    EXPECT_EQ(voided->get_VoidedDate(), GetDatePortion(TestNow()));
    // Its number stays taken.
    EXPECT_EQ(CInvoiceBook::NextNumber(), CString(u"2"));
    EXPECT_EQ(CInvoiceBook::Void(u"1").message, CString(u"Invoice 1 has already been voided."));
    EXPECT_EQ(CInvoiceBook::Void(u"7").message, CString(u"Invoice 7 could not be found."));
    CIssuedInvoice record = *voided;
    EXPECT_EQ(record.Delete(), 0);
    EXPECT_EQ(CInvoiceBook::List().size(), 1u);
}

TEST_F(InvoiceTest, VoidingLeavesEntriesBilledAgainOnAnotherInvoice) {
    CInvoice first = PreparedForAcme();
    ASSERT_TRUE(CInvoiceBook::Issue(first).ok);
    // The user puts one entry back by hand and bills it again on a second invoice.
    Item reopened = LoadEntry(extra[0]);
    reopened.set_PymtStatus(Item::PymtStatus_NotBilled);
    ASSERT_EQ(reopened.Save(), 1);
    CInvoice second = PreparedForAcme();
    ASSERT_EQ(RefIds(second.m_entries), std::vector<CString>{extra[0]});
    ASSERT_TRUE(CInvoiceBook::Issue(second).ok);

    const CInvoiceBook::Outcome outcome = CInvoiceBook::Void(u"1");
    ASSERT_TRUE(outcome.ok) << outcome.message.ToUtf8();
    EXPECT_EQ(outcome.entries, std::vector<CString>{extra[0]});
    EXPECT_EQ(StatusOf(extra[0]), Item::PymtStatus_Billed);   // still on invoice 2
    EXPECT_EQ(StatusOf(extra[1]), Item::PymtStatus_NotBilled);

    // Once the second is voided too, nothing holds it.
    ASSERT_TRUE(CInvoiceBook::Void(u"2").ok);
    EXPECT_EQ(StatusOf(extra[0]), Item::PymtStatus_NotBilled);
}

TEST_F(InvoiceTest, AFailedWriteVoidsNothing) {
    CInvoice invoice = PreparedForAcme();
    ASSERT_TRUE(CInvoiceBook::Issue(invoice).ok);
    const std::vector<int> issued = AllStatuses();
    BreakDataFile();
    const CInvoiceBook::Outcome outcome = CInvoiceBook::Void(u"1");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, GetResString(306, 1));
    EXPECT_EQ(AllStatuses(), issued);
    EXPECT_FALSE(CInvoiceBook::Find(u"1")->get_IsVoided());
    MendDataFile();
    ASSERT_EQ(Store().Initialize(), 1);
    EXPECT_EQ(AllStatuses(), issued);
    EXPECT_FALSE(CInvoiceBook::Find(u"1")->get_IsVoided());
}

TEST_F(InvoiceTest, InvoicesStayOnThisSideWhileTheirEntriesSynchronise) {
    CInvoice invoice = PreparedForAcme();
    Clock::AdvanceSeconds(60);
    ASSERT_TRUE(CInvoiceBook::Issue(invoice).ok);
    CSyncHelper sync;
    EXPECT_GT(sync.SerializeLocalChanges(), 0);
    const std::string changes = ReadFileBytes(Store().GetOwnChangeFilePath().ToUtf8());
    EXPECT_EQ(changes.find("<invoice"), std::string::npos);
    EXPECT_NE(changes.find("refId=\"" + extra[0].ToUtf8() + "\""), std::string::npos);
    EXPECT_NE(changes.find("<pymtStatus>1</pymtStatus>"), std::string::npos);
    // The record lists of the synchronised kinds do not see invoices.
    std::unique_ptr<CObArray> entries(Store().GetObjectList(u"projectItem"));
    EXPECT_EQ(entries->GetSize(), 13);
}

}   // namespace
