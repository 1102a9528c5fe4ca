// The store's index of records by date, ID and RefID, against a plain search of the document:
// random saves, edits, deletions, edits of the document in place, reloads of a file another
// process wrote and record batches (as synchronisation commits with), with fixed seeds.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "biz/RecordIndex.h"
#include "biz/StoredEntry.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "xml/MarkupArchive.h"

namespace {

class RecordIndexTest : public BizTest {
protected:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_rng); }

    // A few dates, so that many entries share one and their document order decides.
    COleDateTime SomeDate() { return COleDateTime(2004, 3, 1 + Pick(20), Pick(3) * 8, 0, 0); }

    int SomeEntryId() {
        const std::vector<int> ids = ListedIds(COleDateTime(1900, 1, 1, 0, 0, 0), COleDateTime(9000, 1, 1, 0, 0, 0));
        return ids.empty() ? 0 : ids[static_cast<size_t>(Pick(static_cast<int>(ids.size())))];
    }

    void SaveNew() {
        CProjectItem entry;
        entry.set_ItemDate(SomeDate());
        entry.set_Description(CString::Formatted(u"entry %d", Pick(1000)));
        EXPECT_EQ(entry.Save(), 1);
    }

    void EditOne() {
        CProjectItem entry;
        entry.set_ID(SomeEntryId());
        if (entry.get_ID() == 0 || !entry.Load())
            return;
        if (Pick(2))
            entry.set_ItemDate(SomeDate());
        entry.set_Notes(u"edited");
        EXPECT_EQ(entry.Save(), 1);
    }

    void DeleteOne() {
        CProjectItem entry;
        entry.set_ID(SomeEntryId());
        if (entry.get_ID() == 0)
            return;
        m_boxes.Answer(IDYES);
        EXPECT_EQ(entry.Delete(), 1);
    }

    // Another path than the records' own: the date changed, or taken away, where it stands.
    void EditInPlace() {
        const int id = SomeEntryId();
        if (id == 0 || !Store().FindObject(id, u"projectItem"))
            return;
        CMarkupArchive* document = Store().GetCurrentDataStore();
        const CString date = u"3/" + CString::Formatted(u"%d", 1 + Pick(20)) + u"/2004";
        const int choice = Pick(5);
        if (!document->FindChildElem(u"itemDate"))
            document->AddChildElem(u"itemDate", date);
        else if (choice == 0)
            document->RemoveChildElem();
        else if (choice == 1)   // two records with one RefID: the first in the document counts
            document->SetAttrib(u"refId", Store().ID_To_RefID(SomeEntryId(), u"projectItem"));
        else
            document->SetChildData(date);
        Store().Flush();
    }

    // Another process adds an entry and writes the file; this one reloads it when it locks.
    void WrittenElsewhere() {
        CMarkupArchive other;
        ASSERT_TRUE(other.Load(CString::FromUtf8(DataFilePath())));
        ASSERT_TRUE(other.FindElem());
        // The ID is taken from this store, as the other process would take the next one.
        const int id = Store().GenerateNewID();
        const int copied = SomeEntryId();
        if (copied != 0 && Pick(3) == 0 && Store().FindObject(copied, u"projectItem")) {
            // A copy of a record, ID and RefID and all: the first in the document counts.
            other.AddChildSubDoc(Store().GetCurrentDataStore()->GetSubDoc());
        } else {
            other.AddChildSubDoc(CString::Formatted(
                u"<projectItem id=\"%d\" refId=\"F%d\">\r\n<itemDate>3/%d/2004</itemDate>\r\n</projectItem>\r\n", id,
                id, 1 + Pick(20)));
        }
        ASSERT_TRUE(other.Save(CString::FromUtf8(DataFilePath() + ".other")));
        ASSERT_EQ(std::rename((DataFilePath() + ".other").c_str(), DataFilePath().c_str()), 0);
        ASSERT_TRUE(Store().LockDataFile());
    }

    // Saves and deletions inside a record batch, with a lookup between them.
    void Batch() {
        Store().BeginRecordBatch();
        SaveNew();
        EditOne();
        ExpectLookupsMatch();
        DeleteOne();
        SaveNew();
        EXPECT_EQ(Store().EndRecordBatch(), 1);
    }

    // A category added, or one renamed, among the entries.
    void SaveCategory() {
        std::unique_ptr<CObArray> categories(Store().GetObjectList(u"category"));
        CCategory category;
        if (categories->GetSize() > 0 && Pick(2)) {
            category.set_ID(static_cast<const CCategory*>(categories->GetAt(Pick(categories->GetSize())))->get_ID());
            ASSERT_TRUE(category.Load());
        } else {
            category.set_Code(CString::Formatted(u"C%d", Pick(1000)));
        }
        category.set_Description(CString::Formatted(u"category %d", Pick(1000)));
        EXPECT_EQ(category.Save(), 1);
    }

    void RandomStep() {
        if (Pick(6) == 0)
            return SaveCategory();
        switch (Pick(10)) {
        case 0:
        case 1:
        case 2: SaveNew(); break;
        case 3:
        case 4: EditOne(); break;
        case 5: DeleteOne(); break;
        case 6: EditInPlace(); break;
        case 7: WrittenElsewhere(); break;
        case 8: Batch(); break;
        default: ASSERT_EQ(Store().Initialize(), 1); break;
        }
    }

    // What GetObjectList lists in [from, to], in its order.
    std::vector<int> BruteForceIds(const COleDateTime& from, const COleDateTime& to) {
        std::vector<int> ids;
        std::unique_ptr<CObArray> all(Store().GetObjectList(u"projectItem"));
        for (int i = 0; i < all->GetSize(); ++i) {
            const auto* entry = static_cast<const CProjectItem*>(all->GetAt(i));
            if (entry->get_ItemDate() >= from && entry->get_ItemDate() <= to)
                ids.push_back(entry->get_ID());
        }
        return ids;
    }

    std::vector<int> ListedIds(const COleDateTime& from, const COleDateTime& to) {
        std::vector<int> ids;
        for (const auto& entry : Store().GetEntriesInRange(from, to))
            ids.push_back(entry->get_ID());
        return ids;
    }

    void ExpectRangesMatch() {
        for (int n = 0; n < 3; ++n) {
            COleDateTime from = SomeDate();
            COleDateTime to = from + COleDateTimeSpan(Pick(10), Pick(24), 0, 0);
            EXPECT_EQ(ListedIds(from, to), BruteForceIds(from, to));
        }
        std::vector<int> visited;
        Store().ForEachEntry([&visited](const CStoredEntry& stored) {
            EXPECT_FALSE(stored.Markup().empty());
            const std::unique_ptr<CProjectItem> entry = stored.Build();
            visited.push_back(entry ? entry->get_ID() : 0);
            return true;
        });
        EXPECT_EQ(visited, BruteForceIds(COleDateTime(1900, 1, 1, 0, 0, 0), COleDateTime(9000, 1, 1, 0, 0, 0)));
    }

    // Each lookup as a search of a copy of the document finds it.
    void ExpectLookupsMatch() {
        CMarkupArchive copy;
        ASSERT_TRUE(copy.SetDoc(Store().GetCurrentDataStore()->GetDoc()));
        std::vector<CString> refIds;
        for (int n = 0; n < 8; ++n) {
            const int id = n < 6 ? SomeEntryId() : 1 + Pick(400);
            const CString idText = CString::Formatted(u"%d", id);
            copy.ResetPos();
            const bool found = copy.FindChildElemAttrib(u"projectItem", u"id", idText);
            const CString refId = found ? copy.GetChildAttrib(u"refId") : CString();
            EXPECT_EQ(Store().ID_To_RefID(id, u"projectItem"), refId) << id;
            EXPECT_EQ(Store().FindObject(id, u"projectItem"), found ? 1 : 0) << id;
            if (found) {
                EXPECT_EQ(Store().GetCurrentDataStore()->GetAttrib(u"refId"), refId);
            }
            refIds.push_back(refId);
        }
        refIds.push_back(u"SAMP003");
        refIds.push_back(u"no such");
        for (const CString& refId : refIds) {
            copy.ResetPos();
            const int id = copy.FindChildElemAttrib(u"category", u"refId", refId) ? copy.GetChildAttribInt(u"id") : 0;
            EXPECT_EQ(Store().RefID_To_ID(refId, u"category"), refId.IsEmpty() ? 0 : id) << refId.ToUtf8();
        }
    }

    // The lists of names read as a search of a copy of the document does.
    void ExpectNameListsMatch() {
        CMarkupArchive copy;
        ASSERT_TRUE(copy.SetDoc(Store().GetCurrentDataStore()->GetDoc()));
        for (const char16_t* kind : {u"client", u"project", u"category"}) {
            std::vector<int> searched;
            copy.ResetPos();
            while (copy.FindChildElem(kind))
                searched.push_back(copy.GetChildAttribInt(u"id"));
            std::vector<int> listed;
            std::unique_ptr<CObArray> records(Store().GetObjectList(kind));
            for (int i = 0; i < records->GetSize(); ++i)
                listed.push_back(static_cast<const CBaseObject*>(records->GetAt(i))->get_ID());
            EXPECT_EQ(listed, searched) << CString(kind).ToUtf8();
        }
    }

    std::mt19937 m_rng;
};

