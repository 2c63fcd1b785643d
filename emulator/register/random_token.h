#pragma once
// Random names for what processes sharing one register must tell apart: a process, a revision
// of the stored state, an open document. Sixteen hexadecimal digits, drawn from a generator
// seeded once per process from the system's randomness and the time.

#include <string>

namespace korvant3emu {

std::string randomToken();

} // namespace korvant3emu
