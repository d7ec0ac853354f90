#include "cli/report.h"

#include <cstdio>
#include <ctime>

namespace corvane::cli {

namespace {

using suite::TCase;
using suite::TCaseResult;
using suite::TStatus;

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    return buffer;
}

// The output without its line feed, as it reads on one line.
std::string_view Shown(std::string_view output) {
    while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
        output.remove_suffix(1);
    return output;
}

std::string ErrorText(const TCaseResult& r) {
    if (!r.Error) return "";
    if (r.Error->Line == 0) return r.Error->Message;
    return std::to_string(r.Error->Line) + ":" + std::to_string(r.Error->Column) + ": " +
           r.Error->Message;
}

std::string JsonText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    // Outputs run to megabytes of digits and blanks: plain runs are copied whole.
    const auto plain = [](unsigned char c) { return c >= 0x20 && c != '"' && c != '\\'; };
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i;
        while (end < text.size() && plain(static_cast<unsigned char>(text[end])))
            ++end;
        out.append(text, i, end - i);
        if (end == text.size()) break;
        const char ch = text[end];
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(ch));
            out += buffer;
        }
        }
        i = end + 1;
    }
    out += '"';
    return out;
}

std::string XmlText(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += "&#9;"; break;
        default:
            // Control characters are not allowed in XML 1.0 at all.
            if (c >= 0x20) out += ch;
        }
    }
    return out;
}

struct TTally {
    std::size_t Passed = 0, Failed = 0;
    int64_t Score = 0, MaxScore = 0;
    void Add(const TCaseResult& r) {
        (r.Status == TStatus::Passed ? Passed : Failed) += 1;
        Score += r.Score;
        MaxScore += r.MaxScore;
    }
};

TTally TallyOf(const TProgramReport& report) {
    TTally t;
    for (const TCaseResult& r : report.Results)
        t.Add(r);
    return t;
}

std::string Summary(const TTally& t) {
    return std::to_string(t.Passed) + " passed, " + std::to_string(t.Failed) + " failed, score " +
           std::to_string(t.Score) + " of " + std::to_string(t.MaxScore);
}

class TTextWriter final : public TReportWriter {
public:
    TTextWriter(const suite::TSuite& suite, TReportSink sink)
        : suite_(suite), sink_(std::move(sink)) {}
    void Begin(std::size_t programs) override { many_ = programs > 1; }
    void Program(const TProgramReport& report) override {
        std::string out;
        if (many_) out += "== " + report.File + "\n";
        for (std::size_t i = 0; i < report.Results.size(); ++i) {
            const TCaseResult& r = report.Results[i];
            const bool pass = r.Status == TStatus::Passed;
            out += std::string(pass ? "PASS  " : "FAIL  ") + suite_.Cases[i].Name + "  (" +
                   std::to_string(r.Score) + "/" + std::to_string(r.MaxScore) + " points)\n";
            if (!pass) out += FailureBlock(suite_.Cases[i], r);
        }
        const TTally t = TallyOf(report);
        out += Summary(t) + "\n";
        total_.Passed += t.Passed;
        total_.Failed += t.Failed;
        total_.Score += t.Score;
        total_.MaxScore += t.MaxScore;
        sink_(out);
    }
    void End(double) override {
        if (many_) sink_("== all programs: " + Summary(total_) + "\n");
    }

private:
    const suite::TSuite& suite_;
    TReportSink sink_;
    bool many_ = false;
    TTally total_;
};

std::string JsonCase(const TCase& c, const TCaseResult& r) {
    std::string out =
        "{\"name\": " + JsonText(c.Name) +
        ", \"status\": " + (r.Status == TStatus::Passed ? "\"passed\"" : "\"failed\"") +
        ", \"score\": " + std::to_string(r.Score) +
        ", \"max_score\": " + std::to_string(r.MaxScore) +
        ", \"steps\": " + std::to_string(r.Steps) + ", \"output\": " + JsonText(r.Output) +
        ", \"expected\": " + JsonText(r.Expected) + ", \"error\": ";
    if (r.Error)
        out += "{\"line\": " + std::to_string(r.Error->Line) +
               ", \"col\": " + std::to_string(r.Error->Column) +
               ", \"message\": " + JsonText(r.Error->Message) + "}";
    else
        out += "null";
    out += ", \"reason\": ";
    out += r.Reason == suite::TReason::None ? "null" : JsonText(suite::ReasonName(r.Reason));
    return out + "}";
}

