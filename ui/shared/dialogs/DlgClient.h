#pragma once
// Details page of the client sheet.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QLineEdit;
class QPlainTextEdit;

class CDlgClient : public CPropertyPage, public CHasDeviceLook {
public:
    static constexpr int kNameLimit = 80;
    static constexpr int kAccountNumLimit = 100;
    static constexpr int kContactLimit = 255;

    explicit CDlgClient(QWidget* parent = nullptr);

    CString m_strDescription;
    CString m_strAddress;
    CString m_strAccountNum;
    CString m_strContact;

    QLineEdit* NameEdit() const { return m_name; }
    QPlainTextEdit* AddressEdit() const { return m_address; }
    QLineEdit* AccountNumEdit() const { return m_accountNum; }
    QLineEdit* ContactEdit() const { return m_contact; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_address = nullptr;
    QLineEdit* m_accountNum = nullptr;
    QLineEdit* m_contact = nullptr;
};
