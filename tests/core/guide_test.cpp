// Keeps docs/guide.md honest: its runnable examples print what they claim, every
// statement has a section with one, every message of the table has its
// explanation in the form the editor's tooltip takes apart, with a fix whose
// example Corvane accepts, and the examples list names exactly the bundled
// examples.
//
// A runnable example is a ```cv block followed by the paragraphs
// "Input: `TEXT`" and "Output: `TEXT`" (the word none, without backticks, for
// an empty text).
#include "core/executor.h"
#include "core/inputlist.h"
#include "core/parser.h"
#include "core/program.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = CORVANE_SOURCE_DIR;

std::vector<std::string> GuideLines() {
    std::ifstream file(kSource / "docs" / "guide.md", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsHeading(const std::string& line) {
    return StartsWith(line, "#");
}

std::string HeadingText(const std::string& line) {
    const auto start = line.find_first_not_of('#');
    return start == std::string::npos ? "" : line.substr(line.find_first_not_of(" ", start));
}

struct TExample {
    std::string Name;    // the section and the example's number in it
    std::size_t Line;    // of the opening fence, counted from 1
    std::string Heading; // the section's heading
    std::string Program; // CR LF between lines, as the editor hands it over
    std::string Input;
    std::string Output; // as the run window shows it: every value and a blank
};

void PrintTo(const TExample& e, std::ostream* os) {
    *os << "guide.md:" << e.Line;
}

// The text after "Input:" or "Output:": a code span, or none.
bool ExampleValue(const std::string& line, std::string_view lead, std::string& value) {
    if (!StartsWith(line, lead)) return false;
    std::string rest = line.substr(lead.size());
    rest.erase(0, rest.find_first_not_of(' '));
    if (rest == "none") {
        value.clear();
        return true;
    }
    if (rest.size() < 2 || rest.front() != '`' || rest.back() != '`') return false;
    value = rest.substr(1, rest.size() - 2);
    return true;
}

std::size_t NextNonBlank(const std::vector<std::string>& lines, std::size_t i) {
    while (i < lines.size() && lines[i].empty())
        ++i;
    return i;
}

std::string TestName(const std::string& heading, int number) {
    std::string name;
    for (const char c : heading)
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name + "_" + std::to_string(number);
}

// Every ```cv block with its Input and Output paragraphs. A block with an Input
// paragraph but no well-formed Output gets an empty name, which fails its test.
std::vector<TExample> FindExamples() {
    const std::vector<std::string> lines = GuideLines();
    std::vector<TExample> examples;
    std::string heading;
    std::map<std::string, int> perHeading;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsHeading(lines[i])) heading = HeadingText(lines[i]);
        if (lines[i] != "```cv") continue;
        TExample e;
        e.Line = i + 1;
        e.Heading = heading;
        std::size_t j = i + 1;
        for (; j < lines.size() && lines[j] != "```"; ++j) {
            if (j > i + 1) e.Program += "\r\n";
            e.Program += lines[j];
        }
        i = j;
        std::size_t in = NextNonBlank(lines, j + 1);
        if (in >= lines.size() || !StartsWith(lines[in], "Input:")) continue;
        const std::size_t out = NextNonBlank(lines, in + 1);
        std::string expected;
        if (ExampleValue(lines[in], "Input:", e.Input) && out < lines.size() &&
            ExampleValue(lines[out], "Output:", expected)) {
            e.Output = expected.empty() ? "" : expected + " ";
            e.Name = TestName(heading, ++perHeading[heading]);
        }
        examples.push_back(e);
    }
    return examples;
}

class GuideExampleTest : public ::testing::TestWithParam<TExample> {};

TEST_P(GuideExampleTest, RunsToItsOutput) {
    const TExample& e = GetParam();
    ASSERT_FALSE(e.Name.empty()) << "an Input paragraph needs an Output paragraph after it";
    test::TTestHost host;
    TProgram prog;
    TInputList in;
    ASSERT_EQ(ParseProgram(e.Program, prog, host), -1) << host.Messages.back();
    ASSERT_EQ(prog.Link(host), -1) << host.Messages.back();
    ASSERT_EQ(in.Parse(e.Input), 0u);
    // An example is small: a runaway loop is a fault in the guide.
    host.OnExecuted = [&](int32_t) {
        if (host.Steps > 1'000'000) prog.Move(TMove::mvStop);
    };
    ASSERT_EQ(prog.Start(host, in, psRun), -1) << host.Messages.back();
    EXPECT_EQ(prog.State, psFinished);
    EXPECT_EQ(host.Out, e.Output);
}

std::string ExampleTestName(const ::testing::TestParamInfo<TExample>& example) {
    const TExample& e = example.param;
    return e.Name.empty() ? "Malformed_" + std::to_string(e.Line) : e.Name;
}

INSTANTIATE_TEST_SUITE_P(Guide, GuideExampleTest, ::testing::ValuesIn(FindExamples()),
                         ExampleTestName);

TEST(GuideTest, EveryStatementHasASectionWithARunnableExample) {
    const std::vector<std::string> lines = GuideLines();
    const std::vector<TExample> examples = FindExamples();
    for (const char* keyword : {"STACK", "SET", "ADD", "SUB", "MUL", "DIV", "PUSH", "POP", "INPUT",
                                "OUTPUT", "EXIT", "GOTO", "IF"}) {
        const std::string heading = std::string("### ") + keyword;
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l == heading || StartsWith(l, heading + " ");
        });
        ASSERT_NE(at, lines.end()) << keyword;
        const std::string text = HeadingText(*at);
        EXPECT_TRUE(std::any_of(examples.begin(), examples.end(), [&](const TExample& e) {
            return e.Heading == text && !e.Name.empty();
        })) << keyword;
    }
}

