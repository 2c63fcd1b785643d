#pragma once
// The device library's unit for amounts: ten-thousandths of the currency unit.

#include <cstdint>

namespace korvant {

// An amount from an answer in currency units with two decimals: both divisions
// truncate toward zero, so 1234599 reads as 123.45.
inline double amountFromDevice(int64_t value) {
    return static_cast<double>(value / 100) / 100.0;
}

} // namespace korvant
