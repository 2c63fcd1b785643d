// PrintTextDocument, CashInOutcome, PrintXReport and GetLineLength.
#include "addin/device_id.h"
#include "operations/driver_methods.h"

namespace korvant {

MethodOutcome printTextDocument(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

MethodOutcome cashInOutcome(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

MethodOutcome printXReport(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

MethodOutcome getLineLength(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

} // namespace korvant
