// A host for driving the core in tests: records what the core shows and lets a
// test act between commands, as the user's Break and Stop do.
#pragma once

#include "core/appstrings.h"
#include "core/host.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::test {

class TTestHost final : public THost {
public:
    TTestHost()
        : sink_([this](std::string_view m) {
              Messages.emplace_back(m);
              StatusAtMessages.push_back(Status);
          }) {}

    void SetStatus(std::string_view text) override { Status = std::string(text); }
    void Progress(int32_t line) override {
        if (!Throttled) Status = LineText(line);
        ++Steps;
        if (OnProgress) OnProgress(line);
    }
    void ProcessEvents() override { ++EventPasses; }
    bool IsStopLine(int32_t index) override {
        if (RunToLine != 0 && RunToLine - 1 == index) return true;
        return index >= 0 && Breakpoints.count(index) != 0;
    }
    void SetStopLine(int32_t line) override { StopLine = line; }
    void ClearRunToLine() override { RunToLine = 0; }
    void Output(uint32_t value) override {
        Out += std::to_string(static_cast<int32_t>(value));
        Out += ' ';
    }

    std::vector<std::string> Messages;         // everything ShowError showed
    std::vector<std::string> StatusAtMessages; // the panel while each message was shown
    bool Throttled = false;                    // Progress leaves the panel alone, as a busy GUI may
    std::string Status;                        // progress panel
    std::string Out;                           // output as the run window shows it
    std::set<int32_t> Breakpoints;             // 0-based stop lines
    int32_t RunToLine = 0;
    int32_t StopLine = -100;
    long Steps = 0;
    long EventPasses = 0;
    std::function<void(int32_t line)> OnProgress;

private:
    TScopedErrorSink sink_;
};

// Joins lines with CR LF, as the editor hands its text over.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view l : lines) {
        if (!first) text += "\r\n";
        text += l;
        first = false;
    }
    return text;
}

} // namespace corvane::test
