#include "ui/shared/WriteCheck.h"

#include "biz/BaseObject.h"
#include "biz/DataHelper.h"
#include "platform/MessageBox.h"

namespace {
unsigned FailedWrites() {
    const CDataHelper* store = GetCurrDataHelper();
    return store ? store->GetFailedWriteCount() : 0;
}
}   // namespace

CWriteCheck::CWriteCheck() : m_nFailedBefore(FailedWrites()) {}

bool CWriteCheck::Failed() const { return FailedWrites() != m_nFailedBefore; }

bool CWriteCheck::ReportIfFailed() const {
    if (!Failed())
        return false;
    ReportFailure();
    return true;
}

CString CWriteCheck::FailureMessage() {
    const CDataHelper* store = GetCurrDataHelper();
    if (store == nullptr)
        return u"Your change could not be saved: no data file is open.";
    CString reason = store->GetLastWriteError();
    if (reason.IsEmpty())
        reason = u"The file could not be written.";
    return CString(u"Your change could not be saved in the data file \"") + store->GetDataFilePath() + u"\". " +
           reason;
}

CString CWriteCheck::ReloadFailureMessage() {
    const CDataHelper* store = GetCurrDataHelper();
    if (store == nullptr)
        return u"The synchronised data could not be loaded: no data store is open.";
    CString message = CString(u"The data file \"") + store->GetDataFilePath() +
                      u"\" could not be loaded after the synchronisation, so the lists may be empty or out of date.";
    const CString reason = store->GetLastWriteError();
    if (!reason.IsEmpty())
        message += u" " + reason;
    return message + u" Please restart the program.";
}

void CWriteCheck::ReportReloadFailure() { AfxMessageBox(ReloadFailureMessage(), MB_OK | MB_ICONSTOP); }

void CWriteCheck::ReportFailure() { AfxMessageBox(FailureMessage(), MB_OK | MB_ICONSTOP); }

int CWriteCheck::SaveIfDirty(CBaseObject& record) {
    if (!record.get_IsDirty())
        return 0;
    if (record.Save() != 0)
        return 1;
    ReportFailure();
    return -1;
}
