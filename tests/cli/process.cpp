#include "process.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::test {

namespace fs = std::filesystem;

namespace {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TTempDir::TTempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("corvane-cli-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

TProcessResult RunBinary(const std::vector<std::string>& args,
                         const std::optional<std::string>& stdinText, const fs::path& workDir) {
    const TTempDir temp;
    std::string stdinPath = "/dev/null";
    if (stdinText) {
        stdinPath = (temp.Path() / "stdin").string();
        WriteWholeFile(stdinPath, *stdinText);
    }
    const fs::path outPath = temp.Path() / "stdout";
    const fs::path errPath = temp.Path() / "stderr";

    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on long
    // chains of string concatenation.
    std::string command;
    const auto append = [&](std::string_view prefix, const std::string& word) {
        command += prefix;
        command += ShellQuote(word);
    };
    if (!workDir.empty()) {
        append("cd ", workDir.string());
        command += " && ";
    }
    append("", CORVANE_RUN_BINARY);
    for (const std::string& arg : args)
        append(" ", arg);
    append(" <", stdinPath);
    append(" >", outPath.string());
    append(" 2>", errPath.string());

    TProcessResult result;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    result.Out = ReadWholeFile(outPath);
    result.Err = ReadWholeFile(errPath);
    return result;
}

} // namespace corvane::test
