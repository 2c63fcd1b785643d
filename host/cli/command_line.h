#pragma once
// korvant-host's command line: options (anywhere on the line), a command, its arguments.

#include "host/setup/host.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace korvant::host {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    HostOptions host;
    bool journal = false; // print the emulator's journal after the calls
    bool help = false;
    std::string command;
    std::vector<std::string> args; // the command's own arguments
};

// `args` without the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The options part of the usage text.
extern const char* const kOptionsUsage;

} // namespace korvant::host
