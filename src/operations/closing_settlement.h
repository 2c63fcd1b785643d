#pragma once
// Telling from the register's own state whether a document's closing made the
// document, when the closing's answer never came or could not be read. The
// register is asked whether it still holds the document open, and then by the
// closing's evidence: a receipt by its last fiscal document, a cash document by
// its drawer. A read that fails is tried again until the settling's deadline; an
// outcome the register cannot tell by then stays unknown, never "made" merely
// because no document is open.

#include <chrono>
#include <cstdint>
#include <optional>

#include "device/device_session.h"
#include "device/responses.h"
#include "operations/document_record.h"

namespace korvant {

// The fiscal document a closing made, as the host is told of it.
struct MadeDocument {
    uint16_t shift = 0;
    uint32_t number = 0;
    std::optional<uint32_t> sign; // none when the register could not tell it
    std::optional<int64_t> date;  // none when the register could not tell it
};

// The document a closing's final answer names; nothing when the answer lacks
// any of the shift, the number, the fiscal sign or the date.
std::optional<MadeDocument> madeDocumentOf(const KorvantResponseQuery& closed);

enum class ClosingOutcome { Made, NotMade, Unknown };

struct ClosingJudgement {
    ClosingOutcome outcome = ClosingOutcome::Unknown;
    bool documentOpen = false; // not made, and the register still holds it open
    MadeDocument made;         // for a receipt that was made
};

// How long a closing is settled for: as long as a task may take (ten minutes
// where tasks are waited for without limit).
std::chrono::milliseconds settlingPeriod(const KorvantIntf& library);

class ClosingSettlement {
public:
    // Reads go to `device` until `deadline` (at least once each).
    ClosingSettlement(const DeviceSession& device, TaskClock::TimePoint deadline);

    // What the register shows of `closing` now.
    ClosingJudgement judge(const PendingClosing& closing);
    // The register's last fiscal document (and the shift), or the drawer, read
    // as judge reads them; false when the register could not tell by the deadline.
    bool readStorage(KorvantResponseGetFdState& storage);
    bool readDrawer(KorvantResponseGetMoney& money);

    bool timeLeft() const;
    // Waits a little before the register is asked again.
    void pause();

private:
    // Runs `read` (a call returning an ErrorCode) until it succeeds with every
    // member of `needed` in `answer`, or the deadline has passed.
    template <typename Read>
    bool readUntilKnown(Read read, const KorvantResponse& answer,
                        std::initializer_list<uint16_t> needed);
    ClosingJudgement byFiscalNumber(const PendingClosing& closing);
    ClosingJudgement byDrawer(const PendingClosing& closing);

    DeviceSession device_;
    TaskClock::TimePoint started_;
    TaskClock::TimePoint deadline_;
};

} // namespace korvant
