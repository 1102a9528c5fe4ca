#pragma once
#include <memory>
// The stored record base: what every record kind shares, and saving into, loading from and
// deleting from the data store's current document. A record object is a transient copy of
// its element; the element is the stored state and is replaced as a whole on every save.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/Object.h"
#include "platform/OleDateTime.h"

class CMarkupArchive;
class CRecordReader;

class QUILLMAR_BIZ_EXPORT CBaseObject : public CObject {
public:
    CBaseObject();
    CBaseObject(const CBaseObject&) = default;
    CBaseObject& operator=(const CBaseObject&) = default;
    ~CBaseObject() override;

    // Writes the record as the last child of the current document's root (a new record gets
    // the next ID and, when it has none, a RefID) and writes the document to its file.
    // 1 when the file was written; 0 when it was not: the document is then back to what the
    // file holds (CDataHelper::Flush) and the record stays dirty, so Save can be tried again.
    virtual int Save();
    // Removes the record's element and leaves a deletion marker ("deleted" element) in its
    // place at the end of the document. 0 when no element carries the ID, or when the file
    // could not be written (the record and no marker stay then, in memory as on disk).
    // Record kinds with a confirmation ask the user first.
    virtual int Delete();
    // Reads the record with this object's ID back from the current document; 0 when absent.
    virtual int Load();
    // Fills the fields from one record element's markup; absent children keep their value.
    virtual void LoadFromXml(CString xml);

    int get_ID() const { return m_ID; }
    void set_ID(int id) { m_ID = id; }   // does not mark dirty
    CString get_RefID() const { return m_RefID; }
    void set_RefID(const CString& refId) { m_RefID = refId; }   // does not mark dirty
    CString get_Description() const { return m_Description; }
    void set_Description(const CString& text);
    CString get_Notes() const { return m_Notes; }
    void set_Notes(const CString& text);
    // Local time of the last save; null until the record is loaded or saved.
    COleDateTime get_ModifiedTime() const { return m_ModifiedTime; }
    int get_IsDirty() const { return m_IsDirty; }
    void set_IsDirty(int dirty) { m_IsDirty = dirty; }
    // The element name of the record's kind: "category", "client", "project", "projectItem",
    // "deleted"; empty for a plain record.
    const CString& get_ElemName() const { return *m_pElemName; }

protected:
    // `elemName` must have static storage (one name per kind, shared by all its records).
    explicit CBaseObject(const CString& elemName);
    void MakeDirty() { m_IsDirty = 1; }
    // Assigns and marks dirty when the value differs.
    template <typename T>
    void SetField(T& field, const T& value) {
        if (!(field == value)) {
            field = value;
            MakeDirty();
        }
    }

    // Save, split so that each kind adds its own part before one write to disk.
    // WriteCommonPart replaces the record's element by a new one holding the common part and
    // returns the document, positioned on the root with the new element as current child;
    // nullptr when there is no data store. FinishSave writes the document and clears the
    // dirty flag on success. The data file's lock (CDataHelper::LockDataFile) is held from
    // WriteCommonPart until FinishSave, so the record goes into the file as it then stands.
    CMarkupArchive* WriteCommonPart();
    int FinishSave();
    // Writes the document after a removal; 1 written.
    static int FinishDeletion();
    // Appends a deletion marker for a removed record to the current document, unwritten.
    static bool AppendDeletedMarker(int id, const CString& refId, const CString& kind);
    // Appends `name` with `value` to the current child when the value is not empty.
    static void AddChildIfNotEmpty(CMarkupArchive& store, const char16_t* name, const CString& value);

    // Reads the fields from a record element; derived kinds read the base part first.
    virtual void ReadRecord(const CRecordReader& reader);
    // Asks the user with resource text `textId`; true when the answer is `proceedAnswer`.
    static bool ConfirmDeletion(unsigned textId, unsigned flags, int proceedAnswer);

private:
    const CString* m_pElemName;
    int m_IsDirty = 0;
    int m_ID = 0;
    CString m_RefID;
    CString m_Description;
    CString m_Notes;
    COleDateTime m_ModifiedTime;
    std::shared_ptr<void> m_saveLock;   // held between WriteCommonPart and FinishSave
    friend class CDataHelper;           // fills records of a list straight from its document
    friend class CStoredEntry;          // builds an entry straight from its element
};

// Remembers a deleted record until the next synchronisation: the deleted record's ID and
// RefID, and its kind's element name as the Description.
class QUILLMAR_BIZ_EXPORT CDeletedMarker : public CBaseObject {
public:
    CDeletedMarker();
};
