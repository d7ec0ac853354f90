// The built corvane-run binary, end to end: one row per way a run can end.
// The rules behind each row are tested in-process in runner_test.cpp.
#include "process.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace corvane::test;

namespace {

constexpr const char* kUsage = "usage: corvane-run [--input TEXT] [--max-steps N]";

struct TExitCase {
    const char* Name;
    std::vector<std::string> Args; // run in a folder holding bad.cv, loop.cv and sum.cv
    std::optional<std::string> Stdin;
    int Exit;
    std::string Out;
    std::string Err; // exact, or (Usage) the usage must be in it
    bool Usage = false;
};

const std::vector<TExitCase>& ExitCases() {
    static const std::vector<TExitCase> cases = {
        {"help", {"--help"}, std::nullopt, 0, "", "", false},
        {"zero max steps", {"--max-steps", "0", "sum.cv"}, std::nullopt, 2, "", "", true},
        {"no file", {}, std::nullopt, 2, "", "", true},
        {"missing file",
         {"nothing.cv"},
         std::nullopt,
         2,
         "",
         "corvane-run: Cannot open file nothing.cv\n"},
        {"parse error", {"bad.cv"}, std::nullopt, 1, "", "bad.cv:2:8: End of line expected ...\n"},
        {"step limit",
         {"--max-steps", "5", "loop.cv"},
         std::nullopt,
         3,
         "0 0 0 \n",
         "loop.cv: Step limit reached ...\n"},
        {"input from stdin", {"sum.cv"}, std::string("1 2\n3 4\n"), 0, "10 \n", ""},
        {"input option wins", {"--input", "5 -6", "sum.cv"}, std::string("100"), 0, "-1 \n", ""},
        {"bad input",
         {"sum.cv"},
         std::string("1 x"),
         2,
         "",
         "input:3: Unrecognized character ...\n"},
    };
    return cases;
}

TEST(RunnerBinary, ExitCodes) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "bad.cv", "SET 1\r\nOUTPUT x\r\n");
    WriteWholeFile(dir.Path() / "loop.cv", ":l OUTPUT\r\nGOTO l\r\n");
    WriteWholeFile(dir.Path() / "sum.cv",
                   ReadWholeFile(std::string(CORVANE_SOURCE_DIR) + "/examples/sum.cv"));
    for (const TExitCase& c : ExitCases()) {
        const TProcessResult r = RunBinary(c.Args, c.Stdin, dir.Path());
        EXPECT_EQ(r.ExitCode, c.Exit) << c.Name << ": " << r.Err;
        if (std::string(c.Name) == "help") {
            EXPECT_TRUE(r.Out.starts_with(kUsage)) << r.Out;
            EXPECT_EQ(r.Err, "");
            continue;
        }
        EXPECT_EQ(r.Out, c.Out) << c.Name;
        if (c.Usage)
            EXPECT_NE(r.Err.find(kUsage), std::string::npos) << c.Name << ": " << r.Err;
        else
            EXPECT_EQ(r.Err, c.Err) << c.Name;
    }
}

} // namespace
