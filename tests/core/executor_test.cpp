#include "run_fixture.h"

#include <string>

namespace corvane {
namespace {

using test::Lines;

class ExecutorTest : public test::RunFixture {};

TEST_F(ExecutorTest, ArithmeticWrapsAroundAndDivisionIsSigned) {
    EXPECT_EQ(Output(Lines({"SET 1", "OUTPUT", "SET 0", "OUTPUT", "SET 4294967295", "OUTPUT"})),
              "1 0 -1 ");
    EXPECT_EQ(prog.WR, 0xFFFFFFFFu);
    host.Out.clear();
    EXPECT_EQ(
        Output(Lines({"SET -1", "ADD 1", "OUTPUT", "SET 65536", "MUL 65537", "OUTPUT", "SET -7",
                      "DIV 2", "OUTPUT", "SET 7", "DIV -2", "OUTPUT", "SET 5", "SUB 7", "OUTPUT"})),
        "0 65536 -3 -3 -2 ");
}

TEST_F(ExecutorTest, MostNegativeDividedByMinusOneWraps) {
    EXPECT_EQ(Output(Lines({"SET -2147483648", "DIV -1", "OUTPUT"})), "-2147483648 ");
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(ExecutorTest, DivisionByZeroFailsAtThatCommand) {
    Load(Lines({"SET 5", "DIV 0", "OUTPUT"}));
    EXPECT_EQ(Start(), 7);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Division by zero ..."});
    EXPECT_EQ(prog.WR, 5u);
    EXPECT_EQ(prog.Current->Pos, 7);
    EXPECT_EQ(prog.State, psRun);
    // From a stack: the zero stays where it was.
    Load(Lines({"SET 0", "PUSH", "SET 9", "DIV"}));
    EXPECT_EQ(Start(), 20);
    EXPECT_EQ(prog.FindStack(nullptr)->Values.size(), 1u);
    EXPECT_EQ(prog.WR, 9u);
}

TEST_F(ExecutorTest, StackOperandsPopAndPushKeepsWR) {
    EXPECT_EQ(Output(Lines({"STACK a", "SET 3", "PUSH a", "SET 4", "PUSH", "SET 10", "SUB a",
                            "OUTPUT", "SET", "OUTPUT", "IF EMPTY a GOTO e", "OUTPUT",
                            ":e IF EMPTY GOTO f", "OUTPUT", ":f"})),
              "7 4 ");
    host.Out.clear();
    EXPECT_EQ(Output(Lines({"SET 8", "PUSH", "PUSH", "POP", "SET", "OUTPUT", "IF EMPTY GOTO z",
                            "OUTPUT", ":z"})),
              "8 ");
}

TEST_F(ExecutorTest, ReadingAnEmptyStackFailsOnceAndKeepsWR) {
    Load(Lines({"SET 7", "POP"}));
    EXPECT_EQ(Start(), 7);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Stack is empty! Cannot read value ..."});
    EXPECT_EQ(prog.WR, 7u);
    host.Messages.clear();
    Load(Lines({"SET 7", "ADD"}));
    EXPECT_EQ(Start(), 7);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(prog.WR, 7u);
    EXPECT_EQ(host.Status, "Line: 2");
}

TEST_F(ExecutorTest, InputReadsInOrderThenTakesItsLabelAndReplaysEveryRun) {
    const std::string sum = Lines({":loop INPUT done", "ADD 0", "PUSH", "GOTO loop", ":done SET",
                                   ":add IF EMPTY GOTO out", "ADD", "GOTO add", ":out OUTPUT"});
    EXPECT_EQ(Output(sum, "1 2 -3 40"), "40 ");
    host.Out.clear();
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(host.Out, "40 ");
    host.Out.clear();
    // The exhausted branch leaves WR alone.
    EXPECT_EQ(Output(Lines({"SET 5", "INPUT e", ":e OUTPUT"})), "5 ");
}

TEST_F(ExecutorTest, ExitAndRunningOffTheEndFinish) {
    EXPECT_EQ(Output(Lines({"SET 1", "OUTPUT", "EXIT", "OUTPUT"})), "1 ");
    EXPECT_EQ(prog.Current, nullptr);
    EXPECT_EQ(host.Status, "Line: 3");
    Load("");
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psFinished);
    EXPECT_EQ(host.Status, "Line: -1"); // the end record is executed as a command
}

TEST_F(ExecutorTest, TraceNextAndContinue) {
    Load(Lines({"SET 1", "OUTPUT", "", "SET 2", "OUTPUT"}));
    EXPECT_EQ(Start(psBreak), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, 1);
    EXPECT_EQ(host.Steps, 0);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, 2);
    EXPECT_EQ(prog.WR, 1u);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(host.StopLine, 4);
    EXPECT_EQ(host.Out, "1 ");
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psFinished);
    EXPECT_EQ(host.Out, "1 2 ");
    EXPECT_EQ(prog.Steps, 4u); // the last OUTPUT ends the run: the end record is not run
}

