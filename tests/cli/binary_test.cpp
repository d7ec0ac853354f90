// The built corvane-run binary, end to end.
#include "process.h"

#include <gtest/gtest.h>

using namespace corvane::test;

namespace {
constexpr const char* kUsage = "usage: corvane-run [--input TEXT] [--max-steps N] FILE.cv";
}

TEST(RunnerBinary, HelpAndBadArguments) {
    TProcessResult r = RunBinary({"--help"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_TRUE(r.Out.starts_with(kUsage));
    EXPECT_EQ(r.Err, "");

    r = RunBinary({"--max-steps", "0", "x.cv"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find(kUsage), std::string::npos);

    r = RunBinary({});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_NE(r.Err.find(kUsage), std::string::npos);
}

TEST(RunnerBinary, MissingFile) {
    const TTempDir dir;
    const TProcessResult r = RunBinary({"nothing.cv"}, std::nullopt, dir.Path());
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "corvane-run: Cannot open file nothing.cv\n");
}

TEST(RunnerBinary, ParseErrorAndStepLimit) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "bad.cv", "SET 1\r\nOUTPUT x\r\n");
    TProcessResult r = RunBinary({"bad.cv"}, std::nullopt, dir.Path());
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "bad.cv:2:8: End of line expected ...\n");

    WriteWholeFile(dir.Path() / "loop.cv", ":l OUTPUT\r\nGOTO l\r\n");
    r = RunBinary({"--max-steps", "5", "loop.cv"}, std::nullopt, dir.Path());
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_EQ(r.Out, "0 0 0 \n");
    EXPECT_EQ(r.Err, "loop.cv: Step limit reached ...\n");
}

TEST(RunnerBinary, InputFromStdinAndOption) {
    const std::string sum = std::string(CORVANE_SOURCE_DIR) + "/examples/sum.cv";
    TProcessResult r = RunBinary({sum}, std::string("1 2\n3 4\n"));
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "10 \n");

    r = RunBinary({"--input", "5 -6", sum}, std::string("100"));
    EXPECT_EQ(r.Out, "-1 \n");

    r = RunBinary({sum}, std::string("1 x"));
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "input:3: Unrecognized character ...\n");
}
