#pragma once
// A customer: account number, contact and address.
#include "biz/BaseObject.h"
#include "biz/BizExport.h"

class QUILLMAR_BIZ_EXPORT CClient : public CBaseObject {
public:
    CClient();

    int Save() override;
    // Asks first (resource text 19, OK/Cancel), then offers each of the client's projects for
    // deletion (each asks on its own) and deletes the client even when some projects are kept.
    int Delete() override;

    CString get_AccountNum() const { return m_AccountNum; }
    void set_AccountNum(const CString& text) { SetField(m_AccountNum, text); }
    CString get_Contact() const { return m_Contact; }
    void set_Contact(const CString& text) { SetField(m_Contact, text); }
    CString get_Address() const { return m_Address; }
    void set_Address(const CString& text) { SetField(m_Address, text); }

protected:
    void ReadRecord(const CRecordReader& reader) override;

private:
    CString m_AccountNum;
    CString m_Contact;
    CString m_Address;
};
