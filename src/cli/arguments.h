// corvane-run's command line: what it asks for, or why it is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::cli {

struct TOptions {
    bool Help = false;
    bool Version = false;
    bool Steps = false; // print "steps: N" on standard error after the run
    std::optional<std::string> Input;
    uint64_t MaxSteps = 0;
    std::vector<std::string> Files;

    // A suite run: --suite and what only it uses.
    std::optional<std::string> Suite;
    std::optional<std::string> Format; // text, json, gradescope, junit, tap
    unsigned Jobs = 0;                 // 0: the number of cores
    std::optional<std::string> Output;
    bool ExitZero = false;
};

// Fills options from the command line without the program's own name.
// Returns an error text (without the "corvane-run: " prefix), or nothing when
// the arguments are sound.
std::optional<std::string> ParseArguments(const std::vector<std::string>& args, TOptions& options);

} // namespace corvane::cli
