#include "operations/document_guard.h"

#include "config/log.h"
#include "device/tag_dictionary.h"
#include "operations/operation_support.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

constexpr const char* kWhere = "AddInKorvant::closeDocument";

// Closings whose outcome the register alone knows: the task was accepted, or may
// have been, and then no answer said how it ended. A refusal in the register's
// own words is no such case.
bool outcomeUnknown(ErrorCode closing) {
    return closing == ErrorCode::ProtocolError || closing == ErrorCode::InvalidDeviceId;
}

// The fiscal sign of the register's last fiscal document.
std::optional<uint32_t> readLastSign(const DeviceSession& device) {
    uint32_t sign = 0;
    if (device.library.getFdTag(device.handle, tag::fd_sign, sign) != ErrorCode::NoError) {
        return std::nullopt;
    }
    return sign;
}

} // namespace

DocumentGuard::DocumentGuard(ComponentState& state, const DeviceSession& device)
    : state_(state), device_(device) {}

DocumentGuard::~DocumentGuard() {
    if (open_) {
        device_.library.cancelDoc(device_.handle);
    }
}

bool DocumentGuard::open(const std::string& request) {
    std::string answer;
    const ErrorCode opened = clearingStaleDocument(device_, "opening a document", [&] {
        return device_.library.openDoc(device_.handle, request, &answer);
    });
    if (opened == ErrorCode::ProtocolError) {
        device_.library.cancelDoc(device_.handle);
    }
    if (!record(state_, opened)) {
        return false;
    }
    open_ = true;
    lastBefore_ = unsignedMember(answer, tag::fd_number);
    if (!lastBefore_) {
        // A register whose answers do not carry the number is asked once; what
        // a closing gone silent made can be told only against it.
        lastBefore_ = readLastDocument();
    }
    return true;
}

std::optional<KorvantResponseQuery> DocumentGuard::close(const std::string& request) {
    KorvantResponseQuery closed;
    const ErrorCode closing = device_.library.closeDoc(device_.handle, request, closed);
    if (closing == ErrorCode::NoError) {
        open_ = false;
        return closed;
    }
    if (!outcomeUnknown(closing)) {
        record(state_, closing);
        return std::nullopt;
    }
    return settleClosing(closing);
}

std::optional<KorvantResponseQuery> DocumentGuard::settleClosing(ErrorCode failure) {
    KORVANT_LOG(kWhere, "the closing ended without a readable answer (code ",
                static_cast<int32_t>(failure), "); asking the register");
    KorvantResponseGetState registerState;
    if (device_.library.getState(device_.handle, registerState) != ErrorCode::NoError) {
        KORVANT_LOG(kWhere, "the register cannot tell whether the document was made");
        record(state_, failure);
        return std::nullopt;
    }
    if (registerState.documentOpen()) {
        KORVANT_LOG(kWhere, "the document is still open: not made, cancelled");
        record(state_, failure);
        return std::nullopt;
    }
    KorvantResponseGetFdState storage;
    const auto sign = device_.library.getFdState(device_.handle, storage) == ErrorCode::NoError
                          ? readLastSign(device_)
                          : std::nullopt;
    if (!sign) {
        KORVANT_LOG(kWhere, "the register cannot tell which document it made last");
        record(state_, failure);
        return std::nullopt;
    }
    const auto last = static_cast<uint32_t>(storage.fd_last_doc);
    if (lastBefore_ && last <= *lastBefore_) {
        KORVANT_LOG(kWhere, "no fiscal document after ", *lastBefore_, ": not made");
        record(state_, failure);
        return std::nullopt;
    }
    // Closed, not cancelled: nothing is left open.
    open_ = false;
    KORVANT_LOG(kWhere, "the register made fiscal document ", last, " in shift ", storage.shift_id);
    KorvantResponseQuery made;
    made.shift_id = static_cast<uint16_t>(storage.shift_id);
    made.fd_number = last;
    made.fd_sign = *sign;
    made.fd_date = storage.fd_last_date;
    made.fd_shift_state = static_cast<uint8_t>(storage.fd_shift_state);
    record(state_, ErrorCode::NoError);
    return made;
}

std::optional<uint32_t> DocumentGuard::readLastDocument() {
    KorvantResponseGetFdState storage;
    if (device_.library.getFdState(device_.handle, storage) != ErrorCode::NoError) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(storage.fd_last_doc);
}

} // namespace korvant
