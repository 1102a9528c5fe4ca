#pragma once
// Tells the user when a save has to wait for another process (a synchronisation committing
// into the same data file): a note over the active window and a busy cursor, both gone as soon
// as the program runs its event loop again, which is after the save landed.
#include <QString>

class QWidget;

class CLockWaitNotice {
public:
    // Installs the notice as the data store's lock-wait handler for this program.
    static void Install();
    // Shows the notice now (what the handler does); the note is a child of the active window.
    static void Show();
    // The note while it is shown, else null (for tests).
    static QWidget* Shown();
    static QString Text();
};
