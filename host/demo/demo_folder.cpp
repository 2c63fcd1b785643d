#include "host/demo/demo_folder.h"

#include "host/setup/host.h"
#include "host/setup/program_data_root.h"
#include "host/system/system.h"
#include "host/values/script_notation.h"

namespace korvant::host {

DemoFolder::DemoFolder(const std::filesystem::path& root, bool fresh)
    : root_(std::filesystem::absolute(root).lexically_normal()), fresh_(fresh) {
    try {
        if (fresh_) {
            empty();
        }
        std::filesystem::create_directories(root_);
        writeEmulatorConfig();
        writeComponentConfig();
    } catch (const HostError&) {
        throw;
    } catch (const std::exception& failure) {
        throw HostError("cannot prepare the demonstration folder: " + std::string(failure.what()));
    }
}

void DemoFolder::empty() const {
    if (!std::filesystem::exists(root_)) {
        return;
    }
    // The folder is removed with everything in it, so it must be one this command made.
    if (!std::filesystem::is_directory(root_) ||
        (!std::filesystem::is_empty(root_) && !std::filesystem::exists(emulatorConfig()))) {
        throw HostError(pathText(root_) +
                        " is not a demonstration folder (it has no emulator.json); remove it or "
                        "name another folder with --programdata");
    }
    std::filesystem::remove_all(root_);
}

void DemoFolder::writeEmulatorConfig() const {
    // A new register is not yet registered; once the state file exists it says what the
    // register is, and "registered" no longer matters.
    Json config;
    config["serial"] = kDemoSerial;
    config["fn_serial"] = kDemoFnSerial;
    config["registered"] = false;
    config["tape"] = pathText(tape());
    config["state"] = pathText(state());
    replaceFile(emulatorConfig(), config.dump(2) + "\n");
}

void DemoFolder::writeComponentConfig() {
    // PROGRAMDATA names the folder only while the root object lives; the host sets it again
    // before it loads the add-in.
    ProgramDataRoot programData(root_);
    log_ = programData.defaultLogPath();
    programData.writeComponentConfig(log_, true);
}

} // namespace korvant::host
