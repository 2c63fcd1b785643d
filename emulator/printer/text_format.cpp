#include "printer/text_format.h"

#include <charconv>
#include <ctime>

namespace korvant3emu {
namespace {

std::tm localTime(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &time);
#else
    localtime_r(&time, &parts);
#endif
    return parts;
}

std::string twoDigits(int value) {
    return std::string{static_cast<char>('0' + value / 10 % 10),
                       static_cast<char>('0' + value % 10)};
}

std::string unsignedDecimal(uint64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string fixedPoint(int64_t value, uint64_t scale, size_t decimals) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : uint64_t(value);
    std::string fraction = unsignedDecimal(magnitude % scale);
    fraction.insert(0, decimals - fraction.size(), '0');
    return (negative ? "-" : "") + unsignedDecimal(magnitude / scale) + "." + fraction;
}

} // namespace

std::string decimal(int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

int localYear(int64_t seconds) {
    return localTime(seconds).tm_year + 1900;
}

std::string formatMoney(int64_t amount) {
    return fixedPoint(amount / 100, 100, 2);
}

std::string formatQuantity(int64_t quantity) {
    return fixedPoint(quantity / 10, 1000, 3);
}

std::string formatDate(int64_t seconds) {
    const std::tm parts = localTime(seconds);
    return twoDigits(parts.tm_mday) + "." + twoDigits(parts.tm_mon + 1) + "." +
           twoDigits(parts.tm_year % 100);
}

std::string formatCompactDateTime(int64_t seconds) {
    const std::tm parts = localTime(seconds);
    return decimal(parts.tm_year + 1900) + twoDigits(parts.tm_mon + 1) + twoDigits(parts.tm_mday) +
           "T" + twoDigits(parts.tm_hour) + twoDigits(parts.tm_min);
}

std::string formatDateTime(int64_t seconds) {
    const std::tm parts = localTime(seconds);
    return formatDate(seconds) + " " + twoDigits(parts.tm_hour) + ":" + twoDigits(parts.tm_min);
}

} // namespace korvant3emu