// Texts of the table that are progress, not messages.
bool IsMessage(int id) {
    switch (id) {
    case sParsing:
    case sLinking:
    case sLinePrefix:
    case sWaitingForInput:
    case sRunning: return false;
    default: return true;
    }
}

// The Messages section: each heading with its paragraphs, every paragraph's
// lines joined by blanks.
std::map<std::string, std::vector<std::string>> MessageSections() {
    const std::vector<std::string> lines = GuideLines();
    std::map<std::string, std::vector<std::string>> sections;
    auto i = std::find(lines.begin(), lines.end(), "## Messages");
    if (i == lines.end()) return sections;
    std::vector<std::string>* paragraphs = nullptr;
    bool inParagraph = false;
    for (++i; i != lines.end() && !StartsWith(*i, "## "); ++i) {
        if (StartsWith(*i, "### ")) {
            paragraphs = &sections[HeadingText(*i)];
            inParagraph = false;
        } else if (i->empty()) {
            inParagraph = false;
        } else if (paragraphs != nullptr) {
            if (!inParagraph)
                paragraphs->emplace_back();
            else
                paragraphs->back() += ' ';
            paragraphs->back() += *i;
            inParagraph = true;
        }
    }
    return sections;
}

// The fix ends with its example, a code span. Where the message is about text,
// the example must be text Corvane accepts: a program line (after a STACK line
// declaring s, unless it is a STACK line itself) or else input text.
bool FixExampleIsAccepted(const std::string& message, const std::string& fix) {
    const auto close = fix.rfind('`');
    const auto open =
        close == std::string::npos || close == 0 ? std::string::npos : fix.rfind('`', close - 1);
    if (open == std::string::npos || close + 1 != fix.size()) {
        ADD_FAILURE() << message << ": the fix must end with an example in backticks";
        return false;
    }
    if (message == Str(sCannotClose) || message == Str(sBadConditionPointer)) return true;
    const std::string example = fix.substr(open + 1, close - open - 1);
    const bool stackLine = SameName(example.substr(0, 5), "STACK");
    test::TTestHost host;
    TProgram prog;
    if (ParseProgram(stackLine ? example : "STACK s\r\n" + example, prog, host) == -1) return true;
    TInputList in;
    if (in.Parse(example) == 0) return true;
    ADD_FAILURE() << message << ": the fix's example is refused: " << example;
    return false;
}

TEST(GuideTest, EveryMessageIsExplainedInThreeParagraphs) {
    const auto sections = MessageSections();
    ASSERT_FALSE(sections.empty());
    std::set<std::string> messages;
    for (int id = sNoMemory; id < sStringCount; ++id) {
        if (!IsMessage(id)) continue;
        // A number filled in when the message is shown reads N in the guide.
        std::string text = Str(static_cast<TStringId>(id));
        if (const auto at = text.find("%d"); at != std::string::npos)
            text = text.substr(0, at) + "N" + text.substr(at + 2);
        messages.insert(text);
    }
    for (const std::string& message : messages) {
        const auto found = sections.find(message);
        if (found == sections.end()) {
            ADD_FAILURE() << "no heading: " << message;
            continue;
        }
        const std::vector<std::string>& p = found->second;
        if (p.size() != 3) {
            ADD_FAILURE() << message << ": " << p.size() << " paragraphs";
            continue;
        }
        EXPECT_TRUE(StartsWith(p[0], "**What it means.** ")) << message;
        EXPECT_TRUE(StartsWith(p[1], "**Usual cause.** ")) << message;
        EXPECT_TRUE(StartsWith(p[2], "**Fix.** ")) << message;
        EXPECT_TRUE(FixExampleIsAccepted(message, p[2])) << message;
    }
    // A heading that is no message is a misspelt one.
    for (const auto& [heading, paragraphs] : sections)
        EXPECT_EQ(messages.count(heading), 1u) << heading;
}

TEST(GuideTest, ListsExactlyTheBundledExamples) {
    std::set<std::string> linked;
    for (const std::string& line : GuideLines()) {
        for (auto at = line.find("](example:"); at != std::string::npos;
             at = line.find("](example:", at + 1)) {
            const auto start = at + 10;
            linked.insert(line.substr(start, line.find(')', start) - start));
        }
    }
    std::set<std::string> bundled;
    for (const auto& entry : fs::directory_iterator(kSource / "examples"))
        if (entry.path().extension() == ".cv") bundled.insert(entry.path().stem().string());
    EXPECT_EQ(linked, bundled);
}

// Qt's text browser shows the guide; raw HTML there would show up as markup or
// vanish. A '<' may stand only in code.
TEST(GuideTest, HoldsNoHtmlOutsideCode) {
    bool fenced = false;
    for (const std::string& line : GuideLines()) {
        if (StartsWith(line, "```")) fenced = !fenced;
        if (fenced) continue;
        bool span = false;
        for (const char c : line) {
            if (c == '`') span = !span;
            EXPECT_FALSE(!span && c == '<') << line;
        }
    }
}

} // namespace
} // namespace corvane
