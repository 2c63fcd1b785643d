#pragma once
// How the demonstration writes what it reports: columns that line up whatever the alphabet,
// durations and sums of money. Numbers are written without the process locale, which the
// component changes (SetLocale).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::host {

// The text followed by spaces up to `width` characters (UTF-8 counted by characters, not bytes);
// a longer text is left as it is.
std::string padded(std::string_view utf8, std::size_t width);
// Spaces up to `width` characters, then the text.
std::string rightAligned(std::string_view utf8, std::size_t width);

// "0.04 мс", "12.0 мс", "1.25 с".
std::string durationText(std::chrono::steady_clock::duration duration);

// A sum of money with two decimals and a point: 1109 gives "1109.00".
std::string moneyText(double amount);
// A decimal number as the component writes it in its documents ("1109.0000000000002"); nothing
// when the text is not one.
std::optional<double> decimalValue(std::string_view text);

} // namespace korvant::host
