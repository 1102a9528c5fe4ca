#include "biz/SyncHelper.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

#include "biz/BaseObject.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Project.h"
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
// - an entry or project kept or brought back this way keeps its parents: each change file names
//   the project and client of every record it sends ("context"), the receiving side adds them
//   when it no longer has them, and a side does not apply the deletion of a project or client
//   that one of its records still refers to.
// Deletion markers leave the data file only when the commit that completes their
// synchronisation has run, so a synchronisation that stops half-way sends them again.
//
// What is sent: the records saved after "lastSync", the point up to which this side's changes
// reached the other side. Serialising writes into the change file's root "upTo", a point after
// every record sent; while that file exists the data store dates every save after it, whatever
// the process; completing makes it "lastSync". Records taken from the other side are dated "lastSync", so they never go back.
// Each change file carries an identity ("changeSet") and the identity of the last change file
// its side committed ("committed"): a side whose previous change file the other side reports
// committed completes that synchronisation before serialising again, and a change file already
// committed is not applied a second time.

namespace {

constexpr const char16_t* kRootName = u"quillmar";
constexpr const char16_t* kDeletedName = u"deleted";
constexpr const char16_t* kLastSyncName = u"lastSync";
constexpr const char16_t* kLastCommittedName = u"lastCommittedChanges";
// Attributes of a change file's root.
constexpr const char16_t* kChangeSetAttrib = u"changeSet";
constexpr const char16_t* kCommittedAttrib = u"committed";
constexpr const char16_t* kContextAttrib = u"context";
constexpr const char16_t* kUpToAttrib = u"upTo";   // a point after every record the file sends
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
    std::set<RecordKey> context;   // parents sent along: the other side keeps or brings them back
    CString changeSet;
    CString upTo;
};

// "kind/refId kind/refId ..." of a change file's root: records sent only as the parents of
// others, not as changes.
std::set<RecordKey> ParseContext(const CString& text) {
    std::set<RecordKey> keys;
    const std::u16string& all = text.str();
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(u' ', start);
        if (end == std::u16string::npos)
            end = all.size();
        const std::u16string item = all.substr(start, end - start);
        const size_t slash = item.find(u'/');
        if (slash != std::u16string::npos)
            keys.insert({item.substr(0, slash), item.substr(slash + 1)});
        start = end + 1;
    }
    return keys;
}

// An attribute of a change file's root; "" when the file or attribute is missing. Only the
// start of the file is read: the root element comes first and its attributes are short.
CString ChangeFileAttrib(const CString& path, const char16_t* name) {
    std::ifstream file(path.ToUtf8(), std::ios::binary);
    char head[1024];
    file.read(head, sizeof head);
    const std::string text(head, static_cast<size_t>(file.gcount()));
    const size_t rootEnd = text.find('>');
    if (text.rfind("<quillmar", 0) != 0 || rootEnd == std::string::npos)
        return CString();
    const std::string marker = " " + CString(name).ToUtf8() + "=\"";
    const size_t at = text.find(marker);
    if (at == std::string::npos || at > rootEnd)
        return CString();
    const size_t start = at + marker.size();
    const size_t end = text.find('"', start);
    return end == std::string::npos || end > rootEnd ? CString() : CString::FromUtf8(text.substr(start, end - start));
}

// A missing own change file sent nothing. false when one exists but does not read as a
// change file: the conflict rules could not be applied, so nothing may be committed.
bool ReadSentChanges(const CString& path, SentChanges& sent) {
    if (!PathExists(path))
        return true;
    CMarkupArchive document;
    if (!document.Load(path) || !document.FindElem() || document.GetTagName() != kRootName)
        return false;
    sent.changeSet = document.GetAttrib(kChangeSetAttrib);
    sent.upTo = document.GetAttrib(kUpToAttrib);
    sent.context = ParseContext(document.GetAttrib(kContextAttrib));
    const std::set<RecordKey>& context = sent.context;
    while (document.FindChildElem()) {
        const CString tag = document.GetChildTagName();
        const CString refId = document.GetChildAttrib(u"refId");
        if (tag == kDeletedName)
            sent.deletions.insert(KeyOf(ChildElementText(document, u"description"), refId));
        else if (IsRecordKind(tag) && !context.count(KeyOf(tag, refId)))
            sent.records.insert(KeyOf(tag, refId));
    }
    return true;
}

