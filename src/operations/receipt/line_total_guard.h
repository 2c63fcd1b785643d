#pragma once
// Whether a fiscal string's stated total agrees with its price and quantity.

#include "documents/receipt_record.h"

namespace korvant {

// True when the line has no "AmountWithDiscount", or when it differs from what
// the line's own price and quantity make (price after the discount × quantity,
// which is the unit price before the discount × quantity − the discount) by no
// more than a rounding gap: one kopeck per unit of quantity, and at least one
// kopeck. Clients round the price after the discount to the kopeck from the
// total, which leaves at most half a kopeck per unit; a larger difference is a
// document that contradicts itself, which no choice of price and discount can
// honour without printing a line the client never priced. False as well when
// a value cannot be converted or the product leaves 64 bits.
bool totalWithinRoundingGap(const ReceiptPosition& position);

} // namespace korvant
