#include "documents/value_format.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace korvant {
namespace {

// White space as the "C" locale's isspace knows it.
bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipBlanks(std::string_view text, size_t pos) {
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    return pos;
}

// An optional sign followed by decimal digits, within `width` characters. The
// magnitude saturates at UINT64_MAX, which is far beyond every range we keep.
struct SignedDigits {
    bool negative = false;
    uint64_t magnitude = 0;
};

std::optional<SignedDigits> scanSignedDigits(std::string_view text, size_t& pos, size_t width) {
    const size_t available = pos < text.size() ? text.size() - pos : 0;
    const size_t end = pos + std::min(width, available);
    size_t at = pos;
    SignedDigits result;
    if (at < end && (text[at] == '+' || text[at] == '-')) {
        result.negative = text[at] == '-';
        ++at;
    }
    const size_t firstDigit = at;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    for (; at < end && isDigit(text[at]); ++at) {
        const auto digit = static_cast<uint64_t>(text[at] - '0');
        result.magnitude =
            result.magnitude > (kMax - digit) / 10 ? kMax : result.magnitude * 10 + digit;
    }
    if (at == firstDigit) {
        return std::nullopt;
    }
    pos = at;
    return result;
}

int32_t clampToInt32(const SignedDigits& digits) {
    constexpr auto kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    if (digits.negative) {
        return digits.magnitude > kMaxPositive ? std::numeric_limits<int32_t>::min()
                                               : -static_cast<int32_t>(digits.magnitude);
    }
    return digits.magnitude > kMaxPositive ? std::numeric_limits<int32_t>::max()
                                           : static_cast<int32_t>(digits.magnitude);
}

// from_chars reports a decimal number outside the double range without a value;
// strtod gives an infinity for one too large and zero for one too small. Which it
// is follows from the power of ten of the first significant digit.
bool exceedsDoubleRange(std::string_view number) {
    int64_t power = 0;
    bool significant = false;
    bool afterPoint = false;
    int64_t zerosAfterPoint = 0;
    size_t at = 0;
    for (; at < number.size(); ++at) {
        const char c = number[at];
        if (c == '.') {
            afterPoint = true;
        } else if (!isDigit(c)) {
            break;
        } else if (significant) {
            power += afterPoint ? 0 : 1;
        } else if (c != '0') {
            significant = true;
            power = afterPoint ? -(zerosAfterPoint + 1) : 0;
        } else if (afterPoint) {
            ++zerosAfterPoint;
        }
    }
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        if (const auto exponent = scanSignedDigits(number, at, kUnlimitedWidth)) {
            constexpr uint64_t kFarBeyondRange = 1'000'000;
            const auto magnitude =
                static_cast<int64_t>(std::min(exponent->magnitude, kFarBeyondRange));
            power += exponent->negative ? -magnitude : magnitude;
        }
    }
    return power >= 0;
}

} // namespace

std::string formatSigned(int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string formatUnsigned(uint32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string_view formatBool(bool value) {
    return value ? "true" : "false";
}

std::string formatDouble(double value) {
    // to_chars with a precision is defined as printf with the same conversion in
    // the "C" locale: exponent forms like "1e+20" and "inf"/"nan" included.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

std::string formatAmount(double value) {
    // Fixed notation keeps "2e+06" from standing for two million; without a
    // precision to_chars gives the shortest text that reads back exactly. The
    // buffer holds every finite double written out in full.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::optional<int32_t> scanInt(std::string_view text, size_t& pos, size_t maxWidth) {
    size_t at = skipBlanks(text, pos);
    const auto digits = scanSignedDigits(text, at, maxWidth);
    if (!digits) {
        return std::nullopt;
    }
    pos = at;
    return clampToInt32(*digits);
}

int32_t readInt(std::string_view text) {
    size_t pos = 0;
    return scanInt(text, pos).value_or(0);
}

double readDouble(std::string_view text) {
    size_t pos = skipBlanks(text, 0);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::string_view number = text.substr(pos);
    // from_chars accepts a minus of its own; a second sign is no number.
    if (number.empty() || number.front() == '-' || number.front() == '+') {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::invalid_argument) {
        return 0.0;
    }
    if (error == std::errc::result_out_of_range) {
        const auto matched = number.substr(0, static_cast<size_t>(end - number.data()));
        value = exceedsDoubleRange(matched) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::optional<double> readDecimalText(std::string_view text) {
    const size_t begin = skipBlanks(text, 0);
    size_t end = text.size();
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    std::string number(text.substr(begin, end - begin));
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.erase(0, 1);
    }
    size_t digits = 0;
    size_t separators = 0;
    for (char& c : number) {
        if (isDigit(c)) {
            ++digits;
        } else if (c == '.' || c == ',') {
            ++separators;
            c = '.';
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || separators > 1) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [rest, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                               std::chars_format::fixed);
    if (error != std::errc() || rest != number.data() + number.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

uint32_t readUnsigned(std::string_view text) {
    size_t pos = skipBlanks(text, 0);
    const auto digits = scanSignedDigits(text, pos, kUnlimitedWidth);
    if (!digits) {
        return 0;
    }
    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    if (digits->magnitude > kMax) {
        return static_cast<uint32_t>(kMax);
    }
    const auto magnitude = static_cast<uint32_t>(digits->magnitude);
    return digits->negative ? 0u - magnitude : magnitude;
}

} // namespace korvant