class TJsonWriter final : public TReportWriter {
public:
    TJsonWriter(const suite::TSuite& suite, TReportSink sink)
        : suite_(suite), sink_(std::move(sink)) {}
    void Begin(std::size_t) override {
        sink_("{\"suite\": " + JsonText(suite_.Name) + ",\n \"programs\": [");
    }
    void Program(const TProgramReport& report) override {
        const TTally t = TallyOf(report);
        std::string out = first_ ? "\n" : ",\n";
        first_ = false;
        out += "  {\"file\": " + JsonText(report.File) + ", \"score\": " + std::to_string(t.Score) +
               ", \"max_score\": " + std::to_string(t.MaxScore) +
               ", \"passed\": " + std::to_string(t.Passed) +
               ", \"failed\": " + std::to_string(t.Failed) + ", \"cases\": [";
        for (std::size_t i = 0; i < report.Results.size(); ++i)
            out += std::string(i == 0 ? "\n" : ",\n") + "   " +
                   JsonCase(suite_.Cases[i], report.Results[i]);
        sink_(out + "]}");
    }
    void End(double) override { sink_("]}\n"); }

private:
    const suite::TSuite& suite_;
    TReportSink sink_;
    bool first_ = true;
};

class TGradescopeWriter final : public TReportWriter {
public:
    TGradescopeWriter(const suite::TSuite& suite, TReportSink sink)
        : suite_(suite), sink_(std::move(sink)) {}
    void Begin(std::size_t) override {}
    void Program(const TProgramReport& report) override {
        tally_ = TallyOf(report);
        for (std::size_t i = 0; i < report.Results.size(); ++i) {
            const TCase& c = suite_.Cases[i];
            const TCaseResult& r = report.Results[i];
            const bool pass = r.Status == TStatus::Passed;
            tests_ += std::string(i == 0 ? "\n" : ",\n") + "  {\"name\": " + JsonText(c.Name) +
                      ", \"score\": " + std::to_string(r.Score) +
                      ", \"max_score\": " + std::to_string(r.MaxScore) +
                      ", \"status\": " + (pass ? "\"passed\"" : "\"failed\"") +
                      ", \"output\": " + JsonText(pass ? "" : FailureBlock(c, r)) +
                      ", \"visibility\": " + (c.Hidden ? "\"after_due_date\"" : "\"visible\"") +
                      "}";
        }
    }
    void End(double seconds) override {
        sink_("{\"score\": " + std::to_string(tally_.Score) + ", \"execution_time\": " +
              Number(seconds) + ", \"output\": " + JsonText(Summary(tally_)) +
              ", \"visibility\": \"visible\", \"tests\": [" + tests_ + "]}\n");
    }

private:
    const suite::TSuite& suite_;
    TReportSink sink_;
    TTally tally_;
    std::string tests_;
};

std::string FailureMessage(const TCaseResult& r) {
    if (r.Reason == suite::TReason::Timeout) return "timed out";
    return "expected " + std::string(Shown(r.Expected)) + ", got " +
           (r.Error ? ErrorText(r) : std::string(Shown(r.Output)));
}

class TJunitWriter final : public TReportWriter {
public:
    TJunitWriter(const suite::TSuite& suite, TReportSink sink)
        : suite_(suite), sink_(std::move(sink)) {}
    void Begin(std::size_t) override {
        sink_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"" +
              XmlText(suite_.Name) + "\">\n");
    }
    void Program(const TProgramReport& report) override {
        const TTally t = TallyOf(report);
        double seconds = 0;
        for (const double s : report.Seconds)
            seconds += s;
        std::string out = "  <testsuite name=\"" + XmlText(report.File) + "\" tests=\"" +
                          std::to_string(report.Results.size()) + "\" failures=\"" +
                          std::to_string(t.Failed) + "\" errors=\"0\" skipped=\"0\" time=\"" +
                          Number(seconds) + "\">\n";
        for (std::size_t i = 0; i < report.Results.size(); ++i) {
            const TCase& c = suite_.Cases[i];
            const TCaseResult& r = report.Results[i];
            out += "    <testcase name=\"" + XmlText(c.Name) + "\" classname=\"" +
                   XmlText(report.File) + "\" time=\"" + Number(report.Seconds[i]) + "\"";
            if (r.Status == TStatus::Passed) {
                out += "/>\n";
                continue;
            }
            std::string block = FailureBlock(c, r);
            out += ">\n      <failure message=\"" + XmlText(FailureMessage(r)) + "\" type=\"" +
                   std::string(suite::ReasonName(r.Reason)) + "\">";
            for (const char ch : block) {
                if (ch == '<')
                    out += "&lt;";
                else if (ch == '&')
                    out += "&amp;";
                else if (ch == '>')
                    out += "&gt;";
                else if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\n' || ch == '\t')
                    out += ch;
            }
            out += "</failure>\n    </testcase>\n";
        }
        sink_(out + "  </testsuite>\n");
    }
    void End(double) override { sink_("</testsuites>\n"); }

