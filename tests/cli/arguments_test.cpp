// The options added to the command line: --steps, --version, and the suite
// run's options refused without --suite.
#include "cli/runner.h"

#include "process.h"

#include <gtest/gtest.h>

using namespace corvane::cli;
using corvane::test::TTempDir;
using corvane::test::WriteWholeFile;

namespace {
TStdinReader NoStdin() {
    return [] { return std::optional<std::string>(); };
}
} // namespace

TEST(RunnerArguments, StepsAreToldAfterTheRunWhatEverItsEnd) {
    const TTempDir dir;
    const auto file = (dir.Path() / "p.cv").string();
    WriteWholeFile(file, "OUTPUT\r\nOUTPUT\r\nOUTPUT");
    TRunOutcome r = RunCommandLine({"--steps", file}, NoStdin());
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_EQ(r.Out, "0 0 0 \n");
    EXPECT_EQ(r.Err, "steps: 3\n");

    r = RunCommandLine({file, "--steps", "--max-steps=2"}, NoStdin());
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_EQ(r.Err, file + ": Step limit reached ...\nsteps: 2\n");

    WriteWholeFile(file, "OUTPUT\r\nPOP");
    r = RunCommandLine({"--steps", file}, NoStdin());
    EXPECT_EQ(r.ExitCode, kExitError);
    EXPECT_TRUE(r.Err.ends_with("Stack is empty! Cannot read value ...\nsteps: 1\n"))
        << r.Err; // the failing command is not counted

    // Without the option nothing is added.
    EXPECT_EQ(RunCommandLine({file}, NoStdin()).Err.find("steps:"), std::string::npos);
}

TEST(RunnerArguments, VersionAndEmptyValues) {
    TRunOutcome r = RunCommandLine({"--version"}, NoStdin());
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_TRUE(r.Out.starts_with("corvane-run ")) << r.Out;
    EXPECT_EQ(r.Err, "");

    const TTempDir dir;
    const auto file = (dir.Path() / "echo.cv").string();
    WriteWholeFile(file, ":l INPUT e\r\nOUTPUT\r\nGOTO l\r\n:e");
    // "--input=" is an empty input, not a request for the next word.
    r = RunCommandLine({"--input=", file}, [] { return std::optional<std::string>("5"); });
    EXPECT_EQ(r.ExitCode, kExitFinished) << r.Err;
    EXPECT_EQ(r.Out, "");
    r = RunCommandLine({"--input=-3", file}, NoStdin());
    EXPECT_EQ(r.Out, "-3 \n");
}

TEST(RunnerArguments, SuiteOptionsNeedASuite) {
    for (const auto& args :
         {std::vector<std::string>{"--format", "json", "a.cv"},
          std::vector<std::string>{"--jobs", "2", "a.cv"},
          std::vector<std::string>{"--exit-zero", "a.cv"},
          std::vector<std::string>{"--output", "r.txt", "a.cv"},
          std::vector<std::string>{"--suite", "s.cvtest", "--format", "xml", "a.cv"},
          std::vector<std::string>{"--suite", "s.cvtest", "--jobs", "0", "a.cv"},
          std::vector<std::string>{"--suite", "s.cvtest"}}) {
        const TRunOutcome r = RunCommandLine(args, NoStdin());
        EXPECT_EQ(r.ExitCode, kExitUsage) << testing::PrintToString(args);
        EXPECT_TRUE(r.Err.starts_with("corvane-run: ")) << r.Err;
        EXPECT_NE(r.Err.find("usage: corvane-run"), std::string::npos);
    }
}
