// One side's half of a regular synchronisation on a full-size data file (50,000 entries):
// SerializeLocalChanges with 1,000 entries changed since the last synchronisation, and
// CommitRemoteChanges of a change file of 1,000 entries (half of them stored here already,
// half new). Goal: both well under a second each, so that a whole synchronisation of 1,000
// changes on each side stays under 3 seconds. Measured with and without the disk sync; the
// "OneByOne" variants show the record-by-record path on 100 changes for comparison.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/DataFileGenerator.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;

const DataFileGenerator::Shape kShape;
constexpr int kChanges = 1000;
constexpr int kOneByOneChanges = 100;

CDataHelper& Store() { return *GetCurrDataHelper(); }

// A data folder of its own, the generated file, and the two starting points of the benchmarks
// (a file with changes to serialise, a change file to commit), for the life of the process.
class BenchData {
public:
    BenchData() {
        std::string pattern = (fs::temp_directory_path() / "quillmar-commitbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        setenv("QUILLMAR_DATA_DIR", m_folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_folder + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_folder + "/.local/share").c_str(), 1);
        SetMessageBoxHandler([](const CString&, const CString&, unsigned) { return IDYES; });
        Clock::Set(COleDateTime(2026, 12, 8, 10, 0, 0));
        SetDiskSyncEnabled(false);
        if (!DataFileGenerator::WriteFile(Pristine(), kShape))
            std::abort();
        MakeChangedFile();
        SetDiskSyncEnabled(true);
    }
    ~BenchData() {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    // The generated file, loaded, with no change file beside it.
    void ResetToPristine() { Reset(Pristine()); }
    // The generated file after "lastSync" was set and then `kChanges` entries were saved.
    void ResetToChanged() { Reset(Changed()); }

    // The other side's change file: `count` entries, the first half stored here already.
    void WriteIncomingChangeFile(int count) {
        std::string text = "<quillmar>\r\n";
        for (int k = 0; k < count; ++k)
            text += IncomingEntry(k, count);
        text += "</quillmar>\r\n";
        std::ofstream(m_folder + "/device.xml", std::ios::binary) << text;
    }

private:
    std::string Pristine() const { return m_folder + "/pristine.dat"; }
    std::string Changed() const { return m_folder + "/changed.dat"; }
    std::string DataFile() const { return m_folder + "/Quillmar.dat"; }

    void Reset(const std::string& source) {
        std::error_code error;
        fs::copy_file(source, DataFile(), fs::copy_options::overwrite_existing, error);
        fs::remove(m_folder + "/desktop.xml", error);
        fs::remove(m_folder + "/device.xml", error);
        if (error || !Store().Initialize())
            std::abort();
    }

    // Spread over the file, so removals fall everywhere in it.
    static int StoredEntryId(int k) { return DataFileGenerator::EntryId(kShape, (k * 97) % kShape.entries); }

    // The stored entries chosen for changing, read in one pass (a lookup per entry would
    // search the whole file each time).
    std::vector<std::unique_ptr<CProjectItem>> ChosenEntries() {
        std::unique_ptr<CObArray> all(Store().GetObjectList(u"projectItem"));
        std::map<int, std::unique_ptr<CProjectItem>> byId;
        for (auto& item : all->Items()) {
            std::unique_ptr<CProjectItem> entry(static_cast<CProjectItem*>(item.release()));
            const int id = entry->get_ID();
            byId.emplace(id, std::move(entry));
        }
        std::vector<std::unique_ptr<CProjectItem>> chosen;
        for (int k = 0; k < kChanges; ++k) {
            auto found = byId.find(StoredEntryId(k));
            if (found == byId.end() || !found->second)
                std::abort();
            chosen.push_back(std::move(found->second));
        }
        return chosen;
    }

    void MakeChangedFile() {
        Reset(Pristine());
        std::vector<std::unique_ptr<CProjectItem>> entries = ChosenEntries();
        for (const auto& entry : entries)
            m_storedRefIds.push_back(entry->get_RefID().ToUtf8());
        Store().SetMetaDataValue(u"lastSync", CDateTimeFormatter::FormatDateTimeForDB(Clock::LocalNow()));
        Clock::AdvanceSeconds(60);
        Store().BeginRecordBatch();
        for (const auto& entry : entries) {
            entry->set_Custom1(u"changed");
            entry->Save();
        }
        if (!Store().EndRecordBatch())
            std::abort();
        std::error_code error;
        fs::copy_file(DataFile(), Changed(), fs::copy_options::overwrite_existing, error);
        if (error)
            std::abort();
    }

    std::string IncomingEntry(int k, int count) const {
        const std::string refId =
            k < count / 2 ? m_storedRefIds[static_cast<size_t>(k)] : "BENCHNEW" + std::to_string(k);
        return "<projectItem id=\"" + std::to_string(900000 + k) + "\" refId=\"" + refId +
               "\" projectRef=\"SAMP002\">\r\n<description>Incoming " + std::to_string(k) +
               "</description>\r\n<modified>12/8/2026 09:30:00 AM</modified>\r\n<itemDate>12/7/2026</itemDate>\r\n"
               "<itemType>1</itemType>\r\n<pymtStatus>0</pymtStatus>\r\n<billAmount>42.5</billAmount>\r\n"
               "<duration>60</duration>\r\n<startTime>09:00:00 AM</startTime>\r\n<endTime>10:00:00 AM</endTime>\r\n"
               "<custom1>PO-" +
               std::to_string(k) + "</custom1>\r\n</projectItem>\r\n";
    }

    std::string m_folder;
    std::vector<std::string> m_storedRefIds;   // of the entries chosen for changing
};

BenchData& Data() {
    static BenchData data;
    return data;
}

void Serialize(benchmark::State& state, bool diskSync) {
    SetDiskSyncEnabled(diskSync);
    for (auto _ : state) {
        state.PauseTiming();
        Data().ResetToChanged();
        state.ResumeTiming();
        if (CSyncHelper().SerializeLocalChanges() != kChanges)
            state.SkipWithError("wrong number of records written");
    }
    SetDiskSyncEnabled(true);
}

void Commit(benchmark::State& state, bool diskSync, int changes, bool batched) {
    SetDiskSyncEnabled(diskSync);
    CDataHelper::SetRecordBatchEnabled(batched);
    for (auto _ : state) {
        state.PauseTiming();
        Data().ResetToPristine();
        Data().WriteIncomingChangeFile(changes);
        state.ResumeTiming();
        if (CSyncHelper().CommitRemoteChanges() != 1)
            state.SkipWithError("commit failed");
    }
    CDataHelper::SetRecordBatchEnabled(true);
    SetDiskSyncEnabled(true);
}

void BM_SerializeLocalChanges(benchmark::State& state) { Serialize(state, state.range(0) != 0); }
BENCHMARK(BM_SerializeLocalChanges)->ArgName("diskSync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CommitRemoteChanges(benchmark::State& state) { Commit(state, state.range(0) != 0, kChanges, true); }
BENCHMARK(BM_CommitRemoteChanges)->ArgName("diskSync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CommitRemoteChangesOneByOne100(benchmark::State& state) { Commit(state, false, kOneByOneChanges, false); }
BENCHMARK(BM_CommitRemoteChangesOneByOne100)->Unit(benchmark::kMillisecond)->Iterations(1);

}   // namespace

BENCHMARK_MAIN();
