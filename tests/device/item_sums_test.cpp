// The register's item arithmetic, which the add-in and the emulator share.
#include "device/item_sums.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvant;

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TEST(ItemSums, PriceTimesQuantityRoundsHalfUpToTheKopeck) {
    const struct {
        int64_t price;
        int64_t quantity;
        std::optional<int64_t> sum;
    } cases[] = {
        {1725100, 6100, 1052300}, // 172.51 × 0.61 = 105.2311
        {333300, 30000, 999900},  // 33.33 × 3
        {333400, 30000, 1000200}, // 33.34 × 3
        {100, 5000, 100},         // 0.01 × 0.5 = 0.005: half a kopeck rounds up
        {100, 4990, 0},           // 0.00499
        {10000, 3330, 3300},      // 1.00 × 0.333
        {0, 10000, 0},            //
        {-100, 5000, -100},       // away from zero, as the magnitude rounds
        {kMax, 2, std::nullopt},  // the product does not fit
        {kMax, 1, std::nullopt},  // nor with the half kopeck added
    };
    for (const auto& c : cases) {
        EXPECT_EQ(itemSum(c.price, c.quantity), c.sum) << c.price << " × " << c.quantity;
    }
}

TEST(ItemSums, LowestPriceReachingASum) {
    const struct {
        int64_t sum;
        int64_t quantity;
        std::optional<int64_t> price;
    } cases[] = {
        {1000000, 30000, 333400}, // 100.00 for 3: 33.33 gives 99.99, 33.34 gives 100.02
        {1052300, 6100, 1725000}, // 105.23 for 0.61 kg: 172.50 gives 105.225, rounded up
        {1000000, 10000, 1000000},
        {0, 10000, 0},
        {50, 10000, 100},     // a part of a kopeck counts as a whole one
        {100, 20000000, 100}, // a kopeck of price makes 2000 units 20.00
        {100, 1, 500000},     // 50.00 for 0.0001 units is the half kopeck that rounds up
        {kMax, 10000, std::nullopt},
        {100, kMax, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto price = lowestPriceReaching(c.sum, c.quantity);
        EXPECT_EQ(price, c.price) << c.sum << " for " << c.quantity;
        if (price && c.price) {
            // It reaches the sum, and a kopeck less does not.
            EXPECT_GE(itemSum(*price, c.quantity).value(), c.sum);
            if (*price > 0) {
                EXPECT_LT(itemSum(*price - kKopeck, c.quantity).value(), c.sum);
            }
        }
    }
}

TEST(ItemSums, IncludedVat) {
    const struct {
        int64_t total;
        int64_t percent;
        std::optional<int64_t> vat;
    } cases[] = {
        {1000000, 20, 166700}, // 100.00 × 20/120 = 16.666…
        {1000000, 10, 90900},  // 9.0909…
        {1000000, 22, 180300}, // 18.0327…
        {1052300, 20, 175400}, // 105.23 × 20/120 = 17.5383…
        {600, 20, 100},        // 0.06 × 20/120 = 0.01 exactly
        {300, 20, 100},        // 0.005 rounds up
        {200, 20, 0},          // 0.0033…
        {1000000, 0, 0},       {kMax, 20, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(includedVat(c.total, c.percent), c.vat) << c.total << " at " << c.percent;
    }
}

} // namespace
