#pragma once
// What the cashier of the demonstration hands the driver during her day, as 1C:Enterprise
// writes it: the cashier's input parameters, the owner's registration details, the receipt
// packages of a sale, a sale return and a correction, a text document, the cash movements.

#include <ctime>
#include <string>
#include <string_view>

namespace korvant::host {

// The input parameter document naming the cashier.
std::string cashierParameters();

// The registration table the register gave (GetDataKKT) with the owner's details filled in:
// what OperationFN takes to register the register.
std::string registrationTable(std::string_view tableFromRegister);

// A sale: goods at 10 % and 20 % VAT, a discount, a marked item (its code in GoodCodeData as
// base64), an item sold as a commission agent with the vendor's data, a text line and a QR code,
// paid partly in cash (with change) and partly by card.
std::string saleReceipt();
// The return of the marked item of the sale, paid back in cash.
std::string saleReturnReceipt();
// A correction of the cashier's own accord for goods sold without a receipt the day before
// `now`, paid in cash.
std::string correctionReceipt(std::time_t now);

// A non-fiscal text document: lines of text and a QR code.
std::string textDocument();

// The morning's change put into the drawer and the collection taken out in the evening.
inline constexpr double kCashIn = 3000;
inline constexpr double kCashOut = -2500;

} // namespace korvant::host
