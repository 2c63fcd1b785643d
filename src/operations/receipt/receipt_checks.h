#pragma once
// Values a receipt cannot have. A value the register has no code for, or a sum
// that cannot be negative, would otherwise be sent wrapped into another code
// (taxation system 32 as the general system, an agent type of -5 as -4) or left
// for the register to refuse after the document was opened. Each check is one
// small function; a receipt failing any of them is refused before anything is sent.

#include "documents/receipt_record.h"

namespace korvant {

// The taxation system, and the agent type where agent or vendor data goes with it.
bool receiptCodesKnown(const ReceiptRecord& receipt);

// A fiscal string's quantity, price and line total are not negative (a negative
// discount, a client's mark-up, is a value), and its payment method, calculation
// subject and agent type are codes the register knows.
bool positionValuesKnown(const ReceiptPosition& position);

// No payment is negative.
bool paymentsValid(const ReceiptPayments& payments);

// All of the above for the receipt and every fiscal string in it.
bool receiptValuesValid(const ReceiptRecord& receipt);

} // namespace korvant
