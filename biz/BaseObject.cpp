#include "biz/BaseObject.h"

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/RecordReader.h"
#include "platform/MessageBox.h"
#include "xml/MarkupArchive.h"

namespace {

constexpr const char16_t* kDeletedElemName = u"deleted";

const CString& NoElemName() {
    static const CString name;
    return name;
}

const CString& DeletedElemName() {
    static const CString name(kDeletedElemName);
    return name;
}

// The current document of the process's store, positioned inside the record with `id`
// when an element of kind `elemName` carries it; nullptr otherwise. A deletion marker keeps
// the ID of the record it replaced, so the kind is checked: a deleted project does not load
// as a project.
CMarkupArchive* FindOwnElement(int id, const CString& elemName) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store || !store->FindObject(id, elemName))
        return nullptr;
    CMarkupArchive* document = store->GetCurrentDataStore();
    if (!elemName.IsEmpty() && document->GetTagName() != elemName)
        return nullptr;
    return document;
}

}   // namespace

CBaseObject::CBaseObject() : m_pElemName(&NoElemName()) { m_ModifiedTime.SetStatus(COleDateTime::null); }

CBaseObject::CBaseObject(const CString& elemName) : CBaseObject() { m_pElemName = &elemName; }

CBaseObject::~CBaseObject() = default;

void CBaseObject::set_Description(const CString& text) { SetField(m_Description, text); }

void CBaseObject::set_Notes(const CString& text) { SetField(m_Notes, text); }

int CBaseObject::Save() {
    if (!WriteCommonPart())
        return 0;
    return FinishSave();
}

CMarkupArchive* CBaseObject::WriteCommonPart() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return nullptr;
    m_saveLock = store->LockDataFile();
    if (!m_saveLock)
        return nullptr;
    const bool isMarker = get_ElemName() == kDeletedElemName;
    // Read before the document is positioned for writing: it looks up metadata.
    const COleDateTime modified = store->ModifiedTimeForSave();
    if (!isMarker) {
        if (m_ID != 0) {
            store->RemoveObject(m_ID, get_ElemName());
        } else {
            const int newId = store->GenerateNewID();
            if (newId == 0) {
                m_saveLock.reset();
                return nullptr;
            }
            m_ID = newId;
            if (m_RefID.IsEmpty())
                m_RefID = store->GenerateRefID(m_ID);
        }
    }
    store->NoteRecordID(m_ID);
    CMarkupArchive* document = store->GetDocumentForSave();
    document->ResetPos();
    if (!document->FindElem() || !document->AddChildElem(get_ElemName())) {
        // The old element may be gone already: nothing of this save stays.
        store->DiscardUnwrittenChanges();
        m_saveLock.reset();
        return nullptr;
    }
    document->SetChildAttrib(u"id", m_ID);
    document->SetChildAttrib(u"refId", m_RefID);
    document->IntoElem();
    AddChildIfNotEmpty(*document, u"description", m_Description);
    if (!isMarker) {
        AddChildIfNotEmpty(*document, u"notes", m_Notes);
        m_ModifiedTime = modified;
        document->AddChildElem(u"modified", CDateTimeFormatter::FormatDateTimeForDB(m_ModifiedTime));
    }
    document->OutOfElem();
    return document;
}

int CBaseObject::FinishSave() {
    const std::shared_ptr<void> lock = std::move(m_saveLock);
    CDataHelper* store = GetCurrDataHelper();
    if (!store || !store->Flush())
        return 0;
    m_IsDirty = 0;
    return 1;
}

void CBaseObject::AddChildIfNotEmpty(CMarkupArchive& document, const char16_t* name, const CString& value) {
    if (!value.IsEmpty())
        document.AddChildElem(name, value);
}

int CBaseObject::Delete() {
    CDataHelper* store = GetCurrDataHelper();
    const std::shared_ptr<void> lock = store ? store->LockDataFile() : nullptr;
    if (!lock)
        return 0;
    CMarkupArchive* document = FindOwnElement(m_ID, get_ElemName());
    if (!document)
        return 0;
    // The marker carries the stored RefID, which the other side matches by, even when this
    // object was given only its ID.
    const CString storedRefId = document->GetAttrib(u"refId");
    document->RemoveElem();
    document->ResetPos();
    document->FindElem();
    if (get_ElemName() == kDeletedElemName)
        return FinishDeletion();
    // The removal and its marker reach the file in one write, so the other side can never
    // miss a deletion that this side has already made.
    if (!AppendDeletedMarker(m_ID, storedRefId.IsEmpty() ? m_RefID : storedRefId, get_ElemName())) {
        GetCurrDataHelper()->DiscardUnwrittenChanges();
        return 0;
    }
    return FinishDeletion();
}

bool CBaseObject::AppendDeletedMarker(int id, const CString& refId, const CString& kind) {
    CDeletedMarker marker;
    marker.set_ID(id);
    marker.set_RefID(refId);
    marker.set_Description(kind);
    return marker.WriteCommonPart() != nullptr;
}

int CBaseObject::FinishDeletion() {
    CDataHelper* store = GetCurrDataHelper();
    return store && store->Flush() ? 1 : 0;
}

int CBaseObject::Load() {
    CMarkupArchive* document = FindOwnElement(m_ID, get_ElemName());
    if (!document)
        return 0;
    ReadRecord(CRecordReader(*document));
    m_IsDirty = 0;
    return 1;
}

void CBaseObject::LoadFromXml(CString xml) {
    CMarkupArchive archive;
    if (!archive.OpenString(xml) || !archive.FindElem())
        return;
    ReadRecord(CRecordReader(archive));
}

void CBaseObject::ReadRecord(const CRecordReader& reader) {
    m_ID = reader.AttribInt(u"id");
    m_RefID = reader.Attrib(u"refId");
    reader.Text(u"description", m_Description);
    reader.Text(u"notes", m_Notes);
    reader.DateTime(u"modified", m_ModifiedTime);
}

bool CBaseObject::ConfirmDeletion(unsigned textId, unsigned flags, int proceedAnswer) {
    return AfxMessageBox(GetResString(textId, 1), flags) == proceedAnswer;
}

CDeletedMarker::CDeletedMarker() : CBaseObject(DeletedElemName()) {}
