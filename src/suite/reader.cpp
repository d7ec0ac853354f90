// Reading a .cvtest file: TOML through toml++, then every key checked, so
// that a teacher's typo is an error with its place rather than a case that
// silently passes.
#include "suite/suite.h"

#include <toml++/toml.h>

#include <algorithm>
#include <charconv>
#include <set>

namespace corvane::suite {

namespace {

// Thrown inside the reader only; ReadSuite turns it into a TSuiteError.
struct TFault {
    TSuiteError Error;
};

[[noreturn]] void Fail(const toml::source_region& at, std::string message) {
    throw TFault{{std::move(message), static_cast<int32_t>(at.begin.line),
                  static_cast<int32_t>(at.begin.column)}};
}

std::string Quoted(std::string_view key) {
    return "'" + std::string(key) + "'";
}

std::string Text(const toml::node& node, std::string_view key) {
    if (!node.is_string()) Fail(node.source(), Quoted(key) + " must be a text in quotes");
    return node.as_string()->get();
}

int64_t Integer(const toml::node& node, std::string_view key, int64_t least) {
    if (!node.is_integer() || node.as_integer()->get() < least)
        Fail(node.source(),
             Quoted(key) + " must be a whole number of at least " + std::to_string(least));
    return node.as_integer()->get();
}

bool Flag(const toml::node& node, std::string_view key) {
    if (!node.is_boolean()) Fail(node.source(), Quoted(key) + " must be true or false");
    return node.as_boolean()->get();
}

double Seconds(const toml::node& node, std::string_view key) {
    double value = 0;
    if (node.is_integer())
        value = static_cast<double>(node.as_integer()->get());
    else if (node.is_floating_point())
        value = node.as_floating_point()->get();
    else
        Fail(node.source(), Quoted(key) + " must be a number of seconds");
    if (!(value > 0 && value <= 86400))
        Fail(node.source(), Quoted(key) + " must be more than 0 and at most 86400 seconds");
    return value;
}

TCompare CompareMode(const toml::node& node) {
    const std::string mode = Text(node, "compare");
    if (mode == "values") return TCompare::Values;
    if (mode == "exact") return TCompare::Exact;
    if (mode == "contains") return TCompare::Contains;
    if (mode == "regex") return TCompare::Regex;
    Fail(node.source(),
         "'compare' must be one of values, exact, contains, regex, not '" + mode + "'");
}

// The keys of a table in the order of the text (toml++ keeps them sorted by
// name), so that of two faults the first one written is reported.
std::vector<std::pair<const toml::key*, const toml::node*>> InTextOrder(const toml::table& table) {
    std::vector<std::pair<const toml::key*, const toml::node*>> keys;
    for (auto&& [key, value] : table)
        keys.emplace_back(&key, &value);
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
        const auto& pa = a.first->source().begin;
        const auto& pb = b.first->source().begin;
        return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
    });
    return keys;
}

struct TDefaults {
    uint64_t MaxSteps = kDefaultMaxSteps;
    double Timeout = kDefaultTimeout;
};

// What is wrong with a pattern, in the suite's own words: the standard
// libraries word it differently, and the desktop, corvane-run and the browser
// must report a suite alike.
std::string RegexProblem(std::regex_constants::error_type code) {
    namespace rc = std::regex_constants;
    switch (code) {
    case rc::error_collate: return "an unknown collating element";
    case rc::error_ctype: return "an unknown character class";
    case rc::error_escape: return "a bad escape";
    case rc::error_backref: return "a back reference to no group";
    case rc::error_brack: return "a [ without its ]";
    case rc::error_paren: return "a ( without its )";
    case rc::error_brace: return "a { without its }";
    case rc::error_badbrace: return "a bad count in { }";
    case rc::error_range: return "a bad character range";
    case rc::error_badrepeat: return "a repeat with nothing before it";
    default: return "too complex to match";
    }
}

// Whether a pattern refers back to a group (\1 to \9 outside a bracket
// expression): matching one needs backtracking, whose depth grows with the
// output, and a long output would overflow the stack.
bool HasBackReference(std::string_view pattern) {
    bool inBrackets = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            if (!inBrackets && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') return true;
            ++i;
        } else if (c == '[') {
            inBrackets = true;
        } else if (c == ']') {
            inBrackets = false;
        }
    }
    return false;
}

// Patterns are matched in time and stack linear in the output: libstdc++'s
// default matcher backtracks, one stack frame per character at least, and
// crashed on an output of ten thousand values; its polynomial mode does not.
// (libc++ keeps its backtracking state on the heap.)
std::regex::flag_type PatternFlags() {
#if defined(__GLIBCXX__)
    return std::regex::ECMAScript | std::regex_constants::__polynomial;
#else
    return std::regex::ECMAScript;
#endif
}

// Reads the expected output into what the comparison needs.
void PrepareExpected(TCase& c, const toml::node& at) {
    if (c.Compare == TCompare::Values || c.Compare == TCompare::Contains) {
        auto values = ReadValues(c.Expected);
        if (!values)
            Fail(at.source(),
                 "'output' must be whole numbers separated by blanks under compare = "
                 "\"" +
                     std::string(c.Compare == TCompare::Values ? "values" : "contains") +
                     "\", not '" + c.Expected + "'");
        c.ExpectedValues = std::move(*values);
    } else if (c.Compare == TCompare::Regex) {
        if (HasBackReference(c.Expected))
            Fail(at.source(), "'output' is a regular expression with a back reference (\\1 to "
                              "\\9), which compare = \"regex\" does not support");
        try {
            c.Pattern = std::make_shared<const std::regex>(c.Expected, PatternFlags());
        } catch (const std::regex_error& e) {
            Fail(at.source(), "'output' is no valid regular expression: " + RegexProblem(e.code()));
        }
    }
}

