// The queue of input values that INPUT commands read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane {

class THost;

// Values in input order. Reading does not remove them: every run rewinds and
// replays the same input from its first value.
class TInputList {
public:
    void Clear();
    void Append(uint32_t value);
    void Rewind() { cursor_ = 0; }
    bool Next(uint32_t& value);
    bool Peek(uint32_t& value) const;

    // Replaces the values by the numbers written in the text: decimal digits,
    // '-' negating the number it stands before, in or after, blanks between
    // numbers; 32-bit wrap-around. Returns 0, or the 1-based position of the
    // first character not accepted (the values before it stay). With a host,
    // events are processed once per character.
    std::size_t Parse(std::string_view text, THost* host = nullptr);

    std::size_t Count() const { return values_.size(); }
    // How many values have been read since the last Rewind.
    std::size_t Position() const { return cursor_; }
    const std::vector<uint32_t>& Values() const { return values_; }

private:
    std::vector<uint32_t> values_;
    std::size_t cursor_ = 0; // index of the value Next reads; Count() when none is left
};

} // namespace corvane
