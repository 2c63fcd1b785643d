#pragma once
// What this machine remembers of the document in a register, kept in the
// component's data folder, one file per register (by its serial number): which
// process is filling the document, and, once its closing was sent, what the
// closing was and what the register held before it. The file outlives the
// process: a 1C killed between a closing and its settlement leaves it for the
// next receipt to settle, and another 1C session on the same till reads it
// before it takes an open document for one nobody will finish. The register of
// another machine's connection leaves no file here and cannot be told apart.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "operations/component_state.h"
#include "platform/process_identity.h"

namespace korvant {

// How a closing whose answer was lost is told made or not made: a receipt by
// the register's last fiscal document, a cash document by the drawer (a
// register need not number cash documents).
enum class ClosingEvidence { FiscalNumber, Drawer };

// A closing sent to the register whose outcome is not settled yet.
struct PendingClosing {
    ClosingEvidence evidence = ClosingEvidence::FiscalNumber;
    std::optional<uint32_t> lastBefore; // the last fiscal document before it
    std::optional<uint16_t> shift;      // the shift it was made in
    std::optional<int64_t> cashBefore;  // the drawer before it, in device units
    int64_t cashChange = 0;             // what it moves into (+) or out of (-) the drawer
    std::string package;                // the digest of what it asked the register to print
};

struct DocumentRecord {
    ProcessIdentity process; // the process that opened the document
    bool active = false;     // that process is working on it at this moment
    std::optional<PendingClosing> closing;
};

// Whether the record marks a document that a live process of this machine,
// other than this one, is filling at this moment.
bool filledByAnotherProcess(const std::optional<DocumentRecord>& record);

// The digest of a document's requests, to tell a cashier's retry of the same
// receipt from another one: stable across processes and builds.
std::string packageDigest(std::string_view requests);

class DocumentRecords {
public:
    explicit DocumentRecords(ComponentState& state);

    // The record of the register's document; nothing when there is none or it
    // cannot be read.
    std::optional<DocumentRecord> read() const;
    // Stores the record; when the folder cannot take it, says why in the log and
    // keeps it for this process at least. A record of a closing waits until the
    // storage holds it (it must survive a power cut); a mere mark of the process
    // filling a document only has to survive that process.
    void write(const DocumentRecord& record);
    // Forgets the record.
    void remove();
    // Forgets the record when it is this process's own (another process's live
    // marker is never taken away).
    void removeOwn();

private:
    ComponentState& state_;
    PathText path_;
};

} // namespace korvant
