// The break window's Back: the run is replayed from its start to one command
// before the pause, so the machine, the output and the stop line are exactly
// what they were then; the executor's own loop stays untouched.
#include "core/replay.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/outputview.h"
#include "windows/run.h"

#include <string>

void TfRun::StepBack() {
    const uint64_t steps = Prog->Steps;
    if (steps == 0 || Prog->State != corvane::psBreak) return;
    struct TSink {
        TfRun& Run;
        void Output(uint32_t value) { Run.oText->Append(value); }
        void SetStatus(std::string_view text) {
            Run.SetLineText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        void StoppedAt(int32_t line) { Run.StopLine = line; }
    } sink{*this};
    oText->Clear();
    SetLineText({});
    corvane::ReplayTo(*Prog, fInput->InputList, steps - 1, sink);
    oText->Flush();
}
