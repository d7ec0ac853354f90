#include "run/session.h"

#include "core/appstrings.h"
#include "core/executor.h"
#include "core/inputlist.h"
#include "core/parser.h"
#include "core/program.h"
#include "run/stoplines.h"

#include <algorithm>
#include <limits>

namespace corvane {

namespace {

// Passes a phase's hooks on to the face and keeps its first error.
class TPhaseHost final : public THost {
public:
    explicit TPhaseHost(THost& face) : face_(face) {}
    void SetStatus(std::string_view text) override { face_.SetStatus(text); }
    void Error(const TError& error) override {
        if (!First) First = error;
        face_.Error(error);
    }
    void ParseProgress(int32_t line) override { face_.ParseProgress(line); }
    void LinkProgress(int32_t line) override { face_.LinkProgress(line); }
    void ProcessEvents() override { face_.ProcessEvents(); }
    std::optional<TError> First;

private:
    THost& face_;
};

} // namespace

// The executor's host during Go: the stop test and the output bound are the
// session's, inline; the face hears the rest. Executed comes at the face's
// interval or at the session's limit, whichever is sooner.
//
// Stop lines change only between two Resume calls (a face changes them while
// the run is paused or between slices), so a Resume without any runs with
// Stops false: the executor's loop then has no stop test at all, which keeps
// it as fast as the headless runner's.
template <bool Stops>
class TSessionHost final : public THost {
public:
    TSessionHost(TRunSession& session, TRunHost& face)
        : s_(session), face_(face), faceInterval_(face.HookInterval()) {}

