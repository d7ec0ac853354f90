// corvane-run: the command-line front of the runner; all logic is in runner.cpp.
#include "cli/runner.h"

#include <cstdio>
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
    const corvane::cli::TRunOutcome outcome = corvane::cli::RunCommandLine(args, &ReadStdin);
    Write(stdout, outcome.Out);
    Write(stderr, outcome.Err);
    return outcome.ExitCode;
}
