// corvane-run --suite through the built binary: exit codes, every report
// format read back, parallel runs equal to one job, isolation of timeouts and
// bounded memory.
#include "process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <sys/wait.h>

using namespace corvane::test;
using nlohmann::json;

namespace {

constexpr const char* kSuite = R"(max-steps = 100000
[[case]]
name = "three numbers"
input = "1 2 3"
output = "6"
points = 2

[[case]]
name = "hidden empty"
input = ""
output = "0"
hidden = true

[[case]]
name = "divide"
input = "5 0"
error = "Division by zero"
)";

// Sums its input; with a 0 in it, divides by it.
constexpr const char* kGood = "STACK t\r\nSET 0\r\nPUSH t\r\n:l INPUT e\r\nIF ZERO GOTO z\r\n"
                              "ADD t\r\nPUSH t\r\nGOTO l\r\n:z DIV 0\r\n:e SET t\r\nOUTPUT";
constexpr const char* kFive = "SET 5\r\nOUTPUT";
constexpr const char* kBroken = "SET 1\r\n  OUTPUT x";

struct TFolder {
    TTempDir Dir;
    TFolder() {
        WriteWholeFile(Dir.Path() / "s.cvtest", kSuite);
        WriteWholeFile(Dir.Path() / "good.cv", kGood);
        WriteWholeFile(Dir.Path() / "five.cv", kFive);
        WriteWholeFile(Dir.Path() / "broken.cv", kBroken);
    }
    TProcessResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--suite", "s.cvtest"});
        return RunBinary(args, std::nullopt, Dir.Path());
    }
};

} // namespace

