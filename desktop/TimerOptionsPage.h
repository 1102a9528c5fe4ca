#pragma once
// Timer page of the Options sheet: after how many hours of running the timer asks about idle
// time (0: never), and whether the entry editor opens on the entry a stop made.
#include "ui/qt/PropertyPage.h"

class QCheckBox;
class QLineEdit;

class CTimerOptionsPage : public CPropertyPage {
public:
    static constexpr int kMaxIdleHours = 168;

    explicit CTimerOptionsPage(QWidget* parent = nullptr);

    int m_nIdleHours = 8;
    int m_bEditAfterStop = 0;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_idleHours = nullptr;
    QCheckBox* m_editAfterStop = nullptr;
};
