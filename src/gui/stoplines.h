// The stop test's data: one bit per editor line.
#pragma once

#include <cstdint>
#include <vector>

// The executor asks before every command whether to pause there, so the answer
// is a bit lookup, never a walk over a list widget. The break window keeps the
// bits equal to its check marks (see TfBreak).
class TStopLines {
public:
    // `count` lines, none marked.
    void Reset(int count) {
        count_ = count < 0 ? 0u : static_cast<uint32_t>(count);
        bits_.assign((count_ + 63) / 64, 0);
    }

    void Set(int index, bool mark) {
        if (index < 0 || static_cast<uint32_t>(index) >= count_) return;
        const uint64_t bit = uint64_t{1} << (index & 63);
        auto& word = bits_[static_cast<uint32_t>(index) >> 6];
        word = mark ? word | bit : word & ~bit;
    }

    bool Marked(int32_t index) const {
        const auto i = static_cast<uint32_t>(index); // negative indices become huge
        return i < count_ && ((bits_[i >> 6] >> (i & 63)) & 1u) != 0;
    }

    // The stop test: the run-to-cursor line (1-based, 0 for none) or a marked line.
    bool IsStop(int32_t index, int32_t runToLine) const {
        if (runToLine != 0 && runToLine - 1 == index) return true;
        return Marked(index);
    }

    int Count() const { return static_cast<int>(count_); }

private:
    std::vector<uint64_t> bits_;
    uint32_t count_ = 0;
};
