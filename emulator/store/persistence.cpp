#include "store/persistence.h"

#include "files/file_text.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace korvant3emu {
namespace {

using nlohmann::json;

const char* const kFormat = "korvant3emu state 1";

} // namespace

std::optional<StoredRegister> loadStateFile(const std::string& path) {
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
    return readStateText(*text, path);
}

std::string stateFileText(const FiscalState& state, const std::optional<OpenDocument>& document,
                          const PrintJob& printing) {
    json stored = {{"format", kFormat}, {"fiscal", toJson(state)}};
    // Files without a document (and those of earlier versions) read as none open, and those
    // without a print job as having nothing left to print.
    if (document) {
        stored["document"] = storedDocument(*document);
    }
    if (!printing.empty()) {
        stored["printing"] = toJson(printing);
    }
    return stored.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

StoredRegister readStateText(const std::string& text, const std::string& path) {
    const json stored = json::parse(text, nullptr, false);
    if (stored.is_discarded() || !stored.is_object()) {
        throw StateFileError{"the state file " + path + " is not a JSON object"};
    }
    if (stored.value("format", json()) != kFormat || !stored.contains("fiscal")) {
        throw StateFileError{"the state file " + path + " is not a state file of this emulator"};
    }
    try {
        StoredRegister result{fiscalStateFromJson(stored["fiscal"]), std::nullopt, {}};
        if (stored.contains("document")) {
            result.document = documentFromJson(stored["document"]);
        }
        if (stored.contains("printing")) {
            result.printing = printJobFromJson(stored["printing"]);
        }
        return result;
    } catch (const std::runtime_error& error) {
        throw StateFileError{"the state file " + path + " is damaged: " + error.what()};
    }
}

std::string writeStateFile(const std::string& path, const std::string& text, bool durable) {
    return replaceFileText(path, text, durable);
}

} // namespace korvant3emu
