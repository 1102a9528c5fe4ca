#pragma once
// Edit Duration: hours and minutes, optionally with the exact start and end times from
// which the duration follows. Start and end both at 00:00 mean "no times".
#include "platform/OleDateTime.h"
#include "ui/qt/Dialog.h"
#include "ui/shared/HasDeviceLook.h"

class CSpinButtonCtrl;
class QCheckBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;

class CDlgEditDuration : public CDialog, public CHasDeviceLook {
public:
    static constexpr int kMaxHours = 100;
    static constexpr int kMaxMinutes = 59;

    explicit CDlgEditDuration(QWidget* parent = nullptr);

    COleDateTime m_StartTime;
    COleDateTime m_EndTime;
    int m_nDuration = 0;   // whole minutes
    int m_nHours = 0;
    int m_nMinutes = 0;
    int m_bExactTimes = 0;

    // Whole minutes from start to end: the span in days x 1440 plus half a second (in days),
    // truncated toward zero.
    static int MinutesBetween(const COleDateTime& start, const COleDateTime& end);
    // True when the time has a non-zero hour or minute.
    static bool HasTimeOfDay(const COleDateTime& time);

    // Reactions to the controls.
    void OnTimeChanged();
    void OnExactTimesClicked();
    void OnOK() override;

    QLineEdit* HoursEdit() const { return m_hours; }
    QLineEdit* MinutesEdit() const { return m_minutes; }
    CSpinButtonCtrl* HoursSpin() const { return m_hoursSpin; }
    CSpinButtonCtrl* MinutesSpin() const { return m_minutesSpin; }
    QCheckBox* ExactTimesCheck() const { return m_exact; }
    QDateTimeEdit* StartPicker() const { return m_start; }
    QDateTimeEdit* EndPicker() const { return m_end; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ShowHoursAndMinutes();
    void EnableTimes();

    QLineEdit* m_hours = nullptr;
    QLineEdit* m_minutes = nullptr;
    CSpinButtonCtrl* m_hoursSpin = nullptr;
    CSpinButtonCtrl* m_minutesSpin = nullptr;
    QCheckBox* m_exact = nullptr;
    QGroupBox* m_timesGroup = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_endLabel = nullptr;
    QDateTimeEdit* m_start = nullptr;
    QDateTimeEdit* m_end = nullptr;
    bool m_updating = false;
};
