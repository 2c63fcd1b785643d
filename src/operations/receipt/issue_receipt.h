#pragma once
// Issuing a receipt whose plan is complete: the document opened, filled, closed
// and reported back to the host.

#include "device/device_session.h"
#include "documents/output_parameters.h"
#include "operations/closing_settlement.h"
#include "operations/component_state.h"
#include "operations/host_values.h"
#include "operations/receipt/receipt_plan.h"

namespace korvant {

// Opens the document in `device`, sends every step, closes it and hands the output
// parameters into argument `outputIndex`; true when all of that succeeded.
// Any failure records its code; a failure between opening and a successful
// close cancels the document. A closing an earlier call left unsettled is
// settled first: the same receipt again, which the register shows made, is
// answered with that receipt and not printed twice.
bool issueReceipt(ComponentState& state, const DeviceSession& device, const HostArgs& args,
                  long outputIndex, const ReceiptPlan& plan);

// "ShiftNumber", "CheckNumber", "FiscalSign" and "DateTime", in that order, of
// the receipt made; the sign and the date only when the register told them.
void writeReceiptOutput(OutputParametersDocument& output, const MadeDocument& made);

} // namespace korvant
