// One run of a program under the user's control: the debugger's rules, once,
// for every face (the desktop's run and break windows, a browser's worker,
// tests).
#pragma once

#include "core/host.h"
#include "run/machinemark.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane {

class TInputList;
class TProgram;
class TStopLines;

// How a run begins. Trace pauses before the first command; Run and
// RunToCursor run until a stop line, Break, Stop or the end.
enum class TStartMode { Run, Trace, RunToCursor };

// Where a run stands between two calls.
enum class TRunStatus {
    Idle,     // nothing begun yet
    Running,  // begun, or a Go spent its budget: Go goes on
    Paused,   // the program's state is psBreak: Continue, Next, Back, Stop
    Finished, // ran off its end or executed EXIT
    Stopped,  // Stop, or the output bound (OutputLimited())
    Failed,   // a parse, link or run error (Failure()), or the run abandoned
};

// The default output bound, in characters (values and their blanks): an
// endless printing loop is stopped there instead of eating all memory.
constexpr std::size_t DefaultOutputCapacity = std::size_t{1} << 25;

// What a face hears from a run beyond the core's hooks. Every hook of THost
// reaches it as the core calls it, with these exceptions: the stop test, the
// stopped-at line and the run-to line are the session's own (StopLine,
// RunToLine), and Executed comes at the face's HookInterval() or sooner.
class TRunHost : public THost {
public:
    // Back: the run starts over to reach the earlier pause. The output and the
    // line shown so far are dropped; the output is told again as it replays.
    virtual void Restarted() {}
};

// The session works on a program, an input list and stop lines that the face
// owns (the desktop's windows own them as its design says; a browser's
// binding owns all three) and must keep alive and unchanged in between calls,
// but for the stop lines, which the user may change while the run is paused.
//
// A run: Parse, Link (or a failure: Failed), Begin, then Go until the status
// is no longer Running or Paused; between Go calls the face may Continue,
// Next, Back, Break or Stop. Go with a budget returns after at most that many
// commands, and the next Go goes on as if it had not returned, so a face
// without threads stays responsive; a face whose hook handles events (the
// desktop) runs with no budget and calls Break and Stop from its hook.
class TRunSession {
public:
    TRunSession(TProgram& program, TInputList& input, const TStopLines& stops);

    // -1 or the error's position; the error goes to host.Error and is kept,
    // and the run has failed. Parse empties the program first.
    int32_t Parse(std::string_view machineText, THost& host);
    int32_t Link(THost& host);

    // The run ends before it began (the input was cancelled).
    void Abandon();

    // The mode, and the 1-based line to run to (0: none; any mode may have
    // one). A line without a command runs to the next command; with none
    // after it, there is no target. Nothing executes before Go.
    void Begin(TStartMode mode, int32_t runToLine = 0);

    // Executes until the run pauses or ends, or `budget` commands have been
    // executed (0: no bound), and says where the run stands.
    TRunStatus Go(TRunHost& face, uint64_t budget = 0);

    // While paused.
    void Continue();
    void Next();
    // Back to the pause one command earlier: the run starts again with the
    // same input and Go replays it (ignoring stop lines; Break waits for its
    // end) to one command before this pause. False, and nothing changes, when
    // not paused or nothing has been executed.
    bool Back();
    // While running (from a face's hook, or between budgeted Go calls).
    void Break();
    // Whenever the run has not ended.
    void Stop();

    TRunStatus Status() const { return status_; }
    // The line of the command about to run at the last pause or end (-1: the
    // end record, 0: none yet).
    int32_t StopLine() const { return stopLine_; }
    // The run-to line until a stop line first pauses the run (0: none).
    int32_t RunToLine() const { return runToLine_; }
    uint64_t Steps() const;
    uint64_t Outputs() const { return outputs_; }
    bool CanBack() const;
    bool Replaying() const { return replaying_; }

    // The output bound in characters; a run whose output reaches it stops
    // after the value that reached it, and OutputLimited() tells so.
    void SetOutputCapacity(std::size_t characters) { capacity_ = characters; }
    bool OutputLimited() const { return limited_; }

    // The error that failed the run; none for a run that did not fail or
    // was abandoned.
    const std::optional<TError>& Failure() const { return failure_; }

    // Every pause of this run, each compared with the one before.
    const TPauseMarks& Marks() const { return marks_; }

    const TProgram& Program() const { return program_; }
    const TInputList& Input() const { return input_; }

private:
    template <bool Stops>
    friend class TSessionHost;

    int32_t Failed(int32_t position);
    // Whether any stop line can pause the next Resume.
    bool StopLinesApply() const;
    template <bool Stops>
    int32_t Execute(TRunHost& face);
    TRunStatus StatusOfState() const;
    // The step count at which the executor must hand back control: the end
    // of the budget or of a replay, whichever is first (UINT64_MAX: none).
    uint64_t Limit() const;

    TProgram& program_;
    TInputList& input_;
    const TStopLines& stops_;

    TStartMode mode_ = TStartMode::Run;
    TRunStatus status_ = TRunStatus::Idle;
    bool started_ = false;  // Go has started the executor for this run
    int32_t runToLine_ = 0; // 1-based; 0 none
    int32_t stopLine_ = 0;  // line of the command about to run
    uint64_t outputs_ = 0;  // values output in this run
    std::size_t characters_ = 0;
    std::size_t capacity_ = DefaultOutputCapacity;
    bool limited_ = false;
    std::optional<TError> failure_;

    // Budget and replay: a Go hands back control at Limit() by pausing the
    // program (psBreak) and, unless a replay reached its pause, running it
    // again before returning.
    uint64_t sliceEnd_ = UINT64_MAX;
    bool replaying_ = false;
    uint64_t replayTarget_ = 0;
    bool restarted_ = false; // Back: the face is yet to hear Restarted
    bool yielded_ = false;   // the executor paused at the limit, not for the user
    bool inGo_ = false;
    std::optional<int32_t> reportedLine_; // the line the last Resume stopped at

    TPauseMarks marks_;
};

} // namespace corvane
