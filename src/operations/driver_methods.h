#pragma once
// The driver methods that work on the register, one unit per group.

#include "operations/method_outcome.h"

namespace korvant {

// Device connection
MethodOutcome openDevice(ComponentState&, const HostArgs&);
MethodOutcome closeDevice(ComponentState&, const HostArgs&);
MethodOutcome deviceTest(ComponentState&, const HostArgs&);
// Registration data
MethodOutcome getDataKKT(ComponentState&, const HostArgs&);
MethodOutcome operationFN(ComponentState&, const HostArgs&);
// Shifts
MethodOutcome openShift(ComponentState&, const HostArgs&);
MethodOutcome closeShift(ComponentState&, const HostArgs&);
// Receipts
MethodOutcome processCheck(ComponentState&, const HostArgs&);
MethodOutcome processCorrectionCheck(ComponentState&, const HostArgs&);
// Status reports
MethodOutcome getCurrentStatus(ComponentState&, const HostArgs&);
MethodOutcome reportCurrentStatusOfSettlements(ComponentState&, const HostArgs&);
// Printing and cash
MethodOutcome printTextDocument(ComponentState&, const HostArgs&);
MethodOutcome cashInOutcome(ComponentState&, const HostArgs&);
MethodOutcome printXReport(ComponentState&, const HostArgs&);
MethodOutcome getLineLength(ComponentState&, const HostArgs&);

} // namespace korvant
