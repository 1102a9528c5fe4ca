#pragma once
// The process's one data store: the data file held in memory as one markup document, the
// record identifiers and metadata, and, during synchronisation, the two change documents.
// Records save into and read from whichever document is current (GetCurrentDataStore).
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "biz/BizExport.h"
#include "biz/RecordBatch.h"
#include "biz/RecordIndex.h"
#include "biz/StoredEntry.h"
#include "platform/CString.h"
#include "platform/ObArray.h"
#include "platform/OleDateTime.h"
#include "platform/WriteStatus.h"
#include "xml/MarkupArchive.h"

class CDataFileSalvage;
class CProjectItem;

class QUILLMAR_BIZ_EXPORT CDataHelper {
public:
    // Values of the synchronisation phase (the same numbers as CSyncHelper::SyncPhase):
    // 0 data document, 1 local change document, 2 remote change document; any other value
    // selects the data document.
    enum : int { PhaseData = 0, PhaseLocalChanges = 1, PhaseRemoteChanges = 2 };

    CDataHelper();
    CDataHelper(const CDataHelper&) = default;
    CDataHelper& operator=(const CDataHelper&) = default;

    // Loads the data file, or creates one with three sample records when there is none.
    // Temporary files that interrupted writes of the data and change files left behind are
    // removed first. A data file that exists but cannot be read is never overwritten: it is
    // kept beside as "Quillmar.dat.unreadable-<yyyymmdd>-<hhmmss>", and the new file takes
    // every complete record and readable metadata value it still holds (CDataFileSalvage;
    // sample records only when it held nothing); a message box tells the user how many records
    // were recovered and dropped, which values were changed, and where the file was kept.
    // 1 ready; 0 when no usable data file could be had (a new file could not be written, the
    // unreadable one could not be kept, or, on the device, the "AppPath" setting is missing).
    int Initialize();
    // Initialize, without reading the data file again when this store holds it as it was last
    // read or written and no process has written it since (the test LockDataFile reloads by);
    // the own change document starts empty and leftovers of interrupted writes go all the same.
    int InitializeUnlessCurrent();
    // Writes the current document to its file atomically. 1 written. 0 not written: the old
    // file is left as it was and the document goes back to what the file holds, so a change
    // that failed never reaches the file with a later write. 0 also when the new file is in
    // place but its folder could not be flushed to disk; the document then stays as written.
    // GetLastWriteError says why.
    int Flush();
    // What the last failed write of a document met, as a sentence for the user; empty after a
    // write that succeeded.
    CString GetLastWriteError() const;
    // How many writes of a document have failed since the store was made; a command compares
    // it before and after to tell a failed write from one that did not write at all.
    unsigned GetFailedWriteCount() const { return m_nFailedWrites; }
    // Takes back every change of the documents that has not reached their files (a record
    // operation that failed half-way). Inside BeginDeferredFlush or BeginRecordBatch, whatever
    // was gathered goes too, and the outermost End then writes nothing and returns 0.
    void DiscardUnwrittenChanges();

    // Batched writing for synchronisation. Between BeginDeferredFlush and EndDeferredFlush,
    // Flush and SetMetaDataValue only note which documents changed; EndDeferredFlush then
    // writes each noted document once, giving the same bytes as writing after every change.
    // Calls nest; the outermost End writes. Initialize and SwitchSyncPhase to the remote
    // change document must not run in between (they replace documents that may be pending).
    void BeginDeferredFlush();
    // 1 when every noted document was written (or none was noted), 0 otherwise.
    int EndDeferredFlush();

    // Record batch on the data document, for applying many records at once (synchronisation).
    // Between BeginRecordBatch and EndRecordBatch, what record saves, RemoveObject,
    // RemoveRecordByRefID, RemoveDeletedMarker, GenerateNewID and the metadata values do to the
    // data document is gathered and written into it in one rewrite at EndRecordBatch, giving the
    // same document as doing it one by one; writing the file is deferred as between
    // BeginDeferredFlush and EndDeferredFlush. Anything else that reads the data document
    // (GetCurrentDataStore, FindObject, lookups, lists) first brings it up to date, so nothing
    // sees it stale. A document of a shape that does not allow this (see
    // CMarkup::HasPlainChildren) is edited one by one. Calls nest; the outermost End writes.
    void BeginRecordBatch();
    // 1 when the edits went into the document and every noted document was written.
    int EndRecordBatch();
    // Off: BeginRecordBatch only defers writing (for comparing both ways in tests). On by default.
    static void SetRecordBatchEnabled(bool enabled);

