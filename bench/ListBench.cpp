// A view's work on a full-size data file (50,000 entries): the entries of the period, the filter,
// the summary and what each row shows (project name, category code). The views ask the store
// for their period (GetEntriesInRange); the WholeFile benchmarks build every entry, as the views
// did before, for comparison. Goals: a week under 30 ms, a month under 60 ms, a year under
// 300 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchFolder.h"
#include "bench/DataFileGenerator.h"
#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "platform/ObArray.h"

namespace {

// A data folder of its own holding the generated file, loaded once for the process.
class WeekViewData {
public:
    WeekViewData() {
        m_folder = m_bench.Path();
        if (!DataFileGenerator::WriteFile(m_folder + "/Quillmar.dat", DataFileGenerator::Shape()) ||
            !GetCurrDataHelper()->Initialize())
            std::abort();
    }

private:
    CBenchFolder m_bench{"quillmar-listbench"};
    std::string m_folder;
};

// The week from Monday 30 December 2002, which holds two of the generated dates.
CProjectItemFilter WeekFilter() {
    static WeekViewData data;
    CProjectItemFilter filter;
    filter.m_dtStart = COleDateTime(2002, 12, 30, 0, 0, 0);
    filter.m_dtEnd = COleDateTime(2003, 1, 5, 23, 59, 59);
    return filter;
}

// The client of the first entry of the week, for the active filter.
CString ClientOfTheWeek(const CProjectItemFilter& week) {
    std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
    for (int i = 0; i < entries->GetSize(); ++i) {
        auto* entry = static_cast<CProjectItem*>(entries->GetAt(i));
        if (week.RunOnItem(entry) == 0)
            return entry->get_ClientRef();
    }
    return CString();
}

void RunWeekView(benchmark::State& state, const CProjectItemFilter& filter) {
    int shown = 0;
    for (auto _ : state) {
        std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        CSummaryData summary;
        shown = 0;
        for (int i = 0; i < entries->GetSize(); ++i) {
            auto* entry = static_cast<CProjectItem*>(entries->GetAt(i));
            if (filter.RunOnItem(entry))
                continue;
            summary.AddItem(entry);
            benchmark::DoNotOptimize(FormatProjectName(entry->get_ProjectRef()));
            ++shown;
        }
    }
    state.counters["shown"] = shown;
}

void BM_WholeFileWeekViewInactiveFilter(benchmark::State& state) { RunWeekView(state, WeekFilter()); }
BENCHMARK(BM_WholeFileWeekViewInactiveFilter)->Unit(benchmark::kMillisecond);

void BM_WholeFileWeekViewFilterOnOneClient(benchmark::State& state) {
    CProjectItemFilter filter = WeekFilter();
    filter.m_strClientRef = ClientOfTheWeek(filter);
    filter.m_bActive = 1;
    RunWeekView(state, filter);
}
BENCHMARK(BM_WholeFileWeekViewFilterOnOneClient)->Unit(benchmark::kMillisecond);

// The category code a row shows, looked up as the views look it up.
CString CategoryCodeOf(const CProjectItem& entry) {
    CCategory category;
    category.set_ID(GetCurrDataHelper()->RefID_To_ID(entry.get_CategoryRef(), u"category"));
    return category.get_ID() != 0 && category.Load() ? category.get_Code() : CString();
}

// What CEntryRows::ForEachListed and the rows do for a view of `filter`'s period.
void RunPeriodView(benchmark::State& state, const CProjectItemFilter& filter) {
    int shown = 0;
    for (auto _ : state) {
        const auto entries = GetCurrDataHelper()->GetEntriesInRange(filter.m_dtStart, filter.m_dtEnd);
        CSummaryData summary;
        shown = 0;
        for (const auto& entry : entries) {
            if (filter.RunOnItem(entry.get()))
                continue;
            summary.AddItem(entry.get());
            benchmark::DoNotOptimize(FormatProjectName(entry->get_ProjectRef()));
            benchmark::DoNotOptimize(CategoryCodeOf(*entry));
            ++shown;
        }
    }
    state.counters["shown"] = shown;
}

CProjectItemFilter PeriodFilter(const COleDateTime& from, const COleDateTime& to) {
    CProjectItemFilter filter = WeekFilter();
    filter.m_dtStart = from;
    filter.m_dtEnd = to;
    return filter;
}

void BM_WeekView(benchmark::State& state) { RunPeriodView(state, WeekFilter()); }
BENCHMARK(BM_WeekView)->Unit(benchmark::kMillisecond);

void BM_WeekViewFilterOnOneClient(benchmark::State& state) {
    CProjectItemFilter filter = WeekFilter();
    filter.m_strClientRef = ClientOfTheWeek(filter);
    filter.m_bActive = 1;
    RunPeriodView(state, filter);
}
BENCHMARK(BM_WeekViewFilterOnOneClient)->Unit(benchmark::kMillisecond);

// January 2003: seven of the generated dates.
void BM_MonthView(benchmark::State& state) {
    RunPeriodView(state, PeriodFilter(COleDateTime(2003, 1, 1, 0, 0, 0), COleDateTime(2003, 1, 31, 23, 59, 59)));
}
BENCHMARK(BM_MonthView)->Unit(benchmark::kMillisecond);

// 2003: a quarter of the file.
void BM_YearView(benchmark::State& state) {
    RunPeriodView(state, PeriodFilter(COleDateTime(2003, 1, 1, 0, 0, 0), COleDateTime(2003, 12, 31, 23, 59, 59)));
}
BENCHMARK(BM_YearView)->Unit(benchmark::kMillisecond);

// The walk that a search across all dates starts from: every entry's stored text, no record built.
void BM_EveryEntryMarkup(benchmark::State& state) {
    WeekFilter();
    size_t characters = 0;
    for (auto _ : state) {
        characters = 0;
        GetCurrDataHelper()->ForEachEntry([&characters](const CStoredEntry& entry) {
            characters += entry.Markup().size();
            return true;
        });
    }
    state.counters["characters"] = static_cast<double>(characters);
}
BENCHMARK(BM_EveryEntryMarkup)->Unit(benchmark::kMillisecond);

// The index read afresh, as after loading the file or a synchronisation's commit.
void BM_IndexReadAfresh(benchmark::State& state) {
    WeekFilter();
    for (auto _ : state) {
        CRecordIndex index;
        index.Update(*GetCurrDataHelper()->GetCurrentDataStore());
        benchmark::DoNotOptimize(index.EntryCount());
    }
}
BENCHMARK(BM_IndexReadAfresh)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
