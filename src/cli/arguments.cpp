#include "cli/arguments.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <string_view>

namespace corvane::cli {

namespace {

bool ParseCount(std::string_view text, uint64_t& value) {
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 1;
}

const std::vector<std::string_view> kValueOptions = {"--input",  "--max-steps", "--suite",
                                                     "--format", "--jobs",      "--output"};

// CLI11 tells a missing value as an ArgumentMismatch naming the option among
// other words; the last option of the command line without a usable value is
// the one.
std::string MissingValue(const std::vector<std::string>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        if (std::find(kValueOptions.begin(), kValueOptions.end(), *it) != kValueOptions.end())
            return *it + " needs a value";
    }
    return "an option needs a value";
}

std::optional<std::string> CheckValues(const std::vector<std::string>& extras,
                                       const std::optional<std::string>& maxSteps,
                                       const std::optional<std::string>& jobs, TOptions& options) {
    if (!extras.empty()) return "unknown option " + extras.front();
    if (maxSteps && !ParseCount(*maxSteps, options.MaxSteps))
        return "--max-steps needs a whole number of at least 1, not '" + *maxSteps + "'";
    if (jobs) {
        uint64_t n = 0;
        if (!ParseCount(*jobs, n) || n > 1024)
            return "--jobs needs a whole number from 1 to 1024, not '" + *jobs + "'";
        options.Jobs = static_cast<unsigned>(n);
    }
    if (options.Format && *options.Format != "text" && *options.Format != "json" &&
        *options.Format != "gradescope" && *options.Format != "junit" && *options.Format != "tap")
        return "--format is one of text, json, gradescope, junit, tap, not '" + *options.Format +
               "'";
    if (options.Help || options.Version) return std::nullopt;
    if (options.Files.empty()) return std::string("no program file given");
    if (!options.Suite) {
        if (options.Files.size() > 1) return std::string("only one program file may be given");
        if (options.Format || options.Jobs != 0 || options.Output || options.ExitZero)
            return std::string("--format, --jobs, --output and --exit-zero need --suite");
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> ParseArguments(const std::vector<std::string>& args, TOptions& options) {
    CLI::App app;
    app.set_help_flag(); // the usage text is ours, and --help goes to standard output
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("--help", options.Help);
    app.add_flag("--version", options.Version);
    app.add_flag("--steps", options.Steps);
    app.add_flag("--exit-zero", options.ExitZero);
    std::optional<std::string> maxSteps;
    std::optional<std::string> jobs;
    app.add_option("--input", options.Input);
    app.add_option("--max-steps", maxSteps);
    app.add_option("--suite", options.Suite);
    app.add_option("--format", options.Format);
    app.add_option("--jobs", jobs);
    app.add_option("--output", options.Output);
    app.add_option("files", options.Files);

    // After "--" every word is a file, whatever it begins with; CLI11 would
    // leave them among the extras, so they are set aside here. An empty
    // "--name=" value is passed on as a word of its own, which CLI11 takes
    // as the value instead of the word after it.
    std::vector<std::string> words;
    std::vector<std::string> filesAfterDashes;
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == "--") {
            filesAfterDashes.assign(it + 1, args.end());
            break;
        }
        if (it->size() > 3 && it->starts_with("--") && it->ends_with("=")) {
            words.push_back(it->substr(0, it->size() - 1));
            words.emplace_back();
        } else {
            words.push_back(*it);
        }
    }
    // CLI11 wants the arguments last first.
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch&) {
        return MissingValue(args);
    } catch (const CLI::ParseError& error) {
        return std::string(error.what());
    }
    options.Files.insert(options.Files.end(), filesAfterDashes.begin(), filesAfterDashes.end());
    return CheckValues(app.remaining(), maxSteps, jobs, options);
}

} // namespace corvane::cli
