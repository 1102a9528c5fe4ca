#include "biz/DataHelper.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataFileSalvage.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/RecordReader.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace {

constexpr const char16_t* kRootName = u"quillmar";
constexpr const char16_t* kMetaDataName = u"metaData";
constexpr const char16_t* kDataFileName = u"Quillmar.dat";
constexpr const char16_t* kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

#ifdef QUILLMAR_DEVICE_BUILD
constexpr const char16_t* kOwnChangeFileName = u"device.xml";
constexpr const char16_t* kOtherChangeFileName = u"desktop.xml";
#else
constexpr const char16_t* kOwnChangeFileName = u"desktop.xml";
constexpr const char16_t* kOtherChangeFileName = u"device.xml";
#endif

bool g_recordBatchEnabled = true;

// metaData as the main element: replaces "lastId" by the next ID in its place and returns it.
// The next ID lies above both "lastId" and `highestId` (the highest ID stored), so a "lastId"
// that is missing, garbled or behind never hands out an ID that is in use; 0, and nothing
// changed, when that would go past the largest int.
int NextLastId(CMarkupArchive& document, int highestId) {
    int lastId = 0;
    const bool present = document.FindChildElem(u"lastId");
    if (present)
        lastId = CRecordReader::ScanInt(document.GetChildData());
    const int above = std::max({lastId, highestId, 0});
    if (above == std::numeric_limits<int>::max())
        return 0;
    if (present)
        document.RemoveChildElem();
    const int newId = above + 1;
    CString text;
    text.Format(u"%d", newId);
    document.AddChildElem(u"lastId", text);
    return newId;
}

// The highest "id" among the root's children; 0 when there is none.
// Device, inode, size and change time of a file; all zero when it cannot be examined. A write
// replaces the file (new inode), so any write by another process changes it.
std::array<long long, 4> FileStampOf(const CString& path) {
    struct stat info {};
    if (path.IsEmpty() || ::stat(path.ToUtf8().c_str(), &info) != 0)
        return {};
    return {static_cast<long long>(info.st_dev), static_cast<long long>(info.st_ino),
            static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec};
}