    void SetStatus(std::string_view text) override { face_.SetStatus(text); }
    void Error(const TError& error) override {
        if (!s_.failure_) s_.failure_ = error;
        face_.Error(error);
    }
    // The limit is at least one command away whenever the executor runs
    // (Go never resumes at it), so the interval is never 0 with a limit.
    uint32_t HookInterval() const override {
        uint64_t interval =
            faceInterval_ == 0 ? std::numeric_limits<uint64_t>::max() : faceInterval_;
        if (const uint64_t limit = s_.Limit(); limit != std::numeric_limits<uint64_t>::max())
            interval = std::min(interval, limit - s_.program_.Steps);
        interval_ = static_cast<uint32_t>(
            std::min<uint64_t>(interval, std::numeric_limits<uint32_t>::max()));
        return interval == std::numeric_limits<uint64_t>::max() ? 0 : interval_;
    }
    void Executed(int32_t line) override {
        if (faceInterval_ != 0) face_.Executed(line);
        const uint64_t limit = s_.Limit();
        if (limit == std::numeric_limits<uint64_t>::max()) return;
        // The executor keeps its interval to the end of a Resume: a limit
        // nearer than one interval is met by handing back now and resuming
        // with a shorter one.
        const uint64_t left = limit - s_.program_.Steps;
        if (left < interval_ && s_.program_.Move(TMove::mvPause)) s_.yielded_ = true;
    }
    bool HasStopLines() const override { return Stops && s_.StopLinesApply(); }
    bool IsStopLine(int32_t index) override {
        return Stops && !s_.replaying_ && s_.stops_.IsStop(index, s_.runToLine_);
    }
    // Told at the end of every Resume, a slice's end included; Go keeps the
    // line of the last one, unless the run goes on.
    void StoppedAt(int32_t line) override { s_.reportedLine_ = line; }
    void ClearRunToLine() override { s_.runToLine_ = 0; }
    void Output(uint32_t value) override {
        ++s_.outputs_;
        char digits[kSignedDigits];
        s_.characters_ += SignedText(value, digits).size() + 1;
        // The value that reaches the bound is shown; the run stops before the
        // next command, as after Stop.
        if (s_.characters_ >= s_.capacity_ && !s_.limited_ && !s_.replaying_) {
            s_.limited_ = true;
            s_.program_.Move(TMove::mvStop);
        }
        face_.Output(value);
    }

private:
    TRunSession& s_;
    TRunHost& face_;
    uint32_t faceInterval_;
    mutable uint32_t interval_ = 0; // the executor's interval in this Resume
};

TRunSession::TRunSession(TProgram& program, TInputList& input, const TStopLines& stops)
    : program_(program), input_(input), stops_(stops) {}

// The position a phase returned is the one the run goes by.
int32_t TRunSession::Failed(int32_t position) {
    if (position != -1) {
        if (!failure_) failure_ = TError{};
        failure_->Pos = position;
        program_.Move(TMove::mvFail);
        status_ = TRunStatus::Failed;
    }
    return position;
}

int32_t TRunSession::Parse(std::string_view machineText, THost& host) {
    failure_.reset();
    TPhaseHost phase(host);
    const int32_t position = ParseProgram(machineText, program_, phase);
    failure_ = phase.First;
    return Failed(position);
}

int32_t TRunSession::Link(THost& host) {
    TPhaseHost phase(host);
    const int32_t position = program_.Link(phase);
    if (!failure_) failure_ = phase.First;
    return Failed(position);
}

void TRunSession::Abandon() {
    program_.Move(TMove::mvFail);
    status_ = TRunStatus::Failed;
}

void TRunSession::Begin(TStartMode mode, int32_t runToLine) {
    mode_ = mode;
    // A line without a command (a label alone, a comment, a blank line) runs
    // to the command that follows it; the stop test stays a bit lookup.
    runToLine_ = runToLine > 0 ? program_.FirstCommandLineFrom(runToLine) : 0;
    status_ = TRunStatus::Running;
    started_ = false;
    stopLine_ = 0;
    outputs_ = 0;
    characters_ = 0;
    limited_ = false;
    failure_.reset();
    replaying_ = false;
    restarted_ = false;
    marks_.Forget();
}

uint64_t TRunSession::Steps() const {
    return program_.Steps;
}

uint64_t TRunSession::Limit() const {
    return replaying_ ? std::min(sliceEnd_, replayTarget_) : sliceEnd_;
}

TRunStatus TRunSession::StatusOfState() const {
    switch (program_.State) {
    case psBreak: return TRunStatus::Paused;
    case psFinished: return TRunStatus::Finished;
    case psStop: return TRunStatus::Stopped;
    case psFailed: return TRunStatus::Failed;
    default: return TRunStatus::Running;
    }
}

bool TRunSession::StopLinesApply() const {
    return !replaying_ && (runToLine_ != 0 || stops_.Any());
}

// One Start or Resume of the executor.
template <bool Stops>
int32_t TRunSession::Execute(TRunHost& face) {
    TSessionHost<Stops> host(*this, face);
    if (started_) return program_.Resume(host, input_);
    started_ = true;
    const bool paused = replaying_ ? replayTarget_ == 0 : mode_ == TStartMode::Trace;
    if (replaying_ && replayTarget_ == 0) replaying_ = false;
    return program_.Start(host, input_, paused ? psBreak : psRun);
}

TRunStatus TRunSession::Go(TRunHost& face, uint64_t budget) {
    if (status_ != TRunStatus::Running && status_ != TRunStatus::Paused) return status_;
    if (restarted_) {
        restarted_ = false;
        face.Restarted();
    }
    const uint64_t base = started_ ? program_.Steps : 0; // Start counts from 0
    sliceEnd_ = budget == 0 ? std::numeric_limits<uint64_t>::max() : base + budget;
    inGo_ = true;
    for (;;) {
        yielded_ = false;
        reportedLine_.reset();
        const int32_t result = StopLinesApply() ? Execute<true>(face) : Execute<false>(face);
        if (Failed(result) != -1) break;
        // The earlier pause is reached: it stands as a Break would have left it.
        if (replaying_ && program_.Steps >= replayTarget_) {
            replaying_ = false;
            yielded_ = false;
        }
        if (!yielded_ || program_.State != psBreak) break;
        program_.Move(TMove::mvContinue);
        if (program_.Steps >= sliceEnd_) break; // the budget is spent
    }
    inGo_ = false;
    sliceEnd_ = std::numeric_limits<uint64_t>::max();
    status_ = StatusOfState();
    if (status_ != TRunStatus::Running && reportedLine_) stopLine_ = *reportedLine_;
    if (status_ == TRunStatus::Paused) marks_.Note(MarkOf(program_, &input_, outputs_));
    if (status_ != TRunStatus::Running && status_ != TRunStatus::Paused) replaying_ = false;
    // An error that did not end the run (a condition of unknown kind) was
    // the face's to show; it is no failure.
    if (status_ != TRunStatus::Failed) failure_.reset();
    return status_;
}

void TRunSession::Continue() {
    if (status_ == TRunStatus::Paused && program_.Move(TMove::mvContinue))
        status_ = TRunStatus::Running;
}

void TRunSession::Next() {
    if (status_ == TRunStatus::Paused && program_.Move(TMove::mvNext))
        status_ = TRunStatus::Running;
}

bool TRunSession::CanBack() const {
    return status_ == TRunStatus::Paused && program_.Steps > 0;
}

// The machine is deterministic for a given input, so the state before the
// last command is the state of a fresh run after one command fewer. The run
// is replayed from its start with the same input, its output told again.
bool TRunSession::Back() {
    if (!CanBack()) return false;
    replayTarget_ = program_.Steps - 1;
    replaying_ = true;
    restarted_ = true;
    started_ = false;
    program_.EmptyStacks();
    outputs_ = 0;
    characters_ = 0;
    status_ = TRunStatus::Running;
    return true;
}

// A replay goes on to its pause: a Break in it would pause short of it.
void TRunSession::Break() {
    if (!replaying_) program_.Move(TMove::mvBreak);
}

// Within a Go (a face's hook) the executor ends the run before the next
// command; between Go calls it ends at once.
void TRunSession::Stop() {
    if (status_ != TRunStatus::Running && status_ != TRunStatus::Paused) return;
    program_.Move(TMove::mvStop);
    if (!inGo_) {
        status_ = TRunStatus::Stopped;
        replaying_ = false;
    }
}

} // namespace corvane
