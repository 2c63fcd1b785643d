#include "host/setup/host.h"

#include "host/system/system.h"

namespace korvant::host {

std::filesystem::path Host::defaultAddInPath() {
    return executableDirectory() / addinFileName();
}

std::filesystem::path Host::defaultEmulatorPath() {
    return executableDirectory() / emulatorFileName();
}

Host::Host(const HostOptions& options) {
    std::string error;
    if (options.programData || options.emulator) {
        try {
            root_ = std::make_unique<ProgramDataRoot>(options.programData.value_or(""));
        } catch (const std::exception& failure) {
            throw HostError(std::string("cannot prepare the shared root: ") + failure.what());
        }
        root_->keep(options.keepProgramData);
    }
    if (options.emulator) {
        const auto path = std::filesystem::absolute(
            options.emulatorPath.empty() ? defaultEmulatorPath() : options.emulatorPath);
        try {
            root_->pointLibraryAt(path);
        } catch (const std::exception& failure) {
            throw HostError(failure.what());
        }
        if (options.emulatorConfig) {
            emulatorConfig_ = std::make_unique<ScopedEnvironmentVariable>(
                "KORVANT3EMU_CONFIG", pathText(*options.emulatorConfig));
        }
        emulator_ = Emulator::load(path, error);
        if (!emulator_) {
            throw HostError(error);
        }
        for (const auto& rule : options.faults) {
            if (const int answer = emulator_->inject(rule); answer < 0) {
                throw HostError("the emulator rejected the fault rule " + rule + " (" +
                                std::to_string(answer) + ")");
            }
        }
    }
    addin_ = AddIn::load(options.addin.empty() ? defaultAddInPath() : options.addin, error);
    if (!addin_) {
        throw HostError(error);
    }
    component_ = addin_->create(error);
    if (!component_) {
        throw HostError(error);
    }
    attached_ = component_->attach();
}

} // namespace korvant::host
