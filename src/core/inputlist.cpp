#include "core/inputlist.h"

#include "core/host.h"

namespace corvane {

void TInputList::Clear() {
    values_.clear();
    values_.shrink_to_fit();
    cursor_ = 0;
}

// The list is read only after a Rewind, so Append leaves the cursor where a
// walk to the end would have left it: on the cell that was last before.
void TInputList::Append(uint32_t value) {
    if (!values_.empty()) cursor_ = values_.size() - 1;
    values_.push_back(value);
}

bool TInputList::Next(uint32_t& value) {
    if (cursor_ >= values_.size()) return false;
    value = values_[cursor_++];
    return true;
}

bool TInputList::Peek(uint32_t& value) const {
    if (cursor_ >= values_.size()) return false;
    value = values_[cursor_];
    return true;
}

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

std::size_t TInputList::Parse(std::string_view text, THost* host) {
    Clear();
    bool inNumber = false;
    bool minus = false;
    uint32_t number = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (host) host->ProcessEvents();
        if (i == text.size() || IsBlank(text[i])) {
            if (inNumber) {
                Append(minus ? 0u - number : number);
                inNumber = false;
                minus = false;
                number = 0;
            }
            continue;
        }
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number = (inNumber ? number * 10u : 0u) + static_cast<uint32_t>(c - '0');
            inNumber = true;
        } else if (c == '-' && !minus) {
            minus = true;
        } else {
            return i + 1;
        }
    }
    return 0;
}

} // namespace corvane
