#pragma once
// The state file: the fiscal state kept across processes. It is read at the
// first connection and replaced after every fiscal document, by writing a
// temporary file and renaming it over the old one. A file that cannot be read
// is reported and never written over.

#include "register_state.h"

#include <optional>
#include <string>

namespace korvant3emu {

struct StateFileError {
    std::string message;
};

// The stored state; nothing when the file does not exist yet. StateFileError
// when it exists but cannot be read or used.
std::optional<FiscalState> loadStateFile(const std::string& path);

// An error text, empty on success.
std::string saveStateFile(const std::string& path, const FiscalState& state);

} // namespace korvant3emu
