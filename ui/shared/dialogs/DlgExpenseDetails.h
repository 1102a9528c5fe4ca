#pragma once
// Details page of an expense entry: date, project, expense type (a preset or any typed
// text, required) and memo.
#include <array>

#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

class QComboBox;

class CDlgExpenseDetails : public CDlgEntryDetailsBase {
public:
    static constexpr int kExpenseTypeLimit = 100;
    static const std::array<const char16_t*, 28> kExpenseTypes;

    explicit CDlgExpenseDetails(QWidget* parent = nullptr);

    CString m_strDescription2;   // the expense type

    QComboBox* ExpenseTypeCombo() const { return m_type; }

    bool OnKillActive() override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QComboBox* m_type = nullptr;
};
