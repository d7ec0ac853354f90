#include "windows/checkworker.h"

#include <exception>
#include <utility>

TCheckWorker::TCheckWorker(corvane::suite::TSuite suite, std::string machineText,
                           TCaseDone caseDone, TAllDone allDone)
    : suite_(std::move(suite)), machineText_(std::move(machineText)),
      caseDone_(std::move(caseDone)), allDone_(std::move(allDone)), thread_([this] { Run(); }) {}

TCheckWorker::~TCheckWorker() {
    Cancel();
    thread_.join();
}

// No exception may leave the thread: one (no memory for a huge program) fails
// its case with the reason, and the others still run.
corvane::suite::TCaseResult TCheckWorker::Checked(const corvane::suite::TCase& testCase,
                                                  const corvane::suite::TRunControl& control) {
    try {
        return corvane::suite::RunCase(testCase, machineText_, control);
    } catch (const std::exception& error) {
        corvane::suite::TCaseResult result;
        result.MaxScore = testCase.Points;
        result.Reason = corvane::suite::TReason::Error;
        result.Expected = testCase.Expected;
        result.Error = corvane::suite::TRunError{0, 0, error.what()};
        return result;
    }
}

void TCheckWorker::Run() {
    corvane::suite::TRunControl control;
    control.Cancelled = [this] { return cancelled_.load(std::memory_order_relaxed); };
    for (std::size_t i = 0; i < suite_.Cases.size(); ++i) {
        if (control.Cancelled()) return;
        const corvane::suite::TCaseResult result = Checked(suite_.Cases[i], control);
        // A cancelled case reads as timed out; it was not, so it is not told.
        if (control.Cancelled()) return;
        caseDone_(i, result);
    }
    allDone_();
}
