// corvane-run --suite: every case of a suite against every program given,
// over worker threads, reported in the order of one job.
#pragma once

#include "cli/arguments.h"
#include "cli/runner.h"

namespace corvane::cli {

// Runs the suite run the options ask for; the report goes to output (or to
// --output's file). Exit codes: 0 every case passed (or --exit-zero), 1 some
// case failed, 2 bad arguments or an unreadable or invalid suite or program.
TRunOutcome RunSuiteCommand(const TOptions& options, const TOutputSink& output);

} // namespace corvane::cli
