#pragma once
// The guard of a document in the register — a receipt, a correction receipt or a cash
// document — from its opening to its closing. Every way out is accounted for:
// a document it opened and did not close is cancelled when it goes out of scope
// (a refusal, a malformed answer, an exception), and a closing whose outcome is
// unknown is settled with the register before anyone is told it failed.
//
// The guard keeps this machine's record of the document (document_record.h):
// it marks the document as this process's while it fills it, and before the
// closing is sent it writes down what the closing is and what the register held
// before it. A closing the register cannot settle in time is answered with code
// 1 and left in that record, for the next receipt to settle first (see
// settleEarlierClosing): a printed receipt is never answered false without
// that, and a cashier's retry never prints it twice.

#include <cstdint>
#include <optional>
#include <string>

#include "device/device_session.h"
#include "device/responses.h"
#include "operations/closing_settlement.h"
#include "operations/component_state.h"
#include "operations/document_record.h"

namespace korvant {

class DocumentGuard {
public:
    // The document goes into `device`; failures are recorded in `state`. A
    // receipt's closing is settled by fiscal number, a cash document's by the
    // drawer, which `cashChange` (device units, + in, - out) moves.
    DocumentGuard(ComponentState& state, const DeviceSession& device, ClosingEvidence evidence,
                  int64_t cashChange = 0);
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

    // Closes the document whose requests digest to `package`. What it made (for
    // a cash document, an empty record), or nothing with the reason recorded. A
    // closing that ends without a readable answer (the task timed out or lost
    // its connection, the answer was empty or unreadable) may have made the
    // document: it is settled with the register within the settling period,
    // following the closing's task while it still runs, asking again when a
    // read fails, and asking once more when a cancel of a document thought not
    // made fails. A printed receipt is never reported as failed, and a failed
    // one never as printed.
    std::optional<MadeDocument> close(const std::string& request, const std::string& package);

private:
    std::optional<MadeDocument> settleClosing(ErrorCode failure);
    std::optional<MadeDocument> made(const MadeDocument& document);
    std::optional<MadeDocument> notMade(ErrorCode failure);
    // The register cannot tell: code 1, explained, and the record kept.
    std::optional<MadeDocument> unknown();
    // What a finished closing's answer tells: made, refused, or nothing.
    std::optional<ClosingOutcome> finalAnswerOutcome(ErrorCode ended, const std::string& answer,
                                                     MadeDocument& document) const;
    void learnBaseline(const std::string& openingAnswer);

    ComponentState& state_;
    DeviceSession device_;
    DocumentRecords records_;
    bool open_ = false;
    bool unsettled_ = false; // its closing is left to the next receipt
    PendingClosing closing_;
};

// What the closing an earlier call left unsettled means for the document about
// to be made.
struct EarlierClosing {
    enum class Verdict {
        GoAhead,     // nothing pending, or settled and not this document
        AlreadyMade, // this very document was made: answer with it, print nothing
        StillUnknown // this very document may have been made: print nothing
    };
    Verdict verdict = Verdict::GoAhead;
    MadeDocument made;
};

// Settles the closing this machine left unsettled in the register, if there is
// one, before a document whose requests digest to `package` is made: a retry of
// that very document that the register shows made is not printed again.
EarlierClosing settleEarlierClosing(ComponentState& state, const DeviceSession& device,
                                    const std::string& package);

} // namespace korvant
