// Input list: 1,000,000 numbers parsed at once.
#include "core/inputlist.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_InputParse(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += std::to_string(i * 7 - 3000000) + ' ';
    corvane::TInputList list;
    for (auto _ : state) {
        if (list.Parse(text) != 0) state.SkipWithError("parse failed");
    }
    state.counters["numbers/s"] =
        benchmark::Counter(1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_InputParse)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
