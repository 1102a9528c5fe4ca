#pragma once
// The device Options sheet's Keyboard page: whether the on-screen keyboard comes up even when
// a hardware keyboard is attached. Without one it always does.
#include "ui/qt/PropertyPage.h"

class QCheckBox;

class CDlgOptionsKeyboard : public CPropertyPage {
public:
    explicit CDlgOptionsKeyboard(QWidget* parent = nullptr);

    int m_bSoftKeyboard = 0;

    QCheckBox* SoftKeyboardCheck() const { return m_check; }

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QCheckBox* m_check = nullptr;
};
