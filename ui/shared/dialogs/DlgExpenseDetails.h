#pragma once
// Details page of an expense entry: date, project, expense type (a preset or any typed
// text, required) and memo.
#include <array>

#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

class QComboBox;

class CDlgExpenseDetails : public CDlgEntryDetailsBase, public CHasDeviceLook {
public:
    static constexpr int kExpenseTypeLimit = 100;
    static const std::array<const char16_t*, 28> kExpenseTypes;

    explicit CDlgExpenseDetails(QWidget* parent = nullptr);

    CString m_strDescription2;   // the expense type

    QComboBox* ExpenseTypeCombo() const { return m_type; }

    bool OnKillActive() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QComboBox* m_type = nullptr;
};
