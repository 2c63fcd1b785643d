#include "device/units.h"

#include <cmath>
#include <limits>

namespace korvant {
namespace {

// trunc(value × scale + 0.1) × factor, when every step stays within 64 bits.
std::optional<int64_t> toDeviceUnits(double value, double scale, int64_t factor) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double whole = std::trunc(value * scale + 0.1);
    // Strictly below the rounded limit, so the multiplication cannot overflow.
    const auto limit = static_cast<double>(std::numeric_limits<int64_t>::max() / factor);
    if (!(std::fabs(whole) < limit)) {
        return std::nullopt;
    }
    return static_cast<int64_t>(whole) * factor;
}

} // namespace

std::optional<int64_t> amountToDevice(double roubles) {
    return toDeviceUnits(roubles, 100.0, 100);
}

std::optional<int64_t> quantityToDevice(double quantity) {
    return toDeviceUnits(quantity, 1000.0, 10);
}

double amountFromDevice(int64_t value) {
    return static_cast<double>(value / 100) / 100.0;
}

} // namespace korvant
