#include "device/units.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvant {
namespace {

// A finite double as the shortest decimal that reads back as it: ±digits × 10^exponent.
// to_chars finds that decimal with integer arithmetic only, so everything below gives the
// same answer on every build, whatever unit does the floating-point arithmetic there.
struct Decimal {
    bool negative = false;
    uint64_t digits = 0; // at most 17 significant digits
    int exponent = 0;
};

Decimal shortestDecimal(double value) {
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    // "-d.ddde±xx": a sign, the digits around the point, the exponent.
    Decimal decimal;
    const char* at = text;
    if (*at == '-') {
        decimal.negative = true;
        ++at;
    }
    int fractionDigits = 0;
    bool afterPoint = false;
    for (; at < written.ptr && *at != 'e'; ++at) {
        if (*at == '.') {
            afterPoint = true;
            continue;
        }
        decimal.digits = decimal.digits * 10 + static_cast<uint64_t>(*at - '0');
        fractionDigits += afterPoint ? 1 : 0;
    }
    int exponent = 0;
    std::from_chars(at + 1 + (at[1] == '+' ? 1 : 0), written.ptr, exponent);
    decimal.exponent = exponent - fractionDigits;
    return decimal;
}

// trunc(|value| × 10^scale + 0.1) × factor with the value's sign, computed on the exact
// decimal the host meant, when the result fits 64 bits. With two decimals for amounts (three
// for quantities) the value scales to a whole number and the 0.1 changes nothing; a further
// digit is cut off, except that a 9 there rounds up (12.345 gives 1234, 12.349 gives 1235).
// A negative value (a mark-up written as a negative discount) is its magnitude negated: the
// same sum in the other direction, never a kopeck less.
std::optional<int64_t> toDeviceUnits(double value, int scale, int64_t factor) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const Decimal decimal = shortestDecimal(value);
    const auto limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max() / factor);
    int exponent = decimal.exponent + scale;
    uint64_t whole = decimal.digits;
    // Whether the part cut off is at least 0.9: it carries with the 0.1.
    bool carries = false;
    if (exponent >= 0) {
        for (; exponent > 0 && whole != 0; --exponent) {
            if (whole > limit / 10) {
                return std::nullopt;
            }
            whole *= 10;
        }
    } else if (exponent < -18) {
        // The 17 digits lie below 0.1: nothing is left, and nothing carries.
        whole = 0;
    } else {
        uint64_t divisor = 1;
        for (; exponent < 0; ++exponent) {
            divisor *= 10;
        }
        const uint64_t fraction = whole % divisor;
        whole /= divisor;
        carries = fraction * 10 >= divisor * 9;
    }
    whole += carries ? 1 : 0;
    if (whole > limit) {
        return std::nullopt;
    }
    const auto device = static_cast<int64_t>(whole) * factor;
    return decimal.negative ? -device : device;
}

} // namespace

std::optional<int64_t> amountToDevice(double roubles) {
    return toDeviceUnits(roubles, 2, 100);
}

std::optional<int64_t> quantityToDevice(double quantity) {
    return toDeviceUnits(quantity, 3, 10);
}

double amountFromDevice(int64_t value) {
    return static_cast<double>(value / 100) / 100.0;
}

} // namespace korvant
