#pragma once
// The window a regular synchronisation shows while it runs: which of its steps is under way,
// kept painted although the work blocks the program's thread. It also words the summary the
// user reads afterwards.
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

#include "biz/SyncSummary.h"

class CSyncProgressDlg : public QProgressDialog {
    Q_OBJECT
public:
    explicit CSyncProgressDlg(QWidget* parent);

    // Shows `step` (CSyncDriver's numbering) and paints the window before the step's work.
    void ShowStep(int step);
    qint64 ElapsedMs() const { return m_clock.elapsed(); }

    // The words for a step: step 0 checks the partnership, then "Step N of 8: ...".
    static QString StepText(int step);
    // Records sent and received by kind, deletions, conflicts and how each kind was resolved,
    // and the time taken.
    static QString SummaryText(const CSyncSummary& summary, qint64 elapsedMs);

private:
    QElapsedTimer m_clock;
};