TEST_F(RecordIndexTest, AgreesWithAPlainSearchOverRandomEdits) {
    for (unsigned seed : {1u, 2u, 3u}) {
        m_rng.seed(seed);
        for (int n = 0; n < 12; ++n)
            SaveNew();
        for (int step = 0; step < 60; ++step) {
            RandomStep();
            ExpectRangesMatch();
            ExpectLookupsMatch();
            ExpectNameListsMatch();
            if (HasFailure())
                FAIL() << "seed " << seed << ", step " << step;
        }
    }
}

TEST_F(RecordIndexTest, LookupsFollowEditsAndDeletions) {
    CProjectItem entry;
    entry.set_ItemDate(COleDateTime(2004, 3, 2, 0, 0, 0));
    ASSERT_EQ(entry.Save(), 1);
    const CString refId = entry.get_RefID();
    EXPECT_EQ(Store().RefID_To_ID(refId, u"projectItem"), entry.get_ID());
    ASSERT_EQ(entry.Save(), 1);   // moved to the end of the document
    EXPECT_EQ(Store().RefID_To_ID(refId, u"projectItem"), entry.get_ID());
    m_boxes.Answer(IDYES);
    ASSERT_EQ(entry.Delete(), 1);
    // The deletion marker keeps both, as the search would find them.
    EXPECT_EQ(Store().RefID_To_ID(refId, u"projectItem"), entry.get_ID());
    ASSERT_TRUE(Store().FindObject(entry.get_ID(), u"projectItem"));
    EXPECT_EQ(Store().GetCurrentDataStore()->GetTagName(), u"deleted");
    EXPECT_TRUE(
        Store().GetEntriesInRange(COleDateTime(2004, 3, 1, 0, 0, 0), COleDateTime(2004, 3, 3, 0, 0, 0)).empty());
}

