#include "desktop/DlgSyncDirection.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CDlgSyncDirection::CDlgSyncDirection(QWidget* parent)
    : QDialog(parent),
      m_replaceDevice(new QRadioButton(QStringLiteral("Replace all &device data with data that is on this desktop"))),
      m_replaceDesktop(new QRadioButton(QStringLiteral("Replace all d&esktop data with data that is on the device"))),
      m_warning(new QLabel) {
    setObjectName(QStringLiteral("dlgSyncDirection"));
    setWindowTitle(QStringLiteral("Sync Direction"));
    m_replaceDevice->setObjectName(QStringLiteral("radio177"));
    m_replaceDesktop->setObjectName(QStringLiteral("radio182"));
    m_replaceDevice->setChecked(true);

    auto* explanation = new QLabel(QStringLiteral(
        "Select one of the following options to set up synchronization with the connected device. "
        "This step needs to be performed only once, or when you connect a new device to this desktop computer."));
    explanation->setWordWrap(true);
    auto* group = new QGroupBox(QStringLiteral("Initialize Synchronization"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_replaceDevice);
    groupLayout->addWidget(m_replaceDesktop);

    m_warning->setObjectName(QStringLiteral("syncDirectionWarning"));
    m_warning->setWordWrap(true);
    connect(m_replaceDevice, &QRadioButton::toggled, this, &CDlgSyncDirection::UpdateWarning);
    UpdateWarning();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(group);
    layout->addWidget(m_warning);
    layout->addWidget(buttons);
}

bool CDlgSyncDirection::ReplaceDeviceData() const { return m_replaceDevice->isChecked(); }

void CDlgSyncDirection::UpdateWarning() {
    m_warning->setText(ReplaceDeviceData()
                           ? QStringLiteral("Warning: every record on the device is replaced by this computer's "
                                            "records. Changes made only on the device are lost.")
                           : QStringLiteral("Warning: every record on this computer is replaced by the device's "
                                            "records. Changes made only on this computer are lost."));
}
