// Parser throughput on a generated program of 1,000,000 lines, and the peak
// resident memory of the whole process.
#include "core/host.h"
#include "core/parser.h"
#include "core/program.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>

namespace {

using namespace corvane;

constexpr int kLines = 1000000;

// A label every tenth line; SET, ADD with a stack, PUSH, POP, IF ... ELSE,
// GOTO, INPUT, OUTPUT and comments.
std::string Generate() {
    std::string text = "STACK acc tmp // the stacks\r\n";
    for (int i = 1; i < kLines; ++i) {
        const int block = i / 10;
        if (i % 10 == 0) text += ":l" + std::to_string(block) + ' ';
        switch (i % 10) {
        case 0: text += "SET 12345"; break;
        case 1: text += "ADD acc"; break;
        case 2: text += "PUSH tmp"; break;
        case 3: text += "POP tmp"; break;
        case 4:
            text += "IF NOT EMPTY acc GOTO l" + std::to_string(block) + " ELSE l" +
                    std::to_string(block + 1);
            break;
        case 5: text += "GOTO l" + std::to_string(block); break;
        case 6: text += "INPUT l" + std::to_string(block); break;
        case 7: text += "OUTPUT // show it"; break;
        case 8: text += "// a comment line"; break;
        default: text += "SUB -7"; break;
        }
        text += "\r\n";
    }
    return text;
}

void BM_Parse(benchmark::State& state) {
    const std::string text = Generate();
    TProgram prog;
    TNullHost host;
    for (auto _ : state) {
        if (ParseProgram(text, prog, host) != -1) state.SkipWithError("parse failed");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["lines/s"] =
        benchmark::Counter(kLines, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["source_MB"] = static_cast<double>(text.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
