#include "wasm/websuite.h"

#include "core/appstrings.h"
#include "suite/caserun.h"

#include <new>
#include <variant>

namespace corvane::wasm {

namespace {

// corvane-run's verdict when a case cannot even be run.
suite::TCaseResult OutOfMemory(const suite::TCase& c) {
    suite::TCaseResult r;
    r.MaxScore = c.Points;
    r.Expected = c.Expected;
    r.Reason = suite::TReason::Error;
    r.Error = suite::TRunError{0, 0, Str(sNoMemory)};
    return r;
}

const char* OutcomeName(suite::TOutcome outcome) {
    switch (outcome) {
    case suite::TOutcome::Output: return "output";
    case suite::TOutcome::Error: return "error";
    case suite::TOutcome::StepLimit: return "step-limit";
    }
    return "output";
}

const char* CompareName(suite::TCompare compare) {
    switch (compare) {
    case suite::TCompare::Values: return "values";
    case suite::TCompare::Exact: return "exact";
    case suite::TCompare::Contains: return "contains";
    case suite::TCompare::Regex: return "regex";
    }
    return "values";
}

} // namespace

std::unique_ptr<TWebSuite> TWebSuite::Read(std::string_view suiteText, std::string_view suiteName,
                                           std::string machineText, std::string& error) {
    auto read = suite::ReadSuite(suiteText, suiteName);
    if (const auto* fault = std::get_if<suite::TSuiteError>(&read)) {
        error = fault->Text(suiteName);
        return nullptr;
    }
    return std::make_unique<TWebSuite>(std::get<suite::TSuite>(std::move(read)),
                                       std::move(machineText));
}

json TWebSuite::RunCase(std::size_t index) {
    const suite::TCase& c = suite_.Cases.at(index);
    suite::TCaseResult r;
    try {
        r = suite::RunCase(c, text_);
    } catch (const std::bad_alloc&) {
        r = OutOfMemory(c);
    }
    const bool passed = r.Status == suite::TStatus::Passed;
    ++ran_;
    passed_ += passed ? 1 : 0;
    points_ += r.Score;
    maxPoints_ += r.MaxScore;
    return {{"name", c.Name},
            {"hidden", c.Hidden},
            {"passed", passed},
            {"reason", suite::ReasonName(r.Reason)},
            {"points", r.Score},
            {"maxPoints", r.MaxScore},
            {"steps", r.Steps},
            {"input", c.Input},
            {"expected", r.Expected},
            {"output", r.Output},
            {"outputCut", r.OutputCut},
            {"outcome", OutcomeName(c.Outcome)},
            {"compare", CompareName(c.Compare)},
            {"errorLine", c.ErrorLine ? *c.ErrorLine : 0},
            {"error", r.Error ? ErrorInfo(r.Error->Message, r.Error->Line, r.Error->Column)
                              : json(nullptr)}};
}

json TWebSuite::Summary() const {
    return {{"passed", passed_},
            {"count", ran_},
            {"points", points_},
            {"maxPoints", maxPoints_},
            {"summary", std::to_string(passed_) + " of " + std::to_string(ran_) + " passed, " +
                            std::to_string(points_) + " of " + std::to_string(maxPoints_) +
                            " points"}};
}

} // namespace corvane::wasm
