#pragma once
// How a test starts a program of this build: by its path, after the emulator that runs this
// build's programs when the machine needs one (QEMU, for a 32-bit build on a kernel that refuses
// 32-bit programs; cmake/Dependencies.cmake decides).

#include <string>
#include <vector>

namespace korvant::testing {

// The start of the argument list that runs the program at `path`.
inline std::vector<std::string> programArguments(const std::string& path) {
#ifdef KORVANT_PROGRAM_RUNNER
    return {KORVANT_PROGRAM_RUNNER, path};
#else
    return {path};
#endif
}

} // namespace korvant::testing
