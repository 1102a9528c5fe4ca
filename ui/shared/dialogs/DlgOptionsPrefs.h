#pragma once
// Preferences page of the Options sheet: first day of the week, mileage rate, the hide flag
// of the side bar, the display options of the entries list and the paint theme.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class CFloatSpinButtonCtrl;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgOptionsPrefs : public CPropertyPage, public CHasDeviceLook {
public:
    explicit CDlgOptionsPrefs(QWidget* parent = nullptr);

    int m_nFirstDayOfWeek = 2;   // 1 = Sunday .. 7 = Saturday
    float m_fMileageRate = 0.35f;
    int m_bHideClientsWithNoProjects = 0;
    int m_bColorAltRows = 0;
    int m_bGridlines = 0;
    int m_bStrikeOutPaidItems = 1;
    int m_nTheme = 0;

    void OnOK() override;

    QComboBox* WeekdayCombo() const { return m_weekday; }
    QLineEdit* RateEdit() const { return m_rate; }
    CFloatSpinButtonCtrl* RateSpin() const { return m_spin; }
    QCheckBox* HideClientsCheck() const { return m_hide; }
    QCheckBox* ColorAltRowsCheck() const { return m_altRows; }
    QCheckBox* GridlinesCheck() const { return m_gridlines; }
    QCheckBox* StrikeOutCheck() const { return m_strikeOut; }
    QComboBox* ThemeCombo() const { return m_theme; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QComboBox* m_weekday = nullptr;
    QLineEdit* m_rate = nullptr;
    CFloatSpinButtonCtrl* m_spin = nullptr;
    QCheckBox* m_hide = nullptr;
    QCheckBox* m_altRows = nullptr;
    QCheckBox* m_gridlines = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    QComboBox* m_theme = nullptr;
};
