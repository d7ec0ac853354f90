// The core's only way to the outside world.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

// What a parse, a link or a run needs from whoever hosts it (the run window,
// the headless runner, a test). All calls come from the thread that runs the core.
//
// The executor is a template on the host type, so a host class declared `final`
// whose hooks are inline costs nothing per command; THost& itself also works,
// through virtual calls.
class THost {
public:
    virtual ~THost() = default;

    // Replaces the text of the progress panel ("Line: N", or empty).
    virtual void SetStatus(std::string_view text) = 0;

    // Called once per parsed line, linked command and executed command, before
    // the work on it. Contract: the progress panel shows "Line: line" whenever
    // the host next lets the user look, and pending events (repaint, Stop,
    // Break) are handled often enough that the user never waits noticeably.
    // A host may throttle; the literal reading is SetStatus + event pass.
    virtual void Progress(int32_t line) = 0;

    // Lets the host handle pending events (one input character was read).
    virtual void ProcessEvents() = 0;

    // Stop test: must execution pause before a command on this 0-based line?
    virtual bool IsStopLine(int32_t lineIndex) = 0;

    // The run paused or stopped before the command of this line (-1: the end record).
    virtual void SetStopLine(int32_t line) = 0;

    // A pause at a stop line consumed the run-to-cursor target.
    virtual void ClearRunToLine() = 0;

    // OUTPUT of the working register.
    virtual void Output(uint32_t value) = 0;
};

// A host that shows nothing and never stops: used by benchmarks and tools.
class TNullHost final : public THost {
public:
    void SetStatus(std::string_view) override {}
    void Progress(int32_t) override {}
    void ProcessEvents() override {}
    bool IsStopLine(int32_t) override { return false; }
    void SetStopLine(int32_t) override {}
    void ClearRunToLine() override {}
    void Output(uint32_t) override {}
};

} // namespace corvane
