#include "biz/Client.h"

#include <memory>

#include "biz/DataHelper.h"
#include "biz/RecordReader.h"
#include "platform/MessageBox.h"
#include "xml/MarkupArchive.h"

namespace {

const CString& ElemNameOfKind() {
    static const CString name(u"client");
    return name;
}

}   // namespace

CClient::CClient() : CBaseObject(ElemNameOfKind()) {}

int CClient::Save() {
    CMarkupArchive* document = WriteCommonPart();
    if (!document)
        return 0;
    document->IntoElem();
    AddChildIfNotEmpty(*document, u"address", m_Address);
    AddChildIfNotEmpty(*document, u"contact", m_Contact);
    AddChildIfNotEmpty(*document, u"accountNum", m_AccountNum);
    document->OutOfElem();
    return FinishSave();
}

int CClient::Delete() {
    if (!ConfirmDeletion(19, MB_OKCANCEL | MB_ICONSTOP, IDOK))
        return 0;
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return 0;
    // Another program may have written the file since it was read (a synchronisation adding a
    // project of this client): the projects are looked up in the file as it now stands.
    if (!store->LockDataFile())
        return 0;
    // Each project asks on its own; the user may keep some of them.
    std::unique_ptr<CObArray> projects(store->GetProjectsForClient(get_ID()));
    if (projects) {
        for (int i = 0; i < projects->GetSize(); ++i) {
            auto* project = dynamic_cast<CBaseObject*>(projects->GetAt(i));
            const unsigned failedWrites = store->GetFailedWriteCount();
            // A project whose deletion could not be written stops the cascade: the client
            // stays with the projects not yet deleted, as the file holds them.
            if (project && !project->Delete() && store->GetFailedWriteCount() != failedWrites)
                return 0;
        }
    }
    return CBaseObject::Delete();
}

void CClient::ReadRecord(const CRecordReader& reader) {
    CBaseObject::ReadRecord(reader);
    reader.Text(u"address", m_Address);
    reader.Text(u"contact", m_Contact);
    reader.Text(u"accountNum", m_AccountNum);
}
