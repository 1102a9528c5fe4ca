// A regular synchronisation interrupted at each step, by the service being killed or the
// connection being cut, then repeated in full: both sides converge and nothing is lost.
#include <ostream>
#include <string>

#include "biz/SyncHelper.h"
#include "sync/e2e/SyncE2eFixture.h"

namespace {

enum class Interruption {
    KillService,         // the service and its children die as the step begins
    DropRequest,         // the step's first request never reaches the device
    DropAnswer,          // the device does the step's first request; its answer is lost
    KillAfterRequest,    // the step's first request reaches the device, then the service dies
    DropSecondRequest,   // the step's second request never arrives (half a file copy)
};

struct FaultCase {
    CSyncHelper::SyncStep step;
    Interruption interruption;
};

const char* StepName(CSyncHelper::SyncStep step) {
    switch (step) {
    case CSyncHelper::SyncStep_VerifyPartnership: return "VerifyPartnership";
    case CSyncHelper::SyncStep_Announce: return "Announce";
    case CSyncHelper::SyncStep_DeviceSerialize: return "DeviceSerialize";
    case CSyncHelper::SyncStep_Receive: return "Receive";
    case CSyncHelper::SyncStep_DesktopSerialize: return "DesktopSerialize";
    case CSyncHelper::SyncStep_Send: return "Send";
    case CSyncHelper::SyncStep_DesktopApply: return "DesktopApply";
    case CSyncHelper::SyncStep_DeviceCommit: return "DeviceCommit";
    case CSyncHelper::SyncStep_DesktopComplete: return "DesktopComplete";
    }
    return "Unknown";
}

const char* InterruptionName(Interruption interruption) {
    switch (interruption) {
    case Interruption::KillService: return "KillService";
    case Interruption::DropRequest: return "DropRequest";
    case Interruption::DropAnswer: return "DropAnswer";
    case Interruption::KillAfterRequest: return "KillAfterRequest";
    case Interruption::DropSecondRequest: return "DropSecondRequest";
    }
    return "Unknown";
}

// Readable parameters in failure messages.
[[maybe_unused]] void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << StepName(fault.step) << " / " << InterruptionName(fault.interruption);
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
    return std::string(StepName(info.param.step)) + "_" + InterruptionName(info.param.interruption);
}

class SyncFault : public SyncE2eTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    void Interrupt(Interruption interruption) {
        SyncMachine* const device = machine.get();
        switch (interruption) {
        case Interruption::KillService: device->KillService(); break;
        case Interruption::DropRequest: device->Proxy().Arm(LoopbackProxy::Fault::DropRequest); break;
        case Interruption::DropAnswer: device->Proxy().Arm(LoopbackProxy::Fault::DropAnswer); break;
        case Interruption::KillAfterRequest:
            device->Proxy().Arm(LoopbackProxy::Fault::RunAfterRequest, 0, [device] { device->KillService(); });
            break;
        case Interruption::DropSecondRequest: device->Proxy().Arm(LoopbackProxy::Fault::DropRequest, 1); break;
        }
    }
};

// The steps at which no request is left afterwards cannot be cut; the synchronisation then
// ends normally.
bool RequestsFollow(CSyncHelper::SyncStep step) { return step != CSyncHelper::SyncStep_DesktopComplete; }

}   // namespace

TEST_P(SyncFault, RepeatingTheSynchronisationConverges) {
    const FaultCase fault = GetParam();
    MakeWorkloadBase();
    PartnerLocally();
    WaitForNextSecond();
    MakeWorkloadChanges();
    {
        CSyncHelper helper;
        ASSERT_EQ(helper.Initialize(), 1) << helper.GetLastErrorText().ToUtf8();
        const int result = helper.PerformRegularSync([&](CSyncHelper::SyncStep step) {
            if (step == fault.step)
                Interrupt(fault.interruption);
        });
        if (RequestsFollow(fault.step)) {
            EXPECT_EQ(result, CSyncHelper::SyncResult_Failed);
            EXPECT_FALSE(helper.GetLastErrorText().IsEmpty());
        } else {
            EXPECT_EQ(result, CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
        }
    }
    machine->Proxy().Disarm();
    if (!machine->ServiceRunning()) {
        ASSERT_TRUE(machine->StartService()) << machine->Problem();
    }
    ASSERT_TRUE(machine->UseDesktopData());

    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1) << helper.GetLastErrorText().ToUtf8();
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    ExpectWorkloadOutcome();
}

namespace {

std::vector<FaultCase> AllFaultCases() {
    using S = CSyncHelper::SyncStep;
    std::vector<FaultCase> cases;
    // Steps that talk to the device, with every way the connection can fail there.
    for (S step : {S::SyncStep_VerifyPartnership, S::SyncStep_Announce, S::SyncStep_DeviceSerialize,
                   S::SyncStep_Receive, S::SyncStep_Send, S::SyncStep_DeviceCommit}) {
        for (Interruption interruption : {Interruption::KillService, Interruption::DropRequest,
                                          Interruption::DropAnswer, Interruption::KillAfterRequest})
            cases.push_back({step, interruption});
    }
    cases.push_back({S::SyncStep_Send, Interruption::DropSecondRequest});
    // Steps of this computer alone: the service dies while they run.
    for (S step : {S::SyncStep_DesktopSerialize, S::SyncStep_DesktopApply, S::SyncStep_DesktopComplete})
        cases.push_back({step, Interruption::KillService});
    return cases;
}

}   // namespace

INSTANTIATE_TEST_SUITE_P(EveryStep, SyncFault, ::testing::ValuesIn(AllFaultCases()), CaseName);

// The device committed, but its answer was lost: the desktop's change file stays here. An edit
// made on the device afterwards to a record the desktop had sent survives the repeat.
TEST_F(SyncE2eTest, RepeatAfterTheDeviceCommittedKeepsLaterDeviceEdits) {
    const std::string client = NewClient("Sent by the desktop");
    PartnerLocally();
    WaitForNextSecond();
    ChangeDescription("client", client, "Desktop edit");
    {
        CSyncHelper helper;
        ASSERT_EQ(helper.Initialize(), 1) << helper.GetLastErrorText().ToUtf8();
        const int result = helper.PerformRegularSync([&](CSyncHelper::SyncStep step) {
            if (step == CSyncHelper::SyncStep_DeviceCommit)
                machine->Proxy().Arm(LoopbackProxy::Fault::DropAnswer);
        });
        ASSERT_EQ(result, CSyncHelper::SyncResult_Failed);
        // The words say what happened without claiming the device failed, and no codes.
        const std::string text = helper.GetLastErrorText().ToUtf8();
        EXPECT_EQ(text.find("failed"), std::string::npos) << text;
        EXPECT_EQ(text.find("0x"), std::string::npos) << text;
        EXPECT_EQ(text.find("Trigger"), std::string::npos) << text;
    }
    machine->Proxy().Disarm();
    ASSERT_EQ(Device().Description("client", client), "Desktop edit");
    WaitForNextSecond();
    ASSERT_TRUE(machine->OnDevice([&] { ChangeDescription("client", client, "Device edit afterwards"); }));
    CSyncHelper helper;
    ASSERT_EQ(helper.Initialize(), 1) << helper.GetLastErrorText().ToUtf8();
    ASSERT_EQ(helper.PerformRegularSync(), CSyncHelper::SyncResult_Done) << helper.GetLastErrorText().ToUtf8();
    EXPECT_EQ(Device().Description("client", client), "Device edit afterwards");
    EXPECT_EQ(Desktop().Description("client", client), "Device edit afterwards");
    ExpectConverged();
}
