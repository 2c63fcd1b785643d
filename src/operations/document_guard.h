#pragma once
// The guard of a document in the register — a receipt, a correction receipt or a cash
// document — from its opening to its closing. Every way out is accounted for:
// a document it opened and did not close is cancelled when it goes out of scope
// (a refusal, a malformed answer, an exception), and a closing whose outcome is
// unknown is settled with the register before anyone is told it failed.

#include <cstdint>
#include <optional>
#include <string>

#include "device/device_session.h"
#include "device/responses.h"
#include "operations/component_state.h"

namespace korvant {

class DocumentGuard {
public:
    // The document goes into `device`; failures are recorded in `state`.
    DocumentGuard(ComponentState& state, const DeviceSession& device);
    // Cancels the document when it was opened and not closed; the cancel's own
    // outcome never changes the operation's.
    ~DocumentGuard();
    DocumentGuard(const DocumentGuard&) = delete;
    DocumentGuard& operator=(const DocumentGuard&) = delete;

    // Opens the document. A document some earlier failure left open in the
    // register is cancelled first (see stale_document.h). An opening whose
    // answer never came or could not be read may have opened the document after
    // all: it is cancelled. False, with the reason recorded, when no document is open.
    bool open(const std::string& request);

    // Closes the document; the register's record of the fiscal document it made
    // (shift, document number, fiscal sign, date), or nothing with the reason
    // recorded. A closing that ends without a readable answer (the task timed
    // out or lost its connection, the answer was empty or unreadable) may have
    // made the document: the register is asked, and the document counts as made
    // when no document is open any more and the last fiscal document is past the
    // one before the opening. A printed receipt is never reported as failed, and
    // a failed one never as printed.
    std::optional<KorvantResponseQuery> close(const std::string& request);

private:
    std::optional<KorvantResponseQuery> settleClosing(ErrorCode failure);
    std::optional<uint32_t> readLastDocument();

    ComponentState& state_;
    DeviceSession device_;
    bool open_ = false;
    // The last fiscal document before this one: learnt from the opening's answer
    // when it carries it, so the normal path costs no device time.
    std::optional<uint32_t> lastBefore_;
};

} // namespace korvant
