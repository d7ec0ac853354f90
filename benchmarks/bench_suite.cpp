// A suite run as graders use it: 20 cases over 1,000 generated submissions
// through the corvane-run binary, with 1 and 2 jobs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kCases = 20;
constexpr int kSubmissions = 1000;

const char* const kSum = "STACK total\r\n        SET 0\r\n        PUSH total\r\n"
                         ":next   INPUT done\r\n        ADD total\r\n        PUSH total\r\n"
                         "        GOTO next\r\n:done   SET total\r\n        OUTPUT\r\n";

// Joined piece by piece: GCC 12 warns falsely (-Wrestrict) on long chains of
// string concatenation.
std::string Join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Most submissions are right; some are off by one, some do not parse, some
// loop until the step limit.
std::string Submission(int i) {
    const std::string program = Join({"// submission ", std::to_string(i), "\r\n", kSum});
    switch (i % 20) {
    case 3: return Join({program, "        ADD 1\r\n        OUTPUT\r\n"});
    case 7: return Join({program, "        OUTPUT x\r\n"});
    case 11:
        return Join({program, "        PUSH total\r\n        GOTO done\r\n"}); // prints forever
    default: return program;
    }
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path dir =
            fs::temp_directory_path() / Join({"corvane-bench-suite-", std::to_string(getpid())});
        fs::create_directories(dir);
        std::string suite = "max-steps = 100000\n";
        for (int c = 0; c < kCases; ++c) {
            std::string input;
            long sum = 0;
            for (int v = 0; v < 40; ++v) {
                const int value = (c * 37 + v * 11) % 201 - 100;
                input += std::to_string(value);
                input += ' ';
                sum += value;
            }
            suite += Join({"[[case]]\nname = \"case ", std::to_string(c), "\"\ninput = \"", input,
                           "\"\noutput = \"", std::to_string(sum), "\"\n"});
        }
        Write(dir / "sum.cvtest", suite);
        for (int i = 0; i < kSubmissions; ++i)
            Write(dir / Join({"s", std::to_string(i), ".cv"}), Submission(i));
        return dir;
    }();
    return folder;
}

void BM_SuiteOverSubmissions(benchmark::State& state) {
    const fs::path& dir = Folder();
    const std::string command =
        Join({"cd '", dir.string(),
              "' && '" CORVANE_RUN_BINARY "' --suite sum.cvtest --format json --output /dev/null "
              "--jobs ",
              std::to_string(state.range(0)), " s*.cv"});
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 1) {
            state.SkipWithError("corvane-run did not report failed cases");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["cases"] = kCases * kSubmissions;
}
BENCHMARK(BM_SuiteOverSubmissions)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    return 0;
}
