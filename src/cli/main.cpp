// corvane-run: the command-line front of the runner; all logic is in runner.cpp.
#include "cli/output.h"
#include "cli/runner.h"

#include "core/appstrings.h"

#include <cstdio>
#include <new>
#include <string_view>
#include <unistd.h>

namespace {

std::optional<std::string> ReadStdin() {
    if (isatty(STDIN_FILENO)) return std::nullopt;
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        text.append(buffer, n);
    return text;
}

// Standard error is where failures are told; when it fails too, nothing is left to tell.
void WriteErr(std::string_view text) {
    try {
        corvane::cli::WriteAll(STDERR_FILENO, text);
    } catch (const corvane::cli::TWriteError&) {
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane::cli;
    try {
        const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        // The program's output goes out as it comes, so that an endless printing
        // loop under --max-steps (or a killed run) shows what it printed. A
        // failed write throws out of the run and ends it.
        const auto toStdout = [](std::string_view text) { WriteAll(STDOUT_FILENO, text); };
        const TRunOutcome outcome = RunCommandLine(args, &ReadStdin, toStdout);
        WriteAll(STDOUT_FILENO, outcome.Out);
        WriteErr(outcome.Err);
        return outcome.ExitCode;
    } catch (const TWriteError& error) {
        WriteErr(WriteErrorText(error));
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        WriteErr(std::string("corvane-run: ") + corvane::Str(corvane::sNoMemory) + "\n");
        return kExitError;
    }
}
