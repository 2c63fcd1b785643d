#include "operations/receipt/line_total_guard.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "device/item_sums.h"
#include "device/units.h"

namespace korvant {

bool totalWithinRoundingGap(const ReceiptPosition& position) {
    if (!position.amountWithDiscount) {
        return true;
    }
    const auto total = amountToDevice(*position.amountWithDiscount);
    const auto price = amountToDevice(position.priceWithDiscount);
    const auto quantity = quantityToDevice(position.quantity);
    if (!total || !price || !quantity) {
        return false;
    }
    // Amounts are in ten-thousandths of a rouble and quantities in ten-thousandths
    // of a unit, so price × quantity is in 10^-8 roubles: the total is scaled to match.
    constexpr int64_t kScale = 10000;
    int64_t stated = 0;
    int64_t scaledTotal = 0;
    int64_t gap = 0;
    if (__builtin_mul_overflow(*price, *quantity, &stated) ||
        __builtin_mul_overflow(*total, kScale, &scaledTotal) ||
        __builtin_sub_overflow(scaledTotal, stated, &gap) ||
        gap == std::numeric_limits<int64_t>::min()) {
        return false;
    }
    // A kopeck per unit is the quantity times a kopeck, in the same 10^-8 roubles.
    const int64_t units = *quantity < 0 ? -*quantity : *quantity;
    int64_t allowed = 0;
    if (__builtin_mul_overflow(units, kKopeck, &allowed)) {
        allowed = std::numeric_limits<int64_t>::max();
    }
    allowed = std::max(allowed, kKopeck * kScale);
    return (gap < 0 ? -gap : gap) <= allowed;
}

} // namespace korvant
