#pragma once
// A billing category: a code and an hourly rate for time entries.
#include "biz/BaseObject.h"
#include "biz/BizExport.h"

class QUILLMAR_BIZ_EXPORT CCategory : public CBaseObject {
public:
    CCategory();

    int Save() override;
    // Asks first (resource text 25, Yes/No); entries that refer to the category are kept.
    int Delete() override;

    CString get_Code() const { return m_Code; }
    void set_Code(const CString& code) { SetField(m_Code, code); }
    // The hourly rate; stored only when greater than 0.
    float get_Quillmar() const { return m_Quillmar; }
    void set_Quillmar(float rate) { SetField(m_Quillmar, rate); }

protected:
    void ReadRecord(const CRecordReader& reader) override;

private:
    CString m_Code;
    float m_Quillmar = 0.0f;
};
