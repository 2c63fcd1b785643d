#include "config/component_config.h"

#include <charconv>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/program_data.h"

namespace korvant {
namespace {

constexpr std::string_view kMakerFolder = "Korvant Engineering";
constexpr std::string_view kComponentFolder = "AddInKorvant";
constexpr std::string_view kConfigFileName = "config";
constexpr std::string_view kLibraryFolder = "library";

#if KORVANT_BITS == 64
constexpr std::string_view kLibrarySection = "library64";
#else
constexpr std::string_view kLibrarySection = "library";
#endif

void appendFolder(PathText& path, std::string_view name) {
    path += pathFromUtf8(name);
    path += kPathSeparator;
}

// The maker folder, with a trailing separator, under `root`.
PathText makerFolder(const PathText& root) {
    PathText path = root;
    if (!path.empty() && path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    appendFolder(path, kMakerFolder);
    return path;
}

// The file's document; `problem` says why a file that exists was not read
// (and stays empty for a missing one, which simply has no settings yet).
IniDocument loadDocument(const PathText& path, std::string& problem) {
    IniDocument document;
    const FileRead read = readRegularFile(path);
    switch (read.outcome) {
    case FileRead::Outcome::Missing:
        break;
    case FileRead::Outcome::Unreadable:
        problem = read.problem;
        break;
    case FileRead::Outcome::Read:
        document.load(read.bytes, &problem);
        break;
    }
    return document;
}

// A whole decimal number that fits 32 bits, read without the process locale.
std::optional<int32_t> parseInt32(const std::optional<std::string>& text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    int32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

ComponentConfig::ComponentConfig() : ComponentConfig(programDataFolder()) {}

ComponentConfig::ComponentConfig(PathText root) : root_(std::move(root)) {
    try {
        folder_ = makerFolder(root_);
        appendFolder(folder_, kComponentFolder);
        filePath_ = folder_ + pathFromUtf8(kConfigFileName);
        // Only the component's own folder is created: a machine without the
        // maker's folder has no installation to configure.
        if (!isDirectory(folder_)) {
            createDirectory(folder_);
        }
        document_ = loadDocument(filePath_, problem_);
    } catch (...) {
        // Out of memory while building paths: carry on with what is there.
    }
}

PathText ComponentConfig::readLogPath() const {
    return pathFromUtf8(document_.value("logs", "path").value_or(std::string()));
}

bool ComponentConfig::logEnabledSetting() const {
    return iniBoolean(document_.value("logs", "enabled").value_or(std::string()));
}

std::string ComponentConfig::setDefaultLog(const PathText& path) {
    document_.setValue("logs", "path", pathToUtf8(path));
    document_.setValue("logs", "enabled", "true");
    std::string problem;
    save(&problem);
    return problem;
}

PathText ComponentConfig::readLibraryPath(std::string* problem) const {
    PathText path = makerFolder(root_);
    appendFolder(path, kLibraryFolder);
    path += pathFromUtf8(kConfigFileName);
    std::string why;
    const IniDocument library = loadDocument(path, why);
    if (problem != nullptr && !why.empty()) {
        *problem = "the library configuration " + pathToUtf8(path) + " cannot be used: " + why;
    }
    return pathFromUtf8(library.value(kLibrarySection, "path").value_or(std::string()));
}

int32_t ComponentConfig::taskTimeoutSeconds() const {
    const auto seconds = parseInt32(document_.value("device", "task_timeout_s"));
    return seconds && *seconds >= 0 ? *seconds : kDefaultTaskTimeoutSeconds;
}

std::optional<int32_t> ComponentConfig::pollIntervalMs() const {
    const auto milliseconds = parseInt32(document_.value("device", "poll_interval_ms"));
    if (milliseconds && *milliseconds >= 0) {
        return milliseconds;
    }
    return std::nullopt;
}

bool ComponentConfig::save(std::string* problem) const {
    if (!problem_.empty()) {
        if (problem != nullptr) {
            *problem = problem_;
        }
        return false;
    }
    return replaceRegularFile(filePath_, document_.save(), problem);
}

} // namespace korvant
