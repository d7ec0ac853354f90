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
template <class Host>
int32_t TProgram::Resume(Host& host, TInputList& input) {
    const TCommand* last = nullptr; // last command executed by this call
    const auto settle = [&] {
        if (last != nullptr) host.SetStatus(LineText(last->Line));
    };
    const auto fail = [&](const TCommand& c) {
        settle();
        return c.Pos;
    };

    for (;;) {
        TCommand* const c = Current;
        if (c == nullptr || (State & psRunningMask) == 0) break;
        if (!SkipBreakCheck && host.IsStopLine(c->Line - 1)) break;

        host.Progress(c->Line);
        last = c;
        SkipBreakCheck = false;
        if (State == psStep) State = psBreak;

        uint32_t operand = c->Value;
        switch (c->Kind) {
        case ckSet:
        case ckAdd:
        case ckSub:
        case ckMul:
        case ckDiv:
            if (c->Stack != nullptr) {
                // A zero divisor fails before anything leaves the stack.
                if (c->Kind == ckDiv && !c->Stack->Empty() && c->Stack->Values.back() == 0) {
                    ShowError(sDivisionByZero);
                    return fail(*c);
                }
                if (!PopValue(*c->Stack, operand)) return fail(*c);
            }
            switch (c->Kind) {
            case ckSet: WR = operand; break;
            case ckAdd: WR += operand; break;
            case ckSub: WR -= operand; break;
            case ckMul: WR *= operand; break;
            default:
                if (operand == 0) {
                    ShowError(sDivisionByZero);
                    return fail(*c);
                }
                WR = detail::SignedDiv(WR, operand);
                break;
            }
            Current = c->Target;
            break;
        case ckPush:
            if (!PushValue(*c->Stack, WR)) return fail(*c);
            Current = c->Target;
            break;
        case ckPop:
            if (!DropValue(*c->Stack)) return fail(*c);
            Current = c->Target;
            break;
        case ckOutput:
            host.Output(WR);
            Current = c->Target;
            break;
        case ckInput: {
            uint32_t value;
            if (input.Next(value)) {
                WR = value;
                Current = c->Target;
            } else {
                Current = c->ElseTarget;
            }
            break;
        }
        case ckIf: Current = Evaluate(c->Condition) ? c->Target : c->ElseTarget; break;
        default: // ckNone, ckStack, ckGoto, ckExit
            Current = c->Target;
            break;
        }
    }

    settle();
    if (Current != nullptr) {
        host.SetStopLine(Current->Line);
        if ((State == psRun || State == psStep) && host.IsStopLine(Current->Line - 1)) {
            SkipBreakCheck = true;
            host.ClearRunToLine();
            State = psBreak;
        }
    } else if (State != psStop) {
        State = psFinished;
    }
    return -1;
}

} // namespace corvane
