#include "host/cli/demo.h"

#include "host/demo/demo_day.h"
#include "host/demo/demo_folder.h"
#include "host/demo/demo_format.h"
#include "host/system/system.h"

#include <fstream>
#include <iterator>

namespace korvant::host {
namespace {

void refuseOtherOptions(const CommandLine& line) {
    if (!line.args.empty()) {
        throw UsageError("usage: korvant-host [--addin PATH] [--programdata DIR] [--fault RULE] "
                         "demo");
    }
    // The demonstration makes its own emulator configuration and keeps its folder itself.
    if (line.host.emulatorConfig || line.host.keepProgramData || line.journal) {
        throw UsageError("demo takes only --addin, --programdata and --fault");
    }
}

std::uintmax_t fileSize(const std::filesystem::path& file) {
    std::error_code missing;
    const auto size = std::filesystem::file_size(file, missing);
    return missing ? 0 : size;
}

std::string textFrom(const std::filesystem::path& file, std::uintmax_t offset) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the emulator could not use (its configuration, its state file), which otherwise shows
// only as a refused connection.
void reportEmulatorTrouble(Emulator& emulator, std::ostream& out) {
    const Json state = emulator.state();
    for (const char* member : {"config_error", "state_file_error"}) {
        if (state.is_object() && state.contains(member) && state[member].is_string()) {
            out << "Эмулятор: " << state[member].get<std::string>() << '\n';
        }
    }
}

} // namespace

int demoCommand(const CommandLine& line, std::ostream& out) {
    refuseOtherOptions(line);
    const DemoFolder folder(line.host.programData.value_or(kDefaultDemoFolder),
                            !line.host.programData.has_value());
    out << "Папка демонстрации: " << pathText(folder.root())
        << (folder.fresh() ? " (создана заново: новая, ещё не зарегистрированная ККТ)"
                           : " (ККТ, смена и нумерация документов — с прошлого запуска)")
        << '\n';

    HostOptions options = line.host;
    options.programData = folder.root();
    options.emulator = true;
    options.emulatorConfig = folder.emulatorConfig();
    const std::uintmax_t tapeBefore = fileSize(folder.tape());
    Host host(options);
    out << "Компонента: " << pathText(host.addin().path()) << "\n\n" << std::flush;

    const DaySummary summary = DemoDay(host.component(), std::string(kDemoSerial), out).run();

    out << "\nЛента за день (" << pathText(folder.tape()) << "):\n"
        << textFrom(folder.tape(), tapeBefore) << '\n';
    reportEmulatorTrouble(*host.emulator(), out);
    out << "Журнал компоненты: " << pathText(folder.log()) << '\n';
    out << "Итого: вызовов " << summary.calls << ", ошибок " << summary.failures << ", чеков "
        << summary.receipts << ", время " << durationText(summary.time) << '\n';
    out << "Чеки с QR-кодами и штрихкодами, для браузера: " << pathText(folder.page()) << std::endl;
    return summary.allAsExpected() ? 0 : 1;
}

} // namespace korvant::host
