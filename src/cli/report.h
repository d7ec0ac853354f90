// The reports of a suite run, in the formats graders read: text, json,
// gradescope, junit, tap. A report is written program by program, in the
// order the programs were given, so that memory does not grow with them.
#pragma once

#include "suite/caserun.h"
#include "suite/suite.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// One program's results, one per case of the suite, in the suite's order.
struct TProgramReport {
    std::string File;
    std::vector<suite::TCaseResult> Results;
    std::vector<double> Seconds; // wall-clock time of each case
};

using TReportSink = std::function<void(std::string_view text)>;

class TReportWriter {
public:
    virtual ~TReportWriter() = default;
    virtual void Begin(std::size_t programs) = 0;
    virtual void Program(const TProgramReport& report) = 0;
    virtual void End(double seconds) = 0;
};

// format: text, json, gradescope, junit or tap (checked by the caller).
std::unique_ptr<TReportWriter> MakeReportWriter(std::string_view format, const suite::TSuite& suite,
                                                TReportSink sink);

// The text of a failed case as the text format shows it, and the Gradescope
// format as a test's output: input, expected and actual output with the first
// difference marked, the error, the steps.
std::string FailureBlock(const suite::TCase& testCase, const suite::TCaseResult& result);

} // namespace corvane::cli
