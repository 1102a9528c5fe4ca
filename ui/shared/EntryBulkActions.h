#pragma once
// Marks several entries paid or billed, or deletes them, for the entries views of both
// programs. The user is asked once, with the number of entries, when there is more than one;
// each entry is still written through its own Save, or removed through the record's deletion
// (which leaves the marker synchronisation relies on), so a failure touches only that entry.
// A failure is reported once, naming the entries that were changed and those that were not.
#include <vector>

#include "platform/CString.h"

class CProjectItem;

class CEntryBulkActions {
public:
    enum class Action { MarkPaid, MarkBilled, Delete };

    struct Outcome {
        std::vector<int> changed;     // IDs written or deleted
        std::vector<int> unchanged;   // IDs the action was meant for but did not reach
        bool asked = false;           // the user was asked and agreed
    };

    // Runs `action` on the entries `ids` (signs ignored). Entries that need no change (already
    // paid; for Mark as Billed also already billed) are left out; nothing happens when none is
    // left or the user declines. One entry is asked about as before: not at all when marking,
    // by its own Delete when deleting.
    static Outcome Run(Action action, const std::vector<int>& ids);

    // How the failure message names an entry: its date and description.
    static CString EntryLabel(const CProjectItem& entry);
    // "Delete the 3 selected entries?", or with fewer to change than selected "Mark 2 of the 3
    // selected entries (the others need no change) as paid?".
    static CString ConfirmationText(Action action, int count, int selected);
};
