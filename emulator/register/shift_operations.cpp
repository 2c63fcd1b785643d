// Opening and closing shifts, and the settlement report.

#include "protocol/codes.h"
#include "register/fiscal_register.h"
#include "register/printouts.h"

namespace korvant3emu {

void FiscalRegister::openShift(const Cashier& cashier) {
    requireFiscal();
    refuseUnless(!state_.shift.open, extended::shift_open, "the shift is already open");
    requireClockNotBehind();

    state_.shift.open = true;
    state_.shift.id += 1;
    state_.shift.doc_number = 0;
    state_.counters = {};
    state_.cash_in = {};
    state_.cash_out = {};
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printShiftOpening(document, cashier, state_.shift.id);
    issueFiscal(document, nextDocumentDate());
    // Dated by the clock, as the opening's report is.
    state_.shift.opened_at = state_.last.date;
}

void FiscalRegister::closeShift(const Cashier& cashier) {
    requireFiscal();
    refuseUnless(state_.shift.open, extended::shift_closed, "the shift is already closed");
    requireNoDocument();
    requireClockNotBehind();

    // The counters stay as they are until the next shift opens, so the state
    // read after closing still shows the closed shift's totals.
    Layout document = newLayout();
    printOwner(document, state_.registration);
    printShiftTotals(document, "ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ", &cashier, state_);
    issueFiscal(document, nextDocumentDate());
    state_.shift.open = false;
}

void FiscalRegister::reportState() {
    requireFiscal();
    requireNoDocument();
    requireClockNotBehind();

    Layout document = newLayout();
    printOwner(document, state_.registration);
    printSettlementReport(document, state_, shiftState());
    issueFiscal(document, nextDocumentDate());
}

} // namespace korvant3emu
