// The parser of the source language: one pass over the text, straight into a TProgram.
#pragma once

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
int32_t ParseProgram(std::string_view text, TProgram& program, THost& host);

} // namespace corvane
