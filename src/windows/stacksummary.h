// The texts the break window shows of the paused machine.
#pragma once

#include <QString>

#include <climits>
#include <cstdint>

namespace corvane {
class TProgram;
}

// A 32-bit value read as a signed number: 4294967295 is "-1".
QString SignedText(uint32_t value);

// Every stack in list order (newest first, the primary stack last): its name
// and ": " ("Primary Stack: " for the primary stack), "EMPTY" or at most four
// values from the top down (",..." when more follow), then "; ".
//
// With a bound, the text stops at the first stack that ends at or beyond
// `bound` characters, followed by "…" when stacks are left out: what a panel
// can show costs the same for ten stacks as for a million, and a screen
// reader, which reads the text and not the painted panel, hears that it was
// cut.
QString StackSummary(const corvane::TProgram& program, int bound = INT_MAX);
