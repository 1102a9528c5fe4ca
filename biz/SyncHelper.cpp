#include "biz/SyncHelper.h"

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "biz/BaseObject.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "platform/ObArray.h"
#include "xml/MarkupArchive.h"

// How both sides end with the same records. Every synchronisation serialises both sides
// before either commits, so at commit time each side still has its own change file and knows
// what it sent. For a record R (matched by kind and RefID):
// - changed on one side only: the other side takes that version;
// - changed on both sides: the desktop (own changes win) leaves out the device's version and
//   the device takes the desktop's, so both hold the desktop's version;
// - deleted on one side, changed on the other: the changing side keeps R (it does not apply a
//   deletion of a record its own change file holds) and the deleting side takes R back from
//   the other change file (a deletion marker is not a version of R, so it never makes the
//   other side's R be left out); both hold the changed version and nothing typed is lost;
// - deleted on both sides, or created on one side: nothing to reconcile.
// Deletion markers leave the data file only when the commit that completes their
// synchronisation has run, so a synchronisation that stops half-way sends them again.

namespace {

constexpr const char16_t* kRootName = u"quillmar";
constexpr const char16_t* kDeletedName = u"deleted";
constexpr const char16_t* kLastSyncName = u"lastSync";
// The record kinds in the order in which they are written and committed.
constexpr const char16_t* kRecordKinds[] = {u"client", u"project", u"category", u"projectItem"};

#ifdef QUILLMAR_DEVICE_BUILD
constexpr bool kOwnChangesWinByDefault = false;
#else
constexpr bool kOwnChangesWinByDefault = true;
#endif

bool IsRecordKind(const CString& name) {
    for (const char16_t* kind : kRecordKinds) {
        if (name == kind)
            return true;
    }
    return false;
}

// A record on both sides: its kind (element name) and its RefID.
using RecordKey = std::pair<std::u16string, std::u16string>;

RecordKey KeyOf(const CString& kind, const CString& refId) { return {kind.str(), refId.str()}; }

// True when something (or an entry we cannot inspect) stands at the path.
bool PathExists(const CString& path) {
    if (path.IsEmpty())
        return false;
    std::error_code error;
    const bool exists = std::filesystem::exists(path.ToUtf8(), error);
    return exists || error;
}

// True when nothing stands at the path afterwards.
bool RemoveFile(const CString& path) {
    if (path.IsEmpty())
        return true;
    std::error_code error;
    std::filesystem::remove(path.ToUtf8(), error);
    return !error && !PathExists(path);
}

// Text of the first child of that name of the current child element; "" when absent.
CString ChildElementText(CMarkupArchive& document, const char16_t* name) {
    document.IntoElem();
    const CString text = document.FindChildElem(name) ? document.GetChildData() : CString();
    document.OutOfElem();
    return text;
}

// The data store when it holds a data file; nullptr when it never loaded one.
CDataHelper* UsableStore() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store || store->GetDataFilePath().IsEmpty())
        return nullptr;
    return store;
}

// What this side's own change file sent in the running synchronisation.
struct SentChanges {
    std::set<RecordKey> records;
    std::set<RecordKey> deletions;
};

// A missing own change file sent nothing. false when one exists but does not read as a
// change file: the conflict rules could not be applied, so nothing may be committed.
bool ReadSentChanges(const CString& path, SentChanges& sent) {
    if (!PathExists(path))
        return true;
    CMarkupArchive document;
    if (!document.Load(path) || !document.FindElem() || document.GetTagName() != kRootName)
        return false;
    while (document.FindChildElem()) {
        const CString tag = document.GetChildTagName();
        const CString refId = document.GetChildAttrib(u"refId");
        if (tag == kDeletedName)
            sent.deletions.insert(KeyOf(ChildElementText(document, u"description"), refId));
        else if (IsRecordKind(tag))
            sent.records.insert(KeyOf(tag, refId));
    }
    return true;
}

