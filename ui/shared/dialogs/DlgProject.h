#pragma once
// Details page of the project sheet: description and client (the leading entry, ID 0,
// means no client).
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QComboBox;
class QLineEdit;

class CDlgProject : public CPropertyPage, public CHasDeviceLook {
public:
    static constexpr int kDescriptionLimit = 100;

    explicit CDlgProject(QWidget* parent = nullptr);

    CString m_strDescription;
    int m_nClientID = 0;

    QLineEdit* DescriptionEdit() const { return m_description; }
    QComboBox* ClientCombo() const { return m_client; }

    void OnOK() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_description = nullptr;
    QComboBox* m_client = nullptr;
};
