// One run of the page's program: the program, its input and its stop lines,
// the session over them, and the output gathered between two slices.
#pragma once

#include "core/inputlist.h"
#include "core/program.h"
#include "run/session.h"
#include "run/stoplines.h"
#include "wasm/reports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::wasm {

// The face of a run in the worker: output values as text, kept until the
// worker takes them after a slice.
class TWebFace final : public TRunHost {
public:
    void Output(uint32_t value) override;
    void Restarted() override;

    // The output since the last take, valid until the next Output; and
    // whether Back started the output over before it.
    std::string_view TakeOutput();
    bool TakeRestart();

private:
    std::string output_; // its first used_ characters are the output
    std::size_t used_ = 0;
    bool restarted_ = false;
};

class TWebRun {
public:
    // Parses and links the machine text, reads the input text and marks the
    // lines holding "<BREAK>"; the run then waits for Go. A failure of any of
    // these ends the run at once (Ending()). cursorLine is 1-based, 0 for none.
    TWebRun(std::string machineText, std::string_view inputText, TStartMode mode,
            int32_t cursorLine);
    TWebRun(const TWebRun&) = delete;
    TWebRun& operator=(const TWebRun&) = delete;

    // At most `budget` commands (0: no bound).
    TRunStatus Go(uint32_t budget);
    TRunSession& Session() { return session_; }
    // The line of the command due next, as a running program stands between
    // two slices (-1: the end record).
    int32_t CurrentLine() const {
        return program_.Current != nullptr ? program_.Current->Line : -1;
    }
    TWebFace& Face() { return face_; }

    // The 1-based line's stop mark, for the rest of the run.
    void SetStop(int32_t line, bool on) { stops_.Set(line - 1, on); }

    // Pause: the machine as the break window shows it.
    json Pause() const;
    // `count` values of the stack at `stack` (list order), from `from` places
    // below its top; fewer where the stack ends.
    json StackSlice(int32_t stack, int64_t from, int64_t count) const;
    // {ending, steps, error, message}: how the run ended.
    json Ending() const;

private:
    std::string text_;
    TProgram program_;
    TInputList input_;
    TStopLines stops_;
    TRunSession session_{program_, input_, stops_};
    TWebFace face_;
    std::optional<TError> inputError_; // the input text's first bad character
    std::string inputText_;            // machine text of the input, for that error's place
};

} // namespace corvane::wasm
