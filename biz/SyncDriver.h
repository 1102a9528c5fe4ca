#pragma once
// The synchronisation operations the main frame's sync commands call, in the engine's terms.
// The program drives the device through CSyncDriverCeRapi; tests drive a scripted one.
#include <functional>
#include <memory>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CSyncDriver {
public:
    virtual ~CSyncDriver() = default;
    virtual int Initialize() = 0;   // 1 connected
    // 1 partners, 0 not; 0 with GetLastErrorText() set when the device could not be asked.
    virtual int VerifyPartnership() = 0;
    // The regular steps, in the order the flow calls them; each 1 done, 0 failed.
    virtual int TriggerDeviceSide_SerializeLocalChanges() = 0;
    virtual int SerializeLocalChanges() = 0;
    virtual int ExchangeChangeFiles() = 0;
    virtual int CommitRemoteChanges() = 0;
    virtual int TriggerDeviceSide_CommitRemoteChanges() = 0;
    // direction 1: this data file replaces the device's; 0: the device's replaces this one.
    virtual int PerformFullSync(int direction) = 0;
    // What the connection reported for the last failure; empty when it said nothing.
    virtual CString GetLastErrorText() const = 0;
};

using SyncDriverFactory = std::function<std::unique_ptr<CSyncDriver>()>;
