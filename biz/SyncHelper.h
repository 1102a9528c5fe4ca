#pragma once
// Change files: this side's records and deletions since its last synchronisation go into its
// own change file ("desktop.xml" on the desktop, "device.xml" on the device); the other side's
// change file is committed into this side's data file. The same code runs in both builds, on
// the process's data store (GetCurrDataHelper). A CSyncHelper lives for one synchronisation.
#include "biz/BizExport.h"
#include "biz/SyncSummary.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"
#ifndef QUILLMAR_DEVICE_BUILD
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "biz/DataFileSummary.h"
#endif

class QUILLMAR_BIZ_EXPORT CSyncHelper {
public:
    // Which document of the data store is current (CDataHelper::SwitchSyncPhase).
    enum SyncPhase : int {
        SyncPhase_None = 0,                    // the data document
        SyncPhase_SerializeLocalChanges = 1,   // this side's change document
        SyncPhase_CommitRemoteChanges = 2,     // the other side's change document
    };

    // LastSyncTime starts at the current local time. The desktop build lets its own changes
    // win conflicts, the device build does not (see set_OwnChangesWin).
    CSyncHelper();
    CSyncHelper(const CSyncHelper&) = default;
    CSyncHelper& operator=(const CSyncHelper&) = default;
    virtual ~CSyncHelper();

    // Under the data file's lock: reloads the data file; when the other side's change file
    // reports this side's previous change file committed, completes that synchronisation
    // first; then writes into the own change file every record saved after "lastSync", the
    // project and client of each (named as "context" in the root) and every deletion marker,
    // in the order clients, projects, categories, entries, deletions. The file is written once,
    // also with nothing to send: its root carries its identity ("changeSet"), the identity of
    // the last change file this side committed ("committed") and "upTo", a point after every
    // record sent; while it exists every save, by any process, is dated after that point. The
    // markers stay in the data file until the commit that completes this synchronisation, so a
    // synchronisation that stops sends them again when repeated. Returns the number of records
    // and markers written (parents sent along not counted); -1 when the data store is not
    // usable or a file could not be written or a stale one removed.
    int SerializeLocalChanges();

    // ApplyRemoteChanges and CompleteSynchronisation with one write of the data file.
    // 1 done. 0 when the data store is not usable, a change file exists but cannot be read,
    // or a file could not be written or removed; the change files are kept then, so the
    // commit can be repeated.
    int CommitRemoteChanges();
    // First half of a commit, under the data file's lock: the other side's records and
    // deletions go into the data file, which is written once. A change file this side already
    // committed (its identity is the remembered "lastCommittedChanges") is not applied again.
    // Records taken are dated "lastSync", so they are not sent back. A record saved here since
    // this side serialised is kept (it goes next time); a project or client that a record here
    // still refers to, or that the own change file sent along, is not deleted. The change
    // files, the markers and "lastSync" stay as they are, so a driver can complete only once
    // the other side has committed too. No other change file means nothing to commit (1).
    // 0 as for CommitRemoteChanges.
    int ApplyRemoteChanges();
    // Second half: removes the markers that the own change file sent, moves "lastSync" to the
    // own change file's "upTo" (not when nothing was serialised), writes the data file, then
    // deletes the other side's change file and the own one. 1 done, 0 as for CommitRemoteChanges.
    int CompleteSynchronisation();
    // Sets "lastSync" to now (never before a record already saved) and writes the data file;
    // 1 written, 0 not.
    int UpdateLastSyncDateTime();

    // Conflict rule for a record that both change files hold: when true, this side keeps its
    // own version and leaves out the other side's (so the other side, committing with false,
    // takes this side's version and both end the same). Exactly one side of a partnership
    // must use true: the desktop.
    bool get_OwnChangesWin() const { return m_bOwnChangesWin; }
    void set_OwnChangesWin(bool ownChangesWin) { m_bOwnChangesWin = ownChangesWin; }

    // The last synchronisation time read by SerializeLocalChanges.
    COleDateTime get_LastSyncTime() const { return LastSyncTime; }

    // What this helper's last SerializeLocalChanges sent and its last commit of the other
    // side's changes did here.
    const CSyncSummary& GetSummary() const { return m_summary; }

private:
    // LastSyncTime from the data file's "lastSync"; now when there is none.
    void DetermineLastSyncDateTime();
    // Saves records into the own change document as serialising fills it (SyncHelper.cpp).
    class ChangeDocumentSaves;
    // Writes the records of one kind saved after LastSyncTime into the own change document;
    // their number, -1 when the data store is not usable.
    int SerializeLocalChanges_Records(const CString& elemName, ChangeDocumentSaves& saves);
    // Writes every deletion marker of the data document into the own change document.
    int SerializeLocalChanges_DeletedItems(ChangeDocumentSaves& saves);

