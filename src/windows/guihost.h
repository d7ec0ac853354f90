// The core's host inside the run window.
#pragma once

#include "gui/eventpump.h"
#include "run/session.h"

#include <chrono>
#include <cstdint>

class TfRun;
class TOutputView;

// Hooks of the parser, the linker and the run, kept cheap: the run calls
// Executed every 4096 commands, when the pump reads the clock. A due pass then handles the
// pending events (Stop, Break, repaints) and, at display rate, shows the
// current line and the new output. The last command executed is shown exactly
// whenever a loop ends, through SetStatus, which the core calls then.
class TGuiHost final : public corvane::TRunHost {
public:
    TGuiHost(TfRun& run, TOutputView& output);

    void SetStatus(std::string_view text) override;
    void Error(const corvane::TError& error) override;
    void ParseProgress(int32_t line) override { Progress(line); }
    void LinkProgress(int32_t line) override { Progress(line); }
    // A clock read costs as much as dozens of commands, and the hook's way
    // through the run session a few more: it comes every 4096 commands
    // (a few microseconds of running), so that it costs under 1% of a run.
    uint32_t HookInterval() const override { return 4096; }
    void Executed(int32_t line) override {
        line_ = line;
        if (pump_.Due()) Pass();
    }
    void Output(uint32_t value) override;
    void Restarted() override;

    // Shows what is pending (line, output) at once: before a pause and at the end.
    void Show();

private:
    using Clock = TEventPump::Clock;
    static constexpr auto DisplayInterval = std::chrono::milliseconds(30);

    void Progress(int32_t line) {
        line_ = line;
        if (pump_.Tick()) Pass();
    }
    void Pass();
    // Brings the panel and the output up to date at once.
    void ShowNow();

    TfRun& run_;
    TOutputView& output_;
    TEventPump pump_;
    int32_t line_ = 0;
    int32_t shownLine_ = INT32_MIN;
    Clock::time_point nextDisplay_{};
};
