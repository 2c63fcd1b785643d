#include "documents/date_time.h"

#include "fixed_time_zone.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvant;

TEST(DateTime, FormatsLocalTime) {
    {
        FixedTimeZone zone("UTC");
        EXPECT_EQ(FormatDateTime(0), "1970-01-01T00:00:00");
        EXPECT_EQ(FormatDateTime(1709629620), "2024-03-05T09:07:00");
        EXPECT_EQ(FormatDateTime(-1), "1969-12-31T23:59:59");
        // Past the end of a 32-bit time_t: every build, the 32-bit ones too.
        EXPECT_EQ(FormatDateTime(2208988800), "2040-01-01T00:00:00");
        EXPECT_EQ(FormatDateTime(4116745800), "2100-06-15T12:30:00");
    }
    // A zero date (no unsent documents) is the start of 1970 in local time.
    FixedTimeZone moscow("MSK-3");
    EXPECT_EQ(FormatDateTime(0), "1970-01-01T03:00:00");
    EXPECT_EQ(FormatDateTime(-3600), "1970-01-01T02:00:00");
    EXPECT_EQ(FormatDateTime(-86400 * 365), "1969-01-01T03:00:00");
}

TEST(DateTime, UnconvertibleSecondsGiveTheFixedText) {
    EXPECT_EQ(FormatDateTime(std::numeric_limits<int64_t>::max()), kUnconvertibleDateTime);
    EXPECT_EQ(FormatDateTime(std::numeric_limits<int64_t>::min()), kUnconvertibleDateTime);
}

TEST(DateTime, ParsesLikeTheScanfPattern) {
    FixedTimeZone zone("UTC");
    const struct {
        const char* text;
        int64_t seconds;
    } cases[] = {
        {"2024-03-05T09:07:00", 1709629620},
        {"2024-03-05T09:07:00+03:00", 1709629620}, // the zone suffix is ignored
        {" 2024- 3- 5T 9: 7: 0", 1709629620},      // blanks before each field
        {"2024-03-05T09:07:00.123", 1709629620},
        {"2024-02-30T00:00:00", 1709251200}, // rolls over to March 1
        {"2024-03-05", 0},
        {"2021-05-07T10:30", 0},
        {"2024/03/05T09:07:00", 0},
        {"2024-03-05t09:07:00", 0},
        {"20240-03-05T09:07:00", 0}, // the year reads four digits, then "0" is no "-"
        {"1969-12-31T23:59:59", -1}, // a valid time, not mktime's failure answer
        {"1960-02-29T12:00:00", -310478400},
        {"2040-01-01T00:00:00", 2208988800},
        {"2100-06-15T12:30:00", 4116745800},
        {"", 0},
        {"garbage", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDateTime(c.text), c.seconds) << '"' << c.text << '"';
    }
}

TEST(DateTime, RoundTripsInAZoneWithDaylightSaving) {
    FixedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    for (const int64_t seconds : {int64_t{0}, int64_t{1709629620}, int64_t{1719835200}}) {
        EXPECT_EQ(ParseDateTime(FormatDateTime(seconds)), seconds) << seconds;
    }
    EXPECT_EQ(FormatDateTime(1719835200), "2024-07-01T14:00:00");
}

// A date of birth is a day, not a moment: the same seconds in every zone.
TEST(DateTime, ParsesDottedDatesAsTheirDayInUtc) {
    FixedTimeZone moscow("MSK-3");
    const struct {
        const char* text;
        std::optional<int64_t> seconds;
    } cases[] = {
        {"01.02.1980", 318211200},     {"15.05.1960", -303955200}, // before 1970 as well
        {"29.02.2024", 1709164800},    {"29.02.2023", std::nullopt}, {"31.04.2000", std::nullopt},
        {"00.01.2000", std::nullopt},  {"01.13.2000", std::nullopt}, {"1.2.1980", std::nullopt},
        {"01.02.80", std::nullopt},    {"1980-02-01", std::nullopt}, {" 01.02.1980", std::nullopt},
        {"01.02.1980 ", std::nullopt}, {"+1.02.1980", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDottedDate(c.text), c.seconds) << '"' << c.text << '"';
    }
}
