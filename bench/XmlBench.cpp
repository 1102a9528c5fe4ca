// The markup engine on a full-size data file (50,000 entries): load, parse, find by ID, and
// the remove-and-append edit every record save makes; pugixml's parse of the same text is the
// reference rate.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/DataFileGenerator.h"
#include "platform/CString.h"
#include "xml/MarkupArchive.h"

namespace {

struct DataFile {
    DataFile() {
        utf8 = DataFileGenerator::Generate(shape);
        text = CString::FromUtf8(utf8);
        path = (std::filesystem::temp_directory_path() / ("quillmar-xmlbench-" + std::to_string(::getpid()) + ".dat"))
                   .string();
        std::ofstream(path, std::ios::binary).write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    }
    ~DataFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    DataFileGenerator::Shape shape;
    std::string utf8;
    CString text;
    std::string path;
};

const DataFile& File() {
    static DataFile file;
    return file;
}

void BM_Load(benchmark::State& state) {
    const DataFile& file = File();
    CString path(file.path);
    for (auto _ : state) {
        CMarkupArchive markup;
        if (!markup.Load(path))
            state.SkipWithError("Load failed");
        benchmark::DoNotOptimize(markup.IsWellFormed());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.utf8.size()));
    state.counters["file_MB"] = static_cast<double>(file.utf8.size()) / 1e6;
}

void BM_SetDoc(benchmark::State& state) {
    const DataFile& file = File();
    CMarkupArchive markup;
    for (auto _ : state) {
        if (!markup.SetDoc(file.text))
            state.SkipWithError("SetDoc failed");
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.utf8.size()));
}

void BM_PugixmlParse(benchmark::State& state) {
    const DataFile& file = File();
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result =
            doc.load_buffer(file.utf8.data(), file.utf8.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!result)
            state.SkipWithError("pugixml parse failed");
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.utf8.size()));
}

void BM_FindChildElemAttribNearEnd(benchmark::State& state) {
    const DataFile& file = File();
    CMarkupArchive markup;
    markup.SetDoc(file.text);
    CString id(std::to_string(DataFileGenerator::EntryId(file.shape, file.shape.entries - 10)));
    for (auto _ : state) {
        markup.ResetPos();
        if (!markup.FindChildElemAttrib(u"projectItem", u"id", id))
            state.SkipWithError("record not found");
    }
}

// What saving a record does: take it out where it stands and append it at the end of the root.
void BM_RemoveAndAppendNearStart(benchmark::State& state) {
    const DataFile& file = File();
    CMarkupArchive markup;
    markup.SetDoc(file.text);
    for (auto _ : state) {
        markup.ResetPos();
        markup.FindElem();
        if (!markup.FindChildElem(u"projectItem")) {
            state.SkipWithError("no entry");
            break;
        }
        CString record = markup.GetChildSubDoc();
        markup.RemoveChildElem();
        markup.ResetChildPos();
        if (!markup.AddChildSubDoc(record))
            state.SkipWithError("append failed");
    }
}

}   // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetDoc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindChildElemAttribNearEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveAndAppendNearStart)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
