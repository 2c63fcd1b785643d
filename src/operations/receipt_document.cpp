#include "operations/receipt_document.h"

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

std::optional<ReceiptPlan> finishPlan(ReceiptPlan plan, const ReceiptPayments& payments,
                                      ReceiptUnits& units) {
    plan.close = receiptCloseRequest(payments, units).text();
    if (!units.allConverted()) {
        return std::nullopt;
    }
    return plan;
}

bool issueReceipt(ComponentState& state, const HostArgs& args, long outputIndex,
                  const ReceiptPlan& plan) {
    KorvantIntf& library = *state.library;
    const int32_t handle = state.currentDevice;
    OutputParametersDocument output(kDocumentOutputParametersRoot);

    if (!record(state, openDocument(library, handle, plan.open))) {
        return false;
    }
    OpenDocument document(library, handle);
    for (const ReceiptStep& step : plan.steps) {
        if (!record(state, send(library, handle, step))) {
            return false;
        }
    }
    // A close that did not succeed leaves the document's fate unknown (refused,
    // or an answer that could not be read): the cancel ends it when it is still
    // open, and the register refuses it harmlessly when it is not.
    std::string answer;
    if (!record(state, library.closeDoc(handle, plan.close, &answer))) {
        return false;
    }
    // From here on the receipt is a fiscal document in the register; cancelling
    // is impossible and trying would only confuse the record of what happened.
    document.completed();

    KorvantResponseQuery closed;
    if (!record(state, parseResponse(answer, closed))) {
        return false;
    }
    writeReceiptOutput(output, closed);
    return handBack(args, outputIndex, output);
}

void writeReceiptOutput(OutputParametersDocument& output, const KorvantResponseQuery& closed) {
    output.setShiftNumber(closed.shift_id);
    output.setCheckNumber(closed.fd_number);
    output.setFiscalSign(closed.fd_sign);
    output.setDateTime(closed.fd_date);
}

} // namespace korvant
