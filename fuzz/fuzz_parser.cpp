// Any bytes as program text: parse, link and run a bounded number of commands.
// Positions handed back must lie inside the text.
#include "core/executor.h"
#include "core/parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace corvane;

// Stops every run after a few thousand commands, as a user pressing Stop would.
class TBoundedHost final : public THost {
public:
    explicit TBoundedHost(TProgram& program) : program_(program) {}
    void SetStatus(std::string_view) override {}
    void Progress(int32_t) override {
        if (++steps_ >= 5000) program_.State = psStop;
    }
    void ProcessEvents() override {}
    bool IsStopLine(int32_t line) override { return line % 7 == 3; }
    void SetStopLine(int32_t) override {}
    void ClearRunToLine() override {}
    void Output(uint32_t) override {}
    void Reset() { steps_ = 0; }

private:
    TProgram& program_;
    long steps_ = 0;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TScopedErrorSink quiet([](std::string_view) {});
    TProgram program(1u << 12);
    TBoundedHost host(program);
    const int32_t parsed = ParseProgram(text, program, host);
    if (parsed != -1) {
        Check(parsed >= 0 && static_cast<size_t>(parsed) <= size);
        return 0;
    }
    const int32_t linked = program.Link(host);
    if (linked != -1) {
        Check(linked >= 0 && static_cast<size_t>(linked) < size);
        return 0;
    }
    TInputList input;
    input.Parse("3 -1 0 7");
    host.Reset();
    int32_t r = program.Start(host, input, psRun);
    // Continue through pauses at stop lines, as the break window would.
    while (r == -1 && program.State == psBreak) {
        program.State = psRun;
        r = program.Resume(host, input);
    }
    if (r != -1) Check(r >= 0 && static_cast<size_t>(r) < size);
    return 0;
}
