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
} // namespace detail

template <class Host>
int32_t TProgram::Start(Host& host, TInputList& input, int32_t mode) {
    WR = 0;
    State = mode;
    Current = FirstCommand;
    // A run that ended paused at a stop line must not make the next run skip
    // the stop test of its first command.
    SkipBreakCheck = false;
    input.Rewind();
    return Resume(host, input);
}

// Executes from Current until the program ends, the state word stops running,
// the stop test holds, or a command fails. Returns -1, or the failing command's
// Pos (its message shown; State untouched, Current on the failing command).
//
// Contract with the host: while Resume runs, its hooks may read and write State
// and nothing else of the program. WR and Current live in registers here and
// are written back before Resume returns.
template <class Host>
int32_t TProgram::Resume(Host& host, TInputList& input) {
    TCommand* cur = Current;
    uint32_t wr = WR;
    const TCommand* last = nullptr; // last command executed by this call
    const auto leave = [&] {
        Current = cur;
        WR = wr;
        if (last != nullptr) host.SetStatus(LineText(last->Line));
    };
    const auto fail = [&](TStringId message) {
        if (message != sStringCount) ShowError(message);
        leave();
        return cur->Pos;
    };

    // Reads the operand of SET..DIV: the constant, or the top of its stack.
    const auto operandOf = [this](const TCommand& c, uint32_t& value) {
        if (c.Stack == nullptr) {
            value = c.Value;
            return true;
        }
        return PopValue(*c.Stack, value);
    };
    // Only the first command of a call can have its stop test skipped.
    bool skip = SkipBreakCheck;

    for (;;) {
        if (cur == nullptr || (State & psRunningMask) == 0) break;
        if (!skip && host.IsStopLine(cur->Line - 1)) break;

        host.Progress(cur->Line);
        last = cur;
        if (skip) skip = SkipBreakCheck = false;
        if (State == psStep) State = psBreak;

        TCommand* const c = cur;
        uint32_t operand;
        switch (c->Kind) {
        case ckSet:
            if (!operandOf(*c, operand)) return fail(sStringCount);
            wr = operand;
            cur = c->Target;
            break;
        case ckAdd:
            if (!operandOf(*c, operand)) return fail(sStringCount);
            wr += operand;
            cur = c->Target;
            break;
        case ckSub:
            if (!operandOf(*c, operand)) return fail(sStringCount);
            wr -= operand;
            cur = c->Target;
            break;
        case ckMul:
            if (!operandOf(*c, operand)) return fail(sStringCount);
            wr *= operand;
            cur = c->Target;
            break;
        case ckDiv:
            // A zero divisor fails before anything leaves the stack.
            if (c->Stack != nullptr ? !c->Stack->Empty() && c->Stack->Values.back() == 0
                                    : c->Value == 0)
                return fail(sDivisionByZero);
            if (!operandOf(*c, operand)) return fail(sStringCount);
            wr = detail::SignedDiv(wr, operand);
            cur = c->Target;
            break;
        case ckPush:
            if (!PushValue(*c->Stack, wr)) return fail(sStringCount);
            cur = c->Target;
            break;
        case ckPop:
            if (!DropValue(*c->Stack)) return fail(sStringCount);
            cur = c->Target;
            break;
        case ckOutput:
            host.Output(wr);
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
        case ckIf: cur = Test(c->Condition, wr) ? c->Target : c->ElseTarget; break;
        default: // ckNone, ckStack, ckGoto, ckExit
            cur = c->Target;
            break;
        }
    }

    leave();
    if (Current != nullptr) {
        host.SetStopLine(Current->Line);
        if ((State == psRun || State == psStep) && host.IsStopLine(Current->Line - 1)) {
            SkipBreakCheck = true;
            host.ClearRunToLine();
            State = psBreak;
        }
    } else if (State != psStop && State != psFailed) {
        // A broken condition tree that failed the run on its last command
        // must not read as a finished run.
        State = psFinished;
    }
    return -1;
}

} // namespace corvane
