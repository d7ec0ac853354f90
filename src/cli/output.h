// Standard output of corvane-run, written with every write checked.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace corvane::cli {

// A write to an output failed (a full disk, a closed descriptor, a reader that
// went away). Thrown from inside a run so that the run ends at once; Reason is
// the system's text for the error.
class TWriteError : public std::runtime_error {
public:
    explicit TWriteError(const std::string& reason) : std::runtime_error(reason) {}
};

// Writes all of text to the descriptor, retrying short and interrupted
// writes. Throws TWriteError when the descriptor refuses the bytes.
void WriteAll(int fd, std::string_view text);

// "corvane-run: cannot write the output: REASON\n"
std::string WriteErrorText(const TWriteError& error);

} // namespace corvane::cli
