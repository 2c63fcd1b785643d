#include "host/program_data_root.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace korvant::host {
namespace {

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + pathText(file));
    }
}

} // namespace

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
    writeText(libraryConfigPath(),
              "[library64]\npath = " + path + "\n[library]\npath = " + path + "\n");
}

void ProgramDataRoot::writeComponentConfig(const std::filesystem::path& logPath, bool logEnabled) {
    writeText(componentConfigPath(), "[logs]\npath = " + pathText(logPath) +
                                         "\nenabled = " + (logEnabled ? "true" : "false") + "\n");
}

} // namespace korvant::host
