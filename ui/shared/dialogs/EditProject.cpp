#include "ui/shared/dialogs/EditProject.h"

#include <QApplication>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgProject.h"

int EditProject(CProject* pProject) {
    if (pProject == nullptr)
        return 0;
    CDlgProject details;
    CDlgNotes notes;
    details.m_strDescription = pProject->get_Description();
    details.m_nClientID = GetCurrDataHelper()->RefID_To_ID(pProject->get_ClientRef(), u"client");
    notes.m_strNotes = pProject->get_Notes();

    CPropertySheetEx sheet(GetResString(11, 1), QApplication::activeWindow());
    sheet.AddPage(&details);
    sheet.AddPage(&notes);
    if (sheet.DoModal() == IDCANCEL || details.m_strDescription.IsEmpty())
        return 0;

    pProject->set_Description(details.m_strDescription);
    // ID 0 (the leading "no client" entry) gives the empty reference.
    pProject->set_ClientRef(GetCurrDataHelper()->ID_To_RefID(details.m_nClientID, u"client"));
    pProject->set_Notes(notes.m_strNotes);
    return pProject->get_IsDirty() ? pProject->Save() : 0;
}
