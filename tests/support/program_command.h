#pragma once
// How a test starts a program of this build from a shell command: by its path, after the
// emulator that runs this build's programs when the machine needs one (QEMU, for a 32-bit
// build on a kernel that refuses 32-bit programs; cmake/Dependencies.cmake decides).

#include <string>

#include "host/system.h"

namespace korvant::testing {

inline std::string programCommand(const std::string& path) {
#ifdef KORVANT_PROGRAM_RUNNER
    return host::shellQuoted(KORVANT_PROGRAM_RUNNER) + " " + host::shellQuoted(path);
#else
    return host::shellQuoted(path);
#endif
}

} // namespace korvant::testing
