#pragma once
// The synchronisation operations the main frame's sync commands call, in the engine's terms.
// The program drives the device through CSyncDriverCeRapi; tests drive a scripted one.
#include <functional>
#include <memory>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CSyncDriver {
public:
    // What RegularSync answers (the values of CSyncHelper::SyncResult).
    enum : int { RegularFailed = 0, RegularDone = 1, RegularNotPartners = 2 };

    virtual ~CSyncDriver() = default;
    virtual int Initialize() = 0;   // 1 connected
    // The whole regular synchronisation as the library runs it (CSyncHelper::PerformRegularSync);
    // RegularNotPartners changed nothing, RegularFailed says why in GetLastErrorText().
    virtual int RegularSync() = 0;
    // direction 1: this data file replaces the device's; 0: the device's replaces this one.
    virtual int PerformFullSync(int direction) = 0;
    // Why the last operation failed, in the user's words; empty when it said nothing.
    virtual CString GetLastErrorText() const = 0;
};

using SyncDriverFactory = std::function<std::unique_ptr<CSyncDriver>()>;
