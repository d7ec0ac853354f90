// The core's only way to the outside world.
#pragma once

#include "core/appstrings.h"

#include <cstdint>
#include <string_view>

namespace corvane {

// An error found by the parser, the linker or the executor: which message, and
// where. Pos is the character offset in the source text handed to the parser
// (-1 when no command can be pointed at); Line is counted from 1 (-1 when
// unknown). The message is StringTable's text for Message.
struct TError {
    TStringId Message = sStringCount;
    int32_t Pos = -1;
    int32_t Line = -1;
};

// What a parse, a link or a run needs from whoever hosts it (the run window,
// the headless runner, a test). Every hook has a default that does nothing, so
// a host overrides only what it uses. All calls come from the thread that runs
// the core.
//
// The executor is a template on the host type: a host class declared `final`
// whose hooks are inline costs nothing per command; THost& itself also works,
// through virtual calls.
class THost {
public:
    virtual ~THost() = default;

    // Replaces the text of the progress panel ("Line: N", or empty).
    virtual void SetStatus(std::string_view) {}

    // The one error channel. Called once, by the part that found the error,
    // before it returns the error's position to its caller.
    virtual void Error(const TError&) {}

    // Once per parsed line and per linked command, before the work on it.
    virtual void ParseProgress(int32_t /*line*/) {}
    virtual void LinkProgress(int32_t /*line*/) {}

    // Once per character the input parser reads.
    virtual void ProcessEvents() {}

    // The executor calls Executed after every HookInterval() executed commands
    // (0: never), with the line of the command due next (-1: the end record).
    // This is where a host handles events, shows progress, counts a step
    // budget or checks a clock; it may change the program's State (Break,
    // Stop), and the executor tests State again before the next command.
    virtual uint32_t HookInterval() const { return 0; }
    virtual void Executed(int32_t /*line*/) {}

    // Stop test: must execution pause before a command on this 0-based line?
    // Asked before every command while HasStopLines() holds; HasStopLines()
    // is asked when a Resume begins, after every Executed and after
    // ClearRunToLine, so a host whose stop lines change only between Resume
    // calls pays nothing per command when none is set.
    virtual bool HasStopLines() const { return false; }
    virtual bool IsStopLine(int32_t /*lineIndex*/) { return false; }

    // The run paused or stopped before the command of this line (-1: the end record).
    virtual void StoppedAt(int32_t /*line*/) {}

    // A pause at a stop line consumed the run-to-cursor target.
    virtual void ClearRunToLine() {}

    // OUTPUT of the working register. It may end the run by moving State
    // (a full output store); the executor then stops before the next command.
    virtual void Output(uint32_t /*value*/) {}
};

// A host that shows nothing and never stops: used by benchmarks and tools.
class TNullHost final : public THost {};

} // namespace corvane
