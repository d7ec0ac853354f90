// The live check: the run's own parser and linker on a program text,
// reporting the first error instead of showing it.
#pragma once

#include "core/host.h"

#include <string_view>

namespace corvane {

// The first error of parsing and then linking the machine text (CR LF line
// breaks, one byte per editor character); Message sStringCount when the
// program is correct. Pos is what a run would report.
TError CheckProgram(std::string_view machineText);

} // namespace corvane