// The other side's change file as records by kind; empty lists when there is none.
struct RemoteChanges {
    std::vector<std::pair<CString, std::unique_ptr<CObArray>>> recordsByKind;
    std::unique_ptr<CObArray> deletions;
    CString changeSet;
    std::set<RecordKey> context;
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
    if (isChangeFile) {
        remote.changeSet = document->GetAttrib(kChangeSetAttrib);
        remote.context = ParseContext(document->GetAttrib(kContextAttrib));
    }
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

// This side's records and deletion markers of the keys `asked` (those the other side's change
// file names), read from the data document in one pass so that committing many records does
// not search the document for each. Only those are ever asked about.
class LocalRecords {
public:
    // With `savedAfter`, those of `asked` saved later than it are noted too (SavedSince).
    LocalRecords(CMarkupArchive& document, const std::optional<COleDateTime>& savedAfter,
                 const std::set<RecordKey>& asked) {
        // Most records are not asked about: their RefID alone tells, without building a key.
        std::unordered_set<std::u16string> askedRefIds;
        for (const RecordKey& key : asked)
            askedRefIds.insert(key.second);
        document.ResetPos();
        if (document.FindElem()) {
            while (document.FindChildElem()) {
                const CString refId = document.GetChildAttrib(u"refId");
                if (!askedRefIds.count(refId.str()))
                    continue;
                const CString tag = document.GetChildTagName();
                if (tag == kDeletedName) {
                    m_markers.insert(KeyOf(ChildElementText(document, u"description"), refId));
                } else if (IsRecordKind(tag)) {   // the first of a RefID, as a search would find it
                    const RecordKey key = KeyOf(tag, refId);
                    if (!asked.count(key))
                        continue;
                    m_ids.emplace(key, document.GetChildAttribInt(u"id"));
                    if (savedAfter &&
                        CDateTimeFormatter::GetDateTimeFromDB(ChildElementText(document, u"modified")) > *savedAfter)
                        m_savedSince.insert(key);
                }
            }
        }
        document.ResetPos();
    }

    // Saved here after this side serialised (by any process): a newer edit than anything the
    // other side sent, which goes out with the next synchronisation.
    bool SavedSince(const RecordKey& key) const { return m_savedSince.count(key) != 0; }

    int IdOf(const RecordKey& key) const {
        const auto found = m_ids.find(key);
        return found == m_ids.end() ? 0 : found->second;
    }
    void SetId(const RecordKey& key, int id) { m_ids[key] = id; }
    void Forget(const RecordKey& key) { m_ids.erase(key); }
    bool HasMarker(const RecordKey& key) const { return m_markers.count(key) != 0; }
    // A parent whose deletion was refused only because a record here refers to it.
    void NoteKeptForReference(const RecordKey& key) { m_keptForReference.push_back(key); }
    const std::vector<RecordKey>& KeptForReference() const { return m_keptForReference; }
    void ForgetMarker(const RecordKey& key) { m_markers.erase(key); }

private:
    std::map<RecordKey, int> m_ids;
    std::set<RecordKey> m_markers;
    std::set<RecordKey> m_savedSince;
    std::vector<RecordKey> m_keptForReference;
};

// This side's own version of each parent the other side sent along that this side changed in
// the running synchronisation. Should this side no longer hold it (a program deleted it after
// serialising), that is the version to bring back: the other side took it. Read before the
// commit's batch begins.
class OwnVersions {
public:
    OwnVersions(CDataHelper& store, const RemoteChanges& remote, const SentChanges& sent) {
        std::set<RecordKey> wanted;
        for (const RecordKey& key : remote.context) {
            if (sent.records.count(key))
                wanted.insert(key);
        }
        if (wanted.empty())
            return;
        PhaseScope phase(store, CSyncHelper::SyncPhase_SerializeLocalChanges);
        // The process that commits need not be the one that serialised: read the file.
        if (!phase.Entered() || !store.GetCurrentDataStore()->Load(store.GetOwnChangeFilePath()))
            return;
        for (const char16_t* kind : kRecordKinds) {
            std::unique_ptr<CObArray> list(store.GetObjectList(kind));
            if (!list)
                continue;
            for (auto& item : list->Items()) {
                auto* record = static_cast<CBaseObject*>(item.get());
                const RecordKey key = KeyOf(record->get_ElemName(), record->get_RefID());
                if (wanted.count(key))
                    m_byKey.emplace(key, record);
            }
            m_lists.push_back(std::move(list));
        }
    }

