// Regular synchronisation end to end on loopback: the desktop build in this process, a real
// quillmar-connectd serving a device folder with the device build, both sides holding the
// 50,000-entry data file, 1,000 entries changed on each side since the last synchronisation.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>

#include "bench/DataFileGenerator.h"
#include "biz/SyncHelper.h"
#include "connection/Rapi.h"
#include "sync/e2e/SyncMachine.h"
#include "testing/TestFiles.h"

namespace {

constexpr int kChangedPerSide = 1000;
constexpr const char* kLastSync = "1/1/2010 12:00:00 AM";
constexpr const char* kEditTime = "1/2/2010 09:30:00 AM";

// Replaces the text between `open` and `close` found at or after `from`; the position after it.
size_t ReplaceBetween(std::string& text, size_t from, const std::string& open, const std::string& close,
                      const std::string& value) {
    const size_t start = text.find(open, from);
    if (start == std::string::npos)
        return std::string::npos;
    const size_t valueStart = start + open.size();
    const size_t end = text.find(close, valueStart);
    if (end == std::string::npos)
        return std::string::npos;
    text.replace(valueStart, end - valueStart, value);
    return valueStart + value.size();
}

// The generated file, stamped as synchronised after all its records were last saved, with
// entries [first, first + count) edited after that.
std::string DataFileWithEdits(const DataFileGenerator::Shape& shape, int first, int count, const std::string& who) {
    std::string text = DataFileGenerator::Generate(shape);
    ReplaceBetween(text, 0, "<lastSync>", "</lastSync>", kLastSync);
    size_t at = 0;
    for (int n = first; n < first + count && at != std::string::npos; ++n) {
        const std::string open = "<projectItem id=\"" + std::to_string(DataFileGenerator::EntryId(shape, n)) + "\"";
        at = text.find(open, at);
        if (at == std::string::npos)
            break;
        at = ReplaceBetween(text, at, "<description>", "</description>", who + " edit " + std::to_string(n));
        if (at != std::string::npos)
            at = ReplaceBetween(text, at, "<modified>", "</modified>", kEditTime);
    }
    return text;
}

class SyncBenchSetup {
public:
    SyncBenchSetup() : machine(Options()) {
        const DataFileGenerator::Shape shape;
        desktopFile = DataFileWithEdits(shape, 0, kChangedPerSide, "desktop");
        deviceFile = DataFileWithEdits(shape, kChangedPerSide, kChangedPerSide, "device");
    }
    static SyncMachine::Options Options() {
        SyncMachine::Options options;
        options.invokeTimeoutMs = 300000;
        return options;
    }

    bool Restore() {
        return WriteFileBytes(machine.DesktopDataFile(), desktopFile) &&
               WriteFileBytes(machine.DeviceDataFile(), deviceFile) && machine.UseDesktopData();
    }

    SyncMachine machine;
    std::string desktopFile;
    std::string deviceFile;
};

const char* StepName(CSyncHelper::SyncStep step) {
    switch (step) {
    case CSyncHelper::SyncStep_VerifyPartnership: return "verify_ms";
    case CSyncHelper::SyncStep_Announce: return "announce_ms";
    case CSyncHelper::SyncStep_DeviceSerialize: return "device_serialize_ms";
    case CSyncHelper::SyncStep_Receive: return "receive_ms";
    case CSyncHelper::SyncStep_DesktopSerialize: return "desktop_serialize_ms";
    case CSyncHelper::SyncStep_Send: return "send_ms";
    case CSyncHelper::SyncStep_DesktopApply: return "desktop_apply_ms";
    case CSyncHelper::SyncStep_DeviceCommit: return "device_commit_ms";
    case CSyncHelper::SyncStep_DesktopComplete: return "desktop_complete_ms";
    }
    return "other_ms";
}

void BM_RegularSync1000EachSideOf50000(benchmark::State& state) {
    SyncBenchSetup setup;
    if (!setup.machine.Ready() || !setup.machine.StartService()) {
        state.SkipWithError(setup.machine.Problem().c_str());
        return;
    }
    std::map<std::string, double> stepTotals;
    double connectTotal = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!setup.Restore()) {
            state.SkipWithError("the data files could not be restored");
            return;
        }
        state.ResumeTiming();
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        CSyncHelper helper;
        if (!helper.Initialize()) {
            state.SkipWithError(helper.GetLastErrorText().ToUtf8().c_str());
            return;
        }
        auto stepStart = Clock::now();
        connectTotal += std::chrono::duration<double, std::milli>(stepStart - start).count();
        const char* current = nullptr;
        const int result = helper.PerformRegularSync([&](CSyncHelper::SyncStep step) {
            const auto now = Clock::now();
            if (current)
                stepTotals[current] += std::chrono::duration<double, std::milli>(now - stepStart).count();
            current = StepName(step);
            stepStart = now;
        });
        if (current)
            stepTotals[current] += std::chrono::duration<double, std::milli>(Clock::now() - stepStart).count();
        if (result != CSyncHelper::SyncResult_Done) {
            state.SkipWithError(helper.GetLastErrorText().ToUtf8().c_str());
            return;
        }
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["connect_ms"] = connectTotal / runs;
    for (const auto& [name, total] : stepTotals)
        state.counters[name] = total / runs;
    CeRapiUninit();
}

}   // namespace

BENCHMARK(BM_RegularSync1000EachSideOf50000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