// Steps counts executed commands exactly, whatever ends a call: a step, a
// hook, an OUTPUT that ends the run, a failure (the failing command is not
// counted), for any hook interval.
TEST_F(ExecutorTest, StepsCountsExecutedCommands) {
    struct TCountingHost final : THost {
        uint32_t Interval = 0;
        TProgram* Prog = nullptr;
        long StopAtOutput = -1; // the OUTPUT after which the run is stopped
        long Outputs = 0;
        uint32_t HookInterval() const override { return Interval; }
        void Output(uint32_t) override {
            if (++Outputs == StopAtOutput) Prog->Move(TMove::mvStop);
        }
    };
    const std::string text = Lines({"SET 3", ":l SUB 1", "OUTPUT", "IF NOT ZERO GOTO l", "POP"});
    for (const uint32_t interval : {0u, 1u, 2u, 3u, 7u, 64u}) {
        TCountingHost counting;
        counting.Interval = interval;
        counting.Prog = &prog;
        ASSERT_EQ(ParseProgram(text, prog, counting), -1);
        ASSERT_EQ(prog.Link(counting), -1);
        // 1 + 3 * 3 commands, then POP fails on the empty stack.
        EXPECT_EQ(prog.Start(counting, in, psRun), 45) << interval; // the POP
        EXPECT_EQ(prog.Steps, 10u) << interval;
        // Stepping: one command per call.
        EXPECT_EQ(prog.Start(counting, in, psBreak), -1);
        for (uint64_t n = 1; n <= 4; ++n) {
            ASSERT_TRUE(prog.Move(TMove::mvNext));
            EXPECT_EQ(prog.Resume(counting, in), -1);
            EXPECT_EQ(prog.Steps, n) << interval;
        }
        // The second OUTPUT ends the run: SET, then SUB OUTPUT IF, SUB OUTPUT.
        counting.Outputs = 0;
        counting.StopAtOutput = 2;
        EXPECT_EQ(prog.Start(counting, in, psRun), -1);
        EXPECT_EQ(prog.State, psStop);
        EXPECT_EQ(prog.Steps, 6u) << interval;
    }
}

// The hook comes every N commands of the run, also when the run pauses
// before N commands have gone by, as it does at a marked line in a loop.
TEST_F(ExecutorTest, HooksCountAcrossPauses) {
    struct TEveryThird final : THost {
        std::vector<uint64_t> At;
        const TProgram* Prog = nullptr;
        uint32_t HookInterval() const override { return 3; }
        void Executed(int32_t) override { At.push_back(Prog->Steps); }
        bool HasStopLines() const override { return true; }
        bool IsStopLine(int32_t index) override { return index == 0; }
    } thirds;
    thirds.Prog = &prog;
    ASSERT_EQ(ParseProgram(Lines({":l ADD 1", "GOTO l"}), prog, thirds), -1);
    ASSERT_EQ(prog.Link(thirds), -1);
    EXPECT_EQ(prog.Start(thirds, in, psRun), -1); // pauses at once on line 1
    for (int pause = 0; pause < 4; ++pause) {
        ASSERT_TRUE(prog.Move(TMove::mvContinue));
        EXPECT_EQ(prog.Resume(thirds, in), -1); // ADD, GOTO, then line 1 again
        EXPECT_EQ(prog.State, psBreak);
    }
    EXPECT_EQ(prog.Steps, 8u);
    EXPECT_EQ(thirds.At, (std::vector<uint64_t>{3, 6}));
}

