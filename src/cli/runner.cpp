#include "cli/runner.h"

#include "cli/arguments.h"
#include "cli/suiterun.h"

#include "core/appstrings.h"
#include "core/executor.h"
#include "core/host.h"
#include "core/inputlist.h"
#include "core/parser.h"
#include "core/program.h"
#include "core/text_codec.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <memory>
#include <new>
#include <sys/stat.h>

namespace corvane::cli {

namespace {

constexpr std::string_view kProgramName = "corvane-run";

// Collects the output, keeps the first error, and enforces the step limit: the
// executor calls Executed after every `maxSteps` commands, and the first call
// ends the run. Without a limit the hook never comes.
class TRunnerHost final : public THost {
public:
    TRunnerHost(TProgram& program, const TOutputSink& sink, uint64_t maxSteps)
        : program_(program), sink_(sink), maxSteps_(maxSteps) {}

    void Error(const TError& error) override {
        if (!Failure) Failure = error;
    }
    uint32_t HookInterval() const override {
        return static_cast<uint32_t>(std::min<uint64_t>(maxSteps_, UINT32_MAX));
    }
    void Executed(int32_t) override {
        // Setting psStop ends the loop before the next command, as the run
        // window's Stop does.
        if (program_.Steps >= maxSteps_) program_.Move(TMove::mvStop);
    }
    void Output(uint32_t value) override {
        char digits[kSignedDigits];
        output_ += SignedText(value, digits);
        output_ += ' ';
        wrote_ = true;
        if (sink_ && output_.size() >= kChunk) {
            sink_(output_);
            output_.clear();
        }
    }

    // Ends the output: the rest of it and a line feed when anything was printed.
    // Returns what the sink did not take.
    std::string FinishOutput() {
        if (wrote_) output_ += '\n';
        if (sink_ && !output_.empty()) {
            sink_(output_);
            output_.clear();
        }
        return std::move(output_);
    }

    std::optional<TError> Failure;

private:
    static constexpr std::size_t kChunk = 1 << 16;

