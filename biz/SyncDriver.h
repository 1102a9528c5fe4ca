#pragma once
// The synchronisation operations the main frame's sync commands call, in the engine's terms.
// The program drives the device through CSyncDriverCeRapi; tests drive a scripted one.
#include <functional>
#include <memory>
#include <optional>

#include "biz/BizExport.h"
#include "biz/DataFileSummary.h"
#include "biz/SyncSummary.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CSyncDriver {
public:
    // What RegularSync answers (the values of CSyncHelper::SyncResult).
    enum : int { RegularFailed = 0, RegularDone = 1, RegularNotPartners = 2 };

    virtual ~CSyncDriver() = default;
    // False when no device is paired yet, so connecting cannot even start.
    virtual bool IsPaired() const { return true; }
    virtual int Initialize() = 0;   // 1 connected
    // The steps a regular synchronisation announces (CSyncHelper::SyncStep): step 0 checks the
    // partnership, steps 1 to kLastStep do the work.
    static constexpr int kLastStep = 8;
    using StepCallback = std::function<void(int step)>;

    // The whole regular synchronisation as the library runs it (CSyncHelper::PerformRegularSync);
    // RegularNotPartners changed nothing, RegularFailed says why in GetLastErrorText().
    // `beforeStep` (may be empty) is told each step before it runs.
    virtual int RegularSync(const StepCallback& beforeStep) = 0;
    // What the last regular synchronisation sent, received and reconciled on this side.
    virtual CSyncSummary GetSummary() const = 0;
    // What the device's data file holds, read over the connection after Initialize; nothing when
    // it could not be read.
    virtual std::optional<CDataFileSummary> DeviceDataSummary() { return std::nullopt; }
    // direction 1: this data file replaces the device's; 0: the device's replaces this one.
    virtual int PerformFullSync(int direction) = 0;
    // Why the last operation failed, in the user's words; empty when it said nothing.
    virtual CString GetLastErrorText() const = 0;
};

using SyncDriverFactory = std::function<std::unique_ptr<CSyncDriver>()>;