TEST_F(ExecutorTest, TraceOnAnEmptyProgramPausesAtTheEndRecord) {
    Load("");
    EXPECT_EQ(Start(psBreak), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, -1);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(host.Status, "Line: -1");
    EXPECT_EQ(prog.State, psFinished);
}

TEST_F(ExecutorTest, FalseIfOnTheLastLineStepsThroughTheEndRecord) {
    Load(Lines({"SET 1", "IF ZERO GOTO x", ":x"}));
    EXPECT_EQ(Start(psBreak), -1);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, -1);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(prog.State, psFinished);
}

TEST_F(ExecutorTest, BreakpointPausesBeforeItsLineThenContinueExecutesIt) {
    Load(Lines({"SET 1", "OUTPUT", "SET 2", "OUTPUT"}));
    host.Breakpoints = {2};
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, 3);
    EXPECT_TRUE(prog.SkipBreakCheck);
    EXPECT_EQ(host.Out, "1 ");
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psFinished);
    EXPECT_EQ(host.Out, "1 2 ");
    EXPECT_FALSE(prog.SkipBreakCheck);
}

TEST_F(ExecutorTest, NextOnABreakpointLinePausesFirstWhenThePauseWasNotTheStopTest) {
    Load(Lines({"SET 1", "SET 2", "SET 3"}));
    host.Breakpoints = {1};
    EXPECT_EQ(Start(psBreak), -1); // paused by Trace: no skip
    EXPECT_FALSE(prog.SkipBreakCheck);
    EXPECT_EQ(Next(), -1); // executes line 1
    EXPECT_EQ(host.StopLine, 2);
    EXPECT_FALSE(prog.SkipBreakCheck);
    const long steps = host.Steps;
    EXPECT_EQ(Next(), -1); // stop test holds: pauses without executing
    EXPECT_EQ(host.Steps, steps);
    EXPECT_TRUE(prog.SkipBreakCheck);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(prog.WR, 1u);
    EXPECT_EQ(Next(), -1); // now executes it
    EXPECT_EQ(prog.WR, 2u);
    EXPECT_EQ(host.StopLine, 3);
}

TEST_F(ExecutorTest, ContinueFromAStepOntoABreakpointPausesAgainWithoutExecuting) {
    Load(Lines({"SET 1", "SET 2", "SET 3"}));
    host.Breakpoints = {1};
    EXPECT_EQ(Start(psBreak), -1);
    EXPECT_EQ(Next(), -1);
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(prog.WR, 1u);
    EXPECT_TRUE(prog.SkipBreakCheck);
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psFinished);
    EXPECT_EQ(prog.WR, 3u);
}

TEST_F(ExecutorTest, BreakDuringARunCompletesTheCommandAndKeepsRunToLine) {
    Load(Lines({"SET 1", "SET 2", "SET 3", "SET 4"}));
    host.RunToLine = 4;
    host.Breakpoints = {1};
    host.OnExecuted = [&](int32_t nextLine) {
        if (nextLine == 2) prog.Move(TMove::mvBreak);
    };
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(prog.WR, 1u);
    EXPECT_FALSE(prog.SkipBreakCheck); // paused by Break, not by the stop test
    EXPECT_EQ(host.RunToLine, 4);
    // Continue: the breakpoint on line 2 holds before it executes.
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.WR, 1u);
    EXPECT_EQ(host.StopLine, 2);
    EXPECT_EQ(host.RunToLine, 0); // a stop-line pause consumes the run-to-cursor target
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psFinished);
}

TEST_F(ExecutorTest, RunToCursor) {
    Load(Lines({"SET 1", "", "SET 2", "SET 3"}));
    host.RunToLine = 3;
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.StopLine, 3);
    EXPECT_EQ(host.RunToLine, 0);
    EXPECT_EQ(Continue(), -1);
    EXPECT_EQ(prog.State, psFinished);
    // A cursor line without a command never pauses.
    host.RunToLine = 2;
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psFinished);
}

