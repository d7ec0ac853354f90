// The core's host inside the run window.
#pragma once

#include "core/appstrings.h"
#include "core/host.h"
#include "gui/eventpump.h"
#include "gui/stoplines.h"

#include <chrono>
#include <cstdint>

class TfRun;
class TOutputView;

// Hooks the executor calls before every command, kept inline and cheap: the
// stop test is a bit lookup, and progress only counts until the event pump
// says a pass is due. A pass then handles the pending events (Stop, Break,
// repaints) and, at display rate, shows the current line and the new output.
// The last command executed is shown exactly whenever a loop ends, through
// SetStatus, which the core calls then.
class TGuiHost final : public corvane::THost {
public:
    TGuiHost(TfRun& run, TOutputView& output, const TStopLines& stops);

    void SetStatus(std::string_view text) override;
    void Progress(int32_t line) override {
        line_ = line;
        if (pump_.Tick()) Pass();
    }
    void ProcessEvents() override {
        if (pump_.Tick()) Pass();
    }
    bool IsStopLine(int32_t index) override { return stops_.IsStop(index, runToLine_); }
    void SetStopLine(int32_t line) override { stopLine_ = line; }
    void ClearRunToLine() override { runToLine_ = 0; }
    void Output(uint32_t value) override;

    // Shows what is pending (line, output) at once: before a pause and at the end.
    void Show();

private:
    using Clock = TEventPump::Clock;
    static constexpr auto DisplayInterval = std::chrono::milliseconds(30);

    void Pass();
    // Brings the panel and the output up to date at once.
    void ShowNow();

    TfRun& run_;
    TOutputView& output_;
    const TStopLines& stops_;
    int32_t& runToLine_;
    int32_t& stopLine_;
    TEventPump pump_;
    int32_t line_ = 0;
    int32_t shownLine_ = INT32_MIN;
    Clock::time_point nextDisplay_{};
    // While this host is in use, an error box shows over the line at hand and
    // the output printed so far, not over what the last display pass caught.
    corvane::TScopedErrorSink sink_;
};
