// What a pause looked like, and what changed from one pause to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

class TInputList;
class TProgram;

// The machine at a pause, as far as the next pause is compared with it: per
// stack (list order, newest first) its depth and top value. O(stacks).
struct TMachineMark {
    uint64_t Steps = 0;
    uint32_t WR = 0;
    std::size_t InputPos = 0;
    uint64_t Outputs = 0;
    std::vector<std::size_t> Depths;
    std::vector<uint32_t> Tops;
};

TMachineMark MarkOf(const TProgram& program, const TInputList* input, uint64_t outputs);

// Which parts differ between two marks of the same program.
struct TChanges {
    bool WR = false;
    bool Input = false;
    bool Outputs = false;
    std::vector<bool> Stacks; // per stack, list order; all false when the stacks differ in number
};

TChanges Compare(const TMachineMark& before, const TMachineMark& now);

// In words: "WR was 5; pushed 7 on A; popped 3 off Primary Stack; read 1 value;
// printed 2 values". A popped value is told only here, since it is gone from
// its stack. Empty when nothing changed.
std::string DescribeChanges(const TProgram& program, const TMachineMark& before,
                            const TMachineMark& now);

// The pauses of one run as a view shows them: each pause is compared with the
// one before it. The same pause noted again keeps its comparison; an earlier
// step count means the run went back or started anew, and compares with
// nothing.
class TPauseMarks {
public:
    void Note(TMachineMark now);
    void Forget() { hasNow_ = hasBefore_ = false; }
    const TMachineMark& Now() const { return now_; }
    // The pause to compare with: the one before, or Now() itself when there
    // is none (so nothing differs).
    const TMachineMark& Before() const { return hasBefore_ ? before_ : now_; }

private:
    TMachineMark now_;
    TMachineMark before_;
    bool hasNow_ = false;
    bool hasBefore_ = false;
};

} // namespace corvane
