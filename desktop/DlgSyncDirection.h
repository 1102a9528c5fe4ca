#pragma once
// The Sync Direction dialog: which side's data replaces the other's in a full synchronisation.
#include <QDialog>

class QLabel;
class QRadioButton;

class CDlgSyncDirection : public QDialog {
    Q_OBJECT
public:
    explicit CDlgSyncDirection(QWidget* parent = nullptr);

    // True when "Replace all device data..." (177) is checked; the desktop's data then wins.
    bool ReplaceDeviceData() const;
    QRadioButton* DeviceButton() const { return m_replaceDevice; }
    QRadioButton* DesktopButton() const { return m_replaceDesktop; }
    // Says in words which side's data the checked choice replaces.
    QLabel* WarningLabel() const { return m_warning; }

private:
    void UpdateWarning();

    QRadioButton* m_replaceDevice;
    QRadioButton* m_replaceDesktop;
    QLabel* m_warning;
};
