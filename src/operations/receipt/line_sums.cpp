#include "operations/receipt/line_sums.h"

#include <optional>

#include "device/item_sums.h"
#include "operations/receipt/device_codes.h"
#include "operations/receipt/line_total_guard.h"

namespace korvant {
namespace {

// The host sends the price after the discount and the discount of the whole
// line; the register wants the unit price before the discount.
int64_t unitPriceBeforeDiscount(const ReceiptPosition& position, ZeroQuantity zeroQuantity,
                                ReceiptUnits& units) {
    if (position.quantity != 0.0) {
        return units.amount(position.priceWithDiscount +
                            position.discountAmount / position.quantity);
    }
    return zeroQuantity == ZeroQuantity::Refuse ? units.refuse()
                                                : units.amount(position.priceWithDiscount);
}

// Chooses the price and discount whose register total is `total`: the discount
// that closes the gap at the price given, or the lowest higher price in whole
// kopecks that leaves a gap a discount can close. Lines that make no sense
// (no positive quantity, a negative price or total) are left as they are, for
// the register to judge.
void reachTotal(LineSums& sums, int64_t total, ReceiptUnits& units) {
    if (sums.quantity <= 0 || sums.price < 0 || total < 0) {
        return;
    }
    std::optional<int64_t> sum = itemSum(sums.price, sums.quantity);
    if (sum && *sum < total) {
        const auto price = lowestPriceReaching(total, sums.quantity);
        sum = price ? itemSum(*price, sums.quantity) : std::nullopt;
        sums.price = price.value_or(0);
    }
    if (!sum || *sum < total) {
        units.refuse(); // sums beyond the register's range
        return;
    }
    sums.discount = *sum - total;
}

// The VAT in a line's total at `percent`, when the host left the sum out.
int64_t computedVat(const LineSums& sums, std::optional<int32_t> percent, ReceiptUnits& units) {
    if (!percent) {
        return 0;
    }
    const auto sum = itemSum(sums.price, sums.quantity);
    const auto vat = sum ? includedVat(*sum - sums.discount, *percent) : std::nullopt;
    return vat ? *vat : units.refuse();
}

} // namespace

LineSums lineSums(const ReceiptPosition& position, ZeroQuantity zeroQuantity, ReceiptUnits& units) {
    LineSums sums;
    sums.price = unitPriceBeforeDiscount(position, zeroQuantity, units);
    sums.quantity = units.quantity(position.quantity);
    sums.discount = units.amount(position.discountAmount);
    if (position.amountWithDiscount) {
        if (!totalWithinRoundingGap(position)) {
            units.refuse(); // the document contradicts itself
        }
        reachTotal(sums, units.amount(*position.amountWithDiscount), units);
    }
    const auto rate = vatRateOf(position.vatRate);
    if (!rate) {
        units.refuse();
        return sums;
    }
    sums.taxCode = rate->code;
    sums.vat = position.vatAmount ? units.amount(*position.vatAmount)
                                  : computedVat(sums, rate->percent, units);
    return sums;
}

} // namespace korvant
