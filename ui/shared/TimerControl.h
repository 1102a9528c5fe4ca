#pragma once
// The entry timer as both programs drive it: the questions the user is asked (stop the running
// timer first, a run under one minute, idle time), the timer's options, the ticking that
// redraws the running time, and the lists its pickers offer. The timer logic itself is
// CEntryTimer's; this object only talks to the user about it.
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "biz/EntryTimer.h"

class QTimer;

class CTimerControl : public QObject {
    Q_OBJECT
public:
    // A pick of the project or category box: the record's RefID and what the user reads.
    struct Choice {
        CString refId;
        QString text;
    };
    struct Options {
        int idleThresholdMinutes = CEntryTimer::kDefaultIdleThresholdMinutes;   // 0: never ask
        bool editAfterStop = false;   // open the entry editor on the entry a stop made
    };
    // What the idle question's dialog answers.
    enum IdleAnswer { IdleKeep = 1, IdleDiscardExcess = 2, IdleStopAtLastActivity = 3 };

    // The options are read from the settings now.
    explicit CTimerControl(std::string statePath = CTimerStateFile::DefaultPath(),
                           std::shared_ptr<const CTimerClock> clock = nullptr, QObject* parent = nullptr);
    ~CTimerControl() override;

    // Brings back the timer kept on file (once, after the data store is open) and tells the
    // user when it was lost or when a stop made before the restart saved its entry now.
    void Restore();

    // Starts timing the project. With a timer on, asks whether to stop it first; false when
    // nothing started (the user said no, or the reason was shown).
    bool Start(const CString& projectRef, const CString& categoryRef, const CString& description);
    // Pause when running, Resume when paused.
    bool TogglePause();
    // Stops and saves the entry; a run under one minute asks first. The new entry's ID, or 0.
    int Stop();
    // The shortcut: with no timer, starts one for the most recent project; otherwise stops.
    void StartOrStopLast();

    // An interaction of the user. When the timer ran past the idle threshold it asks (keep,
    // discard the excess, stop at the last activity) and answers false: the interaction should
    // not go on as if nothing happened. true otherwise.
    bool NoteActivity();
    // Catches the user's clicks and key presses in the whole program for NoteActivity.
    void WatchActivity(bool watch);

    CEntryTimer& Timer() { return m_timer; }
    const CEntryTimer& Timer() const { return m_timer; }
    bool IsActive() const { return m_timer.IsActive(); }

    // "h:mm:ss" run so far; empty when no timer is on.
    QString ElapsedText() const;
    // "Client: Project", or "" when idle.
    QString ProjectText() const;
    // One line for a title or tooltip: "Timer running: 0:12:03 - Client: Project", "Timer paused: ...",
    // "No timer running".
    QString StateText() const;

    const Options& GetOptions() const { return m_options; }
    // Keeps the options in the settings; false (nothing kept in memory either) when not written.
    bool SetOptions(const Options& options);
    static Options LoadOptions();
    static bool SaveOptions(const Options& options);

    // Stored projects, the recent ones (in their order) first, then the others by name.
    std::vector<Choice> ProjectChoices() const;
    // Stored categories by code.
    static std::vector<Choice> CategoryChoices();

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The timer started, paused, resumed, stopped, was restored or dropped.
    void changed();
    // Every second while a timer is on.
    void tick();
    // A stop saved this entry (also a stop from before a restart).
    void entrySaved(int entryId, bool editAfterStop);

private:
    int Finish(CEntryTimer::Outcome outcome);
    int AskAboutZeroMinutes(const CEntryTimer::Outcome& outcome);
    bool Report(const CEntryTimer::Outcome& outcome);
    void AskIdleDecision();
    void UpdateTicking();

    CEntryTimer m_timer;
    Options m_options;
    QTimer* m_ticker;
    bool m_asking = false;
    bool m_watching = false;
};
