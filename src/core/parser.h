// The parser of the source language: one pass over the text, straight into a TProgram.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvane {

class THost;
class TProgram;

// Parses the whole source text into the program, emptying it first. The text
// has one byte per editor character, lines separated by CR LF. Returns -1 on
// success; otherwise the source position of the first error, reported through
// host.Error. Progress: host.ParseProgress(line) once per line,
// host.SetStatus("") at a successful end.
//
// Source positions are 32-bit and the run window stores a position plus one,
// so a text longer than MaxProgramLength is refused before parsing with
// "Program too long ..." at position 0. `maxLength` lowers that bound (tests).
constexpr std::size_t MaxProgramLength = 0x7FFFFFFE;
int32_t ParseProgram(std::string_view text, TProgram& program, THost& host,
                     std::size_t maxLength = MaxProgramLength);

} // namespace corvane
