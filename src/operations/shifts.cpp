// OpenShift and CloseShift: the register opens or closes the shift in the
// cashier's name and reports its state afterwards. The register decides whether
// the shift may be opened or closed; its refusals come back as error codes.
#include <optional>
#include <string>

#include "device/responses.h"
#include "documents/input_parameters.h"
#include "documents/output_parameters.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/shift_report.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

constexpr long kInputArgument = 1;
constexpr long kOutputArgument = 2;

// Runs the shift task with the cashier of the input document; the final answer
// when the register did it, nullopt with the reason recorded otherwise. A shift
// is never closed over a document left open: that one is cancelled first.
std::optional<KorvantResponseQuery> runShiftTask(ComponentState& state, const HostArgs& args,
                                                 TaskFn task, std::string_view operation) {
    const InputParametersDocument input(args.text(kInputArgument));
    if (!input.wellFormed()) {
        record(state, ErrorCode::InputParametersError);
        return std::nullopt;
    }
    KorvantIntf& library = *state.library;
    const std::string request = cashierRequest(input).text();
    std::string answer;
    const ErrorCode done = clearingStaleDocument(library, state.currentDevice, operation, [&] {
        return library.runTask(state.currentDevice, task, request, &answer);
    });
    if (!record(state, done)) {
        return std::nullopt;
    }
    KorvantResponseQuery shift;
    if (!record(state, parseResponse(answer, shift))) {
        return std::nullopt;
    }
    return shift;
}

} // namespace

MethodOutcome openShift(ComponentState& state, const HostArgs& args) {
    if (!beginDeviceOperation(state, args)) {
        return MethodOutcome::boolean(false);
    }
    const auto shift =
        runShiftTask(state, args, state.library->functions().fremu_open_shift, "opening the shift");
    if (!shift) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    writeShiftDocument(output, *shift);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

MethodOutcome closeShift(ComponentState& state, const HostArgs& args) {
    if (!beginDeviceOperation(state, args)) {
        return MethodOutcome::boolean(false);
    }
    const auto shift = runShiftTask(state, args, state.library->functions().fremu_close_shift,
                                    "closing the shift");
    if (!shift) {
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
