#pragma once
// The codes a receipt's values become in the register's requests: the VAT rate
// slot, the taxation system's bit mask and the agent type.

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvant {

// A "VATRate" as the register takes it: its rate code and, for a rate with a
// percentage, that percentage (from which a VAT sum the host left out is computed).
struct VatRate {
    int32_t code = 3;
    std::optional<int32_t> percent;
};

// "none" 1; "10" 2; "20", "18" and "22" 3; "10/110" 4; "20/120", "18/118" and
// "22/122" 5; "0" 6 (exact, whole-text matches). The register's rate slots 3 and
// 5 carry the general rate in force, whichever of those it is. Any other number
// ("5", "7/107", "12.5"...) has no slot: nullopt, and the receipt must be refused
// rather than booked at another rate. Any other text, the empty one included,
// falls back to code 3 without a percentage.
std::optional<VatRate> vatRateOf(std::string_view vatRate);

// The taxation system as the device's one-bit mask; only the low five bits of
// the number are the shift count.
uint32_t taxationMask(int32_t taxationSystem);

// The host's agent type (receipt "AgentType", position "CalculationAgent") as
// the device numbers it: one more.
int64_t agentTypeCode(int32_t agentType);

} // namespace korvant
