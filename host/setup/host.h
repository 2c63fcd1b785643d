#pragma once
// Everything a session needs, set up in the order 1C:Enterprise and an integrator's machine
// would have it: the shared root (its variable) first, then the emulator with its configuration
// and faults, then the add-in, its component, and the component attached (setMemManager, Init).

#include "host/addin/addin.h"
#include "host/setup/emulator.h"
#include "host/setup/program_data_root.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvant::host {

// A session that cannot be set up or carried on (missing add-in, missing export, a fault rule
// the emulator rejects...).
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HostOptions {
    std::filesystem::path addin; // empty: the add-in beside the host program
    // The shared root; with the emulator and none given, a temporary one.
    std::optional<std::filesystem::path> programData;
    bool keepProgramData = false; // keep a temporary root
    bool emulator = false;
    std::filesystem::path emulatorPath; // empty: the emulator beside the host program
    std::optional<std::filesystem::path> emulatorConfig; // sets KORVANT3EMU_CONFIG
    std::vector<std::string> faults;                     // rules for korvant3emu_inject
};

class Host {
public:
    // Throws HostError when a step fails.
    explicit Host(const HostOptions& options);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    AddIn& addin() { return *addin_; }
    Component& component() { return *component_; }
    Emulator* emulator() { return emulator_.get(); }
    ProgramDataRoot* programData() { return root_.get(); }
    // What setMemManager and Init answered together.
    bool attached() const { return attached_; }

    // Where the host looks by default.
    static std::filesystem::path defaultAddInPath();
    static std::filesystem::path defaultEmulatorPath();

private:
    // Destroyed bottom up: the component before its library, the library before the emulator
    // it loaded, the root (and its variable) last.
    std::unique_ptr<ProgramDataRoot> root_;
    std::unique_ptr<ScopedEnvironmentVariable> emulatorConfig_;
    std::unique_ptr<Emulator> emulator_;
    std::unique_ptr<AddIn> addin_;
    std::unique_ptr<Component> component_;
    bool attached_ = false;
};

} // namespace korvant::host
