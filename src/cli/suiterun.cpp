#include "cli/suiterun.h"

#include "cli/output.h"
#include "cli/report.h"
#include "core/appstrings.h"
#include "suite/caserun.h"
#include "suite/suite.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace corvane::cli {

namespace {

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// A program while its cases run: loaded by the first worker that needs it,
// freed once reported.
struct TSlot {
    std::once_flag Loaded;
    std::string MachineText;
    std::optional<std::string> LoadError; // every case fails with it
    TProgramReport Report;
    std::size_t Done = 0;
};

// Cases are handed out in the order of one job (program by program, case by
// case) and reported in that order as soon as a program is complete. Workers
// stay at most `window` programs ahead of the report, so memory is bounded
// by the jobs, not by the number of programs.
class TBatch {
public:
    TBatch(const suite::TSuite& suite, const std::vector<std::string>& files, unsigned jobs,
           TReportWriter& writer)
        : suite_(suite), files_(files), jobs_(jobs), writer_(writer),
          window_(16 * std::size_t{jobs} + 16) {}

    // Returns whether every case of every program passed.
    bool Run() {
        const std::size_t total = files_.size() * suite_.Cases.size();
        std::vector<std::thread> workers;
        const std::size_t threads = std::min<std::size_t>(jobs_, total);
        for (std::size_t i = 0; i < threads; ++i)
            workers.emplace_back([this] { Work(); });
        try {
            Report();
        } catch (...) {
            Abort(workers);
            throw;
        }
        for (std::thread& t : workers)
            t.join();
        return allPassed_;
    }

private:
    TSlot& SlotOf(std::size_t program) {
        auto& slot = slots_[program];
        if (!slot) {
            slot = std::make_unique<TSlot>();
            slot->Report.File = files_[program];
            slot->Report.Results.resize(suite_.Cases.size());
            slot->Report.Seconds.resize(suite_.Cases.size());
        }
        return *slot;
    }

    static void Load(TSlot& slot) {
        std::string bytes;
        switch (ReadProgramFile(slot.Report.File, kMaxProgramBytes, bytes)) {
        case TReadResult::Read: slot.MachineText = suite::MachineText(bytes); break;
        case TReadResult::CannotOpen:
            slot.LoadError = "Cannot open file " + slot.Report.File;
            break;
        case TReadResult::TooLarge: slot.LoadError = "File too large (more than 1 GB) ..."; break;
        }
    }

    static suite::TCaseResult Failed(const suite::TCase& c, std::string message) {
        suite::TCaseResult r;
        r.MaxScore = c.Points;
        r.Expected = c.Expected;
        r.Reason = suite::TReason::Error;
        r.Error = suite::TRunError{0, 0, std::move(message)};
        return r;
    }

    static suite::TCaseResult RunOne(TSlot& slot, const suite::TCase& c) {
        try {
            std::call_once(slot.Loaded, [&] { Load(slot); });
            if (slot.LoadError) return Failed(c, *slot.LoadError);
            return suite::RunCase(c, slot.MachineText);
        } catch (const std::bad_alloc&) {
            return Failed(c, Str(sNoMemory));
        }
    }

    void Work() {
        const std::size_t cases = suite_.Cases.size();
        const std::size_t total = files_.size() * cases;
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] {
                return aborted_ || next_ >= total || next_ / cases < reported_ + window_;
            });
            if (aborted_ || next_ >= total) return;
            const std::size_t index = next_++;
            const std::size_t program = index / cases;
            const std::size_t caseIndex = index % cases;
            TSlot& slot = SlotOf(program);
            lock.unlock();

            const auto start = TClock::now();
            suite::TCaseResult result = RunOne(slot, suite_.Cases[caseIndex]);
            const double seconds = SecondsSince(start);