// The "upTo" of a change file's root ("" without one): only the start of the file is read,
// since the root element comes first.
CString ChangeFileUpTo(const CString& path) {
    if (path.IsEmpty())
        return CString();
    const int fd = ::open(path.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return CString();
    char head[512];
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    if (got <= 0)
        return CString();
    const std::string text(head, static_cast<size_t>(got));
    const size_t rootEnd = text.find('>');
    const size_t at = text.find(" upTo=\"");
    if (at == std::string::npos || at > rootEnd)
        return CString();
    const size_t start = at + 7;
    const size_t end = text.find('"', start);
    return end == std::string::npos ? CString() : CString::FromUtf8(text.substr(start, end - start));
}

// Most waits end within a moment (another process's save); only a longer one is worth telling.
bool LockWithinAMoment(int fd) {
    constexpr auto kMoment = std::chrono::milliseconds(300);
    const auto until = std::chrono::steady_clock::now() + kMoment;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::function<void()>& LockWaitHandler() {
    static std::function<void()> handler;
    return handler;
}

int HighestStoredId(CMarkupArchive& document) {
    int highest = 0;
    document.ResetPos();
    if (document.FindElem()) {
        while (document.FindChildElem())
            highest = std::max(highest, CRecordReader::ScanInt(document.GetChildAttrib(u"id")));
    }
    document.ResetPos();
    return highest;
}

// metaData as the main element: the value in place, or added at the end.
void ReplaceMetaDataValue(CMarkupArchive& document, const CString& name, const CString& value) {
    if (document.FindChildElem(name))
        document.RemoveChildElem();
    document.AddChildElem(name, value);
}

// The batch's metaData document with metaData as the main element.
CMarkupArchive& EnterBatchMetaData(CRecordBatch& batch) {
    CMarkupArchive& document = batch.MetaData();
    document.ResetPos();
    document.FindElem();
    return document;
}

// The record at the main position: its ModifiedTime as reading it gives it (from the first
// "modified" child; null without one) is later than `time`.
bool IsModifiedAfter(CMarkupArchive& record, const COleDateTime& time) {
    COleDateTime modified;
    modified.SetStatus(COleDateTime::null);
    record.ResetChildPos();
    if (record.FindChildElem(u"modified"))
        modified = CDateTimeFormatter::GetDateTimeFromDB(record.GetChildData());
    record.ResetChildPos();
    return modified > time;
}

CString DecimalText(int value) {
    CString text;
    text.Format(u"%d", value);
    return text;
}

std::unique_ptr<CBaseObject> CreateRecordOfKind(const CString& elemName, const COleDateTime& now) {
    if (elemName == u"project")
        return std::make_unique<CProject>();
    if (elemName == u"client")
        return std::make_unique<CClient>();
    if (elemName == u"category")
        return std::make_unique<CCategory>();
    if (elemName == u"deleted")
        return std::make_unique<CDeletedMarker>();
    if (elemName == u"projectItem")
        return std::make_unique<CProjectItem>(now);
    return std::make_unique<CBaseObject>();
}

// Sort key of an entry's date; dates that are not valid come first.
double ItemDateKey(const CObject* record) {
    const COleDateTime date = static_cast<const CProjectItem*>(record)->get_ItemDate();
    if (date.GetStatus() != COleDateTime::valid || std::isnan(date.m_dt))
        return -std::numeric_limits<double>::infinity();
    return COleDateTime::ToLinear(date.m_dt);
}

void SortEntriesByItemDate(CObArray& list) {
    auto& items = list.Items();
    std::vector<std::pair<double, std::unique_ptr<CObject>>> keyed;
    keyed.reserve(items.size());
    for (auto& item : items) {
        const double key = ItemDateKey(item.get());
        keyed.emplace_back(key, std::move(item));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        items[i] = std::move(keyed[i].second);
}

std::optional<CString> ReadAppPathSetting() {
    std::optional<CString> value = Registry::QueryString(kSettingsKey, u"AppPath");
    if (!value || value->IsEmpty())
        return std::nullopt;
    return value;
}

// "yyyymmdd-hhmmss" of the local time, for names of kept files.
CString TimeStampForFileName() {
    const COleDateTime now = Clock::LocalNow();
    CString text;
    text.Format(u"%04d%02d%02d-%02d%02d%02d", now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(),
                now.GetMinute(), now.GetSecond());
    return text;
}

// Gives `from` the new name `to` only when nothing has that name yet.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0 || (::unlink(to.c_str()), false);
    std::error_code error;
    if (std::filesystem::exists(to, error) || error)
        return false;
    std::filesystem::rename(from, to, error);
    return !error;
}

}   // namespace

CDataHelper::CDataHelper() {
    for (CMarkupArchive* document : {&m_dataStore, &m_localChanges, &m_remoteChanges})
        document->SetEncodingString(u"ISO-8859-1");
}

int CDataHelper::Initialize() {
    // The data document is reloaded; edits gathered so far go into the old one first.
    BringDataDocumentUpToDate();
    m_recordBatch.reset();
    m_strDataFilePath = DetermineDataFilePath(kDataFileName);
    StartChangeFiles();
    if (m_strDataFilePath.IsEmpty())
        return 0;
    if (LoadDataFile()) {
        MarkDocumentAsStored(PhaseData);
        m_nHighestId = HighestStoredId(m_dataStore);
        return 1;
    }
    std::error_code error;
    const bool exists = std::filesystem::exists(m_strDataFilePath.ToUtf8(), error);
    if (exists || error)
        return StartOverFromUnreadableDataFile();
    return CreateNewDataFile();
}

int CDataHelper::InitializeUnlessCurrent() {
    const bool current = !m_strDataFilePath.IsEmpty() && m_nDeferFlushDepth == 0 && !m_recordBatch &&
                         DetermineDataFilePath(kDataFileName) == m_strDataFilePath &&
                         m_dataFileStamp != std::array<long long, 4>{} &&
                         FileStampOf(m_strDataFilePath) == m_dataFileStamp && m_dataStore.IsAtCheckpoint();
    if (!current)
        return Initialize();
    StartChangeFiles();
    m_dataStore.ResetPos();
    return 1;
}

void CDataHelper::StartChangeFiles() {
    m_bRecordBatchRefused = false;
    m_localChanges.SetDoc(nullptr);
    m_localChanges.AddElem(kRootName);
    MarkDocumentAsStored(PhaseLocalChanges);
    m_strOwnChangeFilePath = DetermineDataFilePath(kOwnChangeFileName);
    m_strOtherChangeFilePath = DetermineDataFilePath(kOtherChangeFileName);
    if (m_strDataFilePath.IsEmpty())
        return;
    // Each one a whole copy of the user's data that a killed process left behind.
    for (const CString* path : {&m_strDataFilePath, &m_strOwnChangeFilePath, &m_strOtherChangeFilePath})
        RemoveStaleTempFiles(path->ToUtf8());
}

bool CDataHelper::LoadDataFile() {
    if (!m_dataStore.Load(m_strDataFilePath))
        return false;
    // A well-formed file of some other kind is no data file either.
    m_dataStore.ResetPos();
    const bool isDataFile = m_dataStore.FindElem() && m_dataStore.GetTagName() == kRootName;
    m_dataStore.ResetPos();
    return isDataFile;
}

// The user's data is never overwritten: a file that does not read stays beside the new one.
// The name it was kept under; empty when it could not be kept.
CString CDataHelper::KeepUnreadableDataFile() {
    const CString stamp = TimeStampForFileName();
    CString keptPath = m_strDataFilePath + u".unreadable-" + stamp;
    bool kept = RenameWithoutReplacing(m_strDataFilePath.ToUtf8(), keptPath.ToUtf8());
    for (int attempt = 2; !kept && attempt <= 99; ++attempt) {
        keptPath.Format(u"%s.unreadable-%s-%d", m_strDataFilePath.GetString(), stamp.GetString(), attempt);
        kept = RenameWithoutReplacing(m_strDataFilePath.ToUtf8(), keptPath.ToUtf8());
    }
    return kept ? keptPath : CString();
}

int CDataHelper::StartOverFromUnreadableDataFile() {
    const CString keptPath = KeepUnreadableDataFile();
    CString message;
    message.Format(u"The data file \"%s\" could not be read.", m_strDataFilePath.GetString());
    if (keptPath.IsEmpty()) {
        AfxMessageBox(message +
                          u" It could not be kept under another name, so it has been left as it is, and no "
                          u"data file could be opened.",
                      MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    message += CString::Formatted(u" It has been kept as \"%s\".", keptPath.GetString());
    const CDataFileSalvage salvage = CDataFileSalvage::Read(keptPath.ToUtf8());
    const int created = salvage.HasAnything() ? CreateSalvagedDataFile(salvage) : CreateNewDataFile();
    if (!created) {
        AfxMessageBox(message + u" A new data file could not be written (" +
                          CString::FromUtf8(m_lastWriteStatus.Message()) + u") No data file is open.",
                      MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    AfxMessageBox(message + u" " + SalvageReport(salvage), MB_OK | MB_ICONEXCLAMATION);
    return 1;
}

// What the user is told after the records of an unreadable file went into a new one.
CString CDataHelper::SalvageReport(const CDataFileSalvage& salvage) {
    const auto records = [](int count) {
        return CString::Formatted(count == 1 ? u"%d record" : u"%d records", count);
    };
    CString report;
    if (salvage.RecoveredCount() == 0 && !salvage.HasAnything())
        report = u"No records could be recovered from it, and a new data file with sample records has been started.";
    else
        report.Format(
            u"%s recovered from it into a new data file.",
            (records(salvage.RecoveredCount()) + (salvage.RecoveredCount() == 1 ? u" was" : u" were")).GetString());
    if (salvage.DroppedCount() > 0)
        report += u" " + records(salvage.DroppedCount()) +
                  (salvage.DroppedCount() == 1 ? u" was damaged and could not be recovered."
                                               : u" were damaged and could not be recovered.");
    const std::vector<CString>& corrections = salvage.Corrections();
    if (!corrections.empty())
        report += u"\n\nValues that the program cannot use were changed:";
    constexpr size_t kListed = 20;
    for (size_t i = 0; i < corrections.size() && i < kListed; ++i)
        report += u"\n" + corrections[i];
    if (corrections.size() > kListed)
        report += CString::Formatted(u"\n... and %d more.", static_cast<int>(corrections.size() - kListed));
    return report;
}

// The header every new data file starts with: name and value of each "metaData" child, in order.
std::vector<std::pair<CString, CString>> CDataHelper::NewMetaData() {
    CString docVer;
    docVer.Format(u"%g", 1.0);
    return {{u"docVer", docVer},
            {u"lastId", u"0"},
            {u"syncID", GenerateRefID(0)},
            {u"lastSync", CDateTimeFormatter::FormatDateTimeForDB(COleDateTime::GetCurrentTime())}};
}

int CDataHelper::CreateSalvagedDataFile(const CDataFileSalvage& salvage) {
    if (!m_dataStore.SetDoc(salvage.BuildDocument(NewMetaData())))
        return CreateNewDataFile();
    m_nHighestId = HighestStoredId(m_dataStore);
    return WriteNewDataFile();
}

int CDataHelper::CreateNewDataFile() {
    // Nothing of a failed load or of an earlier document goes into the new file.
    m_dataStore.SetDoc(nullptr);
    m_dataStore.AddElem(kRootName);
    m_dataStore.AddChildElem(kMetaDataName);
    m_dataStore.IntoElem();
    for (const auto& [name, value] : NewMetaData())
        m_dataStore.AddChildElem(name, value);
    m_dataStore.OutOfElem();
    m_nHighestId = 0;
    if (!WriteNewDataFile())
        return 0;
    CreateSampleData();
    return 1;
}

int CDataHelper::WriteNewDataFile() {
    m_lastWriteStatus = m_dataStore.SaveFile(m_strDataFilePath);
    m_nFailedWrites += m_lastWriteStatus.IsWritten() ? 0 : 1;
    if (!m_lastWriteStatus.Replaced()) {
        m_dataStore.SetDoc(nullptr);
        MarkDocumentAsStored(PhaseData);
        return 0;
    }
    MarkDocumentAsStored(PhaseData);
    return m_lastWriteStatus.IsWritten() ? 1 : 0;
}

void CDataHelper::CreateSampleData() {
    CClient client;
    client.set_RefID(u"SAMP001");
    client.set_Description(GetResString(4, 1));
    client.Save();

    CProject project;
    project.set_RefID(u"SAMP002");
    project.set_Description(GetResString(5, 1));
    project.set_ClientRef(client.get_RefID());
    project.Save();

    CCategory category;
    category.set_RefID(u"SAMP003");
    category.set_Description(GetResString(6, 1));
    category.set_Code(GetResString(7, 1));
    category.Save();
}

int CDataHelper::Flush() { return WriteDocumentOfPhase(m_nSyncPhase); }

int CDataHelper::WriteDocumentOfPhase(int phase) {
    if (phase != PhaseLocalChanges && phase != PhaseRemoteChanges)
        phase = PhaseData;
    if (m_nDeferFlushDepth > 0) {
        m_nPendingFlushPhases |= 1u << phase;
        return 1;
    }
    const CString* path = &m_strDataFilePath;
    if (phase == PhaseLocalChanges)
        path = &m_strOwnChangeFilePath;
    else if (phase == PhaseRemoteChanges)
        path = &m_strOtherChangeFilePath;
    m_lastWriteStatus = DocumentOfPhase(phase).SaveFile(*path);
    m_nFailedWrites += m_lastWriteStatus.IsWritten() ? 0 : 1;
    // Memory stays what the file holds: a write that replaced nothing takes its edits back.
    if (m_lastWriteStatus.Replaced())
        MarkDocumentAsStored(phase);
    else
        RevertDocument(phase);
    return m_lastWriteStatus.IsWritten() ? 1 : 0;
}

void CDataHelper::MarkDocumentAsStored(int phase) {
    DocumentOfPhase(phase).MarkCheckpoint();
    if (phase == PhaseData)
        m_dataFileStamp = FileStampOf(m_strDataFilePath);
}

void CDataHelper::RevertDocument(int phase) {
    if (phase == PhaseData)
        m_recordBatch.reset();
    CMarkupArchive& document = DocumentOfPhase(phase);
    if (document.IsAtCheckpoint() || document.RevertToCheckpoint())
        return;
    // What the file held did not parse either: an empty document, as after a failed load.
    document.SetDoc(nullptr);
    document.MarkCheckpoint();
}

void CDataHelper::DiscardUnwrittenChanges() {
    for (int phase : {PhaseData, PhaseLocalChanges, PhaseRemoteChanges})
        RevertDocument(phase);
    if (m_nDeferFlushDepth > 0) {
        // The writing scopes still open end without writing, and report the failure.
        m_nPendingFlushPhases = 0;
        m_bDiscarded = true;
    }
}

CString CDataHelper::GetLastWriteError() const { return CString::FromUtf8(m_lastWriteStatus.Message()); }

void CDataHelper::BeginDeferredFlush() { ++m_nDeferFlushDepth; }

int CDataHelper::EndDeferredFlush() {
    if (m_nDeferFlushDepth == 0 || --m_nDeferFlushDepth > 0)
        return 1;
    const unsigned pending = m_nPendingFlushPhases;
    m_nPendingFlushPhases = 0;
    int written = std::exchange(m_bDiscarded, false) ? 0 : 1;
    for (int phase : {PhaseData, PhaseLocalChanges, PhaseRemoteChanges}) {
        if ((pending & (1u << phase)) && !WriteDocumentOfPhase(phase))
            written = 0;
    }
    return written;
}

void CDataHelper::BeginRecordBatch() {
    BeginDeferredFlush();
    // The batch itself opens with the first record edit, so a batch with metadata alone
    // costs no scan of the document.
    if (m_nRecordBatchDepth++ == 0)
        m_bRecordBatchRefused = false;
}

int CDataHelper::EndRecordBatch() {
    if (m_nRecordBatchDepth == 0)
        return 1;
    if (--m_nRecordBatchDepth > 0)
        return EndDeferredFlush();
    BringDataDocumentUpToDate();
    m_recordBatch.reset();
    const bool failed = std::exchange(m_bRecordBatchFailed, false);
    // A document that lost edits is not written over the file that still holds its old state,
    // and goes back to that state.
    if (failed) {
        m_nPendingFlushPhases &= ~(1u << PhaseData);
        RevertDocument(PhaseData);
    }
    const int written = EndDeferredFlush();
    return failed ? 0 : written;
}

void CDataHelper::SetRecordBatchEnabled(bool enabled) { g_recordBatchEnabled = enabled; }

bool CDataHelper::GatherRecordEdits() {
    if (!m_recordBatch && m_nRecordBatchDepth > 0 && g_recordBatchEnabled && !m_bRecordBatchRefused) {
        m_recordBatch = CRecordBatch::Open(m_dataStore);
        m_bRecordBatchRefused = !m_recordBatch;
    }
    return m_recordBatch.has_value();
}

bool CDataHelper::IsDataPhase() const {
    return m_nSyncPhase != PhaseLocalChanges && m_nSyncPhase != PhaseRemoteChanges;
}

void CDataHelper::BringDataDocumentUpToDate(bool forEditing) {
    if (!m_recordBatch)
        return;
    const bool hasEdits = m_recordBatch->HasEdits();
    if (hasEdits && !m_recordBatch->Apply(m_dataStore))
        m_bRecordBatchFailed = true;
    // Opened again by the next record edit, over the document as it then stands: a caller
    // that edits the document itself would leave the batch's view of it stale.
    if (hasEdits || forEditing)
        m_recordBatch.reset();
}

int CDataHelper::RemoveObject(int id, const CString& elemName) {
    if (id == 0 || (m_nSyncPhase == PhaseLocalChanges && !m_bOwnChangeSearch))
        return 0;
    if (IsDataPhase() && GatherRecordEdits())
        return m_recordBatch->RemoveById(elemName, DecimalText(id)) ? 1 : 0;
    if (!FindObject(id, elemName))
        return 0;
    CMarkupArchive* document = GetCurrentDataStore();
    if (document == &m_dataStore)
        document->HintPreviousSibling(m_index.PreviousRecord(document->GetElemHandle()));
    return document->RemoveElem() ? 1 : 0;
}

CMarkupArchive* CDataHelper::GetDocumentForSave() {
    return IsDataPhase() && GatherRecordEdits() ? &m_recordBatch->Appended() : GetCurrentDataStore();
}

int CDataHelper::RemoveRecordByRefID(const CString& elemName, const CString& refId) {
    if (GatherRecordEdits())
        return m_recordBatch->RemoveRecord(elemName, refId) ? 1 : 0;
    m_dataStore.ResetPos();
    bool removed = false;
    if (m_dataStore.FindElem()) {
        while (!removed && m_dataStore.FindChildElem(elemName)) {
            if (m_dataStore.GetChildAttrib(u"refId") != refId)
                continue;
            m_dataStore.IntoElem();
            removed = m_dataStore.RemoveElem();
        }
    }
    m_dataStore.ResetPos();
    return removed ? 1 : 0;
}

int CDataHelper::RemoveDeletedMarker(const CString& kind, const CString& refId) {
    if (GatherRecordEdits())
        return m_recordBatch->RemoveMarker(kind, refId) ? 1 : 0;
    m_dataStore.ResetPos();
    bool removed = false;
    if (m_dataStore.FindElem()) {
        while (!removed && m_dataStore.FindChildElem(u"deleted")) {
            if (m_dataStore.GetChildAttrib(u"refId") != refId)
                continue;
            m_dataStore.IntoElem();
            const bool ofKind =
                (m_dataStore.FindChildElem(u"description") ? m_dataStore.GetChildData() : CString()) == kind;
            removed = ofKind && m_dataStore.RemoveElem();
            if (!removed)
                m_dataStore.OutOfElem();
        }
    }
    m_dataStore.ResetPos();
    return removed ? 1 : 0;
}

int CDataHelper::GenerateNewID() {
    int newId = 0;
    if (GatherRecordEdits()) {
        newId = NextLastId(EnterBatchMetaData(*m_recordBatch), m_nHighestId);
    } else {
        CMarkupArchive& document = m_dataStore;
        document.ResetPos();
        if (!document.FindElem())
            return 0;
        if (!document.FindChildElem(kMetaDataName))
            document.InsertChildElem(kMetaDataName);
        document.IntoElem();
        newId = NextLastId(document, m_nHighestId);
        document.OutOfElem();
    }
    NoteRecordID(newId);
    return newId;
}

void CDataHelper::NoteRecordID(int id) { m_nHighestId = std::max(m_nHighestId, id); }

CString CDataHelper::GenerateRefID(int id) {
    const auto lowTicks = static_cast<unsigned>(Clock::UtcFileTimeNow() & 0xFFFFFFFFu);
    CString refId;
    refId.Format(u"%X%d", lowTicks, id);
    return refId;
}

CRecordIndex* CDataHelper::DataIndex() {
    BringDataDocumentUpToDate();
    // Each lookup between a batch's edits would rewrite the document and read it all again.
    if (m_nRecordBatchDepth > 0 && m_index.NeedsFullRead(m_dataStore))
        return nullptr;
    m_index.Update(m_dataStore);
    return &m_index;
}

int CDataHelper::FindObject(int id, const CString& elemName) {
    if (id == 0)
        return 0;
    CMarkupArchive* document = GetCurrentDataStore();   // brought up to date in a record batch
    // The search below does not look at the name when it has none to compare with.
    CRecordIndex* index = document == &m_dataStore && !elemName.IsEmpty() ? DataIndex() : nullptr;
    if (index) {
        const int handle = index->FindById(DecimalText(id));
        if (handle && document->IntoRootChild(handle))
            return 1;
        if (!handle) {
            document->ResetPos();
            document->FindElem();
            return 0;
        }
    }
    document->ResetPos();
    if (!document->FindChildElemAttrib(elemName, u"id", DecimalText(id)))
        return 0;
    document->IntoElem();
    return 1;
}

CString CDataHelper::ID_To_RefID(int id, const CString& elemName) {
    if (id == 0)
        return CString();
    if (CRecordIndex* index = elemName.IsEmpty() ? nullptr : DataIndex()) {
        const int handle = index->FindById(DecimalText(id));
        const CString refId =
            handle && m_dataStore.IntoRootChild(handle) ? m_dataStore.GetAttrib(u"refId") : CString();
        m_dataStore.ResetPos();
        return refId;
    }
    BringDataDocumentUpToDate();
    m_dataStore.ResetPos();
    if (!m_dataStore.FindChildElemAttrib(elemName, u"id", DecimalText(id)))
        return CString();
    return m_dataStore.GetChildAttrib(u"refId");
}

int CDataHelper::RefID_To_ID(const CString& refId, const CString& elemName) {
    if (refId.IsEmpty())
        return 0;
    if (CRecordIndex* index = elemName.IsEmpty() ? nullptr : DataIndex()) {
        const int handle = index->FindByRefId(refId);
        const int id = handle && m_dataStore.IntoRootChild(handle) ? m_dataStore.GetAttribInt(u"id") : 0;
        m_dataStore.ResetPos();
        return id;
    }
    BringDataDocumentUpToDate();
    m_dataStore.ResetPos();
    if (!m_dataStore.FindChildElemAttrib(elemName, u"refId", refId))
        return 0;
    return m_dataStore.GetChildAttribInt(u"id");
}

CObArray* CDataHelper::GetObjectList(const CString& elemName) { return ListRecords(elemName, nullptr); }

CObArray* CDataHelper::GetObjectListModifiedAfter(const CString& elemName, const COleDateTime& time) {
    return ListRecords(elemName, &time);
}

CObArray* CDataHelper::ListRecords(const CString& elemName, const COleDateTime* modifiedAfter) {
    auto list = std::make_unique<CObArray>();
    CMarkupArchive* document = GetCurrentDataStore();
    document->ResetPos();
    const COleDateTime now = COleDateTime::GetCurrentTime();
    // An index still to be read would cost more than the one pass it saves.
    const bool indexed = document == &m_dataStore && elemName != u"projectItem" && !m_index.NeedsFullRead(m_dataStore);
    CRecordIndex* index = indexed ? DataIndex() : nullptr;
    if (index) {
        // Clients, projects and categories are few among the entries: only they are visited.
        for (int handle : index->OtherRecords()) {
            if (!document->IntoRootChild(handle) || document->GetTagName() != elemName)
                continue;
            if (!modifiedAfter || IsModifiedAfter(*document, *modifiedAfter)) {
                std::unique_ptr<CBaseObject> record = CreateRecordOfKind(elemName, now);
                record->ReadRecord(CRecordReader(*document));
                list->Add(std::move(record));
            }
        }
    } else if (document->FindElem()) {
        // Records are read where they stand rather than from a copy of their markup.
        while (document->FindChildElem(elemName)) {
            document->IntoElem();
            if (!modifiedAfter || IsModifiedAfter(*document, *modifiedAfter)) {
                std::unique_ptr<CBaseObject> record = CreateRecordOfKind(elemName, now);
                record->ReadRecord(CRecordReader(*document));
                list->Add(std::move(record));
            }
            document->OutOfElem();
        }
    }
    // Leaving records out before this stable sort keeps the others in the order it gives them.
    if (elemName == u"projectItem")
        SortEntriesByItemDate(*list);
    document->ResetPos();
    return list.release();
}

std::vector<std::unique_ptr<CProjectItem>> CDataHelper::GetEntriesInRange(const COleDateTime& from,
                                                                          const COleDateTime& to) {
    std::vector<std::unique_ptr<CProjectItem>> entries;
    ForEachEntryInRange(from, to, [&entries](const CStoredEntry& stored) {
        if (std::unique_ptr<CProjectItem> entry = stored.Build())
            entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

void CDataHelper::ForEachEntry(const std::function<bool(const CStoredEntry&)>& visit) {
    VisitEntries(nullptr, nullptr, visit);
}

void CDataHelper::ForEachEntryInRange(const COleDateTime& from, const COleDateTime& to,
                                      const std::function<bool(const CStoredEntry&)>& visit) {
    VisitEntries(&from, &to, visit);
}

void CDataHelper::VisitEntries(const COleDateTime* from, const COleDateTime* to,
                               const std::function<bool(const CStoredEntry&)>& visit) {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    CMarkupArchive* document = GetCurrentDataStore();
    CRecordIndex* index = document == &m_dataStore ? DataIndex() : nullptr;
    // A change document (or the data document amid a record batch) is read for the occasion.
    CRecordIndex readNow;
    if (!index) {
        readNow.Update(*document);
        index = &readNow;
    }
    const std::vector<int> handles = from && to ? index->EntriesInRange(*from, *to, now) : index->AllEntries(now);
    for (int handle : handles) {
        if (!visit(CStoredEntry(*document, handle, now)))
            break;
    }
    document->ResetPos();
}

CObArray* CDataHelper::GetProjectsForClient(int clientId) {
    if (clientId == 0)
        return nullptr;
    BringDataDocumentUpToDate();
    m_dataStore.ResetPos();
    if (!m_dataStore.FindChildElemAttrib(u"client", u"id", DecimalText(clientId)) ||
        m_dataStore.GetChildTagName() != u"client")
        return nullptr;
    const CString clientRef = m_dataStore.GetChildAttrib(u"refId");
    if (clientRef.IsEmpty())
        return nullptr;
    auto list = std::make_unique<CObArray>();
    m_dataStore.ResetPos();
    m_dataStore.FindElem();
    while (m_dataStore.FindChildElem(u"project")) {
        if (m_dataStore.GetChildAttrib(u"clientRef") != clientRef)
            continue;
        auto project = std::make_unique<CProject>();
        m_dataStore.IntoElem();
        static_cast<CBaseObject&>(*project).ReadRecord(CRecordReader(m_dataStore));
        m_dataStore.OutOfElem();
        list->Add(std::move(project));
    }
    m_dataStore.ResetPos();
    return list.release();
}

COleDateTime CDataHelper::ModifiedTimeForSave() {
    if (!IsDataPhase())
        return COleDateTime::GetCurrentTime();
    if (m_modifiedOverride)
        return *m_modifiedOverride;
    COleDateTime time = COleDateTime::GetCurrentTime();
    // Both change files: a process of the other build (a stand-in, a tool) calls this side's
    // file the other one; a later date than needed is harmless, an earlier one is not.
    for (const CString& text : {GetMetaDataValue(u"lastSync"), ChangeFileUpTo(m_strOwnChangeFilePath),
                                ChangeFileUpTo(m_strOtherChangeFilePath)}) {
        if (text.IsEmpty())
            continue;
        const COleDateTime stamp = CDateTimeFormatter::GetDateTimeFromDB(text);
        // Both have whole seconds; half a second absorbs the rounding of their day numbers.
        if (stamp.GetStatus() == COleDateTime::valid && (time - stamp).GetTotalSeconds() < 0.5)
            time = stamp + COleDateTimeSpan(0, 0, 0, 1);
    }
    return time;
}

void CDataHelper::SetLockWaitHandler(std::function<void()> handler) { LockWaitHandler() = std::move(handler); }

std::shared_ptr<void> CDataHelper::LockDataFile() {
    if (m_nLockDepth++ == 0 && !m_strDataFilePath.IsEmpty()) {
        m_lockFd = ::open((m_strDataFilePath.ToUtf8() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        // Without a lock file (a read-only folder) nothing can be written anyway.
        if (m_lockFd >= 0 && !LockWithinAMoment(m_lockFd)) {
            if (LockWaitHandler())
                LockWaitHandler()();
            while (::flock(m_lockFd, LOCK_EX) != 0 && errno == EINTR) {}
        }
        if (!ReloadIfWrittenElsewhere()) {
            UnlockDataFile();
            return nullptr;
        }
    }
    // The pointer only marks the handle; the deleter releases one level of the lock.
    return std::shared_ptr<void>(static_cast<void*>(this), [this](void*) { UnlockDataFile(); });
}

void CDataHelper::UnlockDataFile() {
    if (m_nLockDepth == 0 || --m_nLockDepth > 0)
        return;
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}

bool CDataHelper::ReloadIfWrittenElsewhere() {
    // Gathered edits belong to the document as loaded; a batch runs under one lock anyway.
    if (m_nDeferFlushDepth > 0 || m_recordBatch)
        return true;
    const std::array<long long, 4> stamp = FileStampOf(m_strDataFilePath);
    if (stamp == m_dataFileStamp || stamp == std::array<long long, 4>{})
        return true;
    if (!LoadDataFile()) {
        RevertDocument(PhaseData);
        return false;
    }
    MarkDocumentAsStored(PhaseData);
    m_nHighestId = std::max(m_nHighestId, HighestStoredId(m_dataStore));
    return true;
}

CString CDataHelper::GetMetaDataValue(const CString& name) {
    if (m_recordBatch) {
        CMarkupArchive& metaData = EnterBatchMetaData(*m_recordBatch);
        return metaData.FindChildElem(name) ? metaData.GetChildData() : CString();
    }
    m_dataStore.ResetPos();
    if (!m_dataStore.FindElem() || !m_dataStore.FindChildElem(kMetaDataName) || !m_dataStore.IntoElem())
        return CString();
    return m_dataStore.FindChildElem(name) ? m_dataStore.GetChildData() : CString();
}

int CDataHelper::SetMetaDataValue(const CString& name, const CString& value) {
    const std::shared_ptr<void> lock = LockDataFile();
    if (!lock)
        return 0;
    if (m_recordBatch) {
        ReplaceMetaDataValue(EnterBatchMetaData(*m_recordBatch), name, value);
        return WriteDocumentOfPhase(PhaseData);
    }
    m_dataStore.ResetPos();
    if (!m_dataStore.FindElem())
        return 0;
    if (!m_dataStore.FindChildElem(kMetaDataName))
        m_dataStore.InsertChildElem(kMetaDataName);
    m_dataStore.IntoElem();
    ReplaceMetaDataValue(m_dataStore, name, value);
    m_dataStore.OutOfElem();
    // The value lives in the data document, so that is the file to write whatever the phase.
    return WriteDocumentOfPhase(PhaseData);
}

CMarkupArchive& CDataHelper::DocumentOfPhase(int phase) {
    switch (phase) {
    case PhaseLocalChanges: return m_localChanges;
    case PhaseRemoteChanges: return m_remoteChanges;
    default: return m_dataStore;
    }
}

CMarkupArchive* CDataHelper::GetCurrentDataStore() {
    if (IsDataPhase())
        BringDataDocumentUpToDate(true);
    return &DocumentOfPhase(m_nSyncPhase);
}

int CDataHelper::SwitchSyncPhase(int phase) {
    m_nSyncPhase = phase;
    if (phase == PhaseRemoteChanges) {
        const bool loaded = m_remoteChanges.Load(m_strOtherChangeFilePath);
        MarkDocumentAsStored(PhaseRemoteChanges);
        if (!loaded) {
            m_nSyncPhase = PhaseData;
            return 0;
        }
    }
    return 1;
}

CString CDataHelper::GetAppPathUsingRegistry() {
    const std::optional<CString> folder = ReadAppPathSetting();
    return folder ? *folder + u"/" : CString(u"/");
}

CString CDataHelper::DetermineDataFilePath(const CString& fileName) {
#ifdef QUILLMAR_DEVICE_BUILD
    // Without its "AppPath" the device has no program folder; the file system's root is not one.
    const std::optional<CString> folder = ReadAppPathSetting();
    if (!folder)
        return CString();
    // Names in the device's program folder match without regard to case.
    const std::optional<std::string> path = ResolveNameNoCase(folder->ToUtf8(), fileName.ToUtf8());
    return path ? CString::FromUtf8(*path) : CString();
#else
    const std::string folder = GetDesktopDataFolder();
    if (folder.empty())
        return CString();
    return CString::FromUtf8(folder) + u"/" + fileName;
#endif
}
