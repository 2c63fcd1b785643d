#include "operations/closing_settlement.h"

#include "config/log.h"
#include "device/tag_dictionary.h"

namespace korvant {
namespace {

constexpr const char* kSettlingWhere = "AddInKorvant::settleClosing";
// Where tasks are waited for without limit, settling still ends: a cashier waits.
constexpr std::chrono::seconds kLongestSettling{600};

ClosingJudgement outcome(ClosingOutcome verdict) {
    return ClosingJudgement{verdict, false, {}};
}

} // namespace

std::optional<MadeDocument> madeDocumentOf(const KorvantResponseQuery& closed) {
    if (closed.lacksAny({tag::shift_id, tag::fd_number, tag::fd_sign, tag::fd_date})) {
        return std::nullopt;
    }
    return MadeDocument{closed.shift_id, closed.fd_number, closed.fd_sign, closed.fd_date};
}

std::chrono::milliseconds settlingPeriod(const KorvantIntf& library) {
    const auto timeout = library.taskPolicy().timeout;
    return timeout.count() > 0 ? timeout : kLongestSettling;
}

ClosingSettlement::ClosingSettlement(const DeviceSession& device, TaskClock::TimePoint deadline)
    : device_(device), started_(device.library.clock().now()), deadline_(deadline) {}

bool ClosingSettlement::timeLeft() const {
    return device_.library.clock().now() < deadline_;
}

void ClosingSettlement::pause() {
    const TaskClock& clock = device_.library.clock();
    clock.sleep(pollWait(device_.library.taskPolicy(), started_, clock.now(), deadline_));
}

template <typename Read>
bool ClosingSettlement::readUntilKnown(Read read, const KorvantResponse& answer,
                                       std::initializer_list<uint16_t> needed) {
    for (;;) {
        const ErrorCode code = read();
        if (code == ErrorCode::NoError && !answer.lacksAny(needed)) {
            return true;
        }
        if (!timeLeft()) {
            return false;
        }
        pause();
    }
}

bool ClosingSettlement::readStorage(KorvantResponseGetFdState& storage) {
    return readUntilKnown([&] { return device_.library.getFdState(device_.handle, storage); },
                          storage, {tag::fd_last_doc, tag::shift_id, tag::fd_last_date});
}

bool ClosingSettlement::readDrawer(KorvantResponseGetMoney& money) {
    return readUntilKnown([&] { return device_.library.getMoney(device_.handle, money); }, money,
                          {tag::shift_cash});
}

ClosingJudgement ClosingSettlement::judge(const PendingClosing& closing) {
    KorvantResponseGetState registerState;
    if (!readUntilKnown([&] { return device_.library.getState(device_.handle, registerState); },
                        registerState, {tag::dev_context})) {
        KORVANT_LOG(kSettlingWhere, "the register cannot tell whether it holds the document open");
        return outcome(ClosingOutcome::Unknown);
    }
    if (registerState.documentOpen()) {
        return ClosingJudgement{ClosingOutcome::NotMade, true, {}};
    }
    return closing.evidence == ClosingEvidence::FiscalNumber ? byFiscalNumber(closing)
                                                             : byDrawer(closing);
}

// The receipt was made when the register's last fiscal document is past the one
// before it. Nothing else can take a number while a document is open, so the
// receipt is the next number; its sign and date are the register's last ones
// only while it is still the last document.
ClosingJudgement ClosingSettlement::byFiscalNumber(const PendingClosing& closing) {
    auto& [library, handle] = device_;
    if (!closing.lastBefore) {
        KORVANT_LOG(kSettlingWhere,
                    "no fiscal document is known from before the closing: its outcome "
                    "cannot be told");
        return outcome(ClosingOutcome::Unknown);
    }
    KorvantResponseGetFdState storage;
    if (!readStorage(storage)) {
        KORVANT_LOG(kSettlingWhere, "the register cannot tell which document it made last");
        return outcome(ClosingOutcome::Unknown);
    }
    const auto last = static_cast<uint32_t>(storage.fd_last_doc);
    if (last <= *closing.lastBefore) {
        KORVANT_LOG(kSettlingWhere, "no fiscal document after ", *closing.lastBefore, ": not made");
        return outcome(ClosingOutcome::NotMade);
    }
    ClosingJudgement judgement = outcome(ClosingOutcome::Made);
    MadeDocument& made = judgement.made;
    made.number = *closing.lastBefore + 1;
    made.shift = closing.shift.value_or(static_cast<uint16_t>(storage.shift_id));
    if (last == made.number) {
        made.shift = static_cast<uint16_t>(storage.shift_id);
        made.date = storage.fd_last_date;
        // The sign only adds to what the register told: it never decides.
        uint32_t sign = 0;
        if (library.getFdTag(handle, tag::fd_sign, sign) == ErrorCode::NoError) {
            made.sign = sign;
        } else {
            KORVANT_LOG(kSettlingWhere, "the fiscal sign of document ", last, " could not be read");
        }
    }
    KORVANT_LOG(kSettlingWhere, "the register made fiscal document ", made.number, " in shift ",
                made.shift);
    return judgement;
}

// A cash document was made when the drawer moved by its amount.
ClosingJudgement ClosingSettlement::byDrawer(const PendingClosing& closing) {
    if (!closing.cashBefore || closing.cashChange == 0) {
        KORVANT_LOG(kSettlingWhere,
                    "the drawer from before the closing is not known, or the document "
                    "moves nothing: its outcome cannot be told");
        return outcome(ClosingOutcome::Unknown);
    }
    KorvantResponseGetMoney money;
    if (!readDrawer(money)) {
        KORVANT_LOG(kSettlingWhere, "the register cannot tell what its drawer holds");
        return outcome(ClosingOutcome::Unknown);
    }
    if (money.shift_cash_units == *closing.cashBefore + closing.cashChange) {
        KORVANT_LOG(kSettlingWhere, "the drawer moved by the document's amount: made");
        return outcome(ClosingOutcome::Made);
    }
    if (money.shift_cash_units == *closing.cashBefore) {
        KORVANT_LOG(kSettlingWhere, "the drawer did not move: not made");
        return outcome(ClosingOutcome::NotMade);
    }
    KORVANT_LOG(kSettlingWhere, "the drawer moved by another amount: the outcome cannot be told");
    return outcome(ClosingOutcome::Unknown);
}

} // namespace korvant
