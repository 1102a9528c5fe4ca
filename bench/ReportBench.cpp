// Reports and exports on a full-size data file (50,000 entries): a one-year report by client and
// month (goal: under 300 ms), the same by project then week, a month's entries as CSV, and an
// invoice prepared for one client's year. The view's own pass over the entries (list and
// filter) is measured beside them for comparison.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchFolder.h"
#include "bench/DataFileGenerator.h"
#include "biz/DataHelper.h"
#include "biz/EntryCsvExport.h"
#include "biz/Invoice.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "biz/Report.h"
#include "platform/ObArray.h"

namespace {

// A data folder of its own holding the generated file, loaded once for the process.
class ReportData {
public:
    ReportData() {
        m_folder = m_bench.Path();
        if (!DataFileGenerator::WriteFile(m_folder + "/Quillmar.dat", DataFileGenerator::Shape()) ||
            !GetCurrDataHelper()->Initialize())
            std::abort();
    }

private:
    CBenchFolder m_bench{"quillmar-reportbench"};
    std::string m_folder;
};

// The generated entries span 2003 to 2006; 2004 holds a quarter of them.
CProjectItemFilter YearFilter() {
    static ReportData data;
    CProjectItemFilter filter;
    filter.m_dtStart = COleDateTime(2004, 1, 1, 0, 0, 0);
    filter.m_dtEnd = COleDateTime(2004, 12, 31, 0, 0, 0);
    return filter;
}

void RunReport(benchmark::State& state, CReport::GroupBy groupBy, CReport::GroupBy thenBy) {
    CReport::Request request;
    request.filter = YearFilter();
    request.groupBy = groupBy;
    request.thenBy = thenBy;
    int entries = 0;
    size_t groups = 0;
    for (auto _ : state) {
        const CReport report = CReport::Build(request);
        entries = report.Totals().m_nCount;
        groups = report.Groups().size();
        benchmark::DoNotOptimize(report.Series().data());
    }
    state.counters["entries"] = entries;
    state.counters["groups"] = static_cast<double>(groups);
}

void BM_YearReportByClientThenMonth(benchmark::State& state) {
    RunReport(state, CReport::GroupBy_Client, CReport::GroupBy_Month);
}
BENCHMARK(BM_YearReportByClientThenMonth)->Unit(benchmark::kMillisecond);

void BM_YearReportByProjectThenWeek(benchmark::State& state) {
    RunReport(state, CReport::GroupBy_Project, CReport::GroupBy_Week);
}
BENCHMARK(BM_YearReportByProjectThenWeek)->Unit(benchmark::kMillisecond);

// What the entries view does for the same year: the whole list, then the filter on each entry.
void BM_YearThroughEntriesList(benchmark::State& state) {
    const CProjectItemFilter filter = YearFilter();
    int shown = 0;
    for (auto _ : state) {
        std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
        shown = 0;
        for (int i = 0; i < entries->GetSize(); ++i)
            shown += filter.RunOnItem(static_cast<CProjectItem*>(entries->GetAt(i))) == 0;
    }
    state.counters["entries"] = shown;
}
BENCHMARK(BM_YearThroughEntriesList)->Unit(benchmark::kMillisecond);

void BM_MonthAsCsv(benchmark::State& state) {
    CProjectItemFilter filter = YearFilter();
    filter.m_dtStart = COleDateTime(2004, 2, 1, 0, 0, 0);
    filter.m_dtEnd = COleDateTime(2004, 2, 29, 0, 0, 0);
    int rows = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = CEntryCsvExport::Build(filter, CEntryCsvExport::Options(), &rows);
        bytes = text.size();
    }
    state.counters["rows"] = rows;
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_MonthAsCsv)->Unit(benchmark::kMillisecond);

void BM_InvoiceForOneClientsYear(benchmark::State& state) {
    const CProjectItemFilter year = YearFilter();
    CString clientRef;
    {
        const CReport report = CReport::Build(CReport::Request{year});
        clientRef = report.Groups().front().key;
    }
    size_t entries = 0;
    for (auto _ : state) {
        CInvoice invoice;
        CString error;
        if (!invoice.Prepare(clientRef, year.m_dtStart, year.m_dtEnd, error))
            std::abort();
        entries = invoice.m_entries.size();
        benchmark::DoNotOptimize(invoice.Total());
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_InvoiceForOneClientsYear)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
