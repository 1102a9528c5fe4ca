#pragma once
// The Sync Direction dialog: which side's data replaces the other's in a full synchronisation.
#include <optional>

#include <QDialog>

#include "biz/DataFileSummary.h"

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
    // What each side holds and when it last changed; nothing for a side that could not be read.
    void ShowSides(const std::optional<CDataFileSummary>& desktop, const std::optional<CDataFileSummary>& device);
    QLabel* DesktopSideLabel() const { return m_desktopSide; }
    QLabel* DeviceSideLabel() const { return m_deviceSide; }
    // "3 clients, 4 projects, 2 categories and 120 entries, last changed ..." for one side.
    static QString DescribeSide(const QString& side, const std::optional<CDataFileSummary>& summary);

private:
    void UpdateWarning();

    QRadioButton* m_replaceDevice;
    QRadioButton* m_replaceDesktop;
    QLabel* m_warning;
    QLabel* m_desktopSide;
    QLabel* m_deviceSide;
};
