// What the page reads from the module: JSON texts in the shapes of the page's
// protocol (web/src/protocol.ts).
#pragma once

#include "core/host.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::wasm {

using nlohmann::json;

// The heading of a message in the guide's Messages section: the message's
// text with N standing for the number it shows.
std::string MessageKey(TStringId id);
// Which message a text is (a suite case's error, known by its text alone);
// -1 when it is none of the program's messages.
int MessageIdOfText(std::string_view message);

// ErrorInfo: an error at `error.Pos` of `text` (CR LF line ends), with its
// 1-based line and column there; a position of -1 keeps the error's line.
json ErrorInfo(const TError& error, std::string_view text);
// ErrorInfo of a message known by its text, at a line and column (0: none).
json ErrorInfo(std::string_view message, int32_t line, int32_t column);

// Machine values as the user reads them: signed.
json SignedValues(const uint32_t* values, std::size_t count);

// The text of a JSON value; never throws for a text that is no UTF-8.
std::string Dump(const json& value);

} // namespace corvane::wasm
