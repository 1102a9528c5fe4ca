// Reading the per-user registry file: the text of one key with N values parsed into the tree.
// Reading must grow in step with the number of values.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/RegistryTree.h"

namespace {

std::string RegistryText(int values) {
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Kestovar\\Bench]\n";
    for (int i = 0; i < values; ++i)
        text += "\"Value" + std::to_string(i) + "\"=dword:0000002a\n";
    return text;
}

void BM_ParseRegistry(benchmark::State& state) {
    const std::string text = RegistryText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto tree = RegistryTree::Parse(text);
        benchmark::DoNotOptimize(tree);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseRegistry)
    ->RangeMultiplier(4)
    ->Range(2500, 160000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
