// Reading .cvtest files: every key with its default, and each fault with its place.
#include "suite/suite.h"

#include <gtest/gtest.h>

using namespace corvane::suite;

namespace {

TSuite Read(std::string_view text) {
    auto result = ReadSuite(text, "s.cvtest");
    if (auto* error = std::get_if<TSuiteError>(&result)) {
        ADD_FAILURE() << error->Text("s.cvtest");
        return {};
    }
    return std::get<TSuite>(std::move(result));
}

std::string ErrorOf(std::string_view text) {
    auto result = ReadSuite(text, "s.cvtest");
    if (auto* error = std::get_if<TSuiteError>(&result)) return error->Text("s.cvtest");
    return "(no error)";
}

} // namespace

TEST(SuiteReader, EveryKeyAndTheDefaults) {
    const TSuite suite = Read(R"(
max-steps = 500
timeout = 2.5
[[case]]
name = "plain"
output = "6"
[[case]]
name = "all keys"
input = "5 0"
error = "Division by zero"
line = 7
points = 3
max-steps = 9
timeout = 1
hidden = true
[[case]]
name = "endless"
step-limit = true
[[case]]
name = "text"
output = "1  2"
compare = "exact"
)");
    ASSERT_EQ(suite.Cases.size(), 4u);
    const TCase& plain = suite.Cases[0];
    EXPECT_EQ(plain.Name, "plain");
    EXPECT_EQ(plain.Input, "");
    EXPECT_EQ(plain.Outcome, TOutcome::Output);
    EXPECT_EQ(plain.ExpectedValues, std::vector<uint32_t>{6});
    EXPECT_EQ(plain.Points, 1);
    EXPECT_EQ(plain.MaxSteps, 500u); // the suite's default
    EXPECT_EQ(plain.Timeout, 2.5);
    EXPECT_FALSE(plain.Hidden);
    EXPECT_EQ(plain.Compare, TCompare::Values);
    EXPECT_FALSE(plain.ErrorLine);

    const TCase& all = suite.Cases[1];
    EXPECT_EQ(all.Input, "5 0");
    EXPECT_EQ(all.Outcome, TOutcome::Error);
    EXPECT_EQ(all.Expected, "Division by zero");
    EXPECT_EQ(all.ErrorLine, 7);
    EXPECT_EQ(all.Points, 3);
    EXPECT_EQ(all.MaxSteps, 9u);
    EXPECT_EQ(all.Timeout, 1.0);
    EXPECT_TRUE(all.Hidden);

    EXPECT_EQ(suite.Cases[2].Outcome, TOutcome::StepLimit);
    EXPECT_EQ(suite.Cases[3].Compare, TCompare::Exact);

    // Without suite-wide keys the built-in defaults hold.
    const TSuite bare = Read("[[case]]\nname = \"a\"\noutput = \"\"\n");
    EXPECT_EQ(bare.Cases.at(0).MaxSteps, kDefaultMaxSteps);
    EXPECT_EQ(bare.Cases.at(0).Timeout, kDefaultTimeout);
    EXPECT_TRUE(bare.Cases.at(0).ExpectedValues.empty());
}

TEST(SuiteReader, FaultsAreReportedWhereTheyAre) {
    // A typo in a key must not pass silently.
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"1\"\n  ouput = \"2\"\n"),
              "s.cvtest:4:3: unknown key 'ouput'");
    EXPECT_EQ(ErrorOf("max-step = 5\n[[case]]\nname = \"a\"\noutput = \"1\"\n"),
              "s.cvtest:1:1: unknown key 'max-step'");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"1\"\n[[case]]\nname = \"a\"\noutput = "
                      "\"2\"\n"),
              "s.cvtest:5:8: a case named 'a' comes twice");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"1\"\nerror = \"x\"\n"),
              "s.cvtest:4:1: a case has exactly one of 'output', 'error' and 'step-limit'");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\ninput = \"1\"\n"),
              "s.cvtest:1:1: case 'a' needs one of 'output', 'error' and 'step-limit'");
    EXPECT_EQ(ErrorOf("[[case]]\noutput = \"1\"\n"), "s.cvtest:1:1: a case needs a 'name'");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"1\"\ncompare = \"fuzzy\"\n"),
              "s.cvtest:4:11: 'compare' must be one of values, exact, contains, regex, not "
              "'fuzzy'");
    // A malformed expected value is the suite's fault, not the student's.
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"6x\"\n"),
              "s.cvtest:3:10: 'output' must be whole numbers separated by blanks under compare = "
              "\"values\", not '6x'");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"(\"\ncompare = \"regex\"\n"),
              "s.cvtest:3:10: 'output' is no valid regular expression: a ( without its )");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = '(1) \\1 [\\1]'\ncompare = \"regex\"\n"),
              "s.cvtest:3:10: 'output' is a regular expression with a back reference (\\1 to "
              "\\9), which compare = \"regex\" does not support");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\noutput = \"1\"\nline = 3\n"),
              "s.cvtest:4:8: 'line' belongs to a case with 'error'");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\nerror = \"x\"\npoints = -1\n"),
              "s.cvtest:4:10: 'points' must be a whole number of at least 0");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\nerror = \"x\"\nmax-steps = 0\n"),
              "s.cvtest:4:13: 'max-steps' must be a whole number of at least 1");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\nerror = \"x\"\ntimeout = 0\n"),
              "s.cvtest:4:11: 'timeout' must be more than 0 and at most 86400 seconds");
    EXPECT_EQ(ErrorOf("[[case]]\nname = 5\nerror = \"x\"\n"),
              "s.cvtest:2:8: 'name' must be a text in quotes");
    EXPECT_EQ(ErrorOf("[[case]]\nname = \"a\"\nstep-limit = false\n"),
              "s.cvtest:3:14: 'step-limit' can only be true");
    EXPECT_EQ(ErrorOf("# nothing\n"), "s.cvtest:1:1: the suite has no [[case]]");
    // The TOML parser's own message, at its own place.
    const std::string syntax = ErrorOf("[[case]]\nname = \"a\noutput = \"1\"\n");
    EXPECT_TRUE(syntax.starts_with("s.cvtest:2:")) << syntax;
}

TEST(SuiteReader, ValuesAreWholeNumbersOf32Bits) {
    EXPECT_EQ(ReadValues(" 1\t-2\n\n 4294967295 -2147483648 "),
              (std::vector<uint32_t>{1, 0xFFFFFFFEu, 0xFFFFFFFFu, 0x80000000u}));
    EXPECT_EQ(ReadValues(""), std::vector<uint32_t>{});
    for (const char* bad : {"6x", "+1", "4294967296", "-2147483649", "1,2", "- 1", "0x10"})
        EXPECT_FALSE(ReadValues(bad)) << bad;
}
