// A test suite run for the page's Check: read once, then one case per call,
// so that the worker answers between cases.
#pragma once

#include "suite/suite.h"
#include "wasm/reports.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace corvane::wasm {

class TWebSuite {
public:
    // The suite, or nullptr and `error` as corvane-run prints it
    // ("NAME:LINE:COL: MESSAGE").
    static std::unique_ptr<TWebSuite> Read(std::string_view suiteText, std::string_view suiteName,
                                           std::string machineText, std::string& error);

    std::size_t Count() const { return suite_.Cases.size(); }
    // CaseResult of the case at `index`, judged as corvane-run --suite judges it.
    json RunCase(std::size_t index);
    // The tally of the cases run so far, with the Check window's summary line.
    json Summary() const;

    TWebSuite(suite::TSuite suite, std::string machineText)
        : suite_(std::move(suite)), text_(std::move(machineText)) {}

private:
    suite::TSuite suite_;
    std::string text_;
    std::size_t ran_ = 0;
    std::size_t passed_ = 0;
    int64_t points_ = 0;
    int64_t maxPoints_ = 0;
};

} // namespace corvane::wasm
