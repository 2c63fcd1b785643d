#pragma once
// The state file: the fiscal state, the open document (as far as it was folded in; the rest of
// it is in the document's record beside the file) and the last print job, kept across
// processes. It is replaced whenever an operation changed what it holds, by writing a temporary
// file and renaming it over the old one, before the operation is answered. A file that cannot be
// read is reported and never written over.

#include "printer/printer.h"
#include "register/documents.h"
#include "register/register_state.h"

#include <optional>
#include <string>

namespace korvant3emu {

struct StateFileError {
    std::string message;
};

// What the state file holds.
struct StoredRegister {
    FiscalState state;
    std::optional<OpenDocument> document; // the document open when it was stored
    PrintJob printing;                    // what the operation that stored it printed
};

// The stored register; nothing when the file does not exist yet.
// StateFileError when it exists but cannot be read or used.
std::optional<StoredRegister> loadStateFile(const std::string& path);

// The text of the state file for a register.
std::string stateFileText(const FiscalState& state, const std::optional<OpenDocument>& document,
                          const PrintJob& printing);

// The register stateFileText wrote; StateFileError, naming `path`, when the
// text is not such a state.
StoredRegister readStateText(const std::string& text, const std::string& path);

// Writes the text as the state file; `durable` also waits until the storage
// holds it (for fiscal documents, which must survive a power cut). An error
// text, empty on success; on failure the old file is left as it was.
std::string writeStateFile(const std::string& path, const std::string& text, bool durable);

} // namespace korvant3emu
