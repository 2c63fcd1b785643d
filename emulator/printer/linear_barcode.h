#pragma once
// The one-dimensional barcodes a register prints: EAN-8, EAN-13 and CODE39, as the run of
// narrow modules a printer draws (a wide element of CODE39 is three modules).

#include <optional>
#include <string_view>
#include <vector>

namespace korvant3emu {

// Dark and light modules from the first bar to the last, without quiet zones.
using BarModules = std::vector<bool>;

// EAN-13 from 12 digits (the check digit is added) or 13 with a correct check digit; EAN-8
// likewise from 7 or 8. Nothing for any other value.
std::optional<BarModules> encodeEan13(std::string_view digits);
std::optional<BarModules> encodeEan8(std::string_view digits);

// CODE39 of digits, capital Latin letters, space and - . $ / + %, between its start and stop
// characters and without a check character. Nothing for an empty value or any other character.
std::optional<BarModules> encodeCode39(std::string_view text);

// The EAN check digit of the digits before it.
int eanCheckDigit(std::string_view digits);

} // namespace korvant3emu
