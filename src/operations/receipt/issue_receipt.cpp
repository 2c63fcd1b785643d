#include "operations/receipt/issue_receipt.h"

#include "operations/document_guard.h"
#include "operations/operation_support.h"

namespace korvant {
namespace {

ErrorCode send(const DeviceSession& device, const ReceiptStep& step) {
    switch (step.call) {
    case ReceiptCall::AddItem:
        return device.library.addItem(device.handle, step.request);
    case ReceiptCall::AddText:
        return device.library.addText(device.handle, step.request);
    case ReceiptCall::SetAgent:
        return device.library.setAgent(device.handle, step.request);
    }
    return ErrorCode::OtherError;
}

} // namespace

bool issueReceipt(ComponentState& state, const DeviceSession& device, const HostArgs& args,
                  long outputIndex, const ReceiptPlan& plan) {
    OutputParametersDocument output(kDocumentOutputParametersRoot);

    DocumentGuard document(state, device);
    if (!document.open(plan.open)) {
        return false;
    }
    for (const ReceiptStep& step : plan.steps) {
        if (!record(state, send(device, step))) {
            return false;
        }
    }
    const auto closed = document.close(plan.close);
    if (!closed) {
        return false;
    }
    writeReceiptOutput(output, *closed);
    return handBack(args, outputIndex, output);
}

void writeReceiptOutput(OutputParametersDocument& output, const KorvantResponseQuery& closed) {
    output.setShiftNumber(closed.shift_id);
    output.setCheckNumber(closed.fd_number);
    output.setFiscalSign(closed.fd_sign);
    output.setDateTime(closed.fd_date);
}

} // namespace korvant