// The other side's change file as records by kind; empty lists when there is none.
struct RemoteChanges {
    std::vector<std::pair<CString, std::unique_ptr<CObArray>>> recordsByKind;
    std::unique_ptr<CObArray> deletions;
};

// Keeps the store in one phase for a scope and always returns it to the data document.
class PhaseScope {
public:
    PhaseScope(CDataHelper& store, int phase) : m_store(store), m_entered(store.SwitchSyncPhase(phase) != 0) {}
    ~PhaseScope() { m_store.SwitchSyncPhase(CSyncHelper::SyncPhase_None); }
    PhaseScope(const PhaseScope&) = delete;
    PhaseScope& operator=(const PhaseScope&) = delete;
    bool Entered() const { return m_entered; }

private:
    CDataHelper& m_store;
    bool m_entered;
};

// false when a change file exists but cannot be read.
bool ReadRemoteChanges(CDataHelper& store, RemoteChanges& remote) {
    remote.deletions = std::make_unique<CObArray>();
    for (const char16_t* kind : kRecordKinds)
        remote.recordsByKind.emplace_back(kind, std::make_unique<CObArray>());
    if (!PathExists(store.GetOtherChangeFilePath()))
        return true;
    PhaseScope phase(store, CSyncHelper::SyncPhase_CommitRemoteChanges);
    if (!phase.Entered())
        return false;
    CMarkupArchive* document = store.GetCurrentDataStore();
    document->ResetPos();
    const bool isChangeFile = document->FindElem() && document->GetTagName() == kRootName;
    document->ResetPos();
    if (!isChangeFile)
        return false;
    for (auto& [kind, list] : remote.recordsByKind)
        list.reset(store.GetObjectList(kind));
    remote.deletions.reset(store.GetObjectList(kDeletedName));
    return true;
}

// Writes are collected while it lives and each file is written once at End. A scope left
// without End (a step failed) writes nothing and takes back what it gathered, so memory stays
// what the files hold. With `records`, the data document's edits are gathered too and made in
// one rewrite (CDataHelper::BeginRecordBatch).
class DeferredFlush {
public:
    enum Kind { WritesOnly, WritesAndRecords };
    explicit DeferredFlush(CDataHelper& store, Kind kind = WritesOnly) : m_store(&store), m_kind(kind) {
        if (m_kind == WritesAndRecords)
            m_store->BeginRecordBatch();
        else
            m_store->BeginDeferredFlush();
    }
    ~DeferredFlush() {
        if (m_store)
            m_store->DiscardUnwrittenChanges();
        End();
    }
    DeferredFlush(const DeferredFlush&) = delete;
    DeferredFlush& operator=(const DeferredFlush&) = delete;
    int End() {
        if (!m_store)
            return 1;
        CDataHelper* store = std::exchange(m_store, nullptr);
        return m_kind == WritesAndRecords ? store->EndRecordBatch() : store->EndDeferredFlush();
    }

private:
    CDataHelper* m_store;
    Kind m_kind;
};

// This side's records and deletion markers by kind and RefID, read from the data document in
// one pass so that committing many records does not search the document for each.
class LocalRecords {
public:
    explicit LocalRecords(CMarkupArchive& document) {
        document.ResetPos();
        if (document.FindElem()) {
            while (document.FindChildElem()) {
                const CString tag = document.GetChildTagName();
                const CString refId = document.GetChildAttrib(u"refId");
                if (tag == kDeletedName)
                    m_markers.insert(KeyOf(ChildElementText(document, u"description"), refId));
                else if (IsRecordKind(tag))   // the first of a RefID, as a search would find it
                    m_ids.emplace(KeyOf(tag, refId), document.GetChildAttribInt(u"id"));
            }
        }
        document.ResetPos();
    }

