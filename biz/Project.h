#pragma once
// A project of one client, referring to the client by RefID.
#include "biz/BaseObject.h"
#include "biz/BizExport.h"

class QUILLMAR_BIZ_EXPORT CProject : public CBaseObject {
public:
    CProject();

    int Save() override;
    // Asks first (resource text 20, Yes/No); removes the project's entries with it, leaving a
    // deletion marker for each of them and for the project.
    int Delete() override;

    CString get_ClientRef() const { return m_ClientRef; }
    void set_ClientRef(const CString& refId) { SetField(m_ClientRef, refId); }

protected:
    void ReadRecord(const CRecordReader& reader) override;

private:
    CString m_ClientRef;
};
