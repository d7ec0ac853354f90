// corvane-run: the command-line front of the runner; all logic is in runner.cpp.
#include "cli/runner.h"

#include <cstdio>
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

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // The program's output goes out as it comes, so that an endless printing
    // loop under --max-steps (or a killed run) shows what it printed.
    const auto toStdout = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
    };
    const corvane::cli::TRunOutcome outcome =
        corvane::cli::RunCommandLine(args, &ReadStdin, toStdout);
    Write(stdout, outcome.Out);
    Write(stderr, outcome.Err);
    return outcome.ExitCode;
}
