// The cases of a check, run one after the other on a thread of their own. The
// thread touches no widget: it hands each result to a callback, which posts it
// to the GUI thread.
#pragma once

#include "suite/caserun.h"
#include "suite/suite.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

class TCheckWorker {
public:
    // Called on the worker's thread: a case's result, then once when no case
    // is left. Neither is called for a case cut short by Cancel, nor after it.
    using TCaseDone = std::function<void(std::size_t index, const corvane::suite::TCaseResult&)>;
    using TAllDone = std::function<void()>;

    TCheckWorker(corvane::suite::TSuite suite, std::string machineText, TCaseDone caseDone,
                 TAllDone allDone);
    // Cancels and waits for the thread, which ends within a hook's commands.
    ~TCheckWorker();
    TCheckWorker(const TCheckWorker&) = delete;
    TCheckWorker& operator=(const TCheckWorker&) = delete;

    // Ends the case at hand soon and runs no further one; returns at once.
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }

private:
    void Run();
    corvane::suite::TCaseResult Checked(const corvane::suite::TCase& testCase,
                                        const corvane::suite::TRunControl& control);

    corvane::suite::TSuite suite_;
    std::string machineText_;
    TCaseDone caseDone_;
    TAllDone allDone_;
    std::atomic<bool> cancelled_{false};
    std::thread thread_; // last: started once everything it reads is in place
};
