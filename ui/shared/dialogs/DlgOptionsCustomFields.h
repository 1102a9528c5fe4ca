#pragma once
// Custom Fields page of the Options sheet: the labels of the three custom fields.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QLineEdit;

class CDlgOptionsCustomFields : public CPropertyPage, public CHasDeviceLook {
public:
    static constexpr int kLabelLimit = 30;

    explicit CDlgOptionsCustomFields(QWidget* parent = nullptr);

    CString m_strCustomLabel1, m_strCustomLabel2, m_strCustomLabel3;

    QLineEdit* LabelEdit(int n) const { return n >= 1 && n <= 3 ? m_edits[n - 1] : nullptr; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_edits[3] = {nullptr, nullptr, nullptr};
};
