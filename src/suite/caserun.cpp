#include "suite/caserun.h"

#include "core/appstrings.h"
#include "core/executor.h"
#include "core/host.h"
#include "core/inputlist.h"
#include "core/parser.h"
#include "core/program.h"
#include "core/text_codec.h"

#include <algorithm>
#include <chrono>

namespace corvane::suite {

namespace {

using TClock = std::chrono::steady_clock;

// Commands between two looks at the clock and the cancel hook.
constexpr uint64_t kCheckInterval = 1 << 16;

// Keeps the first error, collects the output up to a cap, and ends the run at
// the case's step budget or deadline. The executor reads HookInterval when a
// Resume begins, so a budget that is not a multiple of the interval is met by
// pausing the run shortly before it; RunCase resumes with a smaller interval.
class TCaseHost final : public THost {
public:
    TCaseHost(TProgram& program, uint64_t maxSteps, TClock::time_point deadline,
              const TRunControl& control, std::size_t outputCap)
        : program_(program), maxSteps_(maxSteps), deadline_(deadline), control_(control),
          outputCap_(outputCap) {}

    void Error(const TError& error) override {
        if (!Failure) Failure = error;
    }
    uint32_t HookInterval() const override {
        const uint64_t left = maxSteps_ > program_.Steps ? maxSteps_ - program_.Steps : 1;
        return static_cast<uint32_t>(std::min(left, kCheckInterval));
    }
    void Executed(int32_t) override {
        if (program_.Steps >= maxSteps_) {
            LimitReached = true;
            program_.Move(TMove::mvStop);
        } else if (TClock::now() >= deadline_ || (control_.Cancelled && control_.Cancelled())) {
            TimedOut = true;
            program_.Move(TMove::mvStop);
        } else if (maxSteps_ - program_.Steps < kCheckInterval) {
            program_.Move(TMove::mvPause);
        }
    }
    void Output(uint32_t value) override {
        if (Out.size() >= outputCap_) {
            OutputCut = true;
            return;
        }
        char digits[kSignedDigits];
        Out += SignedText(value, digits);
        Out += ' ';
    }

    std::optional<TError> Failure;
    bool LimitReached = false;
    bool TimedOut = false;
    bool OutputCut = false;
    std::string Out;

private:
    TProgram& program_;
    uint64_t maxSteps_;
    TClock::time_point deadline_;
    const TRunControl& control_;
    std::size_t outputCap_;
};

TRunError RunErrorOf(const TError& e, std::string_view machineText) {
    TRunError error;
    error.Message = Str(e.Message);
    if (e.Pos >= 0) {
        const TLineCol at = LineColOf(machineText, e.Pos);
        error.Line = at.Line;
        error.Column = at.Column;
    } else if (e.Line > 0) {
        error.Line = e.Line;
    }
    return error;
}

// How the run ended, before the case judges it.
enum class TEnd { Finished, Failed, StepLimit, TimedOut };

TEnd Execute(TProgram& program, TCaseHost& host, TInputList& input, std::string_view machineText) {
    int32_t result = ParseProgram(machineText, program, host);
    if (result == -1) result = program.Link(host);
    if (result != -1) return TEnd::Failed;
    result = program.Start(host, input, psRun);
    while (result == -1 && program.Move(TMove::mvContinue))
        result = program.Resume(host, input);
    if (result != -1 || program.State == psFailed) return TEnd::Failed;
    if (host.TimedOut) return TEnd::TimedOut;
    if (host.LimitReached && program.Current != nullptr) return TEnd::StepLimit;
    return TEnd::Finished;
}

bool ErrorMatches(const TCase& c, const TRunError& error) {
    return error.Message.find(c.Expected) != std::string::npos &&
           (!c.ErrorLine || *c.ErrorLine == error.Line);
}

TReason Judge(const TCase& c, TEnd end, const TCaseResult& r) {
    switch (end) {
    case TEnd::TimedOut: return TReason::Timeout;
    case TEnd::Failed:
        return c.Outcome == TOutcome::Error && ErrorMatches(c, *r.Error) ? TReason::None
                                                                         : TReason::Error;
    case TEnd::StepLimit:
        return c.Outcome == TOutcome::StepLimit ? TReason::None : TReason::StepLimit;
    case TEnd::Finished: break;
    }
    switch (c.Outcome) {
    case TOutcome::Output:
        // A cut output can still hold the expected run of values, never all of them.
        return (!r.OutputCut || c.Compare == TCompare::Contains) && OutputMatches(c, r.Output)
                   ? TReason::None
                   : TReason::WrongOutput;
    case TOutcome::Error: return TReason::NoError;
    case TOutcome::StepLimit: return TReason::WrongOutput;
    }
    return TReason::WrongOutput;
}

} // namespace

std::string_view ReasonName(TReason reason) {
    switch (reason) {
    case TReason::None: return "";
    case TReason::WrongOutput: return "wrong-output";
    case TReason::Error: return "error";
    case TReason::NoError: return "no-error";
    case TReason::StepLimit: return "step-limit";
    case TReason::Timeout: return "timeout";
    }
    return "";
}

std::string MachineText(std::string_view fileBytes) {
    return ToMachineText(DecodeFile(fileBytes).Text);
}

TCaseResult RunCase(const TCase& c, std::string_view machineText, const TRunControl& control) {
    TCaseResult r;
    r.MaxScore = c.Points;
    r.Expected = c.Outcome == TOutcome::StepLimit
                     ? "still running after " + std::to_string(c.MaxSteps) + " steps"
                     : c.Expected;

    TInputList input;
    if (const std::size_t bad = input.Parse(c.Input); bad != 0) {
        // The suite reader leaves the input to the core's own rules.
        r.Reason = TReason::Error;
        r.Error = TRunError{0, static_cast<int32_t>(bad),
                            "input:" + std::to_string(bad) + ": " + Str(sBadCharacter)};
        return r;
    }

    const auto deadline = TClock::now() + std::chrono::duration_cast<TClock::duration>(
                                              std::chrono::duration<double>(c.Timeout));
    const std::size_t cap = std::max(control.MaxOutputBytes, 2 * c.Expected.size() + 64);
    TProgram program;
    TCaseHost host(program, c.MaxSteps, deadline, control, cap);
    const TEnd end = Execute(program, host, input, machineText);

    r.Steps = program.Steps;
    r.Output = std::move(host.Out);
    if (!r.Output.empty()) r.Output += '\n';
    r.OutputCut = host.OutputCut;
    if (end == TEnd::Failed && host.Failure) r.Error = RunErrorOf(*host.Failure, machineText);
    if (end == TEnd::Failed && !r.Error) r.Error = TRunError{0, 0, Str(sBadConditionPointer)};
    if (end == TEnd::TimedOut) r.Error = TRunError{0, 0, "timed out"};
    r.Reason = Judge(c, end, r);
    r.Status = r.Reason == TReason::None ? TStatus::Passed : TStatus::Failed;
    r.Score = r.Status == TStatus::Passed ? c.Points : 0;
    return r;
}

} // namespace corvane::suite
