// OpenShift and CloseShift: the register opens or closes the shift in the
// cashier's name and reports its state afterwards. The register decides whether
// the shift may be opened or closed; its refusals come back as error codes.
#include <optional>
#include <string>

#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "documents/input_parameters.h"
#include "documents/output_parameters.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/shift_report.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

// Opening or closing the shift, with the register's record of it.
using ShiftTask = ErrorCode (KorvantIntf::*)(int32_t, const std::string&, KorvantResponseQuery&);

// Runs the shift task with the cashier of the input document; the register's
// record when it did it and gave every member of the shift's document, nullopt
// with the reason recorded otherwise. A shift is never closed over a document
// left open: that one is cancelled first.
std::optional<KorvantResponseQuery> runShiftTask(ComponentState& state, const DeviceSession& device,
                                                 const HostArgs& args, ShiftTask task,
                                                 std::string_view operation) {
    const InputParametersDocument input(args.text(kInputArgument));
    if (!input.wellFormed()) {
        record(state, ErrorCode::InputParametersError);
        return std::nullopt;
    }
    const std::string request = cashierRequest(input).text();
    KorvantResponseQuery shift;
    const ErrorCode done = clearingStaleDocument(state, device, operation, [&] {
        return (device.library.*task)(device.handle, request, shift);
    });
    if (!record(state, reportable(done, shift,
                                  {tag::fd_date, tag::shift_id, tag::fd_shift_state, tag::fd_error,
                                   tag::fd_fail, tag::fd_overflow}))) {
        return std::nullopt;
    }
    return shift;
}

} // namespace

MethodOutcome openShift(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const auto shift =
        runShiftTask(state, *device, args, &KorvantIntf::openShift, "opening the shift");
    if (!shift) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    writeShiftDocument(output, *shift);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

MethodOutcome closeShift(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    const auto shift =
        runShiftTask(state, *device, args, &KorvantIntf::closeShift, "closing the shift");
    if (!shift) {
        return MethodOutcome::boolean(false);
    }
    // The closing also reports the drawer, the backlog and the shift's counters.
    if (!record(state, reportable(ErrorCode::NoError, *shift,
                                  {tag::shift_cash, tag::fd_waiting, tag::fd_waiting_document,
                                   tag::fd_waiting_date, tag::sales, tag::buys, tag::sales_return,
                                   tag::buys_return, tag::sales_correction, tag::buys_correction,
                                   tag::check_count, tag::check_total}))) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    writeShiftDocument(output, *shift);
    output.setAmount(output_attr::CashBalance, shift->shift_cash);
    writeBacklog(output, shift->fd_waiting, shift->fd_waiting_document, shift->fd_waiting_date);
    writeShiftCounters(output, *shift);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

} // namespace korvant
