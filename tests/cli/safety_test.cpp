// corvane-run under hostile surroundings: outputs that refuse bytes, memory
// that runs out, program files that never end.
#include "cli/runner.h"

#include "process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace corvane::test;

namespace {

struct TShellResult {
    int ExitCode = -1;
    std::string Err;
};

// Runs a bash command in dir with $RUN set to the binary; standard error of
// the command goes to a file that is read back.
TShellResult Shell(const TTempDir& dir, const std::string& command) {
    const std::string script =
        "cd '" + dir.Path().string() + "' && RUN='" + CORVANE_RUN_BINARY + "' && " + command;
    WriteWholeFile(dir.Path() / "script.sh", script);
    const std::string line =
        "bash '" + (dir.Path() / "script.sh").string() + "' 2>'" + dir.Path().string() + "/err'";
    const int status = std::system(line.c_str());
    TShellResult r;
    if (status != -1 && WIFEXITED(status)) r.ExitCode = WEXITSTATUS(status);
    r.Err = ReadWholeFile(dir.Path() / "err");
    return r;
}

constexpr const char* kLoop = ":l OUTPUT\r\nGOTO l\r\n";

} // namespace

TEST(RunnerWrites, AFailedWriteEndsTheRunWithExitCode2) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "loop.cv", kLoop);
    TShellResult r = Shell(dir, "\"$RUN\" --max-steps 1000000 loop.cv >/dev/full");
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: cannot write the output: No space left on device\n");

    // A short output is written only at the end; it must be checked as well.
    WriteWholeFile(dir.Path() / "one.cv", "OUTPUT");
    r = Shell(dir, "\"$RUN\" one.cv >/dev/full");
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: cannot write the output: No space left on device\n");

    r = Shell(dir, "\"$RUN\" one.cv >&-");
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: cannot write the output: Bad file descriptor\n");

    // Nothing to write, nothing to fail.
    WriteWholeFile(dir.Path() / "quiet.cv", "SET 1");
    EXPECT_EQ(Shell(dir, "\"$RUN\" quiet.cv >/dev/full").ExitCode, 0);
}

TEST(RunnerWrites, AClosedPipeEndsAnEndlessRunAtOnce) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "loop.cv", kLoop);
    // SIGPIPE ignored, as some shells and graders leave it: the write fails
    // with EPIPE instead of killing the process. `timeout` turns a run that
    // never ends into exit code 124.
    const TShellResult r = Shell(dir, "trap '' PIPE; timeout 30 \"$RUN\" loop.cv | head -c 10 "
                                      ">/dev/null; exit ${PIPESTATUS[0]}");
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: cannot write the output: Broken pipe\n");
}

TEST(RunnerMemory, RunningOutOfMemoryIsAnErrorNotACrash) {
    if (!kCanLimitMemory) GTEST_SKIP() << "ulimit -v does not work under AddressSanitizer";
    const TTempDir dir;
    // 4 MB of commands need far more than 4 MB once parsed.
    std::string program;
    for (int i = 0; i < 400000; ++i)
        program += "SET 1234\r\n";
    WriteWholeFile(dir.Path() / "big.cv", program);
    WriteWholeFile(dir.Path() / "small.cv", "OUTPUT");
    TShellResult r = Shell(dir, "ulimit -v 30000; \"$RUN\" small.cv >/dev/null");
    ASSERT_EQ(r.ExitCode, 0) << "the limit leaves no room to run at all: " << r.Err;
    r = Shell(dir, "ulimit -v 30000; \"$RUN\" big.cv");
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "big.cv: Cannot allocate memory ...\n");

    // /dev/zero never ends; memory runs out before the size bound is reached.
    r = Shell(dir, "ulimit -v 300000; \"$RUN\" /dev/zero");
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "/dev/zero: Cannot allocate memory ...\n");
}

TEST(RunnerMemory, ProgramFilesAreReadUpToTheirBound) {
    const TTempDir dir;
    const std::string path = (dir.Path() / "p.cv").string();
    WriteWholeFile(path, "OUTPUT\r\nOUTPUT");
    std::string bytes;
    using corvane::cli::TReadResult;
    EXPECT_EQ(corvane::cli::ReadProgramFile(path, 14, bytes), TReadResult::Read);
    EXPECT_EQ(bytes, "OUTPUT\r\nOUTPUT");
    EXPECT_EQ(corvane::cli::ReadProgramFile(path, 13, bytes), TReadResult::TooLarge);
    // A device without end is refused once the bound is passed.
    EXPECT_EQ(corvane::cli::ReadProgramFile("/dev/zero", 1 << 20, bytes), TReadResult::TooLarge);
    EXPECT_EQ(corvane::cli::TooLargeText("/dev/zero"),
              "corvane-run: /dev/zero: File too large (more than 1 GB) ...\n");
}
