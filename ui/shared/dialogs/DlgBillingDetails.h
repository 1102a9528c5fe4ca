#pragma once
// Billing page of the entry editor: billable flag, amount (with a decimal up-down and, for
// time and mileage entries, a Calc. button) and billing status.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class CDlgTimeDetails;
class CDlgMileageDetails;
class CFloatSpinButtonCtrl;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CDlgBillingDetails : public CPropertyPage, public CHasDeviceLook {
public:
    explicit CDlgBillingDetails(QWidget* parent = nullptr);

    float m_fBillAmount = 0.0f;
    int m_bIsBillable = 1;
    int m_nPymtStatus = 0;
    int m_nItemType = 1;
    // The Details page Calc. reads from (the one matching the item type).
    CDlgTimeDetails* m_pTimeDetails = nullptr;
    CDlgMileageDetails* m_pMileageDetails = nullptr;

    // Amount of a time entry: minutes x 0.016666668 x hourly rate, formed in extended precision
    // and kept in single precision (in the device build every product is single precision).
    static float TimeAmount(int minutes, float hourlyRate);
    // Amount of a mileage entry: (end - begin) x rate in single precision.
    static float MileageAmount(int odometerStart, int odometerEnd, float rate);

    // The Calc. button.
    void OnCalc();

    QCheckBox* BillableCheck() const { return m_billable; }
    QLineEdit* AmountEdit() const { return m_amount; }
    CFloatSpinButtonCtrl* AmountSpin() const { return m_spin; }
    QPushButton* CalcButton() const { return m_calc; }
    QRadioButton* StatusButton(int status) const;

    void OnOK() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    float CalcTimeAmount() const;
    float CalcMileageAmount() const;

    QCheckBox* m_billable = nullptr;
    QLineEdit* m_amount = nullptr;
    CFloatSpinButtonCtrl* m_spin = nullptr;
    QPushButton* m_calc = nullptr;
    QRadioButton* m_status[3] = {nullptr, nullptr, nullptr};
};
