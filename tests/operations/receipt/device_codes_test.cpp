// The codes a receipt's values become in the register's requests.
#include "operations/receipt/device_codes.h"

#include <cstdint>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

namespace korvant {
namespace {

TEST(DeviceCodes, VatRates) {
    constexpr int kNoPercent = -1;
    constexpr int kRefused = -2;
    const struct {
        const char* text;
        int32_t code;
        int32_t percent;
    } cases[] = {
        {"none", 1, kNoPercent},
        {"10", 2, 10},
        {"20", 3, 20},
        {"18", 3, 18},
        {"22", 3, 22}, // the general rate's slot carries the rate in force
        {"10/110", 4, 10},
        {"20/120", 5, 20},
        {"18/118", 5, 18},
        {"22/122", 5, 22},
        {"0", 6, 0},
        // Numbers the register has no slot for.
        {"5", kRefused, 0},
        {"7", kRefused, 0},
        {"5/105", kRefused, 0},
        {"7/107", kRefused, 0},
        {"12.5", kRefused, 0},
        {"0.0", kRefused, 0},
        {"20/110", kRefused, 0},
        // Texts that are no number fall back to the general rate's code.
        {"", 3, kNoPercent},
        {" 20", 3, kNoPercent},
        {"10 ", 3, kNoPercent},
        {"None", 3, kNoPercent},
        {"20%", 3, kNoPercent},
        {"/", 3, kNoPercent},
        {"20/", 3, kNoPercent},
        {".5", 3, kNoPercent},
    };
    for (const auto& c : cases) {
        const auto rate = vatRateOf(c.text);
        if (c.code == kRefused) {
            EXPECT_FALSE(rate.has_value()) << '"' << c.text << '"';
            continue;
        }
        ASSERT_TRUE(rate.has_value()) << '"' << c.text << '"';
        EXPECT_EQ(rate->code, c.code) << '"' << c.text << '"';
        EXPECT_EQ(rate->percent.value_or(kNoPercent), c.percent) << '"' << c.text << '"';
    }
}

// Values outside their codes have no code: they are refused, never wrapped into
// another one (taxation system 32 once went as the general system's mask).
TEST(DeviceCodes, TaxationMaskAndAgentType) {
    const struct {
        int32_t system;
        std::optional<uint32_t> mask;
    } masks[] = {{0, 1u},  {1, 2u},   {2, 4u},         {3, 8u},        {4, 16u},
                 {5, 32u}, {6, {}},   {31, {}},        {32, {}},       {37, {}},
                 {-1, {}}, {-32, {}}, {INT32_MIN, {}}, {INT32_MAX, {}}};
    for (const auto& m : masks) {
        EXPECT_EQ(taxationMask(m.system), m.mask) << m.system;
    }
    EXPECT_EQ(agentTypeCode(-1), 0); // the clients' "no agent"
    EXPECT_EQ(agentTypeCode(0), 1);
    EXPECT_EQ(agentTypeCode(6), 7);
    for (const int32_t outside : {-5, -2, 7, std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(agentTypeCode(outside), std::nullopt) << outside;
    }
}

TEST(DeviceCodes, PaymentMethodsAndCalculationSubjects) {
    for (int32_t code = -2; code <= 40; ++code) {
        EXPECT_EQ(knownPaymentMethod(code), code >= 0 && code <= 7) << code;
        EXPECT_EQ(knownCalculationSubject(code),
                  (code >= 0 && code <= 27) || (code >= 30 && code <= 33))
            << code;
    }
    EXPECT_FALSE(knownPaymentMethod(99));
}

} // namespace
} // namespace korvant
