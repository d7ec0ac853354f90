// One case against one program: the comparisons, the outcomes, the budgets.
#include "suite/caserun.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace corvane::suite;

namespace {

TCase CaseOf(std::string_view toml) {
    auto result = ReadSuite(std::string("[[case]]\nname = \"c\"\n") + std::string(toml), "s");
    if (auto* error = std::get_if<TSuiteError>(&result)) {
        ADD_FAILURE() << error->Text("s");
        return {};
    }
    return std::get<TSuite>(result).Cases.at(0);
}

TCaseResult RunOne(std::string_view toml, std::string_view program,
                   const TRunControl& control = {}) {
    return RunCase(CaseOf(toml), MachineText(program), control);
}

constexpr const char* kSum =
    "STACK t\r\nSET 0\r\nPUSH t\r\n:l INPUT e\r\nADD t\r\nPUSH t\r\nGOTO l\r\n:e SET t\r\nOUTPUT";
constexpr const char* kEcho = ":l INPUT e\r\nOUTPUT\r\nGOTO l\r\n:e";
constexpr const char* kForever = ":l OUTPUT\r\nADD 1\r\nGOTO l";

} // namespace

TEST(CaseRun, Comparisons) {
    struct TRow {
        const char* Toml;
        bool Passes;
    };
    // The echo program prints "1 -2 3 \n" for the input "1 -2 3".
    const TRow rows[] = {
        {"output = \"1 -2 3\"", true},
        {"output = \"\\n 1\\t-2   3\\n\\n\"", true}, // values: blanks of any kind
        {"output = \"1 -2\"", false},
        {"output = \"1 -2 3 4\"", false},
        {"output = \"1 4294967294 3\"", true}, // the same 32 bits
        {"output = \"1 -2 3\"\ncompare = \"exact\"", true},
        {"output = \"1 -2 3 \\n\\n\"\ncompare = \"exact\"", true}, // trailing blanks ignored
        {"output = \"1  -2 3\"\ncompare = \"exact\"", false},
        {"output = \" 1 -2 3\"\ncompare = \"exact\"", false},
        {"output = \"-2 3\"\ncompare = \"contains\"", true},
        {"output = \"1 -2\"\ncompare = \"contains\"", true}, // from the first value on
        {"output = \"1 3\"\ncompare = \"contains\"", false}, // contiguous only
        {"output = \"\"\ncompare = \"contains\"", true},
        {"output = \"1( -?\\\\d+)+\"\ncompare = \"regex\"", true},
        {"output = \"-?\\\\d+\"\ncompare = \"regex\"", false}, // the whole output
    };
    for (const TRow& row : rows) {
        const TCaseResult r = RunOne(std::string("input = \"1 -2 3\"\n") + row.Toml, kEcho);
        EXPECT_EQ(r.Status == TStatus::Passed, row.Passes) << row.Toml << "\ngot: " << r.Output;
        EXPECT_EQ(r.Reason, row.Passes ? TReason::None : TReason::WrongOutput) << row.Toml;
    }
}

