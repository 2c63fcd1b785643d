#include "register/receipt_arithmetic.h"

namespace korvant3emu {
namespace {

// Ten-thousandths of a rouble in a kopeck.
constexpr int64_t kKopeck = 100;

// factor × multiplier ÷ divisor (divisor positive and small), rounded half up (away from zero
// below zero) to whole kopecks.
std::optional<int64_t> kopecksHalfUp(int64_t factor, int64_t multiplier, int64_t divisor) {
    int64_t product = 0;
    if (__builtin_mul_overflow(factor, multiplier, &product)) {
        return std::nullopt;
    }
    // One kopeck of the result is `step` of the product.
    const int64_t step = divisor * kKopeck;
    int64_t kopecks = product / step;
    const int64_t rest = product % step;
    // |rest| < step, so twice it cannot overflow for any divisor this file uses.
    if (rest >= 0 ? 2 * rest >= step : -2 * rest >= step) {
        kopecks += product < 0 ? -1 : 1;
    }
    return kopecks * kKopeck;
}

} // namespace

std::optional<int64_t> positionTotal(int64_t price, int64_t quantity, int64_t discount) {
    const auto sum = kopecksHalfUp(price, quantity, 10000);
    int64_t total = 0;
    if (!sum || __builtin_sub_overflow(*sum, discount, &total)) {
        return std::nullopt;
    }
    return total;
}

std::optional<int64_t> vatIncluded(int64_t total, int64_t ratePercent) {
    return kopecksHalfUp(total, ratePercent, 100 + ratePercent);
}

} // namespace korvant3emu
