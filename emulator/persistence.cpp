#include "persistence.h"

#include "file_text.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace korvant3emu {
namespace {

using nlohmann::json;

const char* const kFormat = "korvant3emu state 1";

} // namespace

std::optional<FiscalState> loadStateFile(const std::string& path) {
    switch (fileStatus(path)) {
    case FileStatus::missing:
        return std::nullopt;
    case FileStatus::unreadable:
        throw StateFileError{"cannot read the state file " + path};
    case FileStatus::readable:
        break;
    }
    const auto text = readFileText(path);
    if (!text) {
        throw StateFileError{"cannot read the state file " + path};
    }
    const json stored = json::parse(*text, nullptr, false);
    if (stored.is_discarded() || !stored.is_object()) {
        throw StateFileError{"the state file " + path + " is not a JSON object"};
    }
    if (stored.value("format", json()) != kFormat || !stored.contains("fiscal")) {
        throw StateFileError{"the state file " + path + " is not a state file of this emulator"};
    }
    try {
        return fiscalStateFromJson(stored["fiscal"]);
    } catch (const std::runtime_error& error) {
        throw StateFileError{"the state file " + path + " is damaged: " + error.what()};
    }
}

std::string saveStateFile(const std::string& path, const FiscalState& state) {
    const json stored = {{"format", kFormat}, {"fiscal", toJson(state)}};
    return replaceFileText(path, stored.dump(2, ' ', false, json::error_handler_t::replace) + "\n");
}

} // namespace korvant3emu
