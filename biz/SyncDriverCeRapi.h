#pragma once
// The synchronisation driver over the real device connection: CSyncHelper's desktop half.
// The regular steps keep the order the main frame calls them in, with two changes that keep
// a failed synchronisation repeatable: committing the device's changes here does not yet
// complete this side (the change files and "lastSync" stay), and the device's commit
// completes it once the device reported success. After a step has failed, the later steps
// do nothing and fail too, so nothing runs on half-exchanged data.
#include "biz/SyncHelper.h"
#include "biz/SyncDriver.h"

class CSyncDriverCeRapi : public CSyncDriver {
public:
    int Initialize() override;
    int VerifyPartnership() override;
    int TriggerDeviceSide_SerializeLocalChanges() override;
    int SerializeLocalChanges() override;
    int ExchangeChangeFiles() override;
    int CommitRemoteChanges() override;
    int TriggerDeviceSide_CommitRemoteChanges() override;
    int PerformFullSync(int direction) override;
    CString GetLastErrorText() const override;

    // The factory the main frame is given in the program.
    static SyncDriverFactory Factory();

private:
    // Runs one step unless an earlier one failed; remembers a failure.
    template <typename Step>
    int Run(Step step);

    CSyncHelper m_helper;
    bool m_failed = false;
    CString m_failure;
};
