#include "operations/receipt/issue_receipt.h"

#include "operations/document_guard.h"
#include "operations/operation_support.h"

namespace korvant {
namespace {

ErrorCode send(KorvantIntf& library, int32_t handle, const ReceiptStep& step) {
    switch (step.call) {
    case ReceiptCall::AddItem:
        return library.addItem(handle, step.request);
    case ReceiptCall::AddText:
        return library.addText(handle, step.request);
    case ReceiptCall::SetAgent:
        return library.setAgent(handle, step.request);
    }
    return ErrorCode::OtherError;
}

} // namespace

bool issueReceipt(ComponentState& state, const HostArgs& args, long outputIndex,
                  const ReceiptPlan& plan) {
    KorvantIntf& library = *state.library;
    const int32_t handle = state.currentDevice;
    OutputParametersDocument output(kDocumentOutputParametersRoot);

    DocumentGuard document(state);
    if (!document.open(plan.open)) {
        return false;
    }
    for (const ReceiptStep& step : plan.steps) {
        if (!record(state, send(library, handle, step))) {
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
