#pragma once
// The idle question: the timer ran past the threshold since the last interaction; keep that
// time, discard what lies beyond the threshold, or stop at the last activity. The dialog's
// result is a CTimerControl::IdleAnswer; closing it keeps the time (nothing is lost).
#include <QDialog>

class CTimerIdleDlg : public QDialog {
    Q_OBJECT
public:
    CTimerIdleDlg(const QString& question, QWidget* parent = nullptr);
};
