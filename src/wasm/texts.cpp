#include "wasm/texts.h"

#include "core/text_codec.h"

namespace corvane::wasm {

std::string MachineTextOf(std::u16string_view editorText) {
    return ToMachineText(NormalizeLineEnds(editorText));
}

} // namespace corvane::wasm
