#pragma once
// The register's own arithmetic of a receipt, in its units: amounts in ten-thousandths of a
// rouble, quantities in ten-thousandths of a unit. The fiscal storage keeps whole kopecks: a
// position's sum is price × quantity rounded half up to the kopeck, its total that sum less the
// position's discount, and the VAT a total includes at a rate of r % is total × r ÷ (100 + r),
// rounded half up to the kopeck. Integers only; a result that would not fit is nothing, which
// the register refuses rather than let it wrap.

#include <cstdint>
#include <optional>

namespace korvant3emu {

std::optional<int64_t> positionTotal(int64_t price, int64_t quantity, int64_t discount);

std::optional<int64_t> vatIncluded(int64_t total, int64_t ratePercent);

} // namespace korvant3emu
