#pragma once
// Tools > "Pair with Desktop...": the running connection service's pairing text, large, with a
// Copy button; how to start the service when it is not running; and whether a synchronisation
// is under way on this device and when the last one was.
#include <QDialog>
#include <QString>

#include "platform/OleDateTime.h"

class QLabel;
class QPushButton;

class CDlgPairDesktop : public QDialog {
    Q_OBJECT
public:
    explicit CDlgPairDesktop(QWidget* parent = nullptr);

    // The service program asked for the pairing text; by default quillmar-connectd beside
    // this program, in the build's bin/ folder, or on the PATH.
    static void SetServiceProgram(const QString& path);
    static QString ServiceProgram();

    // Asks the service again (the Refresh button).
    void Reload();
    QLabel* TextLabel() const { return m_text; }
    QLabel* SyncLabel() const { return m_sync; }
    QPushButton* CopyButton() const { return m_copy; }
    QString PairingText() const { return m_pairingText; }

    // "Synchronizing with the desktop now..." while change files of a synchronisation lie in
    // the program folder, then when the last one was; empty when there was none.
    static QString SyncStateText();
    // The same in one short line, for the main window.
    static QString SyncStateLine();
    // Notes that a synchronisation finished (message 1124), for the texts above.
    static void NoteSyncDone(const COleDateTime& when);

private:
    void Copy();

    QLabel* m_text;
    QLabel* m_sync;
    QPushButton* m_copy;
    QString m_pairingText;
};