    // Removes the element of the current document that FindObject(id, elemName) finds;
    // 1 removed, 0 none found.
    int RemoveObject(int id, const CString& elemName);
    // Off: RemoveObject in the own change document looks for nothing and answers 0, for a caller
    // that knows no element there carries the ID (serialising, which fills the document from
    // empty, would otherwise search it once per record). On by default.
    void SetOwnChangeSearch(bool on) { m_bOwnChangeSearch = on; }
    // The document a record's Save appends to: the current one (or, in a record batch on the
    // data document, the batch's stand-in for its root).
    CMarkupArchive* GetDocumentForSave();
    // Data document: removes the first root child named `elemName` whose "refId" is `refId`;
    // 1 removed, 0 none found.
    int RemoveRecordByRefID(const CString& elemName, const CString& refId);
    // Data document: removes the first deletion marker ("deleted" whose "description" is
    // `kind`) with that RefID; 1 removed, 0 none found.
    int RemoveDeletedMarker(const CString& kind, const CString& refId);

    // The next record ID, above both the "lastId" metadata of the data document and every ID
    // stored or handed out since the data file was loaded (whatever the phase), and kept in
    // "lastId" (written with the next write of the data file). 0 when no ID is left below the
    // largest int; nothing is changed then.
    int GenerateNewID();
    // A record is stored under `id`: GenerateNewID will hand out only IDs above it.
    void NoteRecordID(int id);
    // Low 32 bits of the UTC file time in upper-case hexadecimal, then `id` in decimal.
    CString GenerateRefID(int id);
    // Positions the current document inside the first root child whose "id" is `id` (whatever
    // its element name, so a deleted record's ID finds its marker). 1 found, 0 not.
    int FindObject(int id, const CString& elemName);
    // Data document lookups; "" respectively 0 when not found.
    CString ID_To_RefID(int id, const CString& elemName);
    int RefID_To_ID(const CString& refId, const CString& elemName);

    // New list of new records of that kind from the current document; the caller owns both
    // (DisposeObArray). Entries ("projectItem") come ordered by item date, equal dates in
    // document order; other kinds in document order. Never null.
    CObArray* GetObjectList(const CString& elemName);
    // GetObjectList without the records whose ModifiedTime is not later than `time` (null
    // when they have no "modified"): the others in the same order, the left-out ones not built.
    CObArray* GetObjectListModifiedAfter(const CString& elemName, const COleDateTime& time);
    // Entries of the current document whose item date lies in [from, to] (compared as
    // CProjectItemFilter compares them), in GetObjectList's order (by item date, equal dates in
    // document order). On the data document only these entries are built: the store keeps an
    // index of the records by date, ID and RefID (CRecordIndex) current with every edit.
    std::vector<std::unique_ptr<CProjectItem>> GetEntriesInRange(const COleDateTime& from, const COleDateTime& to);
    // Calls `visit` for each entry of the current document in the same order, all of them or
    // those in [from, to], without building any record until the visitor asks (CStoredEntry);
    // `visit` returns false to stop. The visitor must not change the store.
    void ForEachEntry(const std::function<bool(const CStoredEntry&)>& visit);
    void ForEachEntryInRange(const COleDateTime& from, const COleDateTime& to,
                             const std::function<bool(const CStoredEntry&)>& visit);

    // New list of the client's projects from the data document; nullptr when `clientId` is
    // not a stored client.
    CObArray* GetProjectsForClient(int clientId);

    // The time a record saved now is stamped with: the current local time, but always later
    // than the data file's "lastSync" and than the "upTo" of the change files while they exist (the points up to which this side's changes were sent, respectively are being
    // sent), whichever process stamped them: stamps
    // have whole seconds, so a record changed in the stamp's second would otherwise never be
    // sent. While SetModifiedTimeOverride holds a time, records of the data document get that.
    COleDateTime ModifiedTimeForSave();
    void SetModifiedTimeOverride(std::optional<COleDateTime> time) { m_modifiedOverride = time; }

    // Cross-process writing. While the returned handle lives, this process holds the exclusive
    // lock of the data file (a lock file beside it, "Quillmar.dat.lock"), so no other process
    // writes the file meanwhile; handles nest. Taking the lock first reloads the data document
    // when another process wrote the file since this one last read or wrote it, so a change
    // made under the lock goes into the file as it now is and never over it. Null (nothing
    // held) when the file was changed elsewhere and can no longer be read.
    std::shared_ptr<void> LockDataFile();
    // Told (once per wait) when the lock is held elsewhere and this process has to wait, so a
    // program can tell its user; empty by default.
    static void SetLockWaitHandler(std::function<void()> handler);

    // A "metaData" value of the data document; "" when absent.
    CString GetMetaDataValue(const CString& name);
    // Replaces the value in place (or adds it at the end) and writes the file; 1 written.
    int SetMetaDataValue(const CString& name, const CString& value);