private:
    const suite::TSuite& suite_;
    TReportSink sink_;
};

class TTapWriter final : public TReportWriter {
public:
    TTapWriter(const suite::TSuite& suite, TReportSink sink)
        : suite_(suite), sink_(std::move(sink)) {}
    void Begin(std::size_t programs) override {
        sink_("TAP version 14\n1.." + std::to_string(programs * suite_.Cases.size()) + "\n");
    }
    void Program(const TProgramReport& report) override {
        std::string out;
        for (std::size_t i = 0; i < report.Results.size(); ++i) {
            const TCaseResult& r = report.Results[i];
            // "#" starts a directive in a description; it is escaped.
            std::string description = report.File + ": " + suite_.Cases[i].Name;
            std::string escaped;
            for (const char ch : description) {
                if (ch == '#' || ch == '\\') escaped += '\\';
                escaped += ch == '\n' ? ' ' : ch;
            }
            ++number_;
            if (r.Status == TStatus::Passed) {
                out += "ok " + std::to_string(number_) + " - " + escaped + "\n";
                continue;
            }
            out += "not ok " + std::to_string(number_) + " - " + escaped + "\n";
            out += "  ---\n  message: " + JsonText(FailureMessage(r)) +
                   "\n  severity: fail\n  data:\n    got: " +
                   JsonText(r.Error ? ErrorText(r) : std::string(Shown(r.Output))) +
                   "\n    expect: " + JsonText(Shown(r.Expected)) + "\n  ...\n";
        }
        sink_(out);
    }
    void End(double) override {}

private:
    const suite::TSuite& suite_;
    TReportSink sink_;
    std::size_t number_ = 0;
};

// The column of the first difference between two lines, or npos when equal.
std::size_t FirstDifference(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return a.size() == b.size() ? std::string_view::npos : n;
}

} // namespace

std::string FailureBlock(const TCase& c, const TCaseResult& r) {
    std::string out;
    out += "    input:    " + c.Input + "\n";
    const std::string_view expected = Shown(r.Expected);
    const std::string_view actual = Shown(r.Output);
    out += "    expected: " + std::string(expected) + "\n";
    out += "    actual:   " + std::string(actual) + (r.OutputCut ? " ..." : "") + "\n";
    if (c.Outcome == suite::TOutcome::Output && !r.Error) {
        if (const std::size_t at = FirstDifference(expected, actual); at != std::string_view::npos)
            out += "              " + std::string(at, ' ') + "^\n";
    }
    if (r.Error) out += "    error:    " + ErrorText(r) + "\n";
    out += "    steps:    " + std::to_string(r.Steps) + "\n";
    out += "    reason:   " + std::string(suite::ReasonName(r.Reason)) + "\n";
    return out;
}

std::unique_ptr<TReportWriter> MakeReportWriter(std::string_view format, const suite::TSuite& suite,
                                                TReportSink sink) {
    if (format == "json") return std::make_unique<TJsonWriter>(suite, std::move(sink));
    if (format == "gradescope") return std::make_unique<TGradescopeWriter>(suite, std::move(sink));
    if (format == "junit") return std::make_unique<TJunitWriter>(suite, std::move(sink));
    if (format == "tap") return std::make_unique<TTapWriter>(suite, std::move(sink));
    return std::make_unique<TTextWriter>(suite, std::move(sink));
}

} // namespace corvane::cli
