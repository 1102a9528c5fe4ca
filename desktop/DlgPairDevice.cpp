#include "desktop/DlgPairDevice.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "biz/DataHelper.h"
#include "connection/PairingCheck.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"

namespace {

// The pairing the dialog's fields describe: the pasted text when there is one, else the parts.
std::optional<Pairing> EnteredPairing(const QPlainTextEdit& text, const QLineEdit& host, const QLineEdit& port,
                                      const QLineEdit& key, std::string& why) {
    if (!text.toPlainText().trimmed().isEmpty())
        return PairingCheck::ParseText(text.toPlainText().toStdString(), why);
    return PairingCheck::FromParts(host.text().toStdString(), port.text().toStdString(), key.text().toStdString(),
                                   why);
}

// Keeps the wait cursor up while the test blocks the window.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}   // namespace

CDlgPairDevice::CDlgPairDevice(QWidget* parent)
    : QDialog(parent), m_text(new QPlainTextEdit), m_host(new QLineEdit), m_port(new QLineEdit), m_key(new QLineEdit),
      m_test(new QPushButton(QStringLiteral("&Test"))), m_ok(nullptr), m_result(new QLabel) {
    setObjectName(QStringLiteral("dlgPairDevice"));
    setWindowTitle(QStringLiteral("Pair with Device"));
    m_text->setObjectName(QStringLiteral("pairText"));
    m_host->setObjectName(QStringLiteral("pairHost"));
    m_port->setObjectName(QStringLiteral("pairPort"));
    m_key->setObjectName(QStringLiteral("pairKey"));
    m_test->setObjectName(QStringLiteral("pairTest"));
    m_result->setObjectName(QStringLiteral("pairResult"));
    m_text->setPlaceholderText(QStringLiteral("quillmar-pair:1:..."));
    m_text->setTabChangesFocus(true);
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 4);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setText(QStringLiteral("Test the connection before you keep the pairing."));

    auto* intro = new QLabel(QStringLiteral(
        "On the device, start the connection service and open Tools > Pair with Desktop. Copy the pairing "
        "text it shows and paste it here, or type the address, port and key."));
    intro->setWordWrap(true);
    auto* parts = new QFormLayout;
    parts->addRow(QStringLiteral("&Address:"), m_host);
    parts->addRow(QStringLiteral("&Port:"), m_port);
    parts->addRow(QStringLiteral("&Key:"), m_key);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(m_test, QDialogButtonBox::ActionRole);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgPairDevice::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_test, &QPushButton::clicked, this, &CDlgPairDevice::RunTest);
    connect(m_text, &QPlainTextEdit::textChanged, this, &CDlgPairDevice::InputChanged);
    for (QLineEdit* box : {m_host, m_port, m_key})
        connect(box, &QLineEdit::textChanged, this, &CDlgPairDevice::InputChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(new QLabel(QStringLiteral("Pairing &text:")));
    layout->addWidget(m_text);
    layout->addWidget(new QLabel(QStringLiteral("Or the parts of it:")));
    layout->addLayout(parts);
    layout->addWidget(m_result);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

void CDlgPairDevice::InputChanged() {
    // A pairing is kept only as it was tested.
    m_passed = false;
    m_ok->setEnabled(false);
}

void CDlgPairDevice::RunTest() {
    InputChanged();
    std::string why;
    const std::optional<Pairing> pairing = EnteredPairing(*m_text, *m_host, *m_port, *m_key, why);
    if (!pairing) {
        m_result->setText(QString::fromStdString(why));
        return;
    }
    m_result->setText(
        QStringLiteral("Connecting to %1 port %2...").arg(QString::fromStdString(pairing->host)).arg(pairing->port));
    m_result->repaint();
    PairingCheck::Result result;
    {
        WaitCursor wait;
        result = PairingCheck::Run(*pairing, m_timeoutMs);
    }
    QString words = QString::fromStdString(result.message);
    if (result.Passed()) {
        words += QLatin1Char(' ') + PartnershipWords(result.deviceSyncId);
        m_passed = true;
        m_testedText = pairing->Text();
        m_ok->setEnabled(true);
    }
    m_result->setText(words);
}

QString CDlgPairDevice::PartnershipWords(const std::string& deviceSyncId) {
    CDataHelper* store = GetCurrDataHelper();
    const std::string ownSyncId = store ? store->GetMetaDataValue(u"syncID").ToUtf8() : std::string();
    if (deviceSyncId.empty())
        return QStringLiteral(
            "The device holds no data yet: the first synchronization will ask which side's data "
            "to keep.");
    if (deviceSyncId == ownSyncId)
        return QStringLiteral(
            "Its data is already partnered with this computer's: synchronize with File > Sync "
            "with Mobile Device.");
    return QStringLiteral(
        "Its data is partnered with another desktop, or was started on the device on its own: "
        "the first synchronization will ask which side's data to keep, and the other side's data "
        "will be replaced.");
}

void CDlgPairDevice::accept() {
    std::string why;
    const std::optional<Pairing> pairing = EnteredPairing(*m_text, *m_host, *m_port, *m_key, why);
    if (!m_passed || !pairing || pairing->Text() != m_testedText) {
        m_ok->setEnabled(false);
        return;
    }
    const RapiStatus stored = Pairing::Store(*pairing);
    if (!stored.ok()) {
        AfxMessageBox(u"The pairing could not be stored: " + CString::FromUtf8(stored.message()), MB_ICONSTOP);
        return;
    }
    QDialog::accept();
}