TEST(CaseRun, OutcomesAndReasons) {
    TCaseResult r = RunOne("input = \"1 2 3\"\noutput = \"6\"\npoints = 4", kSum);
    EXPECT_EQ(r.Status, TStatus::Passed);
    EXPECT_EQ(r.Score, 4);
    EXPECT_EQ(r.MaxScore, 4);
    EXPECT_EQ(r.Output, "6 \n");
    EXPECT_EQ(r.Steps, 18u); // as corvane-run --steps counts them
    EXPECT_FALSE(r.Error);

    r = RunOne("input = \"1 2\"\noutput = \"6\"\npoints = 4", kSum);
    EXPECT_EQ(r.Reason, TReason::WrongOutput);
    EXPECT_EQ(r.Score, 0);
    EXPECT_EQ(r.MaxScore, 4);
    EXPECT_EQ(r.Expected, "6");

    // An expected error: its message and line.
    const char* divide = "SET 5\r\nDIV 0";
    r = RunOne("error = \"Division by zero\"", divide);
    EXPECT_EQ(r.Status, TStatus::Passed);
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Error->Line, 2);
    EXPECT_EQ(r.Error->Column, 1);
    EXPECT_EQ(r.Error->Message, "Division by zero ...");
    EXPECT_EQ(RunOne("error = \"Division\"\nline = 2", divide).Status, TStatus::Passed);
    EXPECT_EQ(RunOne("error = \"Division\"\nline = 1", divide).Reason, TReason::Error);
    EXPECT_EQ(RunOne("error = \"Stack is empty\"", divide).Reason, TReason::Error);
    EXPECT_EQ(RunOne("error = \"Division\"", "SET 1").Reason, TReason::NoError);
    // Parse errors are errors too, with their place.
    r = RunOne("output = \"1\"", "SET 1\r\nOUTPUT x");
    EXPECT_EQ(r.Reason, TReason::Error);
    EXPECT_EQ(r.Error->Line, 2);
    EXPECT_EQ(r.Error->Column, 8);
    EXPECT_EQ(RunOne("error = \"End of line expected\"", "OUTPUT x").Status, TStatus::Passed);

    // The step limit, met exactly although it is no multiple of any interval.
    r = RunOne("step-limit = true\nmax-steps = 100003", kForever);
    EXPECT_EQ(r.Status, TStatus::Passed);
    EXPECT_EQ(r.Steps, 100003u);
    r = RunOne("output = \"0\"\nmax-steps = 7", kForever);
    EXPECT_EQ(r.Reason, TReason::StepLimit);
    EXPECT_EQ(r.Steps, 7u);
    EXPECT_EQ(r.Output, "0 1 2 \n");
    EXPECT_EQ(RunOne("step-limit = true\nmax-steps = 5", "OUTPUT").Reason, TReason::WrongOutput);
    // Ending with the last allowed command is no step limit.
    EXPECT_EQ(RunOne("output = \"0 0\"\nmax-steps = 2", "OUTPUT\r\nOUTPUT").Status,
              TStatus::Passed);

    // Bad input text in a case fails it with the input's message.
    r = RunOne("input = \"1 x\"\noutput = \"1\"", kSum);
    EXPECT_EQ(r.Reason, TReason::Error);
    EXPECT_EQ(r.Error->Message, "input:3: Unrecognized character ...");
}

TEST(CaseRun, TimeoutAndCancelEndTheRun) {
    TCaseResult r = RunOne("output = \"1\"\ntimeout = 0.2\nmax-steps = 100000000000", kForever);
    EXPECT_EQ(r.Reason, TReason::Timeout);
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Error->Message, "timed out");
    EXPECT_GT(r.Steps, 0u);

    std::atomic<int> asked{0};
    TRunControl control;
    control.Cancelled = [&] { return ++asked > 3; };
    r = RunOne("step-limit = true\nmax-steps = 100000000000", kForever, control);
    EXPECT_EQ(r.Reason, TReason::Timeout);
    EXPECT_EQ(asked.load(), 4);
}

TEST(CaseRun, OutputIsCappedWhileTheRunGoesOn) {
    TRunControl control;
    control.MaxOutputBytes = 1000;
    const TCaseResult r = RunOne("output = \"0 1 2\"\nmax-steps = 3000000", kForever, control);
    EXPECT_TRUE(r.OutputCut);
    EXPECT_LE(r.Output.size(), 1000u + 16);
    EXPECT_EQ(r.Steps, 3000000u);
    EXPECT_EQ(r.Reason, TReason::StepLimit);
    // A cut output never equals the expected one...
    const TCaseResult cut = RunOne("output = \"0 1 2\"\nmax-steps = 3000", kForever, control);
    EXPECT_EQ(cut.Reason, TReason::StepLimit);
    // ...but may still contain the expected run.
    TCase contains = CaseOf("output = \"3 4 5\"\ncompare = \"contains\"");
    EXPECT_TRUE(OutputMatches(contains, "1 2 3 4 5 6 \n"));
}
