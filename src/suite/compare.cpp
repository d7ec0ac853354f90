// The comparisons of an output with a case's expected output.
#include "suite/caserun.h"

#include <algorithm>

namespace corvane::suite {

namespace {

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                             text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

bool OutputMatches(const TCase& c, std::string_view output) {
    switch (c.Compare) {
    case TCompare::Values: {
        const auto values = ReadValues(output);
        return values && *values == c.ExpectedValues;
    }
    case TCompare::Exact: return TrimEnd(output) == TrimEnd(c.Expected);
    case TCompare::Contains: {
        const auto values = ReadValues(output);
        return values && std::search(values->begin(), values->end(), c.ExpectedValues.begin(),
                                     c.ExpectedValues.end()) != values->end();
    }
    case TCompare::Regex: {
        if (!c.Pattern) return false;
        const std::string_view text = TrimEnd(output);
        return std::regex_match(text.begin(), text.end(), *c.Pattern);
    }
    }
    return false;
}

} // namespace corvane::suite
