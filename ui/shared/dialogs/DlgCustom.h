#pragma once
// Custom page of the entry editor: the three custom fields under the user's own labels.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QLabel;
class QLineEdit;

class CDlgCustom : public CPropertyPage, public CHasDeviceLook {
public:
    static constexpr int kCustomLimit = 100;

    explicit CDlgCustom(QWidget* parent = nullptr);

    // Labels as shown (the user's label followed by ":").
    CString m_strLabel1, m_strLabel2, m_strLabel3;
    CString m_strCustom1, m_strCustom2, m_strCustom3;

    QLineEdit* CustomEdit(int n) const { return n >= 1 && n <= 3 ? m_edits[n - 1] : nullptr; }
    QLabel* CustomLabel(int n) const { return n >= 1 && n <= 3 ? m_labels[n - 1] : nullptr; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_edits[3] = {nullptr, nullptr, nullptr};
    QLabel* m_labels[3] = {nullptr, nullptr, nullptr};
};
