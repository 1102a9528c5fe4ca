#pragma once
// Custom Fields page of the Filter Data sheet: the values the entries' custom fields must
// match, under the user's labels.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QLineEdit;

class CDlgFilterCustom : public CPropertyPage, public CHasDeviceLook {
public:
    static constexpr int kCustomLimit = 100;

    explicit CDlgFilterCustom(QWidget* parent = nullptr);

    CString m_strLabel1, m_strLabel2, m_strLabel3;   // the user's label followed by ":"
    CString m_strCustom1, m_strCustom2, m_strCustom3;

    QLineEdit* CustomEdit(int n) const { return n >= 1 && n <= 3 ? m_edits[n - 1] : nullptr; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_edits[3] = {nullptr, nullptr, nullptr};
};
