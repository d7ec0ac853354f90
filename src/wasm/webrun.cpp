#include "wasm/webrun.h"

#include "core/appstrings.h"
#include "run/machinemark.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace corvane::wasm {

namespace {

constexpr std::size_t kStackValuesAtPause = 1000; // the protocol's StackValuesAtPause

const char* EndingName(const TRunSession& session, bool inputError) {
    if (inputError) return "inputError";
    switch (session.Status()) {
    case TRunStatus::Finished: return "finished";
    case TRunStatus::Stopped: return session.OutputLimited() ? "outputLimit" : "stopped";
    default: return "failed";
    }
}

// Values of a stack from `from` places below its top, top first.
json TopDown(const TStackRec& stack, std::size_t from, std::size_t count) {
    json values = json::array();
    const std::size_t depth = stack.Values.size();
    for (std::size_t i = from; i < depth && i - from < count; ++i)
        values.push_back(static_cast<int32_t>(stack.Values[depth - 1 - i]));
    return values;
}

} // namespace

// The hottest hook of a printing loop: the value written backwards into a
// local buffer and copied into the grown-only output buffer, which costs a
// third of appending SignedText's text to a string here.
void TWebFace::Output(uint32_t value) {
    char text[kSignedDigits + 1];
    char* const end = text + sizeof text;
    char* begin = end;
    *--begin = ' ';
    const bool negative = static_cast<int32_t>(value) < 0;
    uint32_t magnitude = negative ? 0u - value : value;
    do {
        *--begin = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--begin = '-';
    const auto size = static_cast<std::size_t>(end - begin);
    if (used_ + size > output_.size())
        output_.resize(std::max<std::size_t>(2 * output_.size(), 4096));
    std::memcpy(output_.data() + used_, begin, size);
    used_ += size;
}

void TWebFace::Restarted() {
    used_ = 0;
    restarted_ = true;
}

std::string_view TWebFace::TakeOutput() {
    const std::string_view taken(output_.data(), used_);
    used_ = 0;
    return taken;
}

bool TWebFace::TakeRestart() {
    return std::exchange(restarted_, false);
}

TWebRun::TWebRun(std::string machineText, std::string_view inputText, TStartMode mode,
                 int32_t cursorLine)
    : text_(std::move(machineText)), inputText_(inputText) {
    if (session_.Parse(text_, face_) != -1 || session_.Link(face_) != -1) return;
    if (const std::size_t bad = input_.Parse(inputText_); bad != 0) {
        inputError_ = TError{sBadCharacter, static_cast<int32_t>(bad - 1), -1};
        session_.Abandon();
        return;
    }
    MarkBreakLines(text_, stops_);
    session_.Begin(mode, cursorLine);
}

TRunStatus TWebRun::Go(uint32_t budget) {
    const TRunStatus status = session_.Status();
    if (status != TRunStatus::Running && status != TRunStatus::Idle) return status;
    return session_.Go(face_, budget);
}

json TWebRun::Pause() const {
    uint32_t next = 0;
    const bool any = input_.Peek(next);
    json stacks = json::array();
    for (int32_t i = 0; i < program_.StackCount(); ++i) {
        const TStackRec& stack = *program_.StackAt(i);
        stacks.push_back({{"name", stack.Name},
                          {"depth", stack.Values.size()},
                          {"values", TopDown(stack, 0, kStackValuesAtPause)}});
    }
    const TPauseMarks& marks = session_.Marks();
    const TChanges changes = Compare(marks.Before(), marks.Now());
    return {{"line", session_.StopLine()},
            {"wr", program_.WR},
            {"nextInput", any ? json(static_cast<int32_t>(next)) : json(nullptr)},
            {"inputs", SignedValues(input_.Values().data(), input_.Values().size())},
            {"inputPosition", input_.Position()},
            {"steps", session_.Steps()},
            {"outputs", session_.Outputs()},
            {"stacks", std::move(stacks)},
            {"changes", DescribeChanges(program_, marks.Before(), marks.Now())},
            {"changed",
             {{"wr", changes.WR},
              {"input", changes.Input},
              {"outputs", changes.Outputs},
              {"stacks", changes.Stacks}}},
            {"canBack", session_.CanBack()}};
}

json TWebRun::StackSlice(int32_t stack, int64_t from, int64_t count) const {
    const TStackRec* rec = program_.StackAt(stack);
    if (rec == nullptr || from < 0 || count <= 0) return json::array();
    return TopDown(*rec, static_cast<std::size_t>(from), static_cast<std::size_t>(count));
}

json TWebRun::Ending() const {
    json error = nullptr;
    std::string message;
    if (inputError_) {
        error = ErrorInfo(*inputError_, inputText_);
        message = Str(inputError_->Message);
    } else if (session_.OutputLimited()) {
        message = OutputLimitText(session_.Outputs());
        error = ErrorInfo(message, 0, 0);
    } else if (session_.Status() == TRunStatus::Failed && session_.Failure()) {
        error = ErrorInfo(*session_.Failure(), text_);
        message = Str(session_.Failure()->Message);
    }
    return {{"ending", EndingName(session_, inputError_.has_value())},
            {"steps", session_.Steps()},
            {"error", std::move(error)},
            {"message", std::move(message)}};
}

} // namespace corvane::wasm