TEST(SuiteRun, ExitCodes) {
    const TFolder f;
    TProcessResult r = f.Run({"good.cv"});
    EXPECT_EQ(r.ExitCode, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("3 passed, 0 failed, score 4 of 4"), std::string::npos) << r.Out;

    r = f.Run({"good.cv", "five.cv"});
    EXPECT_EQ(r.ExitCode, 1);
    r = f.Run({"--exit-zero", "five.cv"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_NE(r.Out.find("FAIL  three numbers  (0/2 points)"), std::string::npos) << r.Out;

    r = f.Run({"good.cv", "missing.cv"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: Cannot open file missing.cv\n");
    EXPECT_EQ(r.Out, "");

    r = RunBinary({"--suite", "none.cvtest", "good.cv"}, std::nullopt, f.Dir.Path());
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: Cannot open file none.cvtest\n");

    WriteWholeFile(f.Dir.Path() / "typo.cvtest", "[[case]]\nname = \"a\"\nouptut = \"1\"\n");
    r = RunBinary({"--suite", "typo.cvtest", "--exit-zero", "good.cv"}, std::nullopt, f.Dir.Path());
    EXPECT_EQ(r.ExitCode, 2) << "an invalid suite is no completed run";
    EXPECT_EQ(r.Err, "typo.cvtest:3:1: unknown key 'ouptut'\n");

    r = f.Run({"--format", "gradescope", "good.cv", "five.cv"});
    EXPECT_EQ(r.ExitCode, 2);

    // The report goes to --output; a report that cannot be written is no completed run.
    r = f.Run({"--output", "report.txt", "--exit-zero", "good.cv"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(ReadWholeFile(f.Dir.Path() / "report.txt").find("3 passed"), std::string::npos);
    r = f.Run({"--output", "/dev/full", "--exit-zero", "good.cv"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Err, "corvane-run: cannot write the output: No space left on device\n");
}

TEST(SuiteRun, JsonFieldByField) {
    const TFolder f;
    const TProcessResult r = f.Run({"--format", "json", "good.cv", "broken.cv", "five.cv"});
    EXPECT_EQ(r.ExitCode, 1);
    const json doc = json::parse(r.Out);
    EXPECT_EQ(doc["suite"], "s.cvtest");
    ASSERT_EQ(doc["programs"].size(), 3u);

    const json& good = doc["programs"][0];
    EXPECT_EQ(good["file"], "good.cv");
    EXPECT_EQ(good["score"], 4);
    EXPECT_EQ(good["max_score"], 4);
    const json& sum = good["cases"][0];
    EXPECT_EQ(sum["name"], "three numbers");
    EXPECT_EQ(sum["status"], "passed");
    EXPECT_EQ(sum["score"], 2);
    EXPECT_EQ(sum["max_score"], 2);
    EXPECT_GT(sum["steps"].get<int>(), 0);
    EXPECT_EQ(sum["output"], "6 \n");
    EXPECT_EQ(sum["expected"], "6");
    EXPECT_TRUE(sum["error"].is_null());
    EXPECT_TRUE(sum["reason"].is_null());
    const json& divide = good["cases"][2];
    EXPECT_EQ(divide["status"], "passed");
    EXPECT_EQ(divide["error"]["line"], 9);
    EXPECT_EQ(divide["error"]["col"], 4);
    EXPECT_EQ(divide["error"]["message"], "Division by zero ...");

    // A program that fails to parse fails every case with its message.
    const json& broken = doc["programs"][1];
    EXPECT_EQ(broken["score"], 0);
    for (const json& c : broken["cases"]) {
        EXPECT_EQ(c["status"], "failed");
        EXPECT_EQ(c["reason"], "error");
        EXPECT_EQ(c["error"]["line"], 2);
        EXPECT_EQ(c["error"]["col"], 10);
        EXPECT_EQ(c["error"]["message"], "End of line expected ...");
    }
    const json& five = doc["programs"][2];
    EXPECT_EQ(five["cases"][0]["reason"], "wrong-output");
    EXPECT_EQ(five["cases"][0]["output"], "5 \n");
    EXPECT_EQ(five["cases"][2]["reason"], "no-error");
}

TEST(SuiteRun, GradescopeResults) {
    const TFolder f;
    const TProcessResult r = f.Run({"--format", "gradescope", "five.cv"});
    EXPECT_EQ(r.ExitCode, 1);
    const json doc = json::parse(r.Out);
    EXPECT_EQ(doc["score"], 0);
    EXPECT_TRUE(doc["execution_time"].is_number());
    EXPECT_TRUE(doc["output"].is_string());
    EXPECT_EQ(doc["visibility"], "visible");
    ASSERT_EQ(doc["tests"].size(), 3u);
    const json& first = doc["tests"][0];
    EXPECT_EQ(first["name"], "three numbers");
    EXPECT_EQ(first["score"], 0);
    EXPECT_EQ(first["max_score"], 2);
    EXPECT_EQ(first["status"], "failed");
    EXPECT_EQ(first["visibility"], "visible");
    const std::string output = first["output"];
    EXPECT_NE(output.find("input:    1 2 3\n"), std::string::npos) << output;
    EXPECT_NE(output.find("expected: 6\n"), std::string::npos) << output;
    EXPECT_NE(output.find("actual:   5\n"), std::string::npos) << output;
    EXPECT_EQ(doc["tests"][1]["visibility"], "after_due_date");

    const json passed = json::parse(f.Run({"--format", "gradescope", "good.cv"}).Out);
    EXPECT_EQ(passed["score"], 4);
    EXPECT_EQ(passed["tests"][0]["status"], "passed");
    EXPECT_EQ(passed["tests"][0]["output"], "");
}

namespace {

// A small well-formedness check: balanced elements, quoted attributes,
// known entities, nothing outside the root. Returns the element names in
// document order.
std::vector<std::string> XmlElements(const std::string& xml, std::string& fault) {
    std::vector<std::string> names;
    std::vector<std::string> open;
    std::size_t i = 0;
    bool rootDone = false;
    const std::regex tag(R"(<(/?)([A-Za-z_][\w.-]*)((?:\s+[\w.-]+="[^"<]*")*)\s*(/?)>)");
    const std::regex entity(R"(&(lt|gt|amp|quot|apos|#\d+);)");
    while (i < xml.size()) {
        if (xml.compare(i, 5, "<?xml") == 0) {
            i = xml.find("?>", i) + 2;
            continue;
        }
        if (xml[i] == '<') {
            std::smatch m;
            const std::string rest = xml.substr(i, xml.find('>', i) + 1 - i);
            if (!std::regex_match(rest, m, tag)) return fault = "bad tag " + rest, names;
            if (rootDone) return fault = "content after the root", names;
            for (std::size_t a = rest.find('&'); a != std::string::npos; a = rest.find('&', a + 1))
                if (!std::regex_search(rest.substr(a), entity,
                                       std::regex_constants::match_continuous))
                    return fault = "bad entity in " + rest, names;
            if (m[1] == "/") {
                if (open.empty() || open.back() != m[2]) return fault = "unbalanced " + rest, names;
                open.pop_back();
            } else {
                names.push_back(m[2]);
                if (m[4] != "/") open.push_back(m[2]);
            }
            rootDone = open.empty();
            i += rest.size();
            continue;
        }
        if (xml[i] == '&' &&
            !std::regex_search(xml.substr(i, 10), entity, std::regex_constants::match_continuous))
            return fault = "bad entity at " + std::to_string(i), names;
        if (open.empty() && !std::isspace(static_cast<unsigned char>(xml[i])))
            return fault = "text outside the root", names;
        ++i;
    }
    if (!open.empty()) fault = "unclosed " + open.back();
    return names;
}

} // namespace

TEST(SuiteRun, JunitIsWellFormedWithTheExpectedElements) {
    const TFolder f;
    WriteWholeFile(f.Dir.Path() / "odd <&\">.cv", kFive);
    const TProcessResult r = f.Run({"--format", "junit", "good.cv", "odd <&\">.cv"});
    EXPECT_EQ(r.ExitCode, 1);
    std::string fault;
    const std::vector<std::string> names = XmlElements(r.Out, fault);
    EXPECT_EQ(fault, "") << r.Out;
    const std::vector<std::string> expected = {"testsuites", "testsuite", "testcase", "testcase",
                                               "testcase",   "testsuite", "testcase", "failure",
                                               "testcase",   "failure",   "testcase", "failure"};
    EXPECT_EQ(names, expected) << r.Out;
    EXPECT_NE(
        r.Out.find("<testsuite name=\"odd &lt;&amp;&quot;&gt;.cv\" tests=\"3\" failures=\"3\""),
        std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("<failure message=\"expected 6, got 5\" type=\"wrong-output\">"),
              std::string::npos)
        << r.Out;
}

TEST(SuiteRun, TapPlanAndLines) {
    const TFolder f;
    const TProcessResult r = f.Run({"--format", "tap", "good.cv", "five.cv"});
    std::istringstream lines(r.Out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "TAP version 14");
    std::getline(lines, line);
    EXPECT_EQ(line, "1..6");
    int number = 0, failed = 0;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (std::regex_match(line, m, std::regex(R"((not )?ok (\d+) - (.*))"))) {
            EXPECT_EQ(std::stoi(m[2]), ++number);
            if (m[1].matched) {
                ++failed;
                std::string block;
                for (std::string l; std::getline(lines, l) && l != "  ...";)
                    block += l + "\n";
                EXPECT_TRUE(block.starts_with("  ---\n  message: ")) << block;
                EXPECT_NE(block.find("  data:\n    got: "), std::string::npos) << block;
                EXPECT_NE(block.find("\n    expect: "), std::string::npos) << block;
            }
        } else {
            ADD_FAILURE() << "not a TAP line: " << line;
        }
    }
    EXPECT_EQ(number, 6);
    EXPECT_EQ(failed, 3);
}

TEST(SuiteRun, ParallelRunsEqualOneJob) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "s.cvtest", kSuite);
    std::vector<std::string> args = {"--suite", "s.cvtest", "--format", "json", "--jobs", "1"};
    // Submissions of different lengths, so that cases end out of order.
    for (int i = 0; i < 24; ++i) {
        std::string program = i % 3 == 0 ? kGood : i % 3 == 1 ? kFive : kBroken;
        if (i % 4 == 0) program.insert(0, "SET 20000\r\n:w SUB 1\r\nIF NOT ZERO GOTO w\r\n");
        std::string name = "p";
        name += std::to_string(i);
        name += ".cv";
        WriteWholeFile(dir.Path() / name, program);
        args.push_back(name);
    }
    const TProcessResult one = RunBinary(args, std::nullopt, dir.Path());
    args[5] = "4";
    const TProcessResult four = RunBinary(args, std::nullopt, dir.Path());
    EXPECT_EQ(one.ExitCode, 1);
    EXPECT_EQ(four.ExitCode, one.ExitCode);
    EXPECT_EQ(four.Out, one.Out);
    EXPECT_EQ(json::parse(one.Out)["programs"].size(), 24u);
}

TEST(SuiteRun, ATimeoutEndsOnlyItsCase) {
    const TTempDir dir;
    WriteWholeFile(dir.Path() / "t.cvtest", R"(
[[case]]
name = "endless"
output = "1"
timeout = 0.3
max-steps = 1000000000000
[[case]]
name = "short"
output = "0"
max-steps = 1000
)");
    // Counts up forever with input, ends at once without.
    WriteWholeFile(dir.Path() / "p.cv", ":l SET 0\r\nOUTPUT\r\n");
    WriteWholeFile(dir.Path() / "q.cv", ":l ADD 1\r\nGOTO l\r\n");
    const TProcessResult r =
        RunBinary({"--suite", "t.cvtest", "--format", "json", "--jobs", "2", "q.cv", "p.cv"},
                  std::nullopt, dir.Path());
    const json doc = json::parse(r.Out);
    const json& q = doc["programs"][0]["cases"];
    EXPECT_EQ(q[0]["reason"], "timeout");
    EXPECT_EQ(q[0]["error"]["message"], "timed out");
    EXPECT_EQ(q[1]["reason"], "step-limit");
    EXPECT_EQ(q[1]["steps"], 1000);
    const json& p = doc["programs"][1]["cases"];
    EXPECT_EQ(p[0]["reason"], "wrong-output");
    EXPECT_EQ(p[1]["status"], "passed");
}

TEST(SuiteRun, EndlessPrintingStaysInBoundedMemory) {
    if (!kCanLimitMemory) GTEST_SKIP() << "ulimit -v does not work under AddressSanitizer";
    const TTempDir dir;
    // 20 million counted values would be some 170 MB of text.
    WriteWholeFile(dir.Path() / "s.cvtest",
                   "[[case]]\nname = \"a\"\noutput = \"1\"\nmax-steps = 60000000\n");
    WriteWholeFile(dir.Path() / "p.cv", ":l ADD 1\r\nOUTPUT\r\nGOTO l");
    const std::string command = "cd '" + dir.Path().string() + "' && ulimit -v 150000 && '" +
                                CORVANE_RUN_BINARY +
                                "' --suite s.cvtest --format json --jobs 2 p.cv >out 2>err";
    const int status = std::system(("bash -c \"" + command + "\"").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << ReadWholeFile(dir.Path() / "err");
    const json doc = json::parse(ReadWholeFile(dir.Path() / "out"));
    EXPECT_EQ(doc["programs"][0]["cases"][0]["reason"], "step-limit");
    EXPECT_LE(doc["programs"][0]["cases"][0]["output"].get<std::string>().size(), 1u << 21);
}
