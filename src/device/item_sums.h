#pragma once
// How the register sums an item, in the device's units: amounts in
// ten-thousandths of a rouble, quantities in ten-thousandths of a unit. The
// add-in chooses the price and discount it sends from these rules, so that the
// register's sums agree with the client's to the kopeck. Integers only, so every
// build computes the same sums.

#include <cstdint>
#include <optional>

namespace korvant {

// Ten-thousandths of a rouble in a kopeck: the fiscal storage keeps whole kopecks.
inline constexpr int64_t kKopeck = 100;

namespace item_sums_detail {

// numerator ÷ denominator (denominator > 0) in ten-thousandths, rounded half up
// (away from zero for negative values) to whole kopecks; nullopt on overflow.
inline std::optional<int64_t> roundToKopeck(int64_t numerator, int64_t denominator) {
    int64_t unit = 0;
    if (__builtin_mul_overflow(denominator, kKopeck, &unit)) {
        return std::nullopt;
    }
    const bool negative = numerator < 0;
    int64_t magnitude = numerator;
    if (negative && __builtin_sub_overflow(int64_t{0}, numerator, &magnitude)) {
        return std::nullopt;
    }
    int64_t halfway = 0;
    if (__builtin_add_overflow(magnitude, unit / 2, &halfway)) {
        return std::nullopt;
    }
    const int64_t rounded = halfway / unit * kKopeck;
    return negative ? -rounded : rounded;
}

} // namespace item_sums_detail

// The item's sum before its discount: price × quantity, rounded half up to the
// kopeck. The item's total is this sum minus the item's discount.
inline std::optional<int64_t> itemSum(int64_t price, int64_t quantity) {
    int64_t product = 0;
    if (__builtin_mul_overflow(price, quantity, &product)) {
        return std::nullopt;
    }
    return item_sums_detail::roundToKopeck(product, 10000);
}

// The lowest price in whole kopecks whose itemSum with `quantity` (positive)
// reaches `sum` (not negative); nullopt on overflow.
inline std::optional<int64_t> lowestPriceReaching(int64_t sum, int64_t quantity) {
    // itemSum(p) >= ceil(sum to kopecks) k  <=>  p × quantity + half a kopeck of
    // the product >= k kopecks of it  <=>  p × quantity >= k × 10^6 - 5 × 10^5.
    const int64_t kopecks = sum / kKopeck + (sum % kKopeck != 0 ? 1 : 0);
    int64_t needed = 0;
    if (__builtin_mul_overflow(kopecks, int64_t{1000000}, &needed)) {
        return std::nullopt;
    }
    needed -= 500000;
    if (needed <= 0) {
        return 0;
    }
    int64_t step = 0; // the product one kopeck of price adds
    if (__builtin_mul_overflow(quantity, kKopeck, &step)) {
        return std::nullopt;
    }
    return (needed / step + (needed % step != 0 ? 1 : 0)) * kKopeck;
}

// The VAT included in `total` at `ratePercent` %: total × rate ÷ (100 + rate),
// rounded half up to the kopeck. The "/110"-style rates are the same sum.
inline std::optional<int64_t> includedVat(int64_t total, int64_t ratePercent) {
    int64_t product = 0;
    if (__builtin_mul_overflow(total, ratePercent, &product)) {
        return std::nullopt;
    }
    return item_sums_detail::roundToKopeck(product, 100 + ratePercent);
}

} // namespace korvant
