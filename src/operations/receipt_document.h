#pragma once
// A receipt document in the register: every request written out before the
// document is opened, then opened, filled, closed and reported back to the
// host. Receipts and correction receipts differ only in the requests.

#include <optional>
#include <string>
#include <vector>

#include "device/request.h"
#include "device/responses.h"
#include "documents/output_parameters.h"
#include "documents/receipt_record.h"
#include "operations/component_state.h"
#include "operations/host_values.h"
#include "operations/receipt_requests.h"

namespace korvant {

// The library calls that fill an open document.
enum class ReceiptCall { AddItem, AddText, SetAgent };

struct ReceiptStep {
    ReceiptCall call;
    std::string request;
};

// The request texts of one receipt, in the order they go to the register.
struct ReceiptPlan {
    std::string open;
    std::vector<ReceiptStep> steps;
    std::string close;

    void add(ReceiptCall call, const Request& request) { steps.push_back({call, request.text()}); }
};

// Completes `plan` with the close request; nothing when any value of the
// receipt could not be converted, so that the receipt is refused before the
// register has seen any of it.
std::optional<ReceiptPlan> finishPlan(ReceiptPlan plan, const ReceiptPayments& payments,
                                      ReceiptUnits& units);

// Opens the document, sends every step, closes it and hands the output
// parameters into argument `outputIndex`; true when all of that succeeded.
// Any failure records its code; a failure between opening and a successful
// close cancels the document.
bool issueReceipt(ComponentState& state, const HostArgs& args, long outputIndex,
                  const ReceiptPlan& plan);

// "ShiftNumber", "CheckNumber", "FiscalSign" and "DateTime", in that order,
// from the final answer of the close.
void writeReceiptOutput(OutputParametersDocument& output, const KorvantResponseQuery& closed);

} // namespace korvant
