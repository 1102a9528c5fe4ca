#pragma once
// Watches one command that writes the data file. A record's Save or Delete gives 0 both when
// the user declined and when the file could not be written; only the second must be told, once,
// with the data file and the reason, so that nothing the user did looks saved when it is not.
#include "platform/CString.h"

class CBaseObject;

class CWriteCheck {
public:
    CWriteCheck();
    // A write of the data store failed since this check was made.
    bool Failed() const;
    // Shows the one failure message when a write failed; true when it did.
    bool ReportIfFailed() const;

    // "Your change could not be saved in the data file "…/Quillmar.dat". <reason>"
    static CString FailureMessage();
    // Shows FailureMessage (stop icon).
    static void ReportFailure();
    // After a synchronisation replaced the data file, the store's Initialize could not load it
    // (nor make a usable one): says so, with the data file and the reason.
    static CString ReloadFailureMessage();
    static void ReportReloadFailure();
    // Saves the record when it is dirty: 1 saved, 0 nothing to save, -1 the save failed and
    // was reported (the record stays dirty; the data file and memory are as before).
    static int SaveIfDirty(CBaseObject& record);

private:
    unsigned m_nFailedBefore = 0;
};
