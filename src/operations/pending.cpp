// Device operations not written yet: they refuse the way an unloaded library does.
#include "addin/device_id.h"
#include "operations/driver_methods.h"

namespace korvant {
namespace {
MethodOutcome pending(ComponentState& state, const HostArgs& args) {
    if (beginDeviceOperation(state, args)) {
        state.lastError = ErrorCode::Unsupported;
    }
    return MethodOutcome::boolean(false);
}
} // namespace

MethodOutcome openDevice(ComponentState& s, const HostArgs& a) {
    s.lastError = s.library->loaded() ? ErrorCode::Unsupported : ErrorCode::DriverLoadError;
    (void)a;
    return MethodOutcome::boolean(false);
}
MethodOutcome closeDevice(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome deviceTest(ComponentState& s, const HostArgs& a) {
    return openDevice(s, a);
}
MethodOutcome getDataKKT(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome operationFN(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome openShift(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome closeShift(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome processCheck(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome processCorrectionCheck(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome getCurrentStatus(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome reportCurrentStatusOfSettlements(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome printTextDocument(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome cashInOutcome(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome printXReport(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}
MethodOutcome getLineLength(ComponentState& s, const HostArgs& a) {
    return pending(s, a);
}

} // namespace korvant
