#pragma once
// A shared application-data root prepared for the add-in: the maker folder, optionally the
// maker's library configuration pointing at a device library (the emulator), optionally the
// component's own configuration. The add-in's root variable (programDataVariable(): PROGRAMDATA
// on Linux) names the root while the object lives (it must be set before the add-in is loaded,
// whose load-time set-up already reads the library configuration), and is restored afterwards.

#include "host/system/system.h"

#include <filesystem>
#include <memory>

namespace korvant::host {

class ProgramDataRoot {
public:
    // An empty root makes a temporary one, removed again at destruction unless kept. A given
    // root is created when missing and never removed.
    explicit ProgramDataRoot(const std::filesystem::path& root = {});
    ~ProgramDataRoot();
    ProgramDataRoot(const ProgramDataRoot&) = delete;
    ProgramDataRoot& operator=(const ProgramDataRoot&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path makerFolder() const;         // <root>/Korvant Engineering
    std::filesystem::path componentFolder() const;     // <maker>/AddInKorvant
    std::filesystem::path componentConfigPath() const; // <component folder>/config
    std::filesystem::path defaultLogPath() const;      // <component folder>/AddInKorvant.log
    std::filesystem::path libraryConfigPath() const;   // <maker>/library/config

    // Writes the library configuration naming `library` for both builds.
    void pointLibraryAt(const std::filesystem::path& library);
    // Writes the component configuration with the log settings.
    void writeComponentConfig(const std::filesystem::path& logPath, bool logEnabled);

    bool temporary() const { return temporary_; }
    // Keeps a temporary root at destruction.
    void keep(bool keep = true) { keep_ = keep; }

private:
    std::filesystem::path root_;
    bool temporary_ = false;
    bool keep_ = false;
    std::unique_ptr<ScopedEnvironmentVariable> variable_;
};

} // namespace korvant::host
