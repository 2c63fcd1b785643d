#pragma once
// Receipt packages as 1C:Enterprise hands them to ProcessCheck: a sale paid in
// cash with a number of goods positions.

#include <string>

namespace korvant::bench {

// The price of every position: two units at 90 after a discount of 20 in all.
inline constexpr double kPositionTotal = 180;

// A sale by one cashier with `positions` fiscal strings named "Товар 1",
// "Товар 2"..., paid exactly in cash.
std::string salePackage(int positions);

} // namespace korvant::bench
