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
    void SetStatus(std::string_view text) override { Status = std::string(text); }
    void Error(const TError& error) override {
        Errors.push_back(error);
        Messages.emplace_back(Str(error.Message));
        StatusAtMessages.push_back(Status);
    }
    void ParseProgress(int32_t line) override { Progress(line); }
    void LinkProgress(int32_t line) override { Progress(line); }
    void ProcessEvents() override { ++EventPasses; }
    // Every command, so that a test can act between any two, as Break and Stop do.
    uint32_t HookInterval() const override { return 1; }
    void Executed(int32_t nextLine) override {
        ++Steps;
        if (OnExecuted) OnExecuted(nextLine);
    }
    bool HasStopLines() const override { return RunToLine != 0 || !Breakpoints.empty(); }
    bool IsStopLine(int32_t index) override {
        if (RunToLine != 0 && RunToLine - 1 == index) return true;
        return index >= 0 && Breakpoints.count(index) != 0;
    }
    void StoppedAt(int32_t line) override { StopLine = line; }
    void ClearRunToLine() override { RunToLine = 0; }
    void Output(uint32_t value) override {
        Out += SignedText(value);
        Out += ' ';
    }

    std::vector<TError> Errors;                // everything reported, in order
    std::vector<std::string> Messages;         // their texts
    std::vector<std::string> StatusAtMessages; // the panel when each was reported
    bool Throttled = false;                    // progress leaves the panel alone, as a busy GUI may
    std::string Status;                        // progress panel
    std::string Out;                           // output as the run window shows it
    std::set<int32_t> Breakpoints;             // 0-based stop lines
    int32_t RunToLine = 0;
    int32_t StopLine = -100;
    long Steps = 0;         // commands executed
    long ProgressCalls = 0; // parsed lines and linked commands
    long EventPasses = 0;
    // After each executed command, with the line of the next one.
    std::function<void(int32_t nextLine)> OnExecuted;

private:
    void Progress(int32_t line) {
        ++ProgressCalls;
        if (!Throttled) Status = LineText(line);
    }
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