TEST_F(RecordIndexTest, EntriesOfAChangeDocumentAreListedToo) {
    CProjectItem entry;
    entry.set_ItemDate(COleDateTime(2004, 3, 2, 0, 0, 0));
    ASSERT_EQ(entry.Save(), 1);
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseLocalChanges), 1);
    EXPECT_TRUE(
        Store().GetEntriesInRange(COleDateTime(2004, 3, 1, 0, 0, 0), COleDateTime(2004, 3, 3, 0, 0, 0)).empty());
    CProjectItem sent;
    sent.set_ItemDate(COleDateTime(2004, 3, 2, 12, 0, 0));
    ASSERT_EQ(sent.Save(), 1);
    const auto listed =
        Store().GetEntriesInRange(COleDateTime(2004, 3, 1, 0, 0, 0), COleDateTime(2004, 3, 3, 0, 0, 0));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]->get_ID(), sent.get_ID());
    ASSERT_EQ(Store().SwitchSyncPhase(CDataHelper::PhaseData), 1);
    EXPECT_EQ(Store().GetEntriesInRange(COleDateTime(2004, 3, 1, 0, 0, 0), COleDateTime(2004, 3, 3, 0, 0, 0)).size(),
              1u);
}

TEST_F(RecordIndexTest, ACopyOfTheStoreLooksUpInItsOwnDocument) {
    CProjectItem entry;
    entry.set_ItemDate(COleDateTime(2004, 3, 2, 0, 0, 0));
    ASSERT_EQ(entry.Save(), 1);
    ASSERT_EQ(Store().RefID_To_ID(entry.get_RefID(), u"projectItem"), entry.get_ID());
    auto copy = std::make_unique<CDataHelper>(Store());
    m_boxes.Answer(IDYES);
    ASSERT_EQ(entry.Delete(), 1);
    ASSERT_EQ(Store().FindObject(entry.get_ID(), u"projectItem"), 1);
    EXPECT_EQ(copy->RefID_To_ID(entry.get_RefID(), u"projectItem"), entry.get_ID());
    ASSERT_EQ(copy->FindObject(entry.get_ID(), u"projectItem"), 1);
    EXPECT_EQ(copy->GetCurrentDataStore()->GetTagName(), u"projectItem");
    EXPECT_EQ(copy->GetEntriesInRange(COleDateTime(2004, 3, 1, 0, 0, 0), COleDateTime(2004, 3, 3, 0, 0, 0)).size(),
              1u);
}

}   // namespace

