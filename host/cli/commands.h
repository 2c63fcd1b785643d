#pragma once
// korvant-host's commands. Each writes its output to `out` and answers the exit code; a setup
// failure throws HostError, a bad script ScriptError, a bad command line UsageError.

#include "host/cli/command_line.h"

#include <ostream>

namespace korvant::host {

// `methods`: the component's methods, one per line: number, English name, Russian name,
// parameter count, has-return-value (1/0), separated by tabs.
int methodsCommand(const CommandLine& line, std::ostream& out);

// `run SCRIPT`: runs a session script ("-": standard input), one JSON line per call, then,
// with --journal, one {"journal": entry} line per entry of the emulator's journal.
int runCommand(const CommandLine& line, std::ostream& out);

} // namespace korvant::host
