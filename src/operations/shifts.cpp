// OpenShift and CloseShift.
#include "addin/device_id.h"
#include "operations/driver_methods.h"

namespace korvant {

MethodOutcome openShift(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

MethodOutcome closeShift(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported; // not written yet
    }
    return MethodOutcome::boolean(false);
}

} // namespace korvant
