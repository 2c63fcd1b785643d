#include "operations/receipt/issue_receipt.h"

#include <string>

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

// What the receipt asks the register to print, as one text for its digest.
std::string requestsOf(const ReceiptPlan& plan) {
    std::string requests = plan.open;
    for (const ReceiptStep& step : plan.steps) {
        requests += '\n';
        requests += std::to_string(static_cast<int>(step.call));
        requests += step.request;
    }
    requests += '\n';
    requests += plan.close;
    return requests;
}

} // namespace

bool issueReceipt(ComponentState& state, const DeviceSession& device, const HostArgs& args,
                  long outputIndex, const ReceiptPlan& plan) {
    OutputParametersDocument output(kDocumentOutputParametersRoot);
    const std::string package = packageDigest(requestsOf(plan));
    const EarlierClosing earlier = settleEarlierClosing(state, device, package);
    switch (earlier.verdict) {
    case EarlierClosing::Verdict::AlreadyMade:
        record(state, ErrorCode::NoError);
        writeReceiptOutput(output, earlier.made);
        return handBack(args, outputIndex, output);
    case EarlierClosing::Verdict::StillUnknown:
        return recordUnknownOutcome(state);
    case EarlierClosing::Verdict::GoAhead:
        break;
    }

    DocumentGuard document(state, device, ClosingEvidence::FiscalNumber);
    if (!document.open(plan.open)) {
        return false;
    }
    for (const ReceiptStep& step : plan.steps) {
        if (!record(state, send(device, step))) {
            return false;
        }
    }
    const auto closed = document.close(plan.close, package);
    if (!closed) {
        return false;
    }
    writeReceiptOutput(output, *closed);
    return handBack(args, outputIndex, output);
}

void writeReceiptOutput(OutputParametersDocument& output, const MadeDocument& made) {
    output.setShiftNumber(made.shift);
    output.setCheckNumber(made.number);
    if (made.sign) {
        output.setFiscalSign(*made.sign);
    }
    if (made.date) {
        output.setDateTime(*made.date);
    }
}

} // namespace korvant
