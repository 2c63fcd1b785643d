#include "documents/date_time.h"

#include "documents/value_format.h"
#include "platform/local_time.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>

namespace korvant {
namespace {

// printf "%0<width>d": zero padding after the sign up to the total width.
void appendPadded(std::string& out, int64_t value, size_t width) {
    char digits[24];
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const auto count = static_cast<size_t>(end - digits);
    const size_t length = count + (value < 0 ? 1 : 0);
    if (value < 0) {
        out.push_back('-');
    }
    if (length < width) {
        out.append(width - length, '0');
    }
    out.append(digits, end);
}

struct DateField {
    size_t width;
    char separatorAfter; // '\0' for the last field
};
constexpr std::array<DateField, 6> kDateFields{{
    {4, '-'},  // year
    {2, '-'},  // month
    {2, 'T'},  // day
    {2, ':'},  // hour
    {2, ':'},  // minute
    {2, '\0'}, // second
}};

} // namespace

std::string FormatDateTime(int64_t seconds) {
    std::tm calendar{};
    if (!localCalendarTime(seconds, calendar)) {
        return std::string(kUnconvertibleDateTime);
    }
    std::string text;
    appendPadded(text, int64_t{calendar.tm_year} + 1900, 4);
    text.push_back('-');
    appendPadded(text, int64_t{calendar.tm_mon} + 1, 2);
    text.push_back('-');
    appendPadded(text, calendar.tm_mday, 2);
    text.push_back('T');
    appendPadded(text, calendar.tm_hour, 2);
    text.push_back(':');
    appendPadded(text, calendar.tm_min, 2);
    text.push_back(':');
    appendPadded(text, calendar.tm_sec, 2);
    return text;
}

int64_t ParseDateTime(std::string_view text) {
    std::array<int32_t, kDateFields.size()> values{};
    size_t pos = 0;
    for (size_t i = 0; i < kDateFields.size(); ++i) {
        const auto value = scanInt(text, pos, kDateFields[i].width);
        if (!value) {
            return 0;
        }
        values[i] = *value;
        if (kDateFields[i].separatorAfter != '\0') {
            if (pos >= text.size() || text[pos] != kDateFields[i].separatorAfter) {
                return 0;
            }
            ++pos;
        }
    }
    std::tm calendar{};
    calendar.tm_year = values[0] - 1900;
    calendar.tm_mon = values[1] - 1;
    calendar.tm_mday = values[2];
    calendar.tm_hour = values[3];
    calendar.tm_min = values[4];
    calendar.tm_sec = values[5];
    calendar.tm_isdst = -1;
    return localSecondsOf(calendar).value_or(0);
}

std::optional<int64_t> ParseDottedDate(std::string_view text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() != 10 || text[2] != '.' || text[5] != '.' ||
        !std::all_of(text.begin(), text.begin() + 2, isDigit) ||
        !std::all_of(text.begin() + 3, text.begin() + 5, isDigit) ||
        !std::all_of(text.begin() + 6, text.end(), isDigit)) {
        return std::nullopt;
    }
    const auto number = [text](size_t from, size_t count) {
        int value = 0;
        std::from_chars(text.data() + from, text.data() + from + count, value);
        return value;
    };
    using namespace std::chrono;
    const year_month_day date{year{number(6, 4)}, month{static_cast<unsigned>(number(3, 2))},
                              day{static_cast<unsigned>(number(0, 2))}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return int64_t{sys_days{date}.time_since_epoch().count()} * 86400;
}

} // namespace korvant
