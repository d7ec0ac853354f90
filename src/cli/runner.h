// The headless runner: runs one program file over an input text and reports
// the way a grading script can check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// Exit codes of corvane-run.
constexpr int kExitFinished = 0;  // the program ran to its end
constexpr int kExitError = 1;     // parse, link or run error
constexpr int kExitUsage = 2;     // bad arguments, unreadable file, bad input text
constexpr int kExitStepLimit = 3; // --max-steps commands executed, the run not ended

struct TRunOutcome {
    int ExitCode = kExitFinished;
    std::string Out;    // what goes to standard output
    std::string Err;    // what goes to standard error
    uint64_t Steps = 0; // commands executed
};

// The whole of standard input, or nothing when standard input is a terminal.
// Called only when no --input was given.
using TStdinReader = std::function<std::optional<std::string>()>;

// Receives standard output while the program runs. Without one, the output
// is collected in TRunOutcome::Out; with one, Out stays empty and a program
// that prints without end runs in bounded memory.
using TOutputSink = std::function<void(std::string_view text)>;

// The command line without the program's own name.
TRunOutcome RunCommandLine(const std::vector<std::string>& args, const TStdinReader& readStdin,
                           const TOutputSink& output = {});

// Runs a program file's bytes: decode, parse the input, parse, link, run.
// fileName is used only in messages. maxSteps 0 means no limit.
TRunOutcome RunFile(std::string_view fileName, std::string_view fileBytes,
                    std::string_view inputText, uint64_t maxSteps = 0,
                    const TOutputSink& output = {});

// Program files larger than this are refused unread: /dev/zero or a FIFO
// that never ends must not take all memory.
constexpr std::size_t kMaxProgramBytes = std::size_t{1} << 30;

enum class TReadResult { Read, CannotOpen, TooLarge };

// Reads a whole file of at most `limit` bytes into bytes.
TReadResult ReadProgramFile(const std::string& path, std::size_t limit, std::string& bytes);

// "corvane-run: FILE: File too large (more than 1 GB) ...\n"
std::string TooLargeText(std::string_view path);

// The usage line and the options, ending with a line feed.
std::string UsageText();

} // namespace corvane::cli
