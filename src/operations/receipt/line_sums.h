#pragma once
// The sums of one fiscal string as the register is to take them, for receipts
// and correction receipts alike: the unit price before the discount, the
// quantity, the discount, the tax rate code and the VAT, in device units.

#include <cstdint>

#include "documents/receipt_record.h"
#include "operations/receipt/receipt_requests.h"

namespace korvant {

struct LineSums {
    int64_t price = 0; // before the discount
    int64_t quantity = 0;
    int64_t discount = 0;
    int32_t taxCode = 0;
    int64_t vat = 0;
};

// What a zero quantity makes of the unit price, which it cannot divide: a
// receipt refuses it, a correction receipt sends the price after the discount.
enum class ZeroQuantity { Refuse, PriceAsGiven };

// The price is the price after the discount plus the line's discount per unit.
// When the host gives the line's total ("AmountWithDiscount") and the register
// would come to another total with that price and discount, the discount (and,
// when no discount of 0 or more suffices, the price, to the next kopeck that
// does) is chosen so that the register's total is the host's: receipts then
// total what the host's payments were computed from. Only a rounding gap is
// bridged so (totalWithinRoundingGap); a larger one refuses the receipt
// through `units`. The VAT is the host's, or
// when it gave none, computed from the line's total at the line's rate. A rate
// the register has no code for refuses the receipt through `units`.
LineSums lineSums(const ReceiptPosition& position, ZeroQuantity zeroQuantity, ReceiptUnits& units);

} // namespace korvant
