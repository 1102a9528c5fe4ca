#include "ui/shared/dialogs/EditClient.h"

#include <QApplication>

#include "biz/Client.h"
#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/DlgClient.h"
#include "ui/shared/dialogs/DlgNotes.h"

int EditClient(CClient* pClient) {
    if (pClient == nullptr)
        return 0;
    CDlgClient details;
    CDlgNotes notes;
    details.m_strDescription = pClient->get_Description();
    details.m_strAddress = pClient->get_Address();
    details.m_strAccountNum = pClient->get_AccountNum();
    details.m_strContact = pClient->get_Contact();
    notes.m_strNotes = pClient->get_Notes();

    CPropertySheetEx sheet(GetResString(10, 1), QApplication::activeWindow());
    sheet.AddPage(&details);
    sheet.AddPage(&notes);
    int saved = 0;
    // Saved while the sheet is open, so a missing name or a failed write keeps what was typed.
    sheet.SetOkCheck([&] {
        if (details.m_strDescription.IsEmpty()) {
            ReportMissingName(sheet, &details, details.NameEdit(), u"Please enter a name for the client.");
            return false;
        }
        pClient->set_Description(details.m_strDescription);
        pClient->set_Address(details.m_strAddress);
        pClient->set_AccountNum(details.m_strAccountNum);
        pClient->set_Contact(details.m_strContact);
        pClient->set_Notes(notes.m_strNotes);
        saved = CWriteCheck::SaveIfDirty(*pClient);
        return saved >= 0;
    });
    if (sheet.DoModal() == IDCANCEL)
        return 0;
    return saved > 0 ? 1 : 0;
}