// The record before each one in document order, through appends, removals, in-place edits and
// a renumbering, is the sibling before it in the document.
TEST(RecordIndexOrder, PreviousRecordIsThePreviousSibling) {
    CMarkupArchive document;
    ASSERT_TRUE(document.SetDoc(u"<root>\r\n<metaData/>\r\n</root>\r\n"));
    std::mt19937 rng(5);
    const auto pick = [&rng](int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); };
    const auto add = [&document](int id) {
        document.ResetPos();
        document.FindElem();
        document.AddChildElem(u"client");
        document.SetChildAttrib(u"id", id);
    };
    for (int id = 1; id <= 30; ++id)
        add(id);
    CRecordIndex index;
    int nextId = 31;
    for (int step = 0; step < 120; ++step) {
        std::vector<int> handles;
        for (int handle = document.GetFirstRootChild(); handle; handle = document.GetNextSibling(handle))
            handles.push_back(handle);
        const int chosen = handles[static_cast<size_t>(1 + pick(static_cast<int>(handles.size()) - 1))];
        switch (pick(5)) {
        case 0: add(nextId++); break;
        case 1:
            ASSERT_TRUE(document.IntoRootChild(chosen));
            ASSERT_TRUE(document.RemoveElem());
            break;
        case 2:
            ASSERT_TRUE(document.IntoRootChild(chosen));
            ASSERT_TRUE(document.SetAttrib(u"refId", u"edited"));
            break;
        case 3:
            if (pick(10) == 0) {
                ASSERT_TRUE(document.SetDoc(CString(document.GetDoc())));
            }
            break;
        default: {
            // Saved again: removed where it stood and added at the end.
            ASSERT_TRUE(document.IntoRootChild(chosen));
            const CString id = document.GetAttrib(u"id");
            ASSERT_TRUE(document.RemoveElem());
            add(std::stoi(id.ToUtf8()));
            break;
        }
        }
        index.Update(document);
        int previous = 0;
        for (int handle = document.GetFirstRootChild(); handle; handle = document.GetNextSibling(handle)) {
            ASSERT_EQ(index.PreviousRecord(handle), previous) << "step " << step;
            previous = handle;
        }
    }
}