    int IdOf(const RecordKey& key) const {
        const auto found = m_ids.find(key);
        return found == m_ids.end() ? 0 : found->second;
    }
    void SetId(const RecordKey& key, int id) { m_ids[key] = id; }
    void Forget(const RecordKey& key) { m_ids.erase(key); }
    bool HasMarker(const RecordKey& key) const { return m_markers.count(key) != 0; }
    void ForgetMarker(const RecordKey& key) { m_markers.erase(key); }

private:
    std::map<RecordKey, int> m_ids;
    std::set<RecordKey> m_markers;
};

// Removes every deletion marker of that record from the data document; the number removed.
int RemoveMarkers(CDataHelper& store, const RecordKey& key) {
    const CString kind(key.first);
    const CString refId(key.second);
    int removed = 0;
    while (store.RemoveDeletedMarker(kind, refId))
        ++removed;
    return removed;
}

// Commits the other side's records of one kind; false when a record could not be saved.
bool CommitRecords(CDataHelper& store, CObArray& list, const SentChanges& sent, bool ownChangesWin,
                   LocalRecords& local) {
    for (auto& item : list.Items()) {
        auto* record = static_cast<CBaseObject*>(item.get());
        const RecordKey key = KeyOf(record->get_ElemName(), record->get_RefID());
        // Without a RefID a record cannot be matched on either side.
        if (record->get_RefID().IsEmpty())
            continue;
        if (ownChangesWin && sent.records.count(key))
            continue;
        // The other side changed a record this side deleted: the change outlives the deletion
        // on both sides, so this side's marker must not go out any more.
        if (local.HasMarker(key)) {
            RemoveMarkers(store, key);
            local.ForgetMarker(key);
        }
        record->set_ID(local.IdOf(key));
        if (!record->Save())
            return false;
        local.SetId(key, record->get_ID());
    }
    return true;
}

// Applies the other side's deletions; true when a record was removed.
bool CommitDeletions(CDataHelper& store, CObArray& markers, const SentChanges& sent, LocalRecords& local) {
    bool removedAny = false;
    for (auto& item : markers.Items()) {
        const auto* marker = static_cast<const CBaseObject*>(item.get());
        const CString kind = marker->get_Description();
        const RecordKey key = KeyOf(kind, marker->get_RefID());
        if (!IsRecordKind(kind) || marker->get_RefID().IsEmpty())
            continue;
        // This side changed the record in this synchronisation: it is kept on both sides.
        if (sent.records.count(key))
            continue;
        if (local.IdOf(key) != 0 && store.RemoveRecordByRefID(CString(key.first), CString(key.second))) {
            local.Forget(key);
            removedAny = true;
        }
    }
    return removedAny;
}

// Records first, kind by kind, then deletions; the data file is noted for writing.
bool ApplyRemote(CDataHelper& store, RemoteChanges& remote, const SentChanges& sent, bool ownChangesWin) {
    LocalRecords local(*store.GetCurrentDataStore());
    for (auto& [kind, list] : remote.recordsByKind) {
        if (!CommitRecords(store, *list, sent, ownChangesWin, local))
            return false;
    }
    if (CommitDeletions(store, *remote.deletions, sent, local))
        return store.Flush() != 0;
    return true;
}

// Removes the markers that went out in the own change file; true when one was removed.
bool RemoveSentMarkers(CDataHelper& store, const SentChanges& sent) {
    bool removedAny = false;
    for (const RecordKey& key : sent.deletions)
        removedAny = RemoveMarkers(store, key) > 0 || removedAny;
    return removedAny;
}

// The other side's change file first, then the own one.
bool DeleteChangeFiles(const CDataHelper& store) {
    const bool otherRemoved = RemoveFile(store.GetOtherChangeFilePath());
    const bool ownRemoved = RemoveFile(store.GetOwnChangeFilePath());
    return otherRemoved && ownRemoved;
}

}   // namespace

CSyncHelper::CSyncHelper() : LastSyncTime(COleDateTime::GetCurrentTime()), m_bOwnChangesWin(kOwnChangesWinByDefault) {}

CSyncHelper::~CSyncHelper() = default;

