#include "desktop/DlgSyncDirection.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/QtConvert.h"

CDlgSyncDirection::CDlgSyncDirection(QWidget* parent)
    : QDialog(parent),
      m_replaceDevice(new QRadioButton(QStringLiteral("Replace all &device data with data that is on this desktop"))),
      m_replaceDesktop(new QRadioButton(QStringLiteral("Replace all d&esktop data with data that is on the device"))),
      m_warning(new QLabel), m_desktopSide(new QLabel), m_deviceSide(new QLabel) {
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

    m_desktopSide->setObjectName(QStringLiteral("syncDirectionDesktopSide"));
    m_deviceSide->setObjectName(QStringLiteral("syncDirectionDeviceSide"));
    for (QLabel* side : {m_desktopSide, m_deviceSide}) {
        side->setWordWrap(true);
        side->hide();   // shown once ShowSides knows what each side holds
    }
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
    layout->addWidget(m_desktopSide);
    layout->addWidget(m_deviceSide);
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

QString CDlgSyncDirection::DescribeSide(const QString& side, const std::optional<CDataFileSummary>& summary) {
    if (!summary)
        return QStringLiteral("%1: its data could not be read.").arg(side);
    const auto count = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    QString text =
        QStringLiteral("%1: %2, %3, %4 and %5")
            .arg(side, count(summary->clients, "client", "clients"), count(summary->projects, "project", "projects"),
                 count(summary->categories, "category", "categories"), count(summary->entries, "entry", "entries"));
    if (summary->lastChanged)
        text += QStringLiteral(", last changed %1")
                    .arg(QLocale().toString(qtconv::ToQDateTime(*summary->lastChanged), QLocale::ShortFormat));
    return text + QLatin1Char('.');
}

void CDlgSyncDirection::ShowSides(const std::optional<CDataFileSummary>& desktop,
                                  const std::optional<CDataFileSummary>& device) {
    m_desktopSide->setText(DescribeSide(QStringLiteral("This computer"), desktop));
    m_deviceSide->setText(DescribeSide(QStringLiteral("The device"), device));
    m_desktopSide->show();
    m_deviceSide->show();
}
