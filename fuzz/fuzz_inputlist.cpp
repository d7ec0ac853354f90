// Any bytes as input text: the result is 0 or a position inside the text, and
// the values read before it stay readable.
#include "core/inputlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    corvane::TInputList list;
    const std::size_t r = list.Parse(text);
    if (r > size) std::abort();
    list.Rewind();
    uint32_t value = 0;
    std::size_t count = 0;
    while (list.Next(value))
        ++count;
    if (count != list.Count() || count > size) std::abort();
    return 0;
}
