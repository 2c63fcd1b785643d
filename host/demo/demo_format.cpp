#include "host/demo/demo_format.h"

#include <charconv>
#include <cmath>

namespace korvant::host {
namespace {

std::size_t characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string("?");
}

} // namespace

std::string padded(std::string_view utf8, std::size_t width) {
    const std::size_t length = characters(utf8);
    return std::string(utf8) + std::string(length < width ? width - length : 0, ' ');
}

std::string rightAligned(std::string_view utf8, std::size_t width) {
    const std::size_t length = characters(utf8);
    return std::string(length < width ? width - length : 0, ' ') + std::string(utf8);
}

std::string durationText(std::chrono::steady_clock::duration duration) {
    const double milliseconds = std::chrono::duration<double, std::milli>(duration).count();
    if (milliseconds < 1) {
        return fixed(milliseconds, 2) + " мс";
    }
    if (milliseconds < 1000) {
        return fixed(milliseconds, 1) + " мс";
    }
    return fixed(milliseconds / 1000, 2) + " с";
}

std::string moneyText(double amount) {
    // Rounded to the kopeck first, so that -0.001 does not print as "-0.00".
    const double kopecks = std::round(amount * 100);
    return fixed(kopecks == 0 ? 0.0 : kopecks / 100, 2);
}

std::optional<double> decimalValue(std::string_view text) {
    double value = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace korvant::host
