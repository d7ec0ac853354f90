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

// Stops every run after a few thousand commands, as a user pressing Stop would,
// and pauses at every seventh line. Every error reported must lie in the text.
class TBoundedHost final : public THost {
public:
    TBoundedHost(TProgram& program, std::size_t size) : program_(program), size_(size) {}
    void Error(const TError& error) override {
        if (error.Pos >= 0 && static_cast<std::size_t>(error.Pos) > size_) std::abort();
    }
    uint32_t HookInterval() const override { return 64; }
    void Executed(int32_t) override {
        if (program_.Steps >= 5000) program_.Move(TMove::mvStop);
    }
    bool HasStopLines() const override { return true; }
    bool IsStopLine(int32_t line) override { return line % 7 == 3; }

private:
    TProgram& program_;
    std::size_t size_;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TProgram program(1u << 12);
    TBoundedHost host(program, size);
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
    int32_t r = program.Start(host, input, psRun);
    // Continue through pauses at stop lines, as the break window would.
    while (r == -1 && program.Move(TMove::mvContinue))
        r = program.Resume(host, input);
    if (r != -1) Check(r >= 0 && static_cast<size_t>(r) < size);
    return 0;
}
