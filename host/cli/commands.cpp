#include "host/cli/commands.h"

#include "host/script/script_runner.h"
#include "host/system/system.h"
#include "nativeapi/utf.h"

#include <iostream>

namespace korvant::host {
namespace {

void expectArguments(const CommandLine& line, std::size_t count, const char* usage) {
    if (line.args.size() != count) {
        throw UsageError(std::string("usage: korvant-host [options] ") + usage);
    }
}

// The session's host; a temporary root that is to be kept is named, or it could not be found.
std::unique_ptr<Host> openHost(const CommandLine& line) {
    auto host = std::make_unique<Host>(line.host);
    const auto* root = host->programData();
    if (line.host.keepProgramData && root != nullptr && root->temporary()) {
        std::cerr << "korvant-host: the shared root is kept at " << pathText(root->root()) << '\n';
    }
    return host;
}

void printJournal(Emulator& emulator, std::ostream& out) {
    const Json journal = emulator.journal();
    if (!journal.is_array()) {
        throw HostError("the emulator's journal is not a JSON array");
    }
    for (const auto& entry : journal) {
        Json line;
        line["journal"] = entry;
        out << dumpJson(line) << '\n';
    }
}

} // namespace

int methodsCommand(const CommandLine& line, std::ostream& out) {
    expectArguments(line, 0, "methods");
    const auto host = openHost(line);
    auto& component = host->component();
    const long count = component.nMethods();
    for (long number = 0; number < count; ++number) {
        const auto name = [&](long alias) {
            return utf16ToUtf8(component.methodName(number, alias).value_or(u""));
        };
        out << number << '\t' << name(0) << '\t' << name(1) << '\t' << component.nParams(number)
            << '\t' << (component.hasRetVal(number) ? 1 : 0) << '\n';
    }
    return 0;
}

int runCommand(const CommandLine& line, std::ostream& out) {
    expectArguments(line, 1, "run SCRIPT");
    // A bad script is reported before anything is loaded.
    const Script script = readScript(line.args[0]);
    const auto host = openHost(line);
    ScriptRunner runner(host->component());
    runner.run(script, [&out](const Json& callLine) { out << dumpJson(callLine) << std::endl; });
    if (line.journal) {
        printJournal(*host->emulator(), out);
    }
    out.flush();
    return 0;
}

} // namespace korvant::host
