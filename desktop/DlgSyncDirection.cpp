#include "desktop/DlgSyncDirection.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CDlgSyncDirection::CDlgSyncDirection(QWidget* parent)
    : QDialog(parent),
      m_replaceDevice(new QRadioButton(QStringLiteral("Replace all &device data with data that is on this desktop"))),
      m_replaceDesktop(new QRadioButton(QStringLiteral("Replace all d&esktop data with data that is on the device"))) {
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

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

bool CDlgSyncDirection::ReplaceDeviceData() const { return m_replaceDevice->isChecked(); }
