#pragma once
// The pending edits of a record batch on the data document (CDataHelper::BeginRecordBatch):
// records saved, records and markers removed, IDs handed out and metadata values set, kept
// apart from the large document and written into it in one rewrite by Apply. Each edit is made
// with the same engine calls as on the data document itself, on a small document standing in
// for the part it touches, so Apply gives the bytes that the edits made one by one give.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/CString.h"
#include "xml/MarkupArchive.h"

class CRecordBatch {
public:
    // A batch over `data`; nullopt when the document's shape keeps its edits from being
    // gathered exactly (no root with plain children, no "metaData", a namespace prefix).
    static std::optional<CRecordBatch> Open(CMarkupArchive& data);

    // Removes the first root child whose "id" is `idText` (whatever its name), as FindObject
    // (given `elemName`) and RemoveElem do; true when one was removed.
    bool RemoveById(const CString& elemName, const CString& idText);
    // Removes the first root child named `tag` with that "refId"; true when one was removed.
    bool RemoveRecord(const CString& tag, const CString& refId);
    // Removes the first deletion marker of a record of kind `kind` with that RefID.
    bool RemoveMarker(const CString& kind, const CString& refId);

    // The document that saved records are appended to; its root stands for the data root.
    CMarkupArchive& Appended() {
        m_appendedUsed = true;
        return m_appended;
    }
    // The data document's "metaData" element as a document of its own.
    CMarkupArchive& MetaData() { return m_metaData; }

    // True once anything was removed, appended (or handed out for appending) or changed in
    // "metaData".
    bool HasEdits() const;
    // Writes every pending edit into `data` (the document the batch was opened on, unchanged
    // since); false when that failed, `data` is then as it was.
    bool Apply(CMarkupArchive& data) const;

private:
    CRecordBatch() = default;
    using TagAndRefId = std::pair<std::u16string, std::u16string>;
    // The first child of `ordinals` not removed yet, which is then removed; false when none.
    bool RemoveFirstKept(const std::vector<int>* ordinals);
    bool RemoveFirstAppended(const CString& tag, const CString& refId, const CString* description);

    std::vector<bool> m_removed;                               // per root child, document order
    std::map<std::u16string, std::vector<int>> m_byId;         // "id" text -> ordinals
    std::map<TagAndRefId, std::vector<int>> m_byTagAndRefId;   // name and "refId" -> ordinals
    std::map<TagAndRefId, std::vector<int>> m_markers;         // kind and RefID -> marker ordinals
    bool m_anyRemoved = false;
    bool m_appendedUsed = false;
    int m_metaDataOrdinal = -1;
    CString m_metaDataText;   // as read, so an unchanged one is not replaced
    CMarkupArchive m_metaData;
    CMarkupArchive m_appended;
};
