#pragma once
// What the register prints for each document, in Russian receipt wording. Each
// function appends to a layout; the fiscal attributes (document number, fiscal
// sign, storage serial, date) come last, once the document has its number.

#include "printer/layout.h"
#include "register/documents.h"
#include "register/register_state.h"

#include <string>

namespace korvant3emu {

// The owner's name, address and place of settlement, centred.
void printOwner(Layout& out, const Registration& registration);

// Where a document stands: its shift, its number within what it is counted in (a receipt
// within the shift, a cash document among cash documents) and its date.
struct DocumentPlace {
    int64_t shift = 0;
    int64_t number = 0;
    int64_t date = 0;
};

// The receipt's VAT is printed at the rates of its date: from 2026 the slots of 20 % and 20/120
// carry 22 % and 22/122.
void printReceipt(Layout& out, const OpenDocument& document, const Settlement& settlement,
                  const DocumentPlace& place);
void printCashDocument(Layout& out, const OpenDocument& document, int64_t amount, int64_t drawer,
                       const DocumentPlace& place);
void printCancelled(Layout& out, const OpenDocument& document);

void printShiftOpening(Layout& out, const Cashier& cashier, int64_t shiftId);
// The shift closing report and the X report share the counters and totals.
void printShiftTotals(Layout& out, const char* title, const Cashier* cashier,
                      const FiscalState& state);
void printSettlementReport(Layout& out, const FiscalState& state, int shiftState);
void printRegistrationReport(Layout& out, const FiscalState& state, const std::string& serial,
                             const int64_t* reason);
void printArchiveClosing(Layout& out, const Cashier& cashier, const FiscalState& state);

void printTextLine(Layout& out, const TextLine& line);

// Registration number, serials, document number, fiscal sign and date.
void printFiscalFooter(Layout& out, const FiscalState& state, const std::string& serial,
                       const LastDocument& document);
// The receipt's check code, as text and as the QR code below it.
void printCheckCode(Layout& out, const std::string& checkCode);
// Serial and date of a document that carries no fiscal attributes.
void printPlainFooter(Layout& out, const std::string& serial, int64_t date);

} // namespace korvant3emu