void CSyncHelper::DetermineLastSyncDateTime() {
    CDataHelper* store = GetCurrDataHelper();
    const CString lastSync = store ? store->GetMetaDataValue(kLastSyncName) : CString();
    LastSyncTime =
        lastSync.IsEmpty() ? COleDateTime::GetCurrentTime() : CDateTimeFormatter::GetDateTimeFromDB(lastSync);
}

int CSyncHelper::UpdateLastSyncDateTime() {
    CDataHelper* store = UsableStore();
    if (!store)
        return 0;
    return store->SetMetaDataValue(kLastSyncName,
                                   CDateTimeFormatter::FormatDateTimeForDB(COleDateTime::GetCurrentTime()));
}

int CSyncHelper::SerializeLocalChanges() {
    CDataHelper* store = GetCurrDataHelper();
    // The time is read from the file as reloaded, so a store that was never loaded cannot
    // make every change look older than the last synchronisation.
    if (!store || !store->Initialize())
        return -1;
    DetermineLastSyncDateTime();
    // A change file of an unfinished synchronisation must not go out as this one's.
    if (!RemoveFile(store->GetOwnChangeFilePath()))
        return -1;
    DeferredFlush batch(*store);
    int count = 0;
    for (const char16_t* kind : kRecordKinds) {
        const int written = SerializeLocalChanges_Records(kind);
        if (written < 0)
            return -1;
        count += written;
    }
    const int markers = SerializeLocalChanges_DeletedItems();
    if (markers < 0 || !batch.End())
        return -1;
    return count + markers;
}

int CSyncHelper::SerializeLocalChanges_Records(const CString& elemName) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return -1;
    const std::unique_ptr<CObArray> list(store->GetObjectListModifiedAfter(elemName, LastSyncTime));
    PhaseScope phase(*store, SyncPhase_SerializeLocalChanges);
    int count = 0;
    for (auto& item : list->Items()) {
        auto* record = static_cast<CBaseObject*>(item.get());
        if (!(record->get_ModifiedTime() > LastSyncTime))
            continue;
        if (!record->Save())
            return -1;
        ++count;
    }
    return count;
}

int CSyncHelper::SerializeLocalChanges_DeletedItems() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return -1;
    const std::unique_ptr<CObArray> markers(store->GetObjectList(kDeletedName));
    PhaseScope phase(*store, SyncPhase_SerializeLocalChanges);
    for (auto& item : markers->Items()) {
        if (!static_cast<CBaseObject*>(item.get())->Save())
            return -1;
    }
    return markers->GetSize();
}

int CSyncHelper::CommitRemoteChanges() {
    CDataHelper* store = UsableStore();
    SentChanges sent;
    RemoteChanges remote;
    if (!store || !ReadSentChanges(store->GetOwnChangeFilePath(), sent) || !ReadRemoteChanges(*store, remote))
        return 0;
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    if (!ApplyRemote(*store, remote, sent, m_bOwnChangesWin))
        return 0;
    RemoveSentMarkers(*store, sent);
    UpdateLastSyncDateTime();
    // The change files go only once the data file holds everything they brought.
    if (!batch.End())
        return 0;
    return DeleteChangeFiles(*store) ? 1 : 0;
}

int CSyncHelper::ApplyRemoteChanges() {
    CDataHelper* store = UsableStore();
    SentChanges sent;
    RemoteChanges remote;
    if (!store || !ReadSentChanges(store->GetOwnChangeFilePath(), sent) || !ReadRemoteChanges(*store, remote))
        return 0;
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    if (!ApplyRemote(*store, remote, sent, m_bOwnChangesWin))
        return 0;
    return batch.End();
}

int CSyncHelper::CompleteSynchronisation() {
    CDataHelper* store = UsableStore();
    SentChanges sent;
    if (!store || !ReadSentChanges(store->GetOwnChangeFilePath(), sent))
        return 0;
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    RemoveSentMarkers(*store, sent);
    UpdateLastSyncDateTime();
    if (!batch.End())
        return 0;
    return DeleteChangeFiles(*store) ? 1 : 0;
}
