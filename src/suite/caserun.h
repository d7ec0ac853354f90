// Runs one case of a suite against one program, isolated: its own program,
// input list, step budget and clock, so that cases may run on many threads.
#pragma once

#include "suite/suite.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::suite {

enum class TStatus { Passed, Failed };

// Why a case failed (None when it passed).
enum class TReason {
    None,
    WrongOutput, // the output differs, or a step-limit case ended
    Error,       // an unexpected error, or not the expected one
    NoError,     // an error was expected; the run ended normally
    StepLimit,   // the run was still going at the case's max-steps
    Timeout,     // the case's wall-clock timeout passed
};

// "wrong-output", "error", "no-error", "step-limit", "timeout"; "" for None.
std::string_view ReasonName(TReason reason);

struct TRunError {
    int32_t Line = 0; // from 1; 0 when no command can be pointed at
    int32_t Column = 0;
    std::string Message; // the message the editor shows
};

struct TCaseResult {
    TStatus Status = TStatus::Failed;
    TReason Reason = TReason::None;
    int64_t Score = 0;
    int64_t MaxScore = 0;
    uint64_t Steps = 0;
    std::string Output;     // as corvane-run prints it ("1 2 3 \n"), capped
    bool OutputCut = false; // the output went past the cap and was cut there
    std::string Expected;   // what the case expected, as the teacher wrote it
    std::optional<TRunError> Error;
};

// What a caller may ask of a running case. Cancelled is asked now and then
// from the thread that runs the case; returning true ends the run, which is
// then reported as timed out.
struct TRunControl {
    std::function<bool()> Cancelled;
    std::size_t MaxOutputBytes = std::size_t{1} << 20;
};

// The text the core parses from a program file's bytes (decoded, CR LF line ends).
std::string MachineText(std::string_view fileBytes);

// Parses, links and runs the program for the case and judges the run.
TCaseResult RunCase(const TCase& testCase, std::string_view machineText,
                    const TRunControl& control = {});

// Whether output satisfies the case's expected output (Output cases).
bool OutputMatches(const TCase& testCase, std::string_view output);

} // namespace corvane::suite
