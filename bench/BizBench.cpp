// The data store on a full-size data file (50,000 entries): start-up, the entries list, saving,
// deleting and finding a record. Goals: GetObjectList("projectItem") under 300 ms; one Save, as
// a user makes it (the disk idle before it), under 40 ms wall. Saves one after the other are
// also measured; they wait for the disk to take the files before them.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "bench/BenchFolder.h"
#include "bench/DataFileGenerator.h"
#include "biz/DataHelper.h"
#include "biz/ProjectItem.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "platform/Paths.h"

namespace {

const DataFileGenerator::Shape kShape;

// A data folder of its own holding the generated file, for the life of the process.
class BenchData {
public:
    BenchData() {
        m_folder = m_bench.Path();
        SetMessageBoxHandler([](const CString&, const CString&, unsigned) { return IDYES; });
        Reset();
    }
    // A fresh copy of the generated file, loaded.
    void Reset() {
        if (!DataFileGenerator::WriteFile(m_folder + "/Quillmar.dat", kShape) || !GetCurrDataHelper()->Initialize())
            std::abort();
    }

private:
    CBenchFolder m_bench{"quillmar-bizbench"};
    std::string m_folder;
};

BenchData& Data() {
    static BenchData data;
    return data;
}

void BM_Initialize(benchmark::State& state) {
    Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(GetCurrDataHelper()->Initialize());
}
BENCHMARK(BM_Initialize)->Unit(benchmark::kMillisecond);

void BM_GetObjectListOfEntries(benchmark::State& state) {
    Data().Reset();
    for (auto _ : state) {
        std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        if (entries->GetSize() != kShape.entries)
            state.SkipWithError("wrong number of entries");
    }
}
BENCHMARK(BM_GetObjectListOfEntries)->Unit(benchmark::kMillisecond);

// The same without releasing the list (DisposeObArray), which the caller pays separately.
void BM_GetObjectListOfEntriesWithoutRelease(benchmark::State& state) {
    Data().Reset();
    for (auto _ : state) {
        std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        state.PauseTiming();
        entries.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GetObjectListOfEntriesWithoutRelease)->Unit(benchmark::kMillisecond);

// Saves entries spread over the file, each one once. `pause`: time between saves, as a user
// leaves it, so that the disk has written the last file before the next save starts; without
// it the saves follow each other as closely as the disk allows.
void SaveEntries(benchmark::State& state, bool diskSync, std::chrono::milliseconds pause) {
    Data().Reset();
    SetDiskSyncEnabled(diskSync);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CProjectItem entry;
        entry.set_ID(DataFileGenerator::EntryId(kShape, (n++ * 7919) % kShape.entries));
        if (!entry.Load())
            state.SkipWithError("entry not found");
        entry.set_BillAmount(entry.get_BillAmount() + 1.0f);
        std::this_thread::sleep_for(pause);
        state.ResumeTiming();
        if (!entry.Save())
            state.SkipWithError("save failed");
    }
    SetDiskSyncEnabled(true);
}

void BM_SaveEntryWithoutDiskSync(benchmark::State& state) { SaveEntries(state, false, {}); }
BENCHMARK(BM_SaveEntryWithoutDiskSync)->Unit(benchmark::kMillisecond);

void BM_SaveEntryWithDiskSync(benchmark::State& state) { SaveEntries(state, true, {}); }
BENCHMARK(BM_SaveEntryWithDiskSync)->Unit(benchmark::kMillisecond);

// The user's case: one save, the disk idle before it.
void BM_SaveEntryAfterAPause(benchmark::State& state) { SaveEntries(state, true, std::chrono::milliseconds(150)); }
BENCHMARK(BM_SaveEntryAfterAPause)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_DeleteEntryWithoutDiskSync(benchmark::State& state) {
    Data().Reset();
    SetDiskSyncEnabled(false);
    int n = 0;
    for (auto _ : state) {
        CProjectItem entry;
        entry.set_ID(DataFileGenerator::EntryId(kShape, n++ % kShape.entries));
        if (!entry.Delete())
            state.SkipWithError("delete failed");
    }
    SetDiskSyncEnabled(true);
}
BENCHMARK(BM_DeleteEntryWithoutDiskSync)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_FindObjectOfTheLastRecord(benchmark::State& state) {
    Data().Reset();
    const int lastId = DataFileGenerator::EntryId(kShape, kShape.entries - 1);
    for (auto _ : state) {
        if (!GetCurrDataHelper()->FindObject(lastId, u"projectItem"))
            state.SkipWithError("last record not found");
    }
}
BENCHMARK(BM_FindObjectOfTheLastRecord)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
