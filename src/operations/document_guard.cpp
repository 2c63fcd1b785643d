#include "operations/document_guard.h"

#include <algorithm>

#include "config/log.h"
#include "device/tag_dictionary.h"
#include "operations/operation_support.h"
#include "operations/stale_document.h"
#include "platform/process_identity.h"

namespace korvant {
namespace {

constexpr const char* kClosingWhere = "AddInKorvant::closeDocument";

// Closings whose outcome the register alone knows: the task was accepted, or may
// have been, and then no answer said how it ended. A refusal in the register's
// own words is no such case.
bool outcomeUnknown(ErrorCode closing) {
    return closing == ErrorCode::ProtocolError || closing == ErrorCode::InvalidDeviceId;
}

// This process's mark on the document it fills.
DocumentRecord ownMark(bool active, const std::optional<PendingClosing>& closing = std::nullopt) {
    return DocumentRecord{currentProcess(), active, closing};
}

} // namespace

DocumentGuard::DocumentGuard(ComponentState& state, const DeviceSession& device,
                             ClosingEvidence evidence, int64_t cashChange)
    : state_(state), device_(device), records_(state) {
    closing_.evidence = evidence;
    closing_.cashChange = cashChange;
}

DocumentGuard::~DocumentGuard() {
    if (open_) {
        device_.library.cancelDoc(device_.handle);
    }
    // The document is closed, cancelled or was never opened: nothing is left to
    // remember, unless its closing could not be settled.
    if (!unsettled_) {
        records_.removeOwn();
    }
}

bool DocumentGuard::open(const std::string& request) {
    // Marked before the register has it, so that another 1C session of this
    // machine never takes it for stale; but never over the mark of a live
    // process filling a document of its own (the register then refuses this
    // opening, and that document is left alone).
    const bool othersDocument = filledByAnotherProcess(records_.read());
    if (!othersDocument) {
        records_.write(ownMark(true));
    }
    std::string answer;
    const ErrorCode opened = clearingStaleDocument(state_, device_, "opening a document", [&] {
        return device_.library.openDoc(device_.handle, request, &answer);
    });
    if (opened == ErrorCode::ProtocolError) {
        device_.library.cancelDoc(device_.handle);
    }
    if (!record(state_, opened)) {
        return false;
    }
    open_ = true;
    if (othersDocument) {
        records_.write(ownMark(true));
    }
    learnBaseline(answer);
    return true;
}

// What the closing is judged against should its answer be lost: learnt from the
// opening's answer when it carries it, so the normal path costs no device time;
// a register whose answers do not is asked, and asked again for a few seconds
// while it fails (a receipt is not held up for long by a number it may never need).
void DocumentGuard::learnBaseline(const std::string& openingAnswer) {
    constexpr std::chrono::milliseconds kPatience{5000};
    auto& library = device_.library;
    ClosingSettlement settlement(device_, library.clock().now() +
                                              std::min(kPatience, settlingPeriod(library)));
    if (closing_.evidence == ClosingEvidence::Drawer) {
        closing_.cashBefore = wideMember(openingAnswer, tag::shift_cash);
        KorvantResponseGetMoney money;
        if (!closing_.cashBefore && settlement.readDrawer(money)) {
            closing_.cashBefore = money.shift_cash_units;
        }
        return;
    }
    closing_.lastBefore = unsignedMember(openingAnswer, tag::fd_number);
    if (const auto shift = wideMember(openingAnswer, tag::shift_id);
        shift && *shift >= 0 && *shift <= UINT16_MAX) {
        closing_.shift = static_cast<uint16_t>(*shift);
    }
    KorvantResponseGetFdState storage;
    if (!closing_.lastBefore && settlement.readStorage(storage)) {
        closing_.lastBefore = static_cast<uint32_t>(storage.fd_last_doc);
        closing_.shift = static_cast<uint16_t>(storage.shift_id);
    }
}

std::optional<MadeDocument> DocumentGuard::close(const std::string& request,
                                                 const std::string& package) {
    // Written down before the register sees the closing: a 1C killed from here
    // on leaves what the next receipt needs to settle it.
    closing_.package = package;
    records_.write(ownMark(true, closing_));
    auto& [library, handle] = device_;
    ErrorCode closing = ErrorCode::NoError;
    MadeDocument document;
    if (closing_.evidence == ClosingEvidence::Drawer) {
        closing = library.closeDoc(handle, request);
    } else {
        KorvantResponseQuery closed;
        closing = library.closeDoc(handle, request, closed);
        const auto named = madeDocumentOf(closed);
        if (closing == ErrorCode::NoError && !named) {
            // An answer that does not name what was made records nothing.
            closing = ErrorCode::ProtocolError;
        }
        document = named.value_or(MadeDocument{});
    }
    if (closing == ErrorCode::NoError) {
        return made(document);
    }
    if (!outcomeUnknown(closing)) {
        return notMade(closing);
    }
    return settleClosing(closing);
}

std::optional<ClosingOutcome> DocumentGuard::finalAnswerOutcome(ErrorCode ended,
                                                                const std::string& answer,
                                                                MadeDocument& document) const {
    if (ended != ErrorCode::NoError) {
        // A refusal at the end is the register's word that it did not close.
        return outcomeUnknown(ended) ? std::nullopt : std::optional(ClosingOutcome::NotMade);
    }
    if (closing_.evidence == ClosingEvidence::Drawer) {
        return ClosingOutcome::Made;
    }
    KorvantResponseQuery closed;
    if (parseResponse(answer, closed) != ErrorCode::NoError) {
        return std::nullopt;
    }
    const auto named = madeDocumentOf(closed);
    if (!named) {
        return std::nullopt;
    }
    document = *named;
    return ClosingOutcome::Made;
}

std::optional<MadeDocument> DocumentGuard::settleClosing(ErrorCode failure) {
    KORVANT_LOG(kClosingWhere, "the closing ended without a readable answer (code ",
                static_cast<int32_t>(failure), "); settling it with the register");
    auto& [library, handle] = device_;
    const auto period = settlingPeriod(library);
    const auto deadline = library.clock().now() + period;
    ClosingSettlement settlement(device_, deadline);
    for (;;) {
        // A closing still running is followed to its end: its own answer tells.
        // It is followed a quarter of the period at a time, and the register is
        // looked at in between: one that shows the document made needs no more.
        if (const auto task = library.unfinishedTask()) {
            std::string answer;
            const auto slice = std::min(deadline, library.clock().now() + period / 4);
            const ErrorCode ended = library.awaitTask(handle, *task, slice, &answer);
            MadeDocument document;
            const auto told = finalAnswerOutcome(ended, answer, document);
            if (told == ClosingOutcome::Made) {
                return made(document);
            }
            if (told == ClosingOutcome::NotMade) {
                return notMade(ended);
            }
        }
        const ClosingJudgement judgement = settlement.judge(closing_);
        if (judgement.outcome == ClosingOutcome::Made) {
            return made(judgement.made);
        }
        if (judgement.outcome == ClosingOutcome::Unknown) {
            return unknown();
        }
        if (!judgement.documentOpen) {
            open_ = false; // gone without a closing: nothing to cancel
            return notMade(failure);
        }
        // A register still working on the closing shows its document open until
        // it ends: cancelling it then would report failed a receipt it goes on to print.
        if (library.unfinishedTask()) {
            if (!settlement.timeLeft()) {
                return unknown();
            }
            settlement.pause();
            continue;
        }
        break;
    }
    // Not made, and still open: cancelled. A cancel that fails may mean the
    // closing ended after all (no document is open to cancel): the register is
    // asked once more.
    open_ = false;
    const ErrorCode cancelled = library.cancelDoc(handle);
    if (cancelled == ErrorCode::NoError) {
        KORVANT_LOG(kClosingWhere, "the document is still open: not made, cancelled");
        return notMade(failure);
    }
    KORVANT_LOG(kClosingWhere, "the document was not closed and its cancel failed (code ",
                static_cast<int32_t>(cancelled), "); asking the register again");
    const ClosingJudgement again = settlement.judge(closing_);
    switch (again.outcome) {
    case ClosingOutcome::Made:
        return made(again.made);
    case ClosingOutcome::NotMade:
        return notMade(failure);
    case ClosingOutcome::Unknown:
        break;
    }
    return unknown();
}

std::optional<MadeDocument> DocumentGuard::made(const MadeDocument& document) {
    open_ = false; // closed, not cancelled
    record(state_, ErrorCode::NoError);
    return document;
}

std::optional<MadeDocument> DocumentGuard::notMade(ErrorCode failure) {
    record(state_, failure);
    return std::nullopt;
}

std::optional<MadeDocument> DocumentGuard::unknown() {
    KORVANT_LOG(kClosingWhere,
                "the register cannot tell whether the document was made: it is left to "
                "the next receipt to settle");
    // Never cancelled: the closing may still complete.
    open_ = false;
    unsettled_ = true;
    records_.write(ownMark(false, closing_));
    recordUnknownOutcome(state_);
    return std::nullopt;
}

EarlierClosing settleEarlierClosing(ComponentState& state, const DeviceSession& device,
                                    const std::string& package) {
    constexpr const char* kEarlier = "AddInKorvant::settleEarlierClosing";
    DocumentRecords records(state);
    const auto record = records.read();
    if (!record || !record->closing || filledByAnotherProcess(record)) {
        return {};
    }
    const PendingClosing& closing = *record->closing;
    const bool same = closing.package == package;
    KORVANT_LOG(kEarlier, "settling a closing an earlier call left unknown",
                same ? " (the same document again)" : "");
    ClosingSettlement settlement(device, device.library.clock().now());
    const ClosingJudgement judgement = settlement.judge(closing);
    switch (judgement.outcome) {
    case ClosingOutcome::Made:
        records.remove();
        KORVANT_LOG(kEarlier, "the earlier document was made");
        if (same) {
            return {EarlierClosing::Verdict::AlreadyMade, judgement.made};
        }
        return {};
    case ClosingOutcome::NotMade:
        // Still open, it is cancelled as stale when the next document opens.
        records.remove();
        KORVANT_LOG(kEarlier, "the earlier document was not made");
        return {};
    case ClosingOutcome::Unknown:
        break;
    }
    const bool settleable = closing.evidence == ClosingEvidence::FiscalNumber
                                ? closing.lastBefore.has_value()
                                : closing.cashBefore.has_value() && closing.cashChange != 0;
    if (!settleable) {
        // Nothing can ever settle it: forgotten, once this retry is told again.
        KORVANT_LOG(kEarlier, "the earlier closing can never be settled: forgotten");
        records.remove();
    }
    if (same) {
        return {EarlierClosing::Verdict::StillUnknown, {}};
    }
    return {};
}

} // namespace korvant
