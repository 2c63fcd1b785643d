#pragma once
// Money and quantities between the host's floating-point values and the device's
// 64-bit integers in ten-thousandths.

#include <cstdint>
#include <optional>

namespace korvant {

// trunc(|roubles| × 100 + 0.1) × 100 with the sign of roubles: whole kopecks (12.345
// gives 123400, -150.5 gives -1505000). The rule is applied to the decimal the host wrote, the
// shortest one that reads back as the double it passed, and computed in integers: 1.299 gives 13000
// on every build, whatever unit does the floating-point arithmetic. nullopt when the value is not
// finite or the result does not fit 64 bits.
std::optional<int64_t> amountToDevice(double roubles);

// trunc(|quantity| × 1000 + 0.1) × 10 with its sign; nullopt as for amounts.
std::optional<int64_t> quantityToDevice(double quantity);

// trunc(value / 100) / 100 with integer division toward zero, so two decimals
// remain: 1234599 gives 123.45.
double amountFromDevice(int64_t value);

} // namespace korvant
