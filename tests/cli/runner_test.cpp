// The runner's contract, called in-process.
#include "cli/runner.h"

#include "process.h"

#include <gtest/gtest.h>

using namespace corvane::cli;
using corvane::test::TTempDir;
using corvane::test::WriteWholeFile;

namespace {

TRunOutcome RunText(std::string_view source, std::string_view input = "", uint64_t maxSteps = 0) {
    return RunFile("p.cv", source, input, maxSteps);
}

TStdinReader NoStdin() {
    return [] { return std::optional<std::string>(); };
}

} // namespace

TEST(RunnerArguments, HelpPrintsUsageAndSucceeds) {
    for (const auto& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"x.cv", "--help"}}) {
        const TRunOutcome r = RunCommandLine(args, NoStdin());
        EXPECT_EQ(r.ExitCode, kExitFinished);
        EXPECT_TRUE(
            r.Out.starts_with("usage: corvane-run [--input TEXT] [--max-steps N] FILE.cv\n"));
        EXPECT_EQ(r.Err, "");
    }
}

TEST(RunnerArguments, BadArgumentsPrintUsageToStderr) {
    const std::vector<std::vector<std::string>> cases = {
        {},                                                 // no file
        {"a.cv", "b.cv"},                                   // two files
        {"--bogus", "a.cv"},                                // unknown option
        {"-x", "a.cv"},                                     // unknown short option
        {"a.cv", "--input"},                                // option without its value
        {"--max-steps", "0", "a.cv"},                       // zero steps
        {"--max-steps", "-1", "a.cv"},                      // negative
        {"--max-steps", "5x", "a.cv"},                      // not a number
        {"--max-steps", "", "a.cv"},                        // empty
        {"--max-steps", "99999999999999999999999", "a.cv"}, // too large
        {"--max-steps=", "a.cv"},
    };
    for (const auto& args : cases) {
        const TRunOutcome r = RunCommandLine(args, NoStdin());
        EXPECT_EQ(r.ExitCode, kExitUsage) << testing::PrintToString(args);
        EXPECT_EQ(r.Out, "");
        EXPECT_TRUE(r.Err.starts_with("corvane-run: ")) << r.Err;
        EXPECT_NE(r.Err.find("usage: corvane-run"), std::string::npos);
    }
}

TEST(RunnerArguments, OptionsAndFileAreReadInEitherForm) {
    const TTempDir dir;
    const auto file = (dir.Path() / "-loop.cv").string();
    WriteWholeFile(file, ":l OUTPUT\r\nGOTO l");

    // "--" ends the options, so a file name may begin with "-".
    TRunOutcome r = RunCommandLine({"--max-steps=3", "--input=1", "--", file}, NoStdin());
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_EQ(r.Out, "0 0 \n");

    r = RunCommandLine({file, "--max-steps", "1"}, NoStdin()); // options after the file
    EXPECT_EQ(r.ExitCode, kExitStepLimit) << r.Err;
    EXPECT_EQ(r.Out, "0 \n");
}

TEST(RunnerArguments, UnreadableFile) {
    const TTempDir dir;
    for (const std::string& path : {(dir.Path() / "missing.cv").string(), dir.Path().string()}) {
        const TRunOutcome r = RunCommandLine({path}, NoStdin());
        EXPECT_EQ(r.ExitCode, kExitUsage);
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(r.Err, "corvane-run: Cannot open file " + path + "\n");
    }
}

TEST(RunnerInput, TakenFromOptionElseStdinElseEmpty) {
    const TTempDir dir;
    const auto file = (dir.Path() / "echo.cv").string();
    WriteWholeFile(file, ":l INPUT e\r\nOUTPUT\r\nGOTO l\r\n:e");

    bool stdinRead = false;
    const TStdinReader stdinText = [&] {
        stdinRead = true;
        return std::optional<std::string>("7\n8\n");
    };
    TRunOutcome r = RunCommandLine({"--input", "1 -2", file}, stdinText);
    EXPECT_EQ(r.Out, "1 -2 \n");
    EXPECT_FALSE(stdinRead) << "standard input read although --input was given";

    r = RunCommandLine({file}, stdinText);
    EXPECT_EQ(r.Out, "7 8 \n");
    EXPECT_TRUE(stdinRead);

    r = RunCommandLine({file}, NoStdin()); // a terminal: no input
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_EQ(r.Out, "");
}

TEST(RunnerInput, BadInputTextRunsNothing) {
    // The program would print before reading; nothing may run at all.
    TRunOutcome r = RunText("OUTPUT\r\nINPUT x\r\n:x", "5 x");
    EXPECT_EQ(r.ExitCode, kExitUsage);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "input:3: Unrecognized character ...\n");

    r = RunText("OUTPUT", "--1");
    EXPECT_EQ(r.Err, "input:2: Unrecognized character ...\n");
    r = RunText("OUTPUT", "1,2");
    EXPECT_EQ(r.Err, "input:2: Unrecognized character ...\n");
}

TEST(RunnerOutput, SignedValuesEachFollowedByOneBlankThenLineFeed) {
    EXPECT_EQ(RunText("SET 4294967295\r\nOUTPUT\r\nSET -min\r\nOUTPUT\r\nADD 1\r\nOUTPUT").Out,
              "-1 -1073741824 -1073741823 \n");
    const TRunOutcome empty = RunText("SET 1");
    EXPECT_EQ(empty.ExitCode, kExitFinished);
    EXPECT_EQ(empty.Out, "") << "no line feed after an empty output";
    EXPECT_EQ(empty.Err, "");
}

