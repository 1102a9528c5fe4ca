#pragma once
// Edit Category: name, code (upper case) and hourly rate. OK is enabled only while the
// values read back and both the name and the code are filled in.
#include <functional>

#include "ui/qt/Dialog.h"
#include "ui/shared/HasDeviceLook.h"

class CFloatSpinButtonCtrl;
class QLineEdit;

class CDlgEditCategory : public CDialog, public CHasDeviceLook {
public:
    static constexpr int kNameLimit = 30;
    static constexpr int kCodeLimit = 10;

    explicit CDlgEditCategory(QWidget* parent = nullptr);

    CString m_strDescription;
    CString m_strCode;
    float m_fRate = 0.0f;
    // Runs when OK has read valid values; false keeps the dialog open (a save that failed).
    std::function<bool()> m_okCheck;

    // Reads the values; true when they read back and name and code are not empty. With
    // `showMessages` a failed read shows the standard message.
    bool Validate(bool showMessages);

    void OnOK() override;

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* CodeEdit() const { return m_code; }
    QLineEdit* RateEdit() const { return m_rate; }
    CFloatSpinButtonCtrl* RateSpin() const { return m_spin; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateOkButton();
    void ForceCodeUpperCase();

    QLineEdit* m_name = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_rate = nullptr;
    CFloatSpinButtonCtrl* m_spin = nullptr;
    bool m_loading = false;
};
