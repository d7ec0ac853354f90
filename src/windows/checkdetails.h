// The texts of the Check window: the summary line and what it shows of one
// case. Hidden cases show their result alone, never their data.
#pragma once

#include "suite/caserun.h"
#include "suite/suite.h"

#include <QString>

#include <cstdint>

// "4 of 5 passed, 8 of 10 points"
QString CheckSummary(int passed, int cases, int64_t score, int64_t maxScore);

// The case's input, expected and actual output with the first difference
// marked by a caret under it, the error with its line and column, the steps.
// result is null while the case has not run.
QString CaseDetails(const corvane::suite::TCase& testCase,
                    const corvane::suite::TCaseResult* result);

// Why a case failed, in words ("wrong output", "timed out", ...).
QString ReasonText(corvane::suite::TReason reason);
