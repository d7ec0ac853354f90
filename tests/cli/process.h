// Runs the built corvane-run binary as a child process.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corvane::test {

struct TProcessResult {
    int ExitCode = -1; // -1 when the process did not exit normally
    std::string Out;
    std::string Err;
};

// Runs corvane-run with the arguments in workDir (the current folder when
// empty). Standard input is the given text, or the empty /dev/null.
TProcessResult RunBinary(const std::vector<std::string>& args,
                         const std::optional<std::string>& stdinText = std::nullopt,
                         const std::filesystem::path& workDir = {});

// Whether memory can be limited with `ulimit -v` for the binary (not under
// AddressSanitizer).
constexpr bool kCanLimitMemory =
#ifdef CORVANE_SANITIZED
    false;
#else
    true;
#endif

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh folder, removed with its contents on destruction.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace corvane::test
