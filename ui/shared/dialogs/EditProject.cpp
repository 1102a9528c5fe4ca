#include "ui/shared/dialogs/EditProject.h"

#include <QApplication>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgProject.h"

namespace {
// The stored client a reference names; 0 for none or a deleted one (whose RefID still finds
// its deletion marker).
int StoredClientId(const CString& clientRef) {
    CClient client;
    client.set_ID(GetCurrDataHelper()->RefID_To_ID(clientRef, u"client"));
    return client.get_ID() != 0 && client.Load() ? client.get_ID() : 0;
}
}   // namespace

int EditProject(CProject* pProject) {
    if (pProject == nullptr)
        return 0;
    CDlgProject details;
    CDlgNotes notes;
    details.m_strDescription = pProject->get_Description();
    details.m_nClientID = StoredClientId(pProject->get_ClientRef());
    notes.m_strNotes = pProject->get_Notes();

    CPropertySheetEx sheet(GetResString(11, 1), QApplication::activeWindow());
    sheet.AddPage(&details);
    sheet.AddPage(&notes);
    const int shownClientId = details.m_nClientID;
    int saved = 0;
    sheet.SetOkCheck([&] {
        if (details.m_strDescription.IsEmpty()) {
            ReportMissingName(sheet, &details, details.DescriptionEdit(), u"Please enter a name for the project.");
            return false;
        }
        pProject->set_Description(details.m_strDescription);
        // ID 0 (the leading "no client" entry) gives the empty reference. A client left as it
        // was shown keeps its reference, also one to a client deleted since (shown as no client).
        if (details.m_nClientID != shownClientId)
            pProject->set_ClientRef(GetCurrDataHelper()->ID_To_RefID(details.m_nClientID, u"client"));
        pProject->set_Notes(notes.m_strNotes);
        saved = CWriteCheck::SaveIfDirty(*pProject);
        return saved >= 0;
    });
    if (sheet.DoModal() == IDCANCEL)
        return 0;
    return saved > 0 ? 1 : 0;
}
