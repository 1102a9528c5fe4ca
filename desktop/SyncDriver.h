#pragma once
// The synchronisation operations the main frame's sync commands call, in the engine's terms.
// The program drives the device engine through it; tests drive a scripted one.
#include <functional>
#include <memory>

#include "platform/CString.h"

class CSyncDriver {
public:
    virtual ~CSyncDriver() = default;
    virtual int Initialize() = 0;                               // 1 connected
    virtual int VerifyPartnership() = 0;                        // 1 partners
    virtual int TriggerDeviceSide_SerializeLocalChanges() = 0;
    virtual int SerializeLocalChanges() = 0;
    virtual int ExchangeChangeFiles() = 0;
    virtual int CommitRemoteChanges() = 0;
    virtual int TriggerDeviceSide_CommitRemoteChanges() = 0;
    virtual int PerformFullSync(int direction) = 0;             // 1 desktop -> device
    // What the connection reported for the last failure; empty when it said nothing.
    virtual CString GetLastErrorText() const = 0;
};

using SyncDriverFactory = std::function<std::unique_ptr<CSyncDriver>()>;
