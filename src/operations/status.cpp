// GetCurrentStatus and ReportCurrentStatusOfSettlements: the register's state
// reported to the host without changing it.
#include <string>

#include "device/responses.h"
#include "device/tag_dictionary.h"
#include "documents/output_parameters.h"
#include "operations/device_id.h"
#include "operations/driver_methods.h"
#include "operations/operation_support.h"
#include "operations/shift_report.h"
#include "operations/stale_document.h"

namespace korvant {
namespace {

// A refused cash query tells no balance, whatever its answer carries.
constexpr int32_t kRefused = 3;

} // namespace

MethodOutcome getCurrentStatus(ComponentState& state, const HostArgs& args) {
    const auto device = beginDeviceOperation(state, args);
    if (!device) {
        return MethodOutcome::boolean(false);
    }
    if (!inputReadable(state, args, kInputArgument)) {
        return MethodOutcome::boolean(false);
    }
    KorvantResponseGetFdState storage;
    const ErrorCode asked = device->library.getFdState(device->handle, storage);
    if (!record(state, reportable(asked, storage,
                                  {tag::shift_id, tag::fd_shift_state, tag::fd_last_doc,
                                   tag::shift_doc_number, tag::fd_waiting, tag::fd_waiting_document,
                                   tag::fd_waiting_date}))) {
        return MethodOutcome::boolean(false);
    }
    // The cash query judges its answer by its own rules: only R 1, 4 and 7 fail
    // it, and a refusal gives no balance to report.
    KorvantResponseGetMoney money;
    const ErrorCode counted = device->library.getMoney(device->handle, money);
    if (counted == ErrorCode::NoError && money.response == kRefused) {
        money.absent.push_back(tag::shift_cash);
    }
    if (!record(state, reportable(counted, money, {tag::shift_cash}))) {
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
    if (!inputReadable(state, args, kInputArgument)) {
        return MethodOutcome::boolean(false);
    }
    KorvantResponseQuery report;
    const ErrorCode reported = clearingStaleDocument(state, *device, "the settlement report", [&] {
        return device->library.reportState(device->handle, report);
    });
    if (!record(state, reportable(reported, report,
                                  {tag::fd_shift_state, tag::fd_waiting, tag::fd_waiting_document,
                                   tag::fd_waiting_date, tag::shift_cash}))) {
        return MethodOutcome::boolean(false);
    }
    OutputParametersDocument output;
    output.setShiftState(report.fd_shift_state);
    writeBacklog(output, report.fd_waiting, report.fd_waiting_document, report.fd_waiting_date);
    output.setAmount(output_attr::CashBalance, report.shift_cash);
    return MethodOutcome::boolean(handBack(args, kOutputArgument, output));
}

} // namespace korvant
