// A search across all dates of the 50,000-entry file for a word that 1% of the entries hold
// (every hundredth entry's third custom field gets "Zürich"; the user types "zurich"): the
// entries found, in date order, with the names they are matched against. Goal: under 100 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchFolder.h"
#include "bench/DataFileGenerator.h"
#include "biz/DataHelper.h"
#include "biz/EntryMatcher.h"
#include "biz/EntrySearch.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"

namespace {

// Puts the word into the third custom field of every hundredth entry.
std::string WithRareWord(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 1000);
    int seen = 0;
    size_t from = 0;
    for (size_t at = text.find("<custom3>"); at != std::string::npos; at = text.find("<custom3>", at + 1)) {
        out.append(text, from, at + 9 - from);
        from = at + 9;
        if (seen++ % 100 == 0)
            out += "Z\xC3\xBCrich ";
    }
    out.append(text, from, std::string::npos);
    return out;
}

class SearchData {
public:
    SearchData() {
        m_folder = m_bench.Path();
        const std::string text = WithRareWord(DataFileGenerator::Generate());
        std::ofstream(m_folder + "/Quillmar.dat", std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!GetCurrDataHelper()->Initialize())
            std::abort();
    }

private:
    CBenchFolder m_bench{"quillmar-searchbench"};
    std::string m_folder;
};

void RunSearch(benchmark::State& state, const CString& typed) {
    static SearchData data;
    const CProjectItemFilter filter;   // the period's dates do not apply across all dates
    int found = 0;
    for (auto _ : state) {
        const CRecordNames names;
        const CEntryMatcher matcher(typed);
        const CEntrySearch search(filter, matcher, true, names);
        found = search.GetSize();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = found;
}

void BM_SearchAllDatesOnePercent(benchmark::State& state) { RunSearch(state, u"zurich"); }
BENCHMARK(BM_SearchAllDatesOnePercent)->Unit(benchmark::kMillisecond);

// Two words, one of them in most entries: the rarer one decides what is built.
void BM_SearchAllDatesTwoWords(benchmark::State& state) { RunSearch(state, u"ZURICH design"); }
BENCHMARK(BM_SearchAllDatesTwoWords)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
