#include "host/cli/command_line.h"

#include <optional>
#include <string_view>

namespace korvant::host {

const char* const kOptionsUsage =
    "options:\n"
    "  --addin PATH            the add-in (default: the one beside korvant-host)\n"
    "  --programdata DIR       the shared application-data root, prepared before loading\n"
    "  --keep-programdata      keep a temporary root made for --emulator\n"
    "  --emulator              use the register emulator beside korvant-host (under a\n"
    "                          temporary root unless --programdata is given)\n"
    "  --emulator-config FILE  the emulator's configuration (KORVANT3EMU_CONFIG)\n"
    "  --fault RULE            a fault rule for the emulator, as JSON (repeatable)\n"
    "  --journal               print the emulator's journal after the calls\n"
    "  --emulator-config, --fault and --journal imply --emulator.\n";

namespace {

// Splits "--name=value"; a lone "--name" takes the next argument as its value when it needs one.
class OptionReader {
public:
    explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}

    bool done() const { return next_ >= args_.size(); }
    const std::string& take() { return args_[next_++]; }
    std::string valueOf(std::string_view option, const std::optional<std::string>& inline_) {
        if (inline_) {
            return *inline_;
        }
        if (done()) {
            throw UsageError(std::string(option) + " needs a value");
        }
        return take();
    }

private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
};

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    OptionReader reader(args);
    while (!reader.done()) {
        const std::string& arg = reader.take();
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (line.command.empty()) {
                line.command = arg;
            } else {
                line.args.push_back(arg);
            }
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const std::optional<std::string> inlineValue =
            equals == std::string::npos ? std::nullopt
                                        : std::optional<std::string>(arg.substr(equals + 1));
        const auto flag = [&](bool& target) {
            if (inlineValue) {
                throw UsageError(name + " takes no value");
            }
            target = true;
        };
        if (name == "--addin") {
            line.host.addin = reader.valueOf(name, inlineValue);
        } else if (name == "--programdata") {
            line.host.programData = reader.valueOf(name, inlineValue);
        } else if (name == "--keep-programdata") {
            flag(line.host.keepProgramData);
        } else if (name == "--emulator") {
            flag(line.host.emulator);
        } else if (name == "--emulator-config") {
            line.host.emulatorConfig = reader.valueOf(name, inlineValue);
            line.host.emulator = true;
        } else if (name == "--fault") {
            line.host.faults.push_back(reader.valueOf(name, inlineValue));
            line.host.emulator = true;
        } else if (name == "--journal") {
            flag(line.journal);
            line.host.emulator = true;
        } else if (name == "--help") {
            flag(line.help);
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    return line;
}

} // namespace korvant::host
