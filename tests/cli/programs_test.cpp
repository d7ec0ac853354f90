// Every program of tests/programs and of examples, run through corvane-run and
// compared with its expected results:
//   NAME.in   standard input (optional; none means empty input)
//   NAME.out  expected standard output, byte for byte
//   NAME.err  optional: first line "exit N", then the expected standard error;
//             without it the run must exit 0 with nothing on standard error.
// The expected files of an example live in tests/programs/examples/.
#include "process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;
using namespace corvane::test;

namespace {

struct TProgramCase {
    fs::path Program;      // the .cv file
    fs::path ExpectedStem; // NAME.in / NAME.out / NAME.err without the extension
    std::string Name;      // test name
};

void PrintTo(const TProgramCase& c, std::ostream* os) {
    *os << c.Program.string();
}

std::string TestName(const std::string& prefix, const fs::path& file) {
    std::string name = prefix;
    for (const char c : file.stem().string())
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<TProgramCase> FindPrograms() {
    const fs::path source = CORVANE_SOURCE_DIR;
    const fs::path programs = source / "tests" / "programs";
    std::vector<TProgramCase> cases;
    const auto collect = [&](const fs::path& folder, const fs::path& expectedFolder,
                             const std::string& prefix) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".cv") continue;
            cases.push_back({entry.path(), expectedFolder / entry.path().stem(),
                             TestName(prefix, entry.path())});
        }
    };
    collect(programs, programs, "");
    collect(source / "examples", programs / "examples", "example_");
    std::sort(cases.begin(), cases.end(),
              [](const auto& a, const auto& b) { return a.Name < b.Name; });
    return cases;
}

fs::path WithExtension(fs::path stem, const char* extension) {
    stem += extension;
    return stem;
}

class ProgramRun : public testing::TestWithParam<TProgramCase> {};

TEST_P(ProgramRun, GivesExpectedOutput) {
    const TProgramCase& c = GetParam();
    const fs::path in = WithExtension(c.ExpectedStem, ".in");
    const fs::path out = WithExtension(c.ExpectedStem, ".out");
    const fs::path err = WithExtension(c.ExpectedStem, ".err");
    ASSERT_TRUE(fs::exists(out)) << "no expected output " << out;

    int expectedExit = 0;
    std::string expectedErr;
    if (fs::exists(err)) {
        const std::string text = ReadWholeFile(err);
        const std::size_t lineEnd = text.find('\n');
        ASSERT_TRUE(text.starts_with("exit ") && lineEnd != std::string::npos) << err;
        expectedExit = std::stoi(text.substr(5, lineEnd - 5));
        expectedErr = text.substr(lineEnd + 1);
    }
    std::optional<std::string> input;
    if (fs::exists(in)) input = ReadWholeFile(in);

    const TProcessResult r =
        RunBinary({c.Program.filename().string()}, input, c.Program.parent_path());
    EXPECT_EQ(r.Out, ReadWholeFile(out));
    EXPECT_EQ(r.Err, expectedErr);
    EXPECT_EQ(r.ExitCode, expectedExit);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramRun, testing::ValuesIn(FindPrograms()),
                         [](const testing::TestParamInfo<TProgramCase>& p) {
                             return p.param.Name;
                         });

// Every example has its expected results and a passing test suite, so none
// goes unchecked.
TEST(Examples, EachHasExpectedOutputAndOpensWithComment) {
    const fs::path source = CORVANE_SOURCE_DIR;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(source / "examples")) {
        if (entry.path().extension() != ".cv") continue;
        ++count;
        const fs::path stem = source / "tests" / "programs" / "examples" / entry.path().stem();
        EXPECT_TRUE(fs::exists(WithExtension(stem, ".out"))) << entry.path();
        // Its suite is beside it and passes.
        const fs::path suite =
            WithExtension(entry.path().parent_path() / entry.path().stem(), ".cvtest");
        ASSERT_TRUE(fs::exists(suite)) << entry.path();
        const TProcessResult checked =
            RunBinary({"--suite", suite.filename().string(), entry.path().filename().string()},
                      std::nullopt, entry.path().parent_path());
        EXPECT_EQ(checked.ExitCode, 0) << checked.Out << checked.Err;
        const std::string text = ReadWholeFile(entry.path());
        EXPECT_TRUE(text.starts_with("// ")) << entry.path();
        // The editor's format: every line break is CR LF.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << entry.path() << " at " << i;
            }
        }
    }
    EXPECT_GE(count, 8);
    EXPECT_TRUE(fs::exists(source / "examples" / "sum.cv"));
}

} // namespace
