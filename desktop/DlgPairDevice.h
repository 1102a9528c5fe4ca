#pragma once
// Tools > "Pair with Device...": the pairing text pasted, or the address, port and key typed;
// "Test" connects and says in plain words what it found; OK keeps the pairing, and only after
// a test of exactly what is entered passed.
#include <QDialog>

#include "connection/RapiProtocol.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CDlgPairDevice : public QDialog {
    Q_OBJECT
public:
    explicit CDlgPairDevice(QWidget* parent = nullptr);

    QPlainTextEdit* TextBox() const { return m_text; }
    QLineEdit* HostBox() const { return m_host; }
    QLineEdit* PortBox() const { return m_port; }
    QLineEdit* KeyBox() const { return m_key; }
    QPushButton* TestButton() const { return m_test; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* ResultLabel() const { return m_result; }

    // The limit for connecting and authenticating (tests shorten it).
    void SetTimeoutMs(int timeoutMs) { m_timeoutMs = timeoutMs; }
    void RunTest();
    void accept() override;

private:
    void InputChanged();
    // What the device's data is to this computer's, in words.
    static QString PartnershipWords(const std::string& deviceSyncId);

    QPlainTextEdit* m_text;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QLineEdit* m_key;
    QPushButton* m_test;
    QPushButton* m_ok;
    QLabel* m_result;
    int m_timeoutMs = rapi::kConnectTimeoutMs;
    bool m_passed = false;
    std::string m_testedText;   // the pairing that passed, as text
};
