#pragma once
// The codes a receipt's values become in the register's requests: the VAT rate
// slot, the taxation system's bit mask and the agent type, and the codes the
// register knows for a position's payment method and calculation subject. A
// value outside its codes has no meaning for the register: it is refused, never
// wrapped into another code.

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

// The taxation system (0 to 5) as the device's one-bit mask; nothing for any
// other number.
std::optional<uint32_t> taxationMask(int32_t taxationSystem);

// The host's agent type (receipt "AgentType", position "CalculationAgent") as
// the device numbers it: one more, for 0 to 6 and for -1, the clients' "no
// agent" (0); nothing for any other number.
std::optional<int64_t> agentTypeCode(int32_t agentType);

// Payment methods 1 to 7 (full prepayment to payment of a credit), and 0 for a
// position that names none.
bool knownPaymentMethod(int32_t paymentMethod);

// Calculation subjects 1 to 27 and the marked goods' 30 to 33, and 0 for a
// position that names none.
bool knownCalculationSubject(int32_t calculationSubject);

} // namespace korvant
