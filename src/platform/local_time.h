#pragma once
// The machine's local calendar time, the one place that calls the C library's
// time-zone conversions (their thread-safe variants differ per platform).

#include <cstdint>
#include <ctime>
#include <optional>

namespace korvant {

// Seconds since 1970-01-01 UTC as local calendar time; false when the platform
// cannot represent or convert the value (then `out` holds nothing useful).
bool localCalendarTime(int64_t seconds, std::tm& out);

// Local calendar time as seconds since 1970-01-01 UTC, as mktime gives it: fields
// out of their range roll over, tm_isdst is taken as given. nullopt when the
// platform cannot convert the calendar time.
std::optional<int64_t> localSecondsOf(std::tm calendar);

} // namespace korvant
