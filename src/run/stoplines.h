// The breakpoints of a run: one bit per source line, and the stop test.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane {

// The executor asks before every command whether to pause there, so the answer
// is a bit lookup. The desktop's break window keeps the bits equal to its
// check marks; a browser page keeps them for its gutter.
class TStopLines {
public:
    // `count` lines, none marked.
    void Reset(int count) {
        count_ = count < 0 ? 0u : static_cast<uint32_t>(count);
        bits_.assign((count_ + 63) / 64, 0);
        marked_ = 0;
    }

    void Set(int index, bool mark) {
        if (index < 0 || static_cast<uint32_t>(index) >= count_) return;
        const uint64_t bit = uint64_t{1} << (index & 63);
        auto& word = bits_[static_cast<uint32_t>(index) >> 6];
        if (((word & bit) != 0) == mark) return;
        word ^= bit;
        marked_ += mark ? 1 : -1;
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
    bool Any() const { return marked_ != 0; }

private:
    std::vector<uint64_t> bits_;
    uint32_t count_ = 0;
    int64_t marked_ = 0; // lines marked now
};

// Whether a source line holds the breakpoint marker "<BREAK>" in any mixture
// of letter cases. (Upper-casing any other character never yields one of the
// marker's ASCII letters, so comparing ASCII letters alone is the whole rule.)
bool HoldsBreakMarker(std::string_view line);

// Resets `stops` to the lines of a CR LF text and marks every line holding
// the marker: how every run starts.
void MarkBreakLines(std::string_view machineText, TStopLines& stops);

} // namespace corvane