    COleDateTime LastSyncTime;
    bool m_bOwnChangesWin;
    CSyncSummary m_summary;

#ifndef QUILLMAR_DEVICE_BUILD
    // Desktop build only (SyncHelperDesktop.cpp): the device, reached over the connection of
    // connection. Every operation answers 1 when its step was done and 0 when it failed,
    // with the reason in GetLastErrorText; a lost connection fails the step that met it.
public:
    // The steps of a regular synchronisation, in the order PerformRegularSync runs them.
    enum SyncStep : int {
        SyncStep_VerifyPartnership = 0,
        SyncStep_Announce = 1,           // the device learns which change file this side committed last
        SyncStep_DeviceSerialize = 2,    // the device writes "device.xml"
        SyncStep_Receive = 3,            // "device.xml" comes here
        SyncStep_DesktopSerialize = 4,   // this computer writes "desktop.xml"
        SyncStep_Send = 5,               // "desktop.xml" goes to the device
        SyncStep_DesktopApply = 6,       // the device's changes go into the data file here
        SyncStep_DeviceCommit = 7,       // the device commits this computer's changes
        SyncStep_DesktopComplete = 8,    // change files and sent markers go, "lastSync" moves
    };
    // What PerformRegularSync answers.
    enum SyncResult : int {
        SyncResult_Failed = 0,
        SyncResult_Done = 1,
        SyncResult_NotPartners = 2,   // nothing was changed; a full synchronisation is needed
    };

    // Connects to the device (15 s at most) and reads the device's program folder.
    int Initialize();
    // 1 when the device's data file has this data file's "syncID"; 0 when not, or when the
    // device could not be asked (GetLastErrorText is then not empty).
    int VerifyPartnership();
    // The triggers run the device's half through the "Sync" library's exports.
    int TriggerDeviceSide_SerializeLocalChanges();
    int TriggerDeviceSide_CommitRemoteChanges();
    // "desktop.xml" goes to the device, "device.xml" comes here. A side without a change file
    // makes the other side's copy empty, so a file left by an unfinished synchronisation is
    // never committed as this one's.
    int ExchangeChangeFiles();
    // direction != 0: this data file replaces the device's; 0: the device's replaces this one
    // and the data store is reloaded from it.
    int PerformFullSync(int direction);
    // After Initialize: what the device's data file holds, read from a copy fetched into a
    // temporary file; nothing when it could not be fetched or read.
    std::optional<CDataFileSummary> ReadDeviceDataSummary();
    // After Initialize: the regular synchronisation as one call, the one the program, the
    // tests and the benchmark run. The device first learns which of its change files this side
    // committed last and this side receives the device's change file before serialising, so
    // each side completes a synchronisation the other finished before sending again. The
    // device's changes are applied here before the device commits, and this side's "lastSync"
    // moves only after the device reported its commit done, so a synchronisation stopped at any
    // step and then repeated in full leaves both sides with the same records and loses no
    // edit. `beforeStep` (may be empty) is told each step before it runs. A SyncResult.
    int PerformRegularSync(const std::function<void(SyncStep)>& beforeStep = {});
    // Why the last failed operation failed, in the user's words, with what to do; empty after
    // a success. Technical details (exports, codes) go to the log (standard error) instead.
    const CString& GetLastErrorText() const { return m_strLastError; }

private:
    int TriggerDeviceSide_UpdateLastSyncDateTime();
    // The device's "syncID"; "" when it has none or could not be asked.
    CString GetDeviceSyncID();
    // The device's "AppPath" registry value; "" when it cannot be read.
    CString GetAppPathOnDevice();
    // Copies in chunks of 8192 bytes. 1 copied; 0 failed (the target keeps its old content);
    // -1 when the source does not exist.
    int CopyLocalFileToRemote(const CString& devicePath, const CString& localPath);
    int CopyRemoteFileToLocal(const CString& devicePath, const CString& localPath);
    // Writes an empty change document at the device path; 1 written. `committed`, when not
    // empty, is the identity of the device's change file this side committed last.
    int PutEmptyChangeFileOnDevice(const CString& devicePath, const CString& committed = CString());
    // The halves of ExchangeChangeFiles.
    int SendOwnChangeFile();
    int ReceiveOtherChangeFile();
    // Puts the words for the user in place of a failed step's reason, which goes to the log.
    int FailStep(SyncStep step);
    // Runs an export of the device's "Sync" library. The answer, when asked for, is the
    // caller's to release with LocalFree. 1 when the export ran and reported success.
    int DoCeRapiInvoke(const CString& functionName, uint8_t** ppOutput, uint32_t* pcbOutput = nullptr);
    // Records the reason of a failed step (with what the connection said) and answers 0;
    // FailOnDevice adds the device's error code when the connection itself was fine.
    int Fail(const CString& what);
    int FailOnDevice(const CString& what);
    static std::shared_ptr<void> OpenConnectionScope();

    CString DeviceAppPath;   // the device's program folder followed by "\"; empty before Initialize
    CString m_strLastError;
    // Ends the device connection (CeRapiUninit) when the last copy of this helper goes,
    // whether or not Initialize succeeded.
    std::shared_ptr<void> m_connectionScope = OpenConnectionScope();
#endif
};
