#pragma once
// How the register writes numbers and dates on paper. Independent of the
// process locale.

#include <cstdint>
#include <string>

namespace korvant3emu {

// An amount in ten-thousandths as currency units with two decimals, truncated
// toward zero: 1234599 gives "123.45".
std::string formatMoney(int64_t amount);

// A quantity in ten-thousandths with three decimals: 20000 gives "2.000".
std::string formatQuantity(int64_t quantity);

// Local date and time as the register prints it: "05.03.24 09:07".
std::string formatDateTime(int64_t seconds);

// Local date and time to the minute, compact: "20240305T0907".
std::string formatCompactDateTime(int64_t seconds);

// Local date only: "05.03.24".
std::string formatDate(int64_t seconds);

std::string decimal(int64_t value);

// The local year of a date: 2024 for a moment in 2024.
int localYear(int64_t seconds);

} // namespace korvant3emu