    // This side's version of `key` when it has one to bring back, else `theirs`.
    CBaseObject* Find(const RecordKey& key, CBaseObject* theirs) const {
        const auto found = m_byKey.find(key);
        return found == m_byKey.end() ? theirs : found->second;
    }

private:
    std::vector<std::unique_ptr<CObArray>> m_lists;
    std::map<RecordKey, CBaseObject*> m_byKey;
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
bool CommitRecords(CDataHelper& store, CObArray& list, const RemoteChanges& remote, const SentChanges& sent,
                   bool ownChangesWin, LocalRecords& local, const OwnVersions& own, CSyncSummary& summary) {
    for (auto& item : list.Items()) {
        auto* record = static_cast<CBaseObject*>(item.get());
        const RecordKey key = KeyOf(record->get_ElemName(), record->get_RefID());
        // Without a RefID a record cannot be matched on either side.
        if (record->get_RefID().IsEmpty())
            continue;
        if (ownChangesWin && sent.records.count(key)) {
            ++summary.conflictsKeptOwn;
            continue;
        }
        if (local.SavedSince(key)) {
            ++summary.conflictsChangedMeanwhile;
            continue;
        }
        // A parent sent along is only brought back, never put over this side's copy.
        if (remote.context.count(key) && local.IdOf(key) != 0)
            continue;
        // One this side changed and then deleted comes back as this side sent it, which is
        // the version the other side took.
        if (remote.context.count(key))
            record = own.Find(key, record);
        // The other side changed a record this side deleted: the change outlives the deletion
        // on both sides, so this side's marker must not go out any more.
        if (local.HasMarker(key)) {
            RemoveMarkers(store, key);
            local.ForgetMarker(key);
            ++summary.conflictsRestored;
        }
        record->set_ID(local.IdOf(key));
        if (!record->Save())
            return false;
        local.SetId(key, record->get_ID());
        ++summary.received[key.first];
    }
    return true;
}

// RefIDs that the data document's records of `kind` name in their attribute `refAttrib`.
std::set<std::u16string> ReferencedRefIds(CDataHelper& store, const char16_t* kind, const char16_t* refAttrib) {
    std::set<std::u16string> refs;
    CMarkupArchive& document = *store.GetCurrentDataStore();
    document.ResetPos();
    if (document.FindElem()) {
        while (document.FindChildElem(kind))
            refs.insert(document.GetChildAttrib(refAttrib).str());
    }
    document.ResetPos();
    return refs;
}

// Applies the other side's deletions of one kind (all kinds but projects and clients when
// `kind` is empty); true when a record was removed. A project or client that a record of this
// side still refers to stays: the record was changed or added after the deletion.
bool CommitDeletionsOfKind(CDataHelper& store, CObArray& markers, const SentChanges& sent, LocalRecords& local,
                           const CString& only, CSyncSummary& summary) {
    // Reading the references brings the document up to date with the batch (a rewrite), so
    // only a pass that has markers of its kind reads them, before it removes anything.
    const bool anyOfKind = std::any_of(markers.Items().begin(), markers.Items().end(), [&](const auto& item) {
        return static_cast<const CBaseObject*>(item.get())->get_Description() == only;
    });
    std::set<std::u16string> referenced;
    if (anyOfKind && only == u"project")
        referenced = ReferencedRefIds(store, u"projectItem", u"projectRef");
    else if (anyOfKind && only == u"client")
        referenced = ReferencedRefIds(store, u"project", u"clientRef");
    bool removedAny = false;
    for (auto& item : markers.Items()) {
        const auto* marker = static_cast<const CBaseObject*>(item.get());
        const CString kind = marker->get_Description();
        const bool isParentKind = kind == u"project" || kind == u"client";
        if (only.IsEmpty() ? isParentKind : kind != only)
            continue;
        const RecordKey key = KeyOf(kind, marker->get_RefID());
        if (!IsRecordKind(kind) || marker->get_RefID().IsEmpty())
            continue;
        // This side changed the record in this synchronisation: it is kept on both sides.
        if (sent.records.count(key) || sent.context.count(key) || referenced.count(key.second) ||
            local.SavedSince(key)) {
            if (local.IdOf(key) != 0) {
                ++summary.conflictsDeletionRefused;
                if (!sent.records.count(key) && !sent.context.count(key) && !local.SavedSince(key))
                    local.NoteKeptForReference(key);
            }
            continue;
        }
        if (local.IdOf(key) != 0 && store.RemoveRecordByRefID(CString(key.first), CString(key.second))) {
            local.Forget(key);
            removedAny = true;
            ++summary.deletionsApplied;
        }
    }
    return removedAny;
}

bool CommitDeletions(CDataHelper& store, CObArray& markers, const SentChanges& sent, LocalRecords& local,
                     CSyncSummary& summary) {
    bool removedAny = CommitDeletionsOfKind(store, markers, sent, local, CString(), summary);
    removedAny = CommitDeletionsOfKind(store, markers, sent, local, u"project", summary) || removedAny;
    return CommitDeletionsOfKind(store, markers, sent, local, u"client", summary) || removedAny;
}

// Records saved while it lives carry the given "modified" time.
class ModifiedTimeScope {
public:
    ModifiedTimeScope(CDataHelper& store, std::optional<COleDateTime> time) : m_store(store) {
        m_store.SetModifiedTimeOverride(time);
    }
    ~ModifiedTimeScope() { m_store.SetModifiedTimeOverride(std::nullopt); }
    ModifiedTimeScope(const ModifiedTimeScope&) = delete;
    ModifiedTimeScope& operator=(const ModifiedTimeScope&) = delete;

private:
    CDataHelper& m_store;
};

std::optional<COleDateTime> MetaDataTime(CDataHelper& store, const char16_t* name) {
    const CString text = store.GetMetaDataValue(name);
    if (text.IsEmpty())
        return std::nullopt;
    const COleDateTime time = CDateTimeFormatter::GetDateTimeFromDB(text);
    if (time.GetStatus() != COleDateTime::valid)
        return std::nullopt;
    return time;
}

// Records first, kind by kind, then deletions; the data file is noted for writing. A change
// file this side already committed is not applied again over what was changed since.
// Saves again each parent kept for a reference, so that it is sent; false when one could not
// be written.
bool ResaveKeptParents(const LocalRecords& local) {
    for (const RecordKey& key : local.KeptForReference()) {
        std::unique_ptr<CBaseObject> parent;
        if (key.first == u"client")
            parent = std::make_unique<CClient>();
        else
            parent = std::make_unique<CProject>();
        parent->set_ID(local.IdOf(key));
        if (!parent->Load())
            continue;
        parent->set_IsDirty(1);
        if (!parent->Save())
            return false;
    }
    return true;
}

bool ApplyRemote(CDataHelper& store, RemoteChanges& remote, const SentChanges& sent, const OwnVersions& own,
                 bool ownChangesWin, CSyncSummary& summary) {
    if (!remote.changeSet.IsEmpty() && remote.changeSet == store.GetMetaDataValue(kLastCommittedName))
        return true;
    {
        // Taken records are as old as the last synchronisation, so they are not sent back.
        ModifiedTimeScope dated(store, MetaDataTime(store, kLastSyncName));
        // Only a side that serialised in this synchronisation has saves made since.
        std::optional<COleDateTime> serialised;
        if (const COleDateTime upTo = CDateTimeFormatter::GetDateTimeFromDB(sent.upTo);
            !sent.upTo.IsEmpty() && upTo.GetStatus() == COleDateTime::valid)
            serialised = upTo;
        std::set<RecordKey> asked;
        for (auto& [kind, list] : remote.recordsByKind) {
            for (auto& item : list->Items()) {
                const auto* record = static_cast<const CBaseObject*>(item.get());
                asked.insert(KeyOf(record->get_ElemName(), record->get_RefID()));
            }
        }
        for (auto& item : remote.deletions->Items()) {
            const auto* marker = static_cast<const CBaseObject*>(item.get());
            asked.insert(KeyOf(marker->get_Description(), marker->get_RefID()));
        }
        LocalRecords local(*store.GetCurrentDataStore(), serialised, asked);
        for (auto& [kind, list] : remote.recordsByKind) {
            if (!CommitRecords(store, *list, remote, sent, ownChangesWin, local, own, summary))
                return false;
        }
        if (CommitDeletions(store, *remote.deletions, sent, local, summary) && !store.Flush())
            return false;
        // A parent kept only for a record here is in no change file the other side has seen:
        // dated now, it goes back with the next synchronisation, whatever becomes of the record.
        store.SetModifiedTimeOverride(std::nullopt);
        if (!ResaveKeptParents(local))
            return false;
    }
    if (!remote.changeSet.IsEmpty())
        return store.SetMetaDataValue(kLastCommittedName, remote.changeSet) != 0;
    return true;
}

// "lastSync" becomes the point up to which the completed synchronisation sent changes.
bool PromotePendingSync(CDataHelper& store, const SentChanges& sent) {
    const COleDateTime pending = CDateTimeFormatter::GetDateTimeFromDB(sent.upTo);
    if (sent.upTo.IsEmpty() || pending.GetStatus() != COleDateTime::valid)
        return true;
    const std::optional<COleDateTime> last = MetaDataTime(store, kLastSyncName);
    if (last && !(pending > *last))
        return true;
    return store.SetMetaDataValue(kLastSyncName, sent.upTo) != 0;
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

// A new change file identity, unique on both sides.
CString NewChangeSetId() {
    std::random_device random;
    const unsigned long long value = (static_cast<unsigned long long>(random()) << 32) ^ random();
    return CString::Formatted(u"%016llX", value);
}

// The other side reports this side's last change file committed: that synchronisation is
// complete here too (its markers go, "lastSync" moves), so nothing of it is sent again.
bool AcknowledgeDelivered(CDataHelper& store) {
    const CString committed = ChangeFileAttrib(store.GetOtherChangeFilePath(), kCommittedAttrib);
    if (committed.IsEmpty() || ChangeFileAttrib(store.GetOwnChangeFilePath(), kChangeSetAttrib) != committed)
        return true;
    SentChanges sent;
    if (!ReadSentChanges(store.GetOwnChangeFilePath(), sent))
        return false;
    DeferredFlush batch(store, DeferredFlush::WritesAndRecords);
    RemoveSentMarkers(store, sent);
    if (!PromotePendingSync(store, sent) || !batch.End())
        return false;
    return RemoveFile(store.GetOwnChangeFilePath());
}

// Adds to the own change document (current) the projects of the entries it holds and the
// clients of its projects that it does not hold itself, and names them in the root's
// "context"; false when one could not be written.
bool SerializeContext(CDataHelper& store, const std::function<bool(CBaseObject&)>& save) {
    std::set<RecordKey> held;
    std::set<std::u16string> projectRefs;
    std::set<std::u16string> clientRefs;
    {
        CMarkupArchive& changes = *store.GetCurrentDataStore();
        changes.ResetPos();
        if (changes.FindElem()) {
            while (changes.FindChildElem()) {
                const CString tag = changes.GetChildTagName();
                held.insert(KeyOf(tag, changes.GetChildAttrib(u"refId")));
                if (tag == u"projectItem")
                    projectRefs.insert(changes.GetChildAttrib(u"projectRef").str());
                else if (tag == u"project")
                    clientRefs.insert(changes.GetChildAttrib(u"clientRef").str());
            }
        }
        changes.ResetPos();
    }
    std::u16string context;
    // Each parent goes in as the data document holds it, found in one pass per kind.
    const auto addParents = [&](const char16_t* kind, const std::set<std::u16string>& refIds,
                                std::set<std::u16string>* grandParents) {
        std::vector<CString> elements;
        store.SwitchSyncPhase(CSyncHelper::SyncPhase_None);
        CMarkupArchive& data = *store.GetCurrentDataStore();
        data.ResetPos();
        if (data.FindElem()) {
            while (data.FindChildElem(kind)) {
                const RecordKey key = KeyOf(kind, data.GetChildAttrib(u"refId"));
                if (!refIds.count(key.second) || held.count(key))
                    continue;
                held.insert(key);
                elements.push_back(data.GetChildSubDoc());
                if (grandParents)
                    grandParents->insert(data.GetChildAttrib(u"clientRef").str());
                context += (context.empty() ? u"" : u" ") + key.first + u"/" + key.second;
            }
        }
        data.ResetPos();
        store.SwitchSyncPhase(CSyncHelper::SyncPhase_SerializeLocalChanges);
        for (const CString& element : elements) {
            std::unique_ptr<CBaseObject> record;
            if (std::u16string_view(kind) == u"project")
                record = std::make_unique<CProject>();
            else
                record = std::make_unique<CClient>();
            record->LoadFromXml(element);
            if (!save(*record))
                return false;
        }
        return true;
    };
    if (!addParents(u"project", projectRefs, &clientRefs) || !addParents(u"client", clientRefs, nullptr))
        return false;
    if (context.empty())
        return true;
    CMarkupArchive& changes = *store.GetCurrentDataStore();
    changes.ResetPos();
    const bool set = changes.FindElem() && changes.SetAttrib(kContextAttrib, CString(context));
    changes.ResetPos();
    return set;
}

}   // namespace

// Serialising fills the own change document from empty, and every record goes in through
// Save, which first removes an older copy of the record there. A record whose ID none saved so
// far carries has none, so its save skips the search of the growing document.
class CSyncHelper::ChangeDocumentSaves {
public:
    explicit ChangeDocumentSaves(CDataHelper& store) : m_store(store) {}

