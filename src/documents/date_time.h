#pragma once
// The date-time text of the host's XML documents: "YYYY-MM-DDThh:mm:ss" in the
// machine's local time, without a zone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvant {

// What FormatDateTime writes for seconds the platform cannot turn into local
// time (far outside the range of real documents): the host's empty date.
inline constexpr std::string_view kUnconvertibleDateTime = "0001-01-01T00:00:00";

// Seconds since 1970-01-01 UTC as printf "%04d-%02d-%02dT%02d:%02d:%02d" of the
// local calendar time.
std::string FormatDateTime(int64_t seconds);

// The six fields read as sscanf reads "%04d-%02d-%02dT%02d:%02d:%02d" (each field
// at most its width in characters after optional leading blanks; the separators
// must match), taken as local calendar time and converted as mktime does, with
// out-of-range fields rolling over and the daylight-saving flag left to the
// platform (-1). Text after the seconds, such as a zone suffix, is ignored.
// Fewer than six fields, or a calendar time the platform cannot convert, give 0.
int64_t ParseDateTime(std::string_view text);

// A calendar date written "dd.MM.yyyy" (exactly two, two and four digits), as
// the seconds since 1970-01-01 of 00:00 UTC on that day: a date, not a moment,
// so it reads as the same day in every time zone and needs no platform
// conversion (days before 1970 included). nullopt for any other text and for a
// day the calendar does not have (31.04.2000).
std::optional<int64_t> ParseDottedDate(std::string_view text);

} // namespace korvant
