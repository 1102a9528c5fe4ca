#pragma once
// Runs a search once the user stops typing instead of at every key: each change of the box's
// text restarts a short pause, and the search runs when it ends, or at once on Enter. Across
// all dates of a large file a search costs tens of milliseconds, too much for every keypress.
#include <functional>

#include <QObject>

class QLineEdit;
class QTimer;

class CTypingPause : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPauseMs = 200;

    // `run` is called with the box's text already in place; the box must outlive this object.
    CTypingPause(QLineEdit& box, std::function<void()> run, QObject* parent = nullptr);

    // 0 runs the search at every change, as a test may want.
    void SetPause(int milliseconds);
    int Pause() const { return m_pause; }
    bool IsPending() const;
    // Runs a waiting search now (or the search anyway); no later run follows from earlier keys.
    void RunNow();
    // Forgets the keys typed so far, as when the box is cleared on purpose.
    void Cancel();

private:
    void OnTextChanged();

    QLineEdit& m_box;
    std::function<void()> m_run;
    QTimer* m_timer;
    int m_pause = kDefaultPauseMs;
};