    bool Save(CBaseObject& record) {
        const bool unseen = record.get_ID() != 0 && !m_ids.count(record.get_ID());
        m_store.SetOwnChangeSearch(!unseen);
        const bool saved = record.Save() != 0;
        m_store.SetOwnChangeSearch(true);
        m_ids.insert(record.get_ID());
        return saved;
    }

private:
    CDataHelper& m_store;
    std::unordered_set<int> m_ids;   // of every element saved into the document so far
};

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
    const std::shared_ptr<void> lock = store->LockDataFile();
    if (!lock)
        return 0;
    // Now, but never before a record already saved: those are dated up to a second past the
    // stamps, and must not look newer than the synchronisation that has them.
    return store->SetMetaDataValue(kLastSyncName,
                                   CDateTimeFormatter::FormatDateTimeForDB(store->ModifiedTimeForSave()));
}

int CSyncHelper::SerializeLocalChanges() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return -1;
    // No other process writes the data file until the change file with its "upTo" is out.
    const std::shared_ptr<void> lock = store->LockDataFile();
    // The time is read from the file as reloaded, so a store that was never loaded cannot
    // make every change look older than the last synchronisation.
    if (!lock || !store->InitializeUnlessCurrent() || !AcknowledgeDelivered(*store))
        return -1;
    DetermineLastSyncDateTime();
    // Every record sent is dated at most a second past the stamps (including a change file
    // left by an unfinished synchronisation), so this point lies after all of them; every
    // later save, by any process, is dated after it while the change file exists.
    COleDateTime pending = store->ModifiedTimeForSave();
    if (const std::optional<COleDateTime> last = MetaDataTime(*store, kLastSyncName); last && !(pending > *last))
        pending = *last + COleDateTimeSpan(0, 0, 0, 1);
    // A change file of an unfinished synchronisation must not go out as this one's.
    if (!RemoveFile(store->GetOwnChangeFilePath()))
        return -1;
    DeferredFlush batch(*store);
    ChangeDocumentSaves saves(*store);
    m_summary.ClearSent();
    int count = 0;
    for (const char16_t* kind : kRecordKinds) {
        const int written = SerializeLocalChanges_Records(kind, saves);
        if (written < 0)
            return -1;
        m_summary.sent[kind] = written;
        count += written;
    }
    const int markers = SerializeLocalChanges_DeletedItems(saves);
    if (markers < 0)
        return -1;
    m_summary.deletionsSent = markers;
    {
        PhaseScope phase(*store, SyncPhase_SerializeLocalChanges);
        if (!SerializeContext(*store, [&](CBaseObject& record) { return saves.Save(record); }))
            return -1;
        CMarkupArchive& changes = *store->GetCurrentDataStore();
        changes.ResetPos();
        if (!changes.FindElem() || !changes.SetAttrib(kChangeSetAttrib, NewChangeSetId()) ||
            !changes.SetAttrib(kCommittedAttrib, store->GetMetaDataValue(kLastCommittedName)) ||
            !changes.SetAttrib(kUpToAttrib, CDateTimeFormatter::FormatDateTimeForDB(pending)))
            return -1;
        changes.ResetPos();
        // Written even with nothing to send: it carries the identities.
        store->Flush();
    }
    if (!batch.End())
        return -1;
    return count + markers;
}

