#pragma once
// What one synchronisation changed, counted as it runs, for the summary the user reads
// afterwards. Kinds are the records' element names ("client", "project", "category",
// "projectItem").
#include <map>
#include <string>

#include "biz/BizExport.h"

struct QUILLMAR_BIZ_EXPORT CSyncSummary {
    std::map<std::u16string, int> sent;       // records this side sent, by kind
    std::map<std::u16string, int> received;   // records of the other side saved here, by kind
    int deletionsSent = 0;                    // deletions this side sent
    int deletionsApplied = 0;                 // records removed here by the other side's deletions
    // Both sides changed the record: this side kept its version (and the other side takes it).
    int conflictsKeptOwn = 0;
    // Changed here while the synchronisation ran: kept here, sent with the next one.
    int conflictsChangedMeanwhile = 0;
    // Deleted here but changed on the other side: the changed record came back.
    int conflictsRestored = 0;
    // Deleted on the other side but changed here: kept, the deletion not applied.
    int conflictsDeletionRefused = 0;

    int SentTotal() const;
    int ReceivedTotal() const;
    int Conflicts() const;
    void ClearSent();
    void ClearReceived();
};
