// A test suite: the cases a teacher writes for an assignment, read from a
// .cvtest file (TOML).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace corvane::suite {

// How a case's expected output is compared with the program's output.
enum class TCompare {
    Values,   // both read as lists of integers; blanks of any kind and length ignored
    Exact,    // byte-exact text, trailing blanks and line feeds ignored
    Contains, // the expected values appear as a contiguous run of the output's
    Regex,    // ECMAScript, matching the whole output (trailing blanks and line feeds ignored)
};

// What a case asks of the run.
enum class TOutcome {
    Output,    // ends normally with the expected output
    Error,     // fails (parse, link or run) with a message containing Expected
    StepLimit, // still running when MaxSteps commands have been executed
};

struct TCase {
    std::string Name;
    std::string Input; // the input dialog's text: numbers separated by blanks
    TOutcome Outcome = TOutcome::Output;
    std::string Expected;             // the output, or the part of the error message
    std::optional<int32_t> ErrorLine; // Error only: the error's line, from 1
    int64_t Points = 1;
    uint64_t MaxSteps = 0;
    double Timeout = 10; // wall-clock seconds
    bool Hidden = false;
    TCompare Compare = TCompare::Values;
    // Read from Expected when the suite is read: the values for Values and
    // Contains, the pattern for Regex. Shared by copies, read only.
    std::vector<uint32_t> ExpectedValues;
    std::shared_ptr<const std::regex> Pattern;
};

struct TSuite {
    std::string Name; // as given to ReadSuite; used in messages
    std::vector<TCase> Cases;
};

// A suite that cannot be used, and where: Line and Column count from 1 (0
// when the text as a whole is at fault).
struct TSuiteError {
    std::string Message;
    int32_t Line = 0;
    int32_t Column = 0;
    // "NAME:LINE:COL: MESSAGE"
    std::string Text(std::string_view suiteName) const;
};

// Defaults of the keys a case may leave out.
constexpr uint64_t kDefaultMaxSteps = 10'000'000;
constexpr double kDefaultTimeout = 10;

// Reads a suite from the text of a .cvtest file; name is the file's name.
std::variant<TSuite, TSuiteError> ReadSuite(std::string_view text, std::string_view name);

// Reads a blank-separated list of decimal integers (from -2147483648 to
// 4294967295, each kept as its 32 bits); nothing when a word is no such number.
std::optional<std::vector<uint32_t>> ReadValues(std::string_view text);

} // namespace corvane::suite
