#pragma once
// The text forms of numbers and booleans in every XML document exchanged with the
// host. The host's SetLocale changes the process locale, so nothing here may
// consult it: a point is always the decimal separator.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvant {

// Writers, each the exact text of the printf conversion named.
std::string formatSigned(int32_t value);    // "%d"
std::string formatUnsigned(uint32_t value); // "%u"
std::string_view formatBool(bool value);    // "true" / "false"
std::string formatDouble(double value);     // "%.17g": 100.1 gives "100.09999999999999"

// An amount of money for the host to show as it stands: the shortest decimal
// text, without an exponent, that reads back as the same double ("6040.57",
// "2000000", "-0.5").
std::string formatAmount(double value);

// Readers with the semantics of sscanf/strtoul, independent of the locale.

// sscanf "%d": leading white space, an optional sign, decimal digits; reading stops
// at the first other character; text without a leading number gives 0. Values
// outside the 32-bit range are clamped to it.
int32_t readInt(std::string_view text);

// sscanf "%lf": leading white space, an optional sign, then a decimal number with
// optional point and exponent, or "inf"/"infinity"/"nan" in any case. No number
// gives 0.0 ("1,5" gives 1.0). A magnitude too large for a double gives an
// infinity, one too small gives zero, as strtod does. Hexadecimal floating forms
// are not read (their leading "0" is).
double readDouble(std::string_view text);

// A text that is a decimal number as a whole: white space around it, an optional
// sign, digits with at most one decimal separator (a point, or the comma of a
// Russian-language text). No exponent, no digit grouping, nothing else; nullopt
// for any other text, the empty one included.
std::optional<double> readDecimalText(std::string_view text);

// strtoul base 10 with a 32-bit unsigned long: leading white space, an optional
// sign, decimal digits. A magnitude above 4294967295 gives 4294967295; a minus
// sign negates modulo 2^32 ("-1" gives 4294967295). No digits gives 0.
uint32_t readUnsigned(std::string_view text);

// One scanf "%d" conversion starting at `pos`, reading at most `maxWidth`
// characters after the skipped white space (sign included, as scanf counts them).
// On success `pos` is moved past the number; nullopt when no digits were read.
// Values outside the 32-bit range are clamped to it.
inline constexpr size_t kUnlimitedWidth = static_cast<size_t>(-1);
std::optional<int32_t> scanInt(std::string_view text, size_t& pos,
                               size_t maxWidth = kUnlimitedWidth);

} // namespace korvant
