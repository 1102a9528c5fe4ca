// The data store on a full-size data file (50,000 entries): start-up, the entries list, saving,
// deleting and finding a record. Goals: GetObjectList("projectItem") under 300 ms; one Save
// under 100 ms without the disk sync (also measured with it).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

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

void SaveOneEntry(benchmark::State& state, bool diskSync) {
    Data().Reset();
    SetDiskSyncEnabled(diskSync);
    CProjectItem entry;
    entry.set_ID(DataFileGenerator::EntryId(kShape, kShape.entries / 2));
    if (!entry.Load())
        state.SkipWithError("entry not found");
    for (auto _ : state) {
        entry.set_BillAmount(entry.get_BillAmount() + 1.0f);
        if (!entry.Save())
            state.SkipWithError("save failed");
    }
    SetDiskSyncEnabled(true);
}

void BM_SaveEntryWithoutDiskSync(benchmark::State& state) { SaveOneEntry(state, false); }
BENCHMARK(BM_SaveEntryWithoutDiskSync)->Unit(benchmark::kMillisecond);

void BM_SaveEntryWithDiskSync(benchmark::State& state) { SaveOneEntry(state, true); }
BENCHMARK(BM_SaveEntryWithDiskSync)->Unit(benchmark::kMillisecond);

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
