#pragma once
// General page of the Filter Data sheet: client, project and category lists (each with a
// leading "any" entry of ID 0) and the eight include flags.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QCheckBox;
class QComboBox;

class CDlgFilterGeneral : public CPropertyPage, public CHasDeviceLook {
public:
    explicit CDlgFilterGeneral(QWidget* parent = nullptr);

    // References; empty means no restriction.
    CString m_strClientRef;
    CString m_strProjectRef;
    CString m_strCategoryRef;
    int m_bIncludeTime = 1;
    int m_bIncludeExpense = 1;
    int m_bIncludeMileage = 1;
    int m_bIncludeBillable = 1;
    int m_bIncludeNonBillable = 1;
    int m_bIncludeBilled = 1;
    int m_bIncludeNotBilled = 1;
    int m_bIncludePaid = 1;

    QComboBox* ClientCombo() const { return m_client; }
    QComboBox* ProjectCombo() const { return m_project; }
    QComboBox* CategoryCombo() const { return m_category; }
    QCheckBox* Check(const char* objectName) const;

    void OnOK() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QComboBox* m_client = nullptr;
    QComboBox* m_project = nullptr;
    QComboBox* m_category = nullptr;
    QCheckBox* m_time = nullptr;
    QCheckBox* m_expense = nullptr;
    QCheckBox* m_mileage = nullptr;
    QCheckBox* m_billable = nullptr;
    QCheckBox* m_nonBillable = nullptr;
    QCheckBox* m_billed = nullptr;
    QCheckBox* m_notBilled = nullptr;
    QCheckBox* m_paid = nullptr;
};