int CSyncHelper::SerializeLocalChanges_Records(const CString& elemName, ChangeDocumentSaves& saves) {
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
        if (!saves.Save(*record))
            return -1;
        ++count;
    }
    return count;
}

int CSyncHelper::SerializeLocalChanges_DeletedItems(ChangeDocumentSaves& saves) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return -1;
    const std::unique_ptr<CObArray> markers(store->GetObjectList(kDeletedName));
    PhaseScope phase(*store, SyncPhase_SerializeLocalChanges);
    for (auto& item : markers->Items()) {
        if (!saves.Save(*static_cast<CBaseObject*>(item.get())))
            return -1;
    }
    return markers->GetSize();
}

int CSyncHelper::CommitRemoteChanges() {
    CDataHelper* store = UsableStore();
    const std::shared_ptr<void> lock = store ? store->LockDataFile() : nullptr;
    SentChanges sent;
    RemoteChanges remote;
    if (!lock || !ReadSentChanges(store->GetOwnChangeFilePath(), sent) || !ReadRemoteChanges(*store, remote))
        return 0;
    const OwnVersions own(*store, remote, sent);
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    m_summary.ClearReceived();
    if (!ApplyRemote(*store, remote, sent, own, m_bOwnChangesWin, m_summary))
        return 0;
    RemoveSentMarkers(*store, sent);
    if (!PromotePendingSync(*store, sent))
        return 0;
    // The change files go only once the data file holds everything they brought.
    if (!batch.End())
        return 0;
    return DeleteChangeFiles(*store) ? 1 : 0;
}

int CSyncHelper::ApplyRemoteChanges() {
    CDataHelper* store = UsableStore();
    const std::shared_ptr<void> lock = store ? store->LockDataFile() : nullptr;
    SentChanges sent;
    RemoteChanges remote;
    if (!lock || !ReadSentChanges(store->GetOwnChangeFilePath(), sent) || !ReadRemoteChanges(*store, remote))
        return 0;
    const OwnVersions own(*store, remote, sent);
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    m_summary.ClearReceived();
    if (!ApplyRemote(*store, remote, sent, own, m_bOwnChangesWin, m_summary))
        return 0;
    return batch.End();
}

int CSyncHelper::CompleteSynchronisation() {
    CDataHelper* store = UsableStore();
    const std::shared_ptr<void> lock = store ? store->LockDataFile() : nullptr;
    SentChanges sent;
    if (!lock || !ReadSentChanges(store->GetOwnChangeFilePath(), sent))
        return 0;
    DeferredFlush batch(*store, DeferredFlush::WritesAndRecords);
    RemoveSentMarkers(*store, sent);
    if (!PromotePendingSync(*store, sent) || !batch.End())
        return 0;
    return DeleteChangeFiles(*store) ? 1 : 0;
}