            lock.lock();
            slot.Report.Results[caseIndex] = std::move(result);
            slot.Report.Seconds[caseIndex] = seconds;
            if (++slot.Done == cases) changed_.notify_all();
        }
    }

    void Report() {
        const std::size_t cases = suite_.Cases.size();
        for (std::size_t program = 0; program < files_.size(); ++program) {
            std::unique_ptr<TSlot> slot;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] {
                    const auto it = slots_.find(program);
                    return it != slots_.end() && it->second->Done == cases;
                });
                slot = std::move(slots_[program]);
                slots_.erase(program);
            }
            for (const suite::TCaseResult& r : slot->Report.Results)
                allPassed_ = allPassed_ && r.Status == suite::TStatus::Passed;
            writer_.Program(slot->Report);
            {
                const std::lock_guard lock(mutex_);
                ++reported_;
            }
            changed_.notify_all();
        }
    }

    void Abort(std::vector<std::thread>& workers) {
        {
            const std::lock_guard lock(mutex_);
            aborted_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : workers)
            t.join();
    }

    const suite::TSuite& suite_;
    const std::vector<std::string>& files_;
    unsigned jobs_;
    TReportWriter& writer_;
    std::size_t window_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, std::unique_ptr<TSlot>> slots_;
    std::size_t next_ = 0;     // the next case to hand out, in one job's order
    std::size_t reported_ = 0; // programs written to the report
    bool aborted_ = false;
    bool allPassed_ = true;
};

TRunOutcome Usage(const std::string& message) {
    return {kExitUsage, "", "corvane-run: " + message + "\n"};
}

// Where the report goes: --output's file, the caller's sink, or Out.
class TReportTarget {
public:
    TReportTarget(const TOptions& options, const TOutputSink& output, TRunOutcome& outcome)
        : output_(output), outcome_(outcome) {
        if (options.Output) file_.reset(std::fopen(options.Output->c_str(), "wb"));
    }
    bool Failed() const { return file_ == nullptr && failedToOpen_; }
    void Open(const TOptions& options) { failedToOpen_ = options.Output && !file_; }
    void Write(std::string_view text) {
        if (file_)
            WriteAll(fileno(file_.get()), text);
        else if (output_)
            output_(text);
        else
            outcome_.Out += text;
    }
    void Close() {
        if (file_ && std::fclose(file_.release()) != 0) throw TWriteError(std::strerror(errno));
    }

private:
    struct TCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, TCloser> file_;
    bool failedToOpen_ = false;
    const TOutputSink& output_;
    TRunOutcome& outcome_;
};

} // namespace

TRunOutcome RunSuiteCommand(const TOptions& options, const TOutputSink& output) {
    const std::string& suiteFile = *options.Suite;
    std::string suiteText;
    if (ReadProgramFile(suiteFile, kMaxProgramBytes, suiteText) != TReadResult::Read)
        return Usage("Cannot open file " + suiteFile);
    auto read = suite::ReadSuite(suiteText, suiteFile);
    if (const auto* error = std::get_if<suite::TSuiteError>(&read))
        return {kExitUsage, "", error->Text(suiteFile) + "\n"};
    const suite::TSuite& theSuite = std::get<suite::TSuite>(read);

    const std::string format = options.Format.value_or("text");
    if (format == "gradescope" && options.Files.size() != 1)
        return Usage("--format gradescope takes one program at a time");
    for (const std::string& file : options.Files) {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(file.c_str(), "rb"),
                                                                &std::fclose);
        if (!f) return Usage("Cannot open file " + file);
    }

    TRunOutcome outcome;
    TReportTarget target(options, output, outcome);
    target.Open(options);
    if (target.Failed()) return Usage("Cannot open file " + *options.Output);

    const auto start = TClock::now();
    const auto writer =
        MakeReportWriter(format, theSuite, [&](std::string_view text) { target.Write(text); });
    const unsigned jobs =
        options.Jobs != 0 ? options.Jobs : std::max(1u, std::thread::hardware_concurrency());
    writer->Begin(options.Files.size());
    TBatch batch(theSuite, options.Files, jobs, *writer);
    const bool passed = batch.Run();
    writer->End(SecondsSince(start));
    target.Close();
    outcome.ExitCode = passed || options.ExitZero ? kExitFinished : kExitError;
    return outcome;
}

} // namespace corvane::cli