TEST_F(ExecutorTest, StopDuringTheLastCommandStaysStopped) {
    Load(Lines({"SET 1", "OUTPUT"}));
    host.OnExecuted = [&](int32_t nextLine) {
        if (nextLine == -1) prog.Move(TMove::mvStop); // after the last command
    };
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psStop);
    EXPECT_EQ(prog.Current, nullptr);
}

TEST_F(ExecutorTest, StopEndsAnEndlessLoop) {
    Load(Lines({":l ADD 1", "GOTO l"}));
    host.OnExecuted = [&](int32_t) {
        if (host.Steps == 1000) prog.Move(TMove::mvStop);
    };
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psStop);
    EXPECT_EQ(host.Steps, 1000);
    EXPECT_EQ(prog.Steps, 1000u);
    EXPECT_NE(prog.Current, nullptr);
}

TEST_F(ExecutorTest, StartClearsSkipBreakCheckLeftByAnEarlierRun) {
    Load(Lines({"SET 1", "SET 2"}));
    host.Breakpoints = {0};
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_TRUE(prog.SkipBreakCheck); // the run ends here, paused at a stop line
    const long steps = host.Steps;
    EXPECT_EQ(Start(), -1); // a new run must pause at the first command again
    EXPECT_EQ(prog.State, psBreak);
    EXPECT_EQ(host.Steps, steps);
    EXPECT_EQ(host.StopLine, 1);
}

TEST_F(ExecutorTest, PushBeyondTheBoundFailsWithAMessage) {
    TProgram small(3);
    ASSERT_EQ(ParseProgram(Lines({":l PUSH", "GOTO l"}), small, host), -1);
    ASSERT_EQ(small.Link(host), -1);
    // Without the bound the loop would push until memory runs out: stop it.
    host.OnExecuted = [&](int32_t) {
        if (host.Steps > 100) small.Move(TMove::mvStop);
    };
    EXPECT_EQ(small.Start(host, in, psRun), 3);
    EXPECT_EQ(host.Messages, std::vector<std::string>{"Cannot allocate memory ..."});
    EXPECT_EQ(small.ValueCount(), 3u);
}

TEST_F(ExecutorTest, ConditionsAndBrokenTrees) {
    EXPECT_EQ(Output(Lines({"SET -1", "IF NEG GOTO n", "OUTPUT", ":n IF NOT ZERO GOTO z ELSE e",
                            ":z SET 100", "OUTPUT", "EXIT", ":e SET 200", "OUTPUT"})),
              "100 ");
    TCondition none;
    EXPECT_FALSE(prog.Evaluate(&none, prog.WR, host));
    prog.Begin(psRun);
    EXPECT_FALSE(prog.Evaluate(nullptr, prog.WR, host));
    EXPECT_EQ(prog.State, psFailed);
    TCondition notNull{cdNot, nullptr, nullptr};
    EXPECT_TRUE(prog.Evaluate(&notNull, prog.WR, host));
    TCondition odd{77, nullptr, nullptr};
    prog.Begin(psRun);
    EXPECT_FALSE(prog.Evaluate(&odd, prog.WR, host));
    EXPECT_EQ(prog.State, psRun);
    EXPECT_EQ(host.Messages.size(), 3u);
    EXPECT_EQ(host.Messages.back(), "Internal error: Illegal condition pointer!");
}

TEST_F(ExecutorTest, AMissingConditionFailsTheRunEvenOnItsLastCommand) {
    Load(Lines({"SET 1", "IF ZERO GOTO a", ":a"}));
    TCommand* branch = prog.Commands->Prev;
    branch->Condition = nullptr;
    branch->ElseTarget = nullptr;
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.State, psFailed);
    EXPECT_EQ(prog.Current, nullptr);
    EXPECT_EQ(host.Messages,
              std::vector<std::string>{"Internal error: Illegal condition pointer!"});
}

TEST_F(ExecutorTest, HugeProgramsAndStacksAreFreedWithoutDeepRecursion) {
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "PUSH\r\n";
    Load(text);
    EXPECT_EQ(Start(), -1);
    EXPECT_EQ(prog.ValueCount(), 1000000u);
    ASSERT_EQ(ParseProgram("", prog, host), -1); // frees it all
    EXPECT_EQ(prog.CommandCount(), 1u);
}

} // namespace
} // namespace corvane