    TProgram& program_;
    const TOutputSink& sink_;
    uint64_t maxSteps_;
    bool wrote_ = false;
    std::string output_;
};

std::string ErrorLine(std::string_view fileName, std::string_view machineText, int32_t position,
                      std::string_view message) {
    const TLineCol at = LineColOf(machineText, position);
    return std::string(fileName) + ":" + std::to_string(at.Line) + ":" + std::to_string(at.Column) +
           ": " + std::string(message) + "\n";
}

} // namespace

std::string UsageText() {
    return "usage: corvane-run [--input TEXT] [--max-steps N] FILE.cv\n"
           "       corvane-run --suite SUITE.cvtest [--format text|json|gradescope|junit|tap]\n"
           "                   [--jobs N] [--output FILE] [--exit-zero] FILE.cv...\n"
           "Runs a Corvane program and prints its output values on one line.\n"
           "  --input TEXT    the input values, numbers separated by blanks\n"
           "                  (default: standard input when it is not a terminal, else none)\n"
           "  --max-steps N   end with exit code 3 once N commands have been executed\n"
           "  --steps         print \"steps: N\" on standard error after the run\n"
           "  --suite SUITE   run the cases of a test suite against every FILE.cv\n"
           "  --format F      the suite run's report: text (default), json, gradescope,\n"
           "                  junit or tap\n"
           "  --jobs N        run the cases over N threads (default: the number of cores)\n"
           "  --output FILE   write the report to FILE instead of standard output\n"
           "  --exit-zero     exit 0 whatever the cases did, once the suite has run\n"
           "  --help          show this text\n"
           "  --version       show the version\n"
           "Exit codes: 0 finished, 1 program error, 2 bad arguments, file or input,\n"
           "3 step limit reached; with --suite: 0 every case passed, 1 some case failed,\n"
           "2 bad arguments or an unreadable or invalid suite or program file.\n";
}

namespace {

// Parse, link and run; the outcome tells how it ended.
void Execute(TProgram& program, TRunnerHost& host, TInputList& input, std::string_view machineText,
             std::string_view fileName, TRunOutcome& outcome) {
    const auto fail = [&] {
        outcome.ExitCode = kExitError;
        const TError& e = *host.Failure;
        outcome.Err = e.Pos < 0 ? std::string(fileName) + ": " + Str(e.Message) + "\n"
                                : ErrorLine(fileName, machineText, e.Pos, Str(e.Message));
    };
    int32_t result = ParseProgram(machineText, program, host);
    if (result == -1) result = program.Link(host);
    if (result != -1) {
        fail();
        return;
    }

    result = program.Start(host, input, psRun);
    // No stop lines here, so no pause is expected; should one come, go on.
    while (result == -1 && program.Move(TMove::mvContinue))
        result = program.Resume(host, input);

    outcome.Out = host.FinishOutput();
    outcome.Steps = program.Steps;
    if (result != -1 || program.State == psFailed) {
        // A broken condition tree fails the run with no command to point at.
        fail();
    } else if (program.Current != nullptr) {
        outcome.ExitCode = kExitStepLimit;
        outcome.Err = std::string(fileName) + ": Step limit reached ...\n";
    }
}

} // namespace

TRunOutcome RunFile(std::string_view fileName, std::string_view fileBytes,
                    std::string_view inputText, uint64_t maxSteps, const TOutputSink& output) {
    TRunOutcome outcome;

    TInputList input;
    if (const std::size_t bad = input.Parse(inputText); bad != 0) {
        outcome.ExitCode = kExitUsage;
        outcome.Err = "input:" + std::to_string(bad) + ": " + Str(sBadCharacter) + "\n";
        return outcome;
    }

    // Positions the core reports count editor characters, one byte each here.
    const std::string machineText = ToMachineText(DecodeFile(fileBytes).Text);

    TProgram program;
    TRunnerHost host(program, output, maxSteps);
    Execute(program, host, input, machineText, fileName, outcome);
    return outcome;
}

TRunOutcome RunCommandLine(const std::vector<std::string>& args, const TStdinReader& readStdin,
                           const TOutputSink& output) {
    TOptions options;
    if (const auto error = ParseArguments(args, options)) {
        return {kExitUsage, "", std::string(kProgramName) + ": " + *error + "\n" + UsageText()};
    }
    if (options.Help) return {kExitFinished, UsageText(), ""};
    if (options.Version)
        return {kExitFinished, std::string(kProgramName) + " " + CORVANE_VERSION + "\n", ""};
    if (options.Suite) {
        try {
            return RunSuiteCommand(options, output);
        } catch (const std::bad_alloc&) {
            return {kExitError, "", std::string(kProgramName) + ": " + Str(sNoMemory) + "\n"};
        }
    }
    const std::string& file = options.Files.front();

    // Memory runs out on a huge program (or input text) long before any limit
    // of the machine is reached; that is the program's failure, not a crash.
    try {
        std::string bytes;
        switch (ReadProgramFile(file, kMaxProgramBytes, bytes)) {
        case TReadResult::Read: break;
        case TReadResult::CannotOpen:
            return {kExitUsage, "",
                    std::string(kProgramName) + ": Cannot open file " + file + "\n"};
        case TReadResult::TooLarge: return {kExitUsage, "", TooLargeText(file)};
        }
        std::string inputText;
        if (options.Input) {
            inputText = *options.Input;
        } else if (readStdin) {
            inputText = readStdin().value_or("");
        }
        TRunOutcome outcome = RunFile(file, bytes, inputText, options.MaxSteps, output);
        if (options.Steps) outcome.Err += "steps: " + std::to_string(outcome.Steps) + "\n";
        return outcome;
    } catch (const std::bad_alloc&) {
        return {kExitError, "", file + ": " + Str(sNoMemory) + "\n"};
    }
}

TReadResult ReadProgramFile(const std::string& path, std::size_t limit, std::string& bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) return TReadResult::CannotOpen;
    // A regular file tells its size; a device or a FIFO is read up to the limit.
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) > limit)
        return TReadResult::TooLarge;
    bytes.clear();
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (n > limit - bytes.size()) return TReadResult::TooLarge;
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get())) return TReadResult::CannotOpen; // a folder, an unreadable device
    return TReadResult::Read;
}

std::string TooLargeText(std::string_view path) {
    return std::string(kProgramName) + ": " + std::string(path) +
           ": File too large (more than 1 GB) ...\n";
}

} // namespace corvane::cli
