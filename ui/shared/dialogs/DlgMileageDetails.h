#pragma once
// Details page of a mileage entry: date, project, trip description and the odometer
// readings at the start and end of the trip.
#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

class CDlgMileageDetails : public CDlgEntryDetailsBase, public CHasDeviceLook {
public:
    static constexpr int kOdometerMax = 250000;

    explicit CDlgMileageDetails(QWidget* parent = nullptr);

    int m_nOdometerStart = 0;
    int m_nOdometerEnd = 0;

    // What leaving Begin does to End: Begin + 100 when Begin is set and End is 0 or below it.
    static int EndAfterBeginEntered(int begin, int end);
    // Begin losing the focus: reads the values and applies the rule above.
    void OnKillFocusBegin();

    QLineEdit* BeginEdit() const { return m_begin; }
    QLineEdit* EndEdit() const { return m_end; }

    bool OnKillActive() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_begin = nullptr;
    QLineEdit* m_end = nullptr;
    bool m_inBeginCheck = false;
};
