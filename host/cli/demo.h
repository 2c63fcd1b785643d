#pragma once
// korvant-host's `demo` command: a cashier's day at the till against the register emulator,
// with the add-in loaded and driven exactly as 1C:Enterprise does it.
//
//   korvant-host demo                       in ./demo-data, made anew: a new, unregistered
//                                           register that the day registers first
//   korvant-host demo --programdata DIR     in DIR, kept: the register, its shift and its
//                                           document numbering carry on from the last run
//   korvant-host demo --addin PATH          the same day against another build of the add-in
//   korvant-host demo --fault RULE          with a fault injected into the emulator
//
// Prints one line per call, then the paper tape printed during the run, then a summary line.
// Exit code 0 only when every call answered as expected.

#include "host/cli/command_line.h"

#include <ostream>

namespace korvant::host {

int demoCommand(const CommandLine& line, std::ostream& out);

} // namespace korvant::host
