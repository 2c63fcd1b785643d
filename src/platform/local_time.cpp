#include "platform/local_time.h"

#include <limits>

namespace korvant {
namespace {

#ifdef _WIN32
// The Microsoft C runtime converts no time before 1970 (UTC for localtime_s, local for mktime).
// Earlier times are converted 400 years later and moved back: the Gregorian calendar repeats
// every 400 years to the weekday, and the runtime applies the same zone rules to every year.
constexpr int kCycleYears = 400;
constexpr int64_t kCycleSeconds = int64_t{146097} * 86400;
// Calendar times before this year may lie before 1970 UTC in zones east of Greenwich, and
// times before this second may be local times before 1970 west of it.
constexpr int kFirstSafeYear = 1971 - 1900;
constexpr int64_t kFirstSafeSecond = 2 * 86400;
#endif

} // namespace

bool localCalendarTime(int64_t seconds, std::tm& out) {
#ifdef _WIN32
    // The runtime's 64-bit functions, whatever the build's time_t: the 32-bit
    // build's is 32 bits wide, which the shift below would overflow, and which
    // ends in 2038.
    const bool shifted = seconds < kFirstSafeSecond;
    if (shifted) {
        seconds += kCycleSeconds;
        if (seconds < 0) {
            return false;
        }
    }
    const auto time = static_cast<__time64_t>(seconds);
    if (_localtime64_s(&out, &time) != 0) {
        return false;
    }
    if (shifted) {
        out.tm_year -= kCycleYears;
    }
    return true;
#else
    if constexpr (sizeof(std::time_t) < sizeof(int64_t)) {
        // A 32-bit time_t (older 32-bit C libraries) cannot even hold the value.
        if (seconds < std::numeric_limits<std::time_t>::min() ||
            seconds > std::numeric_limits<std::time_t>::max()) {
            return false;
        }
    }
    const auto time = static_cast<std::time_t>(seconds);
    return localtime_r(&time, &out) != nullptr;
#endif
}

std::optional<int64_t> localSecondsOf(std::tm calendar) {
    // -1 is both the failure answer and a valid time (one second before 1970 UTC);
    // a successful mktime always normalises tm_wday, so an untouched -1 there
    // tells the two apart.
    calendar.tm_wday = -1;
#ifdef _WIN32
    const bool shifted = calendar.tm_year < kFirstSafeYear;
    if (shifted) {
        calendar.tm_year += kCycleYears;
    }
#endif
#ifdef _WIN32
    const __time64_t seconds = _mktime64(&calendar);
#else
    const std::time_t seconds = std::mktime(&calendar);
#endif
    if (seconds == -1 && calendar.tm_wday == -1) {
        return std::nullopt;
    }
#ifdef _WIN32
    if (shifted) {
        return static_cast<int64_t>(seconds) - kCycleSeconds;
    }
#endif
    return static_cast<int64_t>(seconds);
}

} // namespace korvant
