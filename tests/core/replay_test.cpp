// Step back: replaying a run to N - K commands leaves the machine exactly as
// stepping forward N - K commands did, for generated programs and inputs.
#include "core/replay.h"
#include "run_fixture.h"

#include <random>
#include <sstream>

namespace corvane::test {
namespace {

struct TMachine {
    uint32_t WR = 0;
    std::vector<std::vector<uint32_t>> Stacks;
    std::size_t InputPos = 0;
    std::string Output;
    int32_t StopLine = 0;
    uint64_t Steps = 0;
    bool operator==(const TMachine&) const = default;
};

TMachine Take(const TProgram& prog, const TInputList& in, const std::string& out, int32_t line) {
    TMachine m{prog.WR, {}, in.Position(), out, line, prog.Steps};
    for (int32_t i = 0; i < prog.StackCount(); ++i)
        m.Stacks.push_back(prog.StackAt(i)->Values);
    return m;
}

struct TSink {
    std::string Out;
    int32_t StopLine = 0;
    void Output(uint32_t value) { Out += SignedText(value) + " "; }
    void SetStatus(std::string_view) {}
    void StoppedAt(int32_t line) { StopLine = line; }
};

// A loop of random commands over two stacks; POP, DIV and ADD with a stack
// operand may meet an empty stack, which ends the stepping there.
std::string Generate(std::mt19937& random) {
    static const char* const pool[] = {"SET 5", "ADD 3",   "SUB 7",  "MUL -2", "DIV 3",
                                       "PUSH",  "PUSH A",  "POP",    "POP A",  "ADD",
                                       "DIV A", "INPUT e", "OUTPUT", "SET A",  "SUB"};
    std::ostringstream text;
    text << "STACK A\r\nSET 9\r\nPUSH\r\nPUSH\r\nPUSH A\r\nPUSH A\r\n:top\r\n";
    const int lines = 3 + static_cast<int>(random() % 12);
    for (int i = 0; i < lines; ++i)
        text << pool[random() % std::size(pool)] << (i % 4 == 0 ? " // <BREAK>\r\n" : "\r\n");
    text << "GOTO top\r\n:e\r\nOUTPUT\r\n";
    return text.str();
}

class ReplayTest : public RunFixture {};

TEST_F(ReplayTest, BackKFromNEqualsForwardNMinusK) {
    std::mt19937 random(20261208);
    int compared = 0;
    for (int round = 0; round < 100; ++round) {
        const std::string text = Generate(random);
        std::string input;
        for (int v = static_cast<int>(random() % 8); v > 0; --v)
            input += std::to_string(static_cast<int>(random() % 21) - 10) + " ";
        Load(text, input);
        host.Out.clear();
        // Breakpoints are on, as in the break window: a step back ignores them.
        host.Breakpoints = {2, 6, 10};
        ASSERT_EQ(Start(psBreak), -1);
        std::vector<TMachine> seen{Take(prog, in, host.Out, host.StopLine)};
        for (int n = 0; n < 80 && prog.State == psBreak; ++n) {
            if (Next() != -1) break; // an empty stack or a zero divisor: stepping ends
            if (prog.State != psBreak) break;
            // A Next that meets a marked line pauses there first, executing nothing.
            if (prog.Steps == seen.back().Steps) continue;
            seen.push_back(Take(prog, in, host.Out, host.StopLine));
        }
        const uint64_t n = seen.size() - 1;
        for (uint64_t k = 1; k <= n; k += 1 + random() % 3) {
            TSink sink;
            ReplayTo(prog, in, n - k, sink);
            ASSERT_EQ(prog.State, psBreak) << text;
            ++compared;
            EXPECT_EQ(Take(prog, in, sink.Out, sink.StopLine), seen[n - k])
                << text << "input " << input << " n " << n << " k " << k;
            // Forward again from there goes on as the first time.
            for (int again = 0; again < 2 && prog.Steps == n - k; ++again)
                ASSERT_EQ(Next(), -1);
            EXPECT_EQ(prog.WR, seen[n - k + 1].WR);
            EXPECT_EQ(prog.Steps, n - k + 1);
        }
    }
    // The generated runs are long enough to say something.
    EXPECT_GT(compared, 600) << compared;
}

TEST_F(ReplayTest, ThroughInputOutputPushPopAndDivWithAStackOperand) {
    Load(Lines({"STACK A", "INPUT e", "PUSH A", "OUTPUT // <BREAK>", "SET 12", "DIV A", "PUSH",
                "POP", ":e"}),
         "4 9");
    ASSERT_EQ(Start(psBreak), -1);
    std::vector<TMachine> seen{Take(prog, in, host.Out, host.StopLine)};
    for (int n = 0; n < 7; ++n) {
        ASSERT_EQ(Next(), -1);
        seen.push_back(Take(prog, in, host.Out, host.StopLine));
    }
    EXPECT_EQ(seen[7].WR, 3u); // 12 / 4, and A is empty again
    for (uint64_t back = 7; back-- > 0;) {
        TSink sink;
        ReplayTo(prog, in, back, sink);
        EXPECT_EQ(Take(prog, in, sink.Out, sink.StopLine), seen[back]) << back;
    }
    EXPECT_EQ(seen[3].Output, "");
    EXPECT_EQ(seen[4].Output, "4 ");
    EXPECT_EQ(seen[3].Stacks[0], std::vector<uint32_t>{4});
    EXPECT_EQ(seen[0].StopLine, 1);
}

} // namespace
} // namespace corvane::test
