#pragma once
// What the end-to-end synchronisation tests share: a SyncMachine with its service running,
// confirmations answered yes, records made and changed by RefID on either side, and a set of
// changes on both sides (new records, edits, deletions and both conflict kinds) with the
// outcome every synchronisation must reach.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/MessageBox.h"
#include "sync/e2e/DataSnapshot.h"
#include "sync/e2e/SyncMachine.h"
#include "testing/ScriptedMessageBox.h"

class SyncE2eTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the device's data file the desktop's, stamped as just synchronised, without the
    // connection (tests of the regular synchronisation start from here).
    void PartnerLocally();

    // Records on the side whose data the process's store holds; RefIDs identify them.
    std::string NewClient(const std::string& description);
    std::string NewCategory(const std::string& description);
    std::string NewEntry(const std::string& description);
    void ChangeDescription(const std::string& kind, const std::string& refId, const std::string& description);
    void DeleteRecord(const std::string& kind, const std::string& refId);

    // The base records of the workload, on the desktop, before partnering.
    void MakeWorkloadBase();
    // The changes of both sides; call after PartnerLocally and WaitForNextSecond.
    void MakeWorkloadChanges();
    // Both sides hold the outcome of the workload, with nothing left over.
    void ExpectWorkloadOutcome();
    // Both data files hold the same records, no deletion markers and no change files.
    void ExpectConverged();

    // A file of the device's program folder, its name matched without regard to case.
    std::string DeviceFileNoCase(const std::string& name) const;

    DataSnapshot Desktop() const { return DataSnapshot::Read(machine->DesktopDataFile()); }
    DataSnapshot Device() const { return DataSnapshot::Read(machine->DeviceDataFile()); }

    std::unique_ptr<SyncMachine> machine;
    std::optional<ScriptedMessageBox> boxes;

    struct Workload {
        std::string clientA, clientB, category, entryD, entryE, entryF, entryG;
        std::string desktopNew, deviceNew;
    } work;
};
