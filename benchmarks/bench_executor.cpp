// Executor throughput on a counting loop of 10^8 commands, beside a minimal
// switch interpreter over the same linked commands and the headless runner.
#include "core/executor.h"
#include "core/parser.h"
#include "run/session.h"
#include "run/stoplines.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace corvane;

// 1 + 3 * 33333333 + 1 + the end record = 100,000,001 commands.
const char* const kCountingLoop = "SET 33333333\r\n"
                                  ":loop SUB 1\r\n"
                                  "IF ZERO GOTO done\r\n"
                                  "GOTO loop\r\n"
                                  ":done OUTPUT\r\n";
constexpr double kCommands = 100000001.0;

void Load(TProgram& prog) {
    TNullHost host;
    if (ParseProgram(kCountingLoop, prog, host) != -1 || prog.Link(host) != -1) std::abort();
}

void BM_Executor(benchmark::State& state) {
    TProgram prog;
    Load(prog);
    TNullHost host;
    TInputList input;
    for (auto _ : state) {
        prog.Start(host, input, psRun);
        benchmark::DoNotOptimize(prog.WR);
    }
    state.counters["commands/s"] =
        benchmark::Counter(kCommands, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Executor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The break window's Back after 10^8 commands: the replay of the run from its
// start to one command before (target: within 2 s).
// The counting loop loaded into a run session.
struct TSessionRun {
    TProgram Prog;
    TInputList Input;
    TStopLines Stops;
    TRunSession Session{Prog, Input, Stops};
    TRunHost Face;
    TSessionRun() {
        if (Session.Parse(kCountingLoop, Face) != -1 || Session.Link(Face) != -1) std::abort();
    }
};

void BM_BackAfter1e8(benchmark::State& state) {
    TSessionRun run;
    TRunSession& session = run.Session;
    TRunHost& face = run.Face;
    session.Begin(TStartMode::Run);
    if (session.Go(face, 100000000 - 1) != TRunStatus::Running) std::abort();
    session.Break();
    if (session.Go(face) != TRunStatus::Paused) std::abort();
    for (auto _ : state) {
        session.Back();
        session.Go(face);
        state.PauseTiming();
        session.Next(); // back where Back started, for the next round
        session.Go(face);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BackAfter1e8)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The counting loop through the run session in slices of 2^20 commands, as a
// browser's worker runs it between its messages: what slicing costs.
void BM_SessionSlices(benchmark::State& state) {
    TSessionRun run;
    for (auto _ : state) {
        run.Session.Begin(TStartMode::Run);
        while (run.Session.Go(run.Face, uint64_t{1} << 20) == TRunStatus::Running) {
        }
        benchmark::DoNotOptimize(run.Prog.WR);
    }
    state.counters["commands/s"] =
        benchmark::Counter(kCommands, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SessionSlices)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: a switch over the linked commands with no state word, no stop
// test and no host.
void BM_MinimalSwitch(benchmark::State& state) {
    TProgram prog;
    Load(prog);
    for (auto _ : state) {
        uint32_t wr = 0;
        for (const TCommand* c = prog.FirstCommand; c != nullptr;) {
            switch (c->Kind) {
            case ckSet:
                wr = c->Value;
                c = c->Target;
                break;
            case ckSub:
                wr -= c->Value;
                c = c->Target;
                break;
            case ckIf: c = wr == 0 ? c->Target : c->ElseTarget; break;
            case ckOutput:
                benchmark::DoNotOptimize(wr);
                c = c->Target;
                break;
            default: c = c->Target; break;
            }
        }
        benchmark::DoNotOptimize(wr);
    }
    state.counters["commands/s"] =
        benchmark::Counter(kCommands, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MinimalSwitch)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The whole runner: process start, file read, parse, link, run, output.
void BM_CorvaneRun(benchmark::State& state) {
    const std::string path = "/tmp/corvane_bench_counting_loop.cv";
    std::ofstream(path, std::ios::binary) << kCountingLoop;
    const std::string command =
        std::string(CORVANE_RUN_BINARY) + " --input '' " + path + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("corvane-run failed");
    }
    state.counters["commands/s"] =
        benchmark::Counter(kCommands, benchmark::Counter::kIsIterationInvariantRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_CorvaneRun)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