    // The document of the current phase.
    CMarkupArchive* GetCurrentDataStore();
    // Switches the current document. Phase 2 loads the other side's change file; when that
    // fails the phase goes back to 0 and the result is 0. 1 otherwise.
    int SwitchSyncPhase(int phase);
    int GetSyncPhase() const { return m_nSyncPhase; }

    // Full paths set by Initialize: the data file, this side's change file (desktop
    // "desktop.xml", device "device.xml") and the other side's.
    const CString& GetDataFilePath() const { return m_strDataFilePath; }
    const CString& GetOwnChangeFilePath() const { return m_strOwnChangeFilePath; }
    const CString& GetOtherChangeFilePath() const { return m_strOtherChangeFilePath; }

    // The device's program folder: registry value "AppPath" of
    // HKCU\Software\Kestovar\Quillmar\Settings followed by "/"; "/" alone when it is missing.
    static CString GetAppPathUsingRegistry();

private:
    // The folder of this build's data followed by the file name; "" when there is no folder.
    CString DetermineDataFilePath(const CString& fileName);
    void CreateSampleData();
    int CreateNewDataFile();
    int CreateSalvagedDataFile(const CDataFileSalvage& salvage);
    // Writes the data document as the new data file; on failure the document is emptied.
    int WriteNewDataFile();
    std::vector<std::pair<CString, CString>> NewMetaData();
    int StartOverFromUnreadableDataFile();
    static CString SalvageReport(const CDataFileSalvage& salvage);
    CString KeepUnreadableDataFile();
    bool LoadDataFile();
    // An empty own change document, the change files' paths, and no temporary files left behind.
    void StartChangeFiles();
    // The document of `phase` as its file holds it (what RevertDocument goes back to).
    void MarkDocumentAsStored(int phase);
    void RevertDocument(int phase);
    CMarkupArchive& DocumentOfPhase(int phase);
    // Writes the document of `phase` to its file, or notes it while writing is deferred.
    int WriteDocumentOfPhase(int phase);

    // The index of the data document, brought up to date; null while a record batch would make
    // every lookup read the whole document again (the plain search serves then).
    CRecordIndex* DataIndex();
    // ForEachEntry's work: `handles` of the data document, or a plain pass over a change document.
    void VisitEntries(const COleDateTime* from, const COleDateTime* to,
                      const std::function<bool(const CStoredEntry&)>& visit);
    // GetObjectList, leaving out records not modified after `*modifiedAfter` when given.
    CObArray* ListRecords(const CString& elemName, const COleDateTime* modifiedAfter);
    bool IsDataPhase() const;
    // Opens the record batch on first use inside BeginRecordBatch; true when edits of the data
    // document are being gathered (false outside a batch or for a shape it cannot gather).
    bool GatherRecordEdits();
    // Writes the gathered edits into the data document; the batch opens again on the next
    // edit. `forEditing`: the caller may change the document itself, so the batch is closed
    // even when it had nothing to write.
    void BringDataDocumentUpToDate(bool forEditing = false);

    int m_nSyncPhase = PhaseData;
    bool m_bOwnChangeSearch = true;
    CRecordIndex m_index;   // of m_dataStore
    CMarkupArchive m_dataStore;
    CMarkupArchive m_localChanges;
    CMarkupArchive m_remoteChanges;
    CString m_strOwnChangeFilePath;
    CString m_strOtherChangeFilePath;
    CString m_strDataFilePath;
    int m_nDeferFlushDepth = 0;
    unsigned m_nPendingFlushPhases = 0;   // bit (1 << phase) per document awaiting its write
    int m_nRecordBatchDepth = 0;
    std::optional<CRecordBatch> m_recordBatch;   // open while edits are being gathered
    bool m_bRecordBatchFailed = false;           // edits that could not be written in
    bool m_bRecordBatchRefused = false;          // the document's shape needs edits one by one
    std::optional<COleDateTime> m_modifiedOverride;
    // The data file as this process last read or wrote it (device, inode, size, change time),
    // to tell whether another process wrote it since.
    std::array<long long, 4> m_dataFileStamp{};
    int m_nLockDepth = 0;
    int m_lockFd = -1;
    void UnlockDataFile();
    // Reloads the data document when another process wrote the file; false when it cannot.
    bool ReloadIfWrittenElsewhere();
    bool m_bDiscarded = false;   // DiscardUnwrittenChanges ran inside a deferred write
    int m_nHighestId = 0;        // highest ID stored or handed out since the file was loaded
    WriteStatus m_lastWriteStatus;
    unsigned m_nFailedWrites = 0;
};

// The data store of this process (owned by the library's application object).
QUILLMAR_BIZ_EXPORT CDataHelper* GetCurrDataHelper();
