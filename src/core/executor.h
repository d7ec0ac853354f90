// The executor: Start, Resume. A template on the host type, so that a `final`
// host with inline hooks adds nothing to the loop; include this header where a
// run is started.
#pragma once

#include "core/appstrings.h"
#include "core/host.h"
#include "core/inputlist.h"
#include "core/program.h"

#include <cstdint>
#include <limits>

namespace corvane {

namespace detail {
// Signed quotient truncated toward zero; the one overflowing case wraps.
inline uint32_t SignedDiv(uint32_t a, uint32_t b) {
    const auto sa = static_cast<int32_t>(a);
    const auto sb = static_cast<int32_t>(b);
    if (sa == std::numeric_limits<int32_t>::min() && sb == -1) return a;
    return static_cast<uint32_t>(sa / sb);
}

// A hook interval of 0 means never: the countdown then runs the full range of
// its type between two (empty) hook calls.
constexpr uint32_t Countdown(uint32_t interval) {
    return interval == 0 ? std::numeric_limits<uint32_t>::max() : interval;
}
} // namespace detail

template <class Host>
int32_t TProgram::Start(Host& host, TInputList& input, int32_t mode) {
    WR = 0;
    Begin(mode);
    Current = FirstCommand;
    Steps = 0;
    hookCountdown_ = 0;
    // A run that ended paused at a stop line must not make the next run skip
    // the stop test of its first command.
    SkipBreakCheck = false;
    input.Rewind();
    return Resume(host, input);
}

// Executes from Current until the program ends, the state word stops running,
// the stop test holds, or a command fails. Returns -1, or the failing command's
// Pos (reported through host.Error; State untouched, Current on the failing
// command).
//
// Contract with the host: while Resume runs, Executed and Output may change
// State (and nothing else of the program). Between two hook calls nothing but
// this loop writes the program, so WR, Current, the running state and the
// stop-test switch live in registers and are written back, or read again, only
// around the hooks and when the loop ends.
template <class Host>
int32_t TProgram::Resume(Host& host, TInputList& input) {
    TCommand* cur = Current;
    uint32_t wr = WR;
    const TCommand* last = nullptr; // last command executed by this call
    const uint32_t interval = detail::Countdown(host.HookInterval());
    // Commands executed = steps + (chunk - countdown). A chunk normally ends
    // with a hook call; `halting` shortens it to end the loop after the
    // command at hand (a step, or a run ended by OUTPUT or a broken tree).
    // The count to the next hook goes on across pauses, so that a run which
    // pauses often still reaches its hooks.
    uint64_t steps = Steps;
    uint32_t countdown =
        hookCountdown_ != 0 && hookCountdown_ < interval ? hookCountdown_ : interval;
    uint32_t chunk = countdown;
    bool halting = false;
    const auto halt = [&] {
        steps += chunk - countdown;
        chunk = countdown = 1;
        halting = true;
    };
    bool stops = host.HasStopLines();
    TStringId failure; // set where a command fails

    // The first command: the loop test of a call, the skipped stop test, and
    // the start of a step, which executes exactly one command.
    if (cur == nullptr || (State & psRunningMask) == 0) goto done;
    if (SkipBreakCheck) {
        SkipBreakCheck = false;
    } else if (stops && host.IsStopLine(cur->Line - 1)) {
        goto done;
    }
    if (State == psStep) {
        Move(TMove::mvPause);
        halt();
    }

    for (;;) {
        TCommand* const c = cur;
        last = c;
        uint32_t operand;
        switch (c->Kind) {
        case ckSet:
            if (!Operand(*c, operand)) goto emptyStack;
            wr = operand;
            cur = c->Target;
            break;
        case ckAdd:
            if (!Operand(*c, operand)) goto emptyStack;
            wr += operand;
            cur = c->Target;
            break;
        case ckSub:
            if (!Operand(*c, operand)) goto emptyStack;
            wr -= operand;
            cur = c->Target;
            break;
        case ckMul:
            if (!Operand(*c, operand)) goto emptyStack;
            wr *= operand;
            cur = c->Target;
            break;
        case ckDiv:
            // A zero divisor fails before anything leaves the stack.
            if (c->Stack != nullptr ? !c->Stack->Empty() && c->Stack->Values.back() == 0
                                    : c->Value == 0) {
                failure = sDivisionByZero;
                goto failed;
            }
            if (!Operand(*c, operand)) goto emptyStack;
            wr = detail::SignedDiv(wr, operand);
            cur = c->Target;
            break;
        case ckPush:
            if (!PushValue(*c->Stack, wr)) {
                failure = sNoMemory;
                goto failed;
            }
            cur = c->Target;
            break;
        case ckPop:
            if (!DropValue(*c->Stack)) goto emptyStack;
            cur = c->Target;
            break;
        case ckOutput:
            host.Output(wr);
            // The output procedure may end the run (a full output store).
            if ((State & psRunningMask) == 0 && !halting) halt();
            cur = c->Target;
            break;
        case ckInput: {
            uint32_t value;
            if (input.Next(value)) {
                wr = value;
                cur = c->Target;
            } else {
                cur = c->ElseTarget;
            }
            break;
        }
        case ckIf: {
            bool holds;
            if (!TestPlain(c->Condition, wr, holds)) {
                holds = Evaluate(c->Condition, wr, host);
                // A broken tree fails the run where it stands.
                if (State == psFailed && !halting) halt();
            }
            cur = holds ? c->Target : c->ElseTarget;
            break;
        }
        default: // ckNone, ckStack, ckGoto, ckExit
            cur = c->Target;
            break;
        }

        if (--countdown == 0) [[unlikely]] {
            steps += chunk;
            chunk = countdown = interval;
            if (halting) break;
            // The hook sees the machine as it stands.
            Current = cur;
            WR = wr;
            Steps = steps;
            host.Executed(cur != nullptr ? cur->Line : -1);
            stops = host.HasStopLines();
            if ((State & psRunningMask) == 0) break;
        }
        if (cur == nullptr) [[unlikely]]
            break;
        if (stops && host.IsStopLine(cur->Line - 1)) [[unlikely]]
            break;
    }

done:
    Current = cur;
    WR = wr;
    Steps = steps + (chunk - countdown);
    hookCountdown_ = countdown;
    if (last != nullptr) host.SetStatus(LineText(last->Line));
    if (cur != nullptr) {
        host.StoppedAt(cur->Line);
        if ((State & psRunningMask) != 0 && host.IsStopLine(cur->Line - 1)) {
            SkipBreakCheck = true;
            host.ClearRunToLine();
            Move(TMove::mvPause);
        }
    } else {
        Move(TMove::mvFinish);
    }
    return -1;

emptyStack:
    failure = sStackEmpty;
failed: // cur is the failing command; it counts as not executed
    Current = cur;
    WR = wr;
    Steps = steps + (chunk - countdown);
    hookCountdown_ = countdown;
    host.SetStatus(LineText(cur->Line));
    host.Error(TError{failure, cur->Pos, cur->Line});
    return cur->Pos;
}

} // namespace corvane
