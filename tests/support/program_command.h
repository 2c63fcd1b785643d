#pragma once
// A program of this build started from a shell command (see program_arguments.h).

#include <string>

#include "support/program_arguments.h"
#include "support/shell_commands.h"

namespace korvant::testing {

// programArguments(path), quoted for a shell command.
inline std::string programCommand(const std::string& path) {
    std::string command;
    for (const std::string& argument : programArguments(path)) {
        command += (command.empty() ? "" : " ") + host::shellQuoted(argument);
    }
    return command;
}

} // namespace korvant::testing
