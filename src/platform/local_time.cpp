#include "platform/local_time.h"

#include <limits>

namespace korvant {

bool localCalendarTime(int64_t seconds, std::tm& out) {
    if constexpr (sizeof(std::time_t) < sizeof(int64_t)) {
        // A 32-bit time_t (older 32-bit C libraries) cannot even hold the value.
        if (seconds < std::numeric_limits<std::time_t>::min() ||
            seconds > std::numeric_limits<std::time_t>::max()) {
            return false;
        }
    }
    const auto time = static_cast<std::time_t>(seconds);
#ifdef _WIN32
    return localtime_s(&out, &time) == 0;
#else
    return localtime_r(&time, &out) != nullptr;
#endif
}

std::optional<int64_t> localSecondsOf(std::tm calendar) {
    // -1 is both the failure answer and a valid time (one second before 1970 UTC);
    // a successful mktime always normalises tm_wday, so an untouched -1 there
    // tells the two apart.
    calendar.tm_wday = -1;
    const std::time_t seconds = std::mktime(&calendar);
    if (seconds == static_cast<std::time_t>(-1) && calendar.tm_wday == -1) {
        return std::nullopt;
    }
    return static_cast<int64_t>(seconds);
}

} // namespace korvant
