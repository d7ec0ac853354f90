// Step back: the machine is deterministic for a given input, so the state
// before the last command is the state of a fresh run after one command fewer.
#pragma once

#include "core/executor.h"

#include <algorithm>
#include <cstdint>

namespace corvane {

namespace detail {
// Executes a budget of commands exactly, then breaks; never stops at a line.
template <class Sink>
class TReplayHost final : public THost {
public:
    TReplayHost(TProgram& program, Sink& sink, uint32_t budget)
        : program_(program), sink_(sink), budget_(budget) {}
    uint32_t HookInterval() const override { return budget_; }
    void Executed(int32_t) override { program_.Move(TMove::mvBreak); }
    void StoppedAt(int32_t line) override { sink_.StoppedAt(line); }
    void SetStatus(std::string_view text) override { sink_.SetStatus(text); }
    void Output(uint32_t value) override { sink_.Output(value); }

private:
    TProgram& program_;
    Sink& sink_;
    uint32_t budget_;
};
} // namespace detail

// Runs the linked program from its start and pauses it (psBreak) after
// exactly `steps` commands, as a Break at that moment would: every stack
// emptied first, the input rewound, and the output told again to `sink`
// (Output, SetStatus and StoppedAt, as a host's). The program must have
// executed at least `steps` commands on the same input without ending, so
// the replay neither fails nor ends.
template <class Sink>
void ReplayTo(TProgram& program, TInputList& input, uint64_t steps, Sink& sink) {
    for (int32_t i = 0; i < program.StackCount(); ++i)
        while (program.DropValue(*program.StackAt(i))) {
        }
    constexpr uint64_t MaxChunk = uint64_t{1} << 31;
    const auto chunk = [&] {
        return static_cast<uint32_t>(std::min<uint64_t>(steps - program.Steps, MaxChunk));
    };
    if (steps == 0) {
        detail::TReplayHost<Sink> host(program, sink, 0);
        program.Start(host, input, psBreak);
        return;
    }
    // Start counts from 0: the program's count is still the one to go back from.
    detail::TReplayHost<Sink> first(program, sink,
                                    static_cast<uint32_t>(std::min(steps, MaxChunk)));
    program.Start(first, input, psRun);
    while (program.State == psBreak && program.Steps < steps) {
        detail::TReplayHost<Sink> host(program, sink, chunk());
        program.Move(TMove::mvContinue);
        program.Resume(host, input);
    }
}

} // namespace corvane
