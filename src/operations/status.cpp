// GetCurrentStatus and ReportCurrentStatusOfSettlements: the register's state
// reported to the host without changing it.
#include <string>

#include "device/responses.h"
#include "documents/output_parameters.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/shift_report.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

constexpr long kOutputArgument = 2;

} // namespace

MethodOutcome getCurrentStatus(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    KorvantResponseGetFdState storage;
    if (!record(state, device->library.getFdState(device->handle, storage))) {
        return MethodOutcome::boolean(false);
    }
    // The cash query judges its answer by its own rules: only R 1, 4 and 7 fail it.
    KorvantResponseGetMoney money;
    if (!record(state, device->library.getMoney(device->handle, money))) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    output.setUnsigned(output_attr::ShiftNumber, static_cast<uint32_t>(storage.shift_id));
    output.setShiftState(storage.fd_shift_state);
    output.setCheckNumber(static_cast<uint32_t>(storage.fd_last_doc));
    output.setUnsigned(output_attr::ShiftClosingCheckNumber,
                       static_cast<uint32_t>(storage.shift_doc_number));
    writeBacklog(output, storage.fd_waiting, storage.fd_waiting_document, storage.fd_waiting_date);
    output.setAmount(output_attr::CashBalance, money.shift_cash);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

MethodOutcome reportCurrentStatusOfSettlements(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    KorvantResponseQuery report;
    const ErrorCode reported = clearingStaleDocument(*device, "the settlement report", [&] {
        return device->library.reportState(device->handle, report);
    });
    if (!record(state, reported)) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    output.setShiftState(report.fd_shift_state);
    writeBacklog(output, report.fd_waiting, report.fd_waiting_document, report.fd_waiting_date);
    output.setAmount(output_attr::CashBalance, report.shift_cash);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

} // namespace korvant
