#include "host/setup/program_data_root.h"

#include <string>

namespace korvant::host {

ProgramDataRoot::ProgramDataRoot(const std::filesystem::path& root) {
    temporary_ = root.empty();
    root_ = temporary_ ? makeTemporaryDirectory("korvant-host-")
                       : std::filesystem::absolute(root).lexically_normal();
    std::filesystem::create_directories(makerFolder());
    variable_ = std::make_unique<ScopedEnvironmentVariable>(std::string(programDataVariable()),
                                                            pathText(root_));
}

ProgramDataRoot::~ProgramDataRoot() {
    variable_.reset();
    if (temporary_ && !keep_) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
}

std::filesystem::path ProgramDataRoot::makerFolder() const {
    return root_ / "Korvant Engineering";
}

std::filesystem::path ProgramDataRoot::componentFolder() const {
    return makerFolder() / "AddInKorvant";
}

std::filesystem::path ProgramDataRoot::componentConfigPath() const {
    return componentFolder() / "config";
}

std::filesystem::path ProgramDataRoot::defaultLogPath() const {
    return componentFolder() / "AddInKorvant.log";
}

std::filesystem::path ProgramDataRoot::libraryConfigPath() const {
    return makerFolder() / "library" / "config";
}

void ProgramDataRoot::pointLibraryAt(const std::filesystem::path& library) {
    const std::string path = pathText(std::filesystem::absolute(library));
    // Hosts starting together on one root write it at once; each one's add-in reads it whole.
    replaceFile(libraryConfigPath(),
                "[library64]\npath = " + path + "\n[library]\npath = " + path + "\n");
}

void ProgramDataRoot::writeComponentConfig(const std::filesystem::path& logPath, bool logEnabled) {
    replaceFile(componentConfigPath(), "[logs]\npath = " + pathText(logPath) +
                                           "\nenabled = " + (logEnabled ? "true" : "false") + "\n");
}

} // namespace korvant::host
