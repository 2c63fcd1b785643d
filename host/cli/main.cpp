// korvant-host: loads an add-in the way 1C:Enterprise does and calls its methods.

#include "host/cli/commands.h"
#include "host/cli/demo.h"
#include "host/system/system.h"
#include "host/values/script_notation.h"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

using korvant::host::CommandLine;

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(const CommandLine& line, std::ostream& out);
};

// One row per command; a new command is a function of the same shape and a row here.
const Command kCommands[] = {
    {"methods", "methods             list the component's methods", &korvant::host::methodsCommand},
    {"run", "run SCRIPT          run a session script (- reads standard input)",
     &korvant::host::runCommand},
    {"demo",
     "demo                a cashier's day on the register emulator, in ./demo-data\n"
     "                      (--programdata DIR keeps the register between runs)",
     &korvant::host::demoCommand},
};

void printUsage(std::ostream& out) {
    out << "usage: korvant-host [options] COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& command : kCommands) {
        out << "  " << command.usage << '\n';
    }
    out << '\n' << korvant::host::kOptionsUsage;
}

int fail(int code, const std::string& message) {
    std::cerr << "korvant-host: " << message << '\n';
    return code;
}

} // namespace

int main(int argc, char** argv) {
    constexpr int kFailed = 1;
    constexpr int kBadInput = 2;
    korvant::host::useBinaryStandardStreams();
    try {
        const auto line = korvant::host::parseCommandLine({argv + 1, argv + argc});
        if (line.help) {
            printUsage(std::cout);
            return 0;
        }
        for (const auto& command : kCommands) {
            if (command.name == line.command) {
                return command.run(line, std::cout);
            }
        }
        printUsage(std::cerr);
        return fail(kBadInput,
                    line.command.empty() ? "no command given" : "unknown command " + line.command);
    } catch (const korvant::host::UsageError& error) {
        return fail(kBadInput, error.what());
    } catch (const korvant::host::ScriptError& error) {
        return fail(kBadInput, std::string("bad script: ") + error.what());
    } catch (const std::exception& error) {
        return fail(kFailed, error.what());
    }
}
