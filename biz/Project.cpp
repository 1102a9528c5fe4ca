#include "biz/Project.h"

#include <memory>

#include <utility>
#include <vector>

#include "biz/DataHelper.h"
#include "biz/RecordReader.h"
#include "platform/MessageBox.h"
#include "xml/MarkupArchive.h"

namespace {

struct RemovedEntry {
    int id;
    CString refId;
};

// Takes every entry of the project out of the document, in document order.
std::vector<RemovedEntry> RemoveEntriesOfProject(CMarkupArchive& document, const CString& projectRef) {
    std::vector<RemovedEntry> removed;
    document.ResetPos();
    while (document.FindChildElemAttrib(u"projectItem", u"projectRef", projectRef)) {
        removed.push_back({CRecordReader::ScanInt(document.GetChildAttrib(u"id")), document.GetChildAttrib(u"refId")});
        document.IntoElem();
        document.RemoveElem();
        document.OutOfElem();
    }
    return removed;
}

const CString& ElemNameOfKind() {
    static const CString name(u"project");
    return name;
}

}   // namespace

CProject::CProject() : CBaseObject(ElemNameOfKind()) {}

int CProject::Save() {
    CMarkupArchive* document = WriteCommonPart();
    if (!document)
        return 0;
    if (!m_ClientRef.IsEmpty())
        document->SetChildAttrib(u"clientRef", m_ClientRef);
    return FinishSave();
}

int CProject::Delete() {
    if (!ConfirmDeletion(20, MB_YESNO | MB_ICONQUESTION, IDYES))
        return 0;
    CDataHelper* store = GetCurrDataHelper();
    // The entries and the project leave the file as it stands, in one write.
    const std::shared_ptr<void> lock = store ? store->LockDataFile() : nullptr;
    if (!lock || !Load())
        return 0;
    CMarkupArchive* document = store->GetCurrentDataStore();
    // Entries go with their project. Each leaves a deletion marker, so the other side removes
    // them too instead of keeping entries of a project it no longer has.
    const CString projectRef = get_RefID();
    const std::vector<RemovedEntry> removed =
        projectRef.IsEmpty() ? std::vector<RemovedEntry>() : RemoveEntriesOfProject(*document, projectRef);
    for (const RemovedEntry& entry : removed) {
        if (!AppendDeletedMarker(entry.id, entry.refId, u"projectItem")) {
            store->DiscardUnwrittenChanges();
            return 0;
        }
    }
    return CBaseObject::Delete();
}

void CProject::ReadRecord(const CRecordReader& reader) {
    CBaseObject::ReadRecord(reader);
    m_ClientRef = reader.Attrib(u"clientRef");
}