// One [[case]] table.
TCase ReadCase(const toml::table& table, const TDefaults& defaults) {
    TCase c;
    c.MaxSteps = defaults.MaxSteps;
    c.Timeout = defaults.Timeout;
    const toml::node* name = nullptr;
    const toml::node* outcome = nullptr; // the first outcome key's value
    const toml::node* line = nullptr;
    const toml::node* compare = nullptr;
    const auto setOutcome = [&](const toml::key& key, const toml::node& value) {
        if (outcome != nullptr)
            Fail(key.source(), "a case has exactly one of 'output', 'error' and 'step-limit'");
        outcome = &value;
    };
    for (const auto& [keyPtr, valuePtr] : InTextOrder(table)) {
        const toml::key& key = *keyPtr;
        const toml::node& value = *valuePtr;
        const std::string_view k = key.str();
        if (k == "name") {
            c.Name = Text(value, k);
            if (c.Name.empty()) Fail(value.source(), "'name' must not be empty");
            name = &value;
        } else if (k == "input") {
            c.Input = Text(value, k);
        } else if (k == "output") {
            setOutcome(key, value);
            c.Outcome = TOutcome::Output;
            c.Expected = Text(value, k);
        } else if (k == "error") {
            setOutcome(key, value);
            c.Outcome = TOutcome::Error;
            c.Expected = Text(value, k);
        } else if (k == "step-limit") {
            if (!Flag(value, k)) Fail(value.source(), "'step-limit' can only be true");
            setOutcome(key, value);
            c.Outcome = TOutcome::StepLimit;
        } else if (k == "line") {
            c.ErrorLine = static_cast<int32_t>(std::min<int64_t>(Integer(value, k, 1), INT32_MAX));
            line = &value;
        } else if (k == "points") {
            c.Points = Integer(value, k, 0);
        } else if (k == "max-steps") {
            c.MaxSteps = static_cast<uint64_t>(Integer(value, k, 1));
        } else if (k == "timeout") {
            c.Timeout = Seconds(value, k);
        } else if (k == "hidden") {
            c.Hidden = Flag(value, k);
        } else if (k == "compare") {
            c.Compare = CompareMode(value);
            compare = &value;
        } else {
            Fail(key.source(), "unknown key " + Quoted(k));
        }
    }
    if (name == nullptr) Fail(table.source(), "a case needs a 'name'");
    if (outcome == nullptr)
        Fail(table.source(),
             "case '" + c.Name + "' needs one of 'output', 'error' and 'step-limit'");
    if (line != nullptr && c.Outcome != TOutcome::Error)
        Fail(line->source(), "'line' belongs to a case with 'error'");
    if (compare != nullptr && c.Outcome != TOutcome::Output)
        Fail(compare->source(), "'compare' belongs to a case with 'output'");
    if (c.Outcome == TOutcome::Output) PrepareExpected(c, *outcome);
    return c;
}

TSuite ReadTables(const toml::table& root, std::string_view suiteName) {
    TDefaults defaults;
    const toml::array* cases = nullptr;
    for (const auto& [keyPtr, valuePtr] : InTextOrder(root)) {
        const toml::key& key = *keyPtr;
        const toml::node& value = *valuePtr;
        const std::string_view k = key.str();
        if (k == "max-steps") {
            defaults.MaxSteps = static_cast<uint64_t>(Integer(value, k, 1));
        } else if (k == "timeout") {
            defaults.Timeout = Seconds(value, k);
        } else if (k == "case") {
            cases = value.as_array();
            if (cases == nullptr || !cases->is_array_of_tables())
                Fail(value.source(), "'case' must be written as [[case]] tables");
        } else {
            Fail(key.source(), "unknown key " + Quoted(k));
        }
    }
    if (cases == nullptr || cases->empty()) throw TFault{{"the suite has no [[case]]", 1, 1}};

    TSuite suite;
    suite.Name = suiteName;
    std::set<std::string> names;
    for (const toml::node& node : *cases) {
        const toml::table& table = *node.as_table();
        TCase c = ReadCase(table, defaults);
        if (!names.insert(c.Name).second)
            Fail(table.get("name")->source(), "a case named '" + c.Name + "' comes twice");
        suite.Cases.push_back(std::move(c));
    }
    return suite;
}

} // namespace

std::string TSuiteError::Text(std::string_view suiteName) const {
    return std::string(suiteName) + ":" + std::to_string(Line) + ":" + std::to_string(Column) +
           ": " + Message;
}

std::optional<std::vector<uint32_t>> ReadValues(std::string_view text) {
    std::vector<uint32_t> values;
    std::size_t i = 0;
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (i < text.size()) {
        if (blank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !blank(text[end]))
            ++end;
        const std::string_view word = text.substr(i, end - i);
        int64_t value = 0;
        const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (ec != std::errc() || ptr != word.data() + word.size() || word.starts_with('+') ||
            value < INT32_MIN || value > int64_t{UINT32_MAX})
            return std::nullopt;
        values.push_back(static_cast<uint32_t>(value));
        i = end;
    }
    return values;
}

std::variant<TSuite, TSuiteError> ReadSuite(std::string_view text, std::string_view name) {
    try {
        const toml::table root = toml::parse(text, name);
        return ReadTables(root, name);
    } catch (const toml::parse_error& e) {
        return TSuiteError{std::string(e.description()),
                           static_cast<int32_t>(e.source().begin.line),
                           static_cast<int32_t>(e.source().begin.column)};
    } catch (const TFault& fault) {
        return fault.Error;
    }
}

} // namespace corvane::suite
