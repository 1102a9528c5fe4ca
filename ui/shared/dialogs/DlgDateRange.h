#pragma once
// Select Date Range: start and end dates, typed or taken from a preset ("This Quarter",
// "Last Month", ...).
#include <array>

#include "platform/OleDateTime.h"
#include "ui/qt/Dialog.h"
#include "ui/shared/HasDeviceLook.h"

class QComboBox;
class QDateTimeEdit;

class CDlgDateRange : public CDialog, public CHasDeviceLook {
public:
    static const std::array<const char16_t*, 10> kPresets;

    explicit CDlgDateRange(QWidget* parent = nullptr);

    COleDateTime m_dtStart;
    COleDateTime m_dtEnd;
    int m_nPreset = 0;

    // The range of preset `index` (1..9) at `now`; false for index 0 or one out of range.
    // Starts and ends are at 00:00, except the "to-date" ends, which are `now`.
    static bool PresetRange(int index, const COleDateTime& now, COleDateTime& start, COleDateTime& end);

    void OnStartChanged();
    void OnPresetChanged();
    void OnOK() override;

    QComboBox* PresetCombo() const { return m_presets; }
    QDateTimeEdit* StartPicker() const { return m_start; }
    QDateTimeEdit* EndPicker() const { return m_end; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ShowValues();

    QComboBox* m_presets = nullptr;
    QDateTimeEdit* m_start = nullptr;
    QDateTimeEdit* m_end = nullptr;
    bool m_updating = false;
};
