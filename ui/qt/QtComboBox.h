#pragma once
// CComboBox (platform/ComboBox.h) over a QComboBox: item values live in Qt::UserRole.
// The adapter does not own the widget; it must not outlive it.
#include "platform/ComboBox.h"

class QComboBox;

class CQtComboBox : public CComboBox {
public:
    explicit CQtComboBox(QComboBox* combo) : m_combo(combo) {}

    int GetCount() const override;
    int AddString(const CString& text) override;
    int InsertString(int index, const CString& text) override;
    int DeleteString(int index) override;
    void ResetContent() override;
    CString GetLBText(int index) const override;
    int SetItemData(int index, uintptr_t value) override;
    uintptr_t GetItemData(int index) const override;
    int GetCurSel() const override;
    int SetCurSel(int index) override;
    int FindStringExact(int startAfter, const CString& text) const override;

    QComboBox* Widget() const { return m_combo; }

private:
    bool IsValidIndex(int index) const;
    QComboBox* m_combo;
};
