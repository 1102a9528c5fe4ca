// A week view's work on a full-size data file (50,000 entries): the entries list, the filter on
// every entry (inactive, and active on one client), the summary and the project names of the
// entries that pass. Goal: the whole under 400 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/DataFileGenerator.h"
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
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-listbench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        setenv("QUILLMAR_DATA_DIR", m_folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_folder + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_folder + "/.local/share").c_str(), 1);
        if (!DataFileGenerator::WriteFile(m_folder + "/Quillmar.dat", DataFileGenerator::Shape()) ||
            !GetCurrDataHelper()->Initialize())
            std::abort();
    }
    ~WeekViewData() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

private:
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

void BM_WeekViewInactiveFilter(benchmark::State& state) { RunWeekView(state, WeekFilter()); }
BENCHMARK(BM_WeekViewInactiveFilter)->Unit(benchmark::kMillisecond);

void BM_WeekViewFilterOnOneClient(benchmark::State& state) {
    CProjectItemFilter filter = WeekFilter();
    filter.m_strClientRef = ClientOfTheWeek(filter);
    filter.m_bActive = 1;
    RunWeekView(state, filter);
}
BENCHMARK(BM_WeekViewFilterOnOneClient)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