TEST(RunnerOutput, StreamsThroughASinkInChunksWithTheSameText) {
    const std::string loop = ":l OUTPUT\r\nADD 1\r\nGOTO l";
    const TRunOutcome collected = RunText(loop, "", 100000);
    std::string streamed;
    int chunks = 0;
    const TRunOutcome r = RunFile("p.cv", loop, "", 100000, [&](std::string_view text) {
        streamed += text;
        ++chunks;
    });
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_EQ(r.Err, collected.Err);
    EXPECT_EQ(streamed, collected.Out);
    EXPECT_GT(chunks, 2);
    // A run that prints nothing writes nothing, not even the line feed.
    streamed.clear();
    RunFile("p.cv", "SET 1", "", 0, [&](std::string_view text) { streamed += text; });
    EXPECT_EQ(streamed, "");
}

TEST(RunnerErrors, EachPhaseReportsFileLineColumnAndMessage) {
    // Parse error, at the word.
    TRunOutcome r = RunText("SET 1\r\n  OUTPUT x\r\n");
    EXPECT_EQ(r.ExitCode, kExitError);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "p.cv:2:10: End of line expected ...\n");

    // Error at the very first character.
    r = RunText("+");
    EXPECT_EQ(r.Err, "p.cv:1:1: Unrecognized character ...\n");

    // Link error: of two missing labels, the later one is reported.
    r = RunText("GOTO a\r\nOUTPUT\r\n   GOTO b");
    EXPECT_EQ(r.ExitCode, kExitError);
    EXPECT_EQ(r.Err, "p.cv:3:4: Label identificator not found ...\n");

    // Run error: the output before it stays.
    r = RunText("SET 3\r\nOUTPUT\r\nPOP\r\nOUTPUT");
    EXPECT_EQ(r.ExitCode, kExitError);
    EXPECT_EQ(r.Out, "3 \n");
    EXPECT_EQ(r.Err, "p.cv:3:1: Stack is empty! Cannot read value ...\n");

    r = RunText("SET 1\r\nDIV 0");
    EXPECT_EQ(r.ExitCode, kExitError);
    EXPECT_EQ(r.Err, "p.cv:2:1: Division by zero ...\n");
}

TEST(RunnerErrors, PositionsCountEditorCharacters) {
    // Lone LF and lone CR are line breaks in the file, as in the editor.
    EXPECT_EQ(RunText("SET 1\nOUTPUT x").Err, "p.cv:2:8: End of line expected ...\n");
    EXPECT_EQ(RunText("SET 1\rOUTPUT x").Err, "p.cv:2:8: End of line expected ...\n");
    EXPECT_EQ(RunText("\n\r\n\rX").Err, "p.cv:4:1: Unrecognized expression ...\n");
    // A byte-order mark is no character of the text.
    EXPECT_EQ(RunText("\xEF\xBB\xBFOUTPUT x").Err, "p.cv:1:8: End of line expected ...\n");
    // Multi-byte UTF-8 characters and a surrogate pair before the error.
    EXPECT_EQ(RunText("// \xC4\x8D\xE2\x82\xAC\xF0\x9F\x98\x80\r\nSET \xC4\x8D").Err,
              "p.cv:2:5: Unrecognized character ...\n");
    // The same as an 8-bit file.
    EXPECT_EQ(RunText("// \xE8\x80\r\nSET \xE8").Err, "p.cv:2:5: Unrecognized character ...\n");
    // Text after a non-ASCII comment character keeps its place on the line.
    EXPECT_EQ(RunText("OUTPUT // \xC4\x8D\r\nOUTPUT").Out, "0 0 \n");
}

TEST(RunnerSteps, LimitCountsExecutedCommandsOnly) {
    // Comment and blank lines are parsed, not executed: they take no steps.
    const std::string program = "// a comment line\r\n\r\nOUTPUT\r\nOUTPUT\r\nOUTPUT\r\n";
    TRunOutcome r = RunText(program, "", 2);
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_EQ(r.Out, "0 0 \n");
    EXPECT_EQ(r.Err, "p.cv: Step limit reached ...\n");

    // Running off the last command ends the run with that command.
    r = RunText(program, "", 3);
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_EQ(r.Out, "0 0 0 \n");
    EXPECT_EQ(r.Err, "");

    // The end record, reached by a jump, is one more command.
    const std::string jump = "OUTPUT\r\nGOTO e\r\nOUTPUT\r\n:e";
    r = RunText(jump, "", 2);
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_EQ(r.Out, "0 \n");
    EXPECT_EQ(RunText(jump, "", 3).ExitCode, kExitFinished);

    // A limit reached by the command that ends the run is no step limit.
    r = RunText("OUTPUT\r\nEXIT\r\nOUTPUT", "", 2);
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_EQ(r.Out, "0 \n");

    // A failing command at the limit is a run error.
    r = RunText("OUTPUT\r\nPOP", "", 2);
    EXPECT_EQ(r.ExitCode, kExitError);

    // An endless loop.
    r = RunText(":l ADD 1\r\nOUTPUT\r\nGOTO l", "", 1000);
    EXPECT_EQ(r.ExitCode, kExitStepLimit);
    EXPECT_TRUE(r.Out.ends_with("332 333 \n")) << r.Out;
}

TEST(RunnerRun, BreakMarkersDoNotPause) {
    const TRunOutcome r = RunText("SET 1 // <BREAK>\r\n// <break>\r\nOUTPUT // <Break>");
    EXPECT_EQ(r.ExitCode, kExitFinished);
    EXPECT_EQ(r.Out, "1 \n");
}
