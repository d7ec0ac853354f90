// The page's texts as the core reads them.
#pragma once

#include <string>
#include <string_view>

namespace corvane::wasm {

// Editor text (UTF-16 code units, any line ends) as the core parses it: CR LF
// line ends and one byte per code unit, so that a position in it is a
// position in the editor's text once every line end counts as two.
std::string MachineTextOf(std::u16string_view editorText);

} // namespace corvane::wasm
