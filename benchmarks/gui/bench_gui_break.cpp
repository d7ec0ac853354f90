// The break window's share of a run: PrepareRun of a straight-line program
// (target: linear, under 0.3 s for 200,000 lines), and what one pause costs
// the window (the panels FormActivate rebuilds at every Next) with few and
// with a million stacks (target: the same for both).
// Offscreen unless QT_QPA_PLATFORM says otherwise.
#include "app/startup.h"
#include "core/program.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/run.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

QString StraightLine(int lines) {
    QString text;
    text.reserve(lines * 16);
    for (int i = 0; i < lines; ++i) {
        text += i % 1000 == 999 ? QStringLiteral("OUTPUT // <BREAK>") : QStringLiteral("ADD 1");
        if (i + 1 < lines) text += QStringLiteral("\r\n");
    }
    return text;
}

void BM_PrepareRun(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    fMain->oText->setPlainText(StraightLine(lines));
    for (auto _ : state) {
        // The run command takes the lines, PrepareRun lists them.
        fRun->Source = fMain->RunSource();
        fBreak->PrepareRun();
        benchmark::DoNotOptimize(fBreak->IsStopLine(999));
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PrepareRun)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

void DeclareStacks(int64_t count) {
    corvane::TProgram& prog = *fRun->Prog;
    prog.ClearStacks();
    prog.AddStack("");
    for (int64_t i = 0; i < count; ++i)
        prog.AddStack(QByteArray("S").append(QByteArray::number(i)).toStdString());
    fMain->oText->setPlainText(QStringLiteral("SET 1"));
    fRun->Source = fMain->RunSource();
    fBreak->PrepareRun();
    fRun->StopLine = 1;
}

// The panels alone, as FormActivate rebuilds them.
void BM_PanelsWithStacks(benchmark::State& state) {
    DeclareStacks(state.range(0));
    for (auto _ : state) {
        fBreak->FormActivate();
        benchmark::DoNotOptimize(fBreak->PanelText(2).size());
    }
    DeclareStacks(0);
}
BENCHMARK(BM_PanelsWithStacks)->Arg(10)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// One pause ended by Next: shown modally, laid out and painted, then hidden.
void BM_NextWithStacks(benchmark::State& state) {
    DeclareStacks(state.range(0));
    for (auto _ : state) {
        QTimer::singleShot(0, fBreak, [] { fBreak->mNext->trigger(); });
        benchmark::DoNotOptimize(fBreak->exec());
    }
    DeclareStacks(0);
}
BENCHMARK(BM_NextWithStacks)->Arg(10)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    TWindows windows;
    fMain->show();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
