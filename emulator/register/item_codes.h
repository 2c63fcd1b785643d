#pragma once
// The codes a register knows for a position: its payment method, its calculation subject and
// the measure of its quantity. A position with any other code is refused; 0 is a code the
// client left out (and, for the measure, pieces).

#include <cstdint>

namespace korvant3emu {

// The printed title of a payment method (1 to 7); null for a code the register does not know,
// "" for 0.
const char* paymentMethodTitle(int64_t method);

// The printed title of a calculation subject (1 to 27, 30 to 33); null for a code the register
// does not know, "" for 0.
const char* calculationSubjectTitle(int64_t subject);

// Whether the register knows the measure: pieces (0), mass, length, area, volume, energy, time,
// data, or another one (255).
bool knownMeasure(int64_t measure);

} // namespace korvant3emu
