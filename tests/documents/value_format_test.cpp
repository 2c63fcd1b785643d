#include "documents/value_format.h"
#include "support/process_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <utility>

using namespace korvant;

namespace {

std::string printfDouble(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

} // namespace

TEST(ValueFormat, DoubleMatchesPrintfInTheCLocale) {
    const double values[] = {0.0,
                             -0.0,
                             1234.5,
                             100.1,
                             0.1,
                             -150.5,
                             1e20,
                             1e21,
                             1e16,
                             1e17,
                             123456789012345678.0,
                             1e-5,
                             0.0001,
                             1.5e-300,
                             5e-324,
                             1e308,
                             -2.5e-7,
                             3.0,
                             0.29,
                             1.7976931348623157e308};
    for (const double value : values) {
        EXPECT_EQ(formatDouble(value), printfDouble(value)) << value;
    }
    EXPECT_EQ(formatDouble(100.1), "100.09999999999999");
    EXPECT_EQ(formatDouble(1234.5), "1234.5");
    EXPECT_EQ(formatDouble(0.0), "0");
    EXPECT_EQ(formatDouble(1e20), "1e+20");
}

// Amounts are shown to the cashier as they stand: the shortest text that reads back as the
// same number, never with an exponent.
TEST(ValueFormat, AmountsAreTheShortestExactDecimal) {
    const std::pair<double, const char*> cases[] = {
        {6040.57, "6040.57"}, {100.1, "100.1"},       {0.0, "0"},
        {-0.5, "-0.5"},       {2000000.0, "2000000"}, {1e15, "1000000000000000"},
        {0.0001, "0.0001"},   {1109.0, "1109"},       {922337203685477.5, "922337203685477.5"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatAmount(value), text) << text;
        EXPECT_EQ(readDouble(formatAmount(value)), value) << text;
    }
    EXPECT_EQ(formatAmount(0.1 + 0.2), "0.30000000000000004") << "not rounded to look nicer";
}

TEST(ValueFormat, DecimalTextsAreWholeNumbersOrNothing) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"500", 500.0},
        {"-500", -500.0},
        {" 1500.50 ", 1500.5},
        {"+2,5", 2.5},
        {".5", 0.5},
        {"7.", 7.0},
        {"0", 0.0},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1e3", std::nullopt},
        {"1 500", std::nullopt},
        {"1.5.0", std::nullopt},
        {"1,5.0", std::nullopt},
        {"12abc", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"--1", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(readDecimalText(text), value) << '"' << text << '"';
    }
}

TEST(ValueFormat, IntegersAndBooleans) {
    EXPECT_EQ(formatSigned(0), "0");
    EXPECT_EQ(formatSigned(-1), "-1");
    EXPECT_EQ(formatSigned(std::numeric_limits<int32_t>::min()), "-2147483648");
    EXPECT_EQ(formatUnsigned(4000000000u), "4000000000");
    EXPECT_EQ(formatUnsigned(std::numeric_limits<uint32_t>::max()), "4294967295");
    EXPECT_EQ(formatBool(true), "true");
    EXPECT_EQ(formatBool(false), "false");
}

TEST(ValueFormat, ReadIntLikeScanfPercentD) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"2abc", 2},
        {"1.9", 1},
        {"x", 0},
        {"", 0},
        {"  \t\n-17", -17},
        {"+5", 5},
        {"-", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ValueFormat, ReadDoubleLikeScanfPercentLf) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1,5", 1.0},  {"1.5", 1.5},     {" -2.25e2xyz", -225.0},
        {"+.5", 0.5},  {"5.", 5.0},      {"1e", 1.0},
        {"abc", 0.0},  {"", 0.0},        {"+-1", 0.0},
        {"--1", 0.0},  {"100.1", 100.1}, {"1e-400", 0.0},
        {"0x10", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readDouble(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(readDouble("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readDouble("-123456789e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readDouble("0.000000001e-999"), 0.0);
    EXPECT_EQ(readDouble("-INF"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readDouble("infinity"), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(readDouble(" nan")));
}

TEST(ValueFormat, ReadUnsignedLikeStrtoulWith32Bits) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"643", 643u},
        {" 4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"-1", 4294967295u},
        {"-4294967296", 4294967295u},
        {"12ab", 12u},
        {"ab", 0u},
        {"+7", 7u},
        {"", 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readUnsigned(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ValueFormat, ScanIntCountsTheSignWithinTheWidth) {
    size_t pos = 0;
    EXPECT_EQ(scanInt("20245", pos, 4), 2024);
    EXPECT_EQ(pos, 4u);
    pos = 0;
    EXPECT_EQ(scanInt("  -123", pos, 2), -1);
    EXPECT_EQ(pos, 4u);
    pos = 0;
    EXPECT_EQ(scanInt("  +", pos, 2), std::nullopt);
    EXPECT_EQ(pos, 0u);
}

// The host's SetLocale switches the process to a locale whose decimal separator
// is a comma; the documents must not notice.
TEST(ValueFormat, IndependentOfTheProcessLocale) {
    const korvant::testing::KeptProcessLocale kept;
    const char* chosen = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8",
                             "Russian_Russia.1251", "German_Germany.1252"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",") << chosen;
    const std::string printed = formatDouble(1234.5);
    const double read = readDouble("1.5");
    const int32_t readInteger = readInt(" 1234");
    EXPECT_EQ(printed, "1234.5");
    EXPECT_EQ(read, 1.5);
    EXPECT_EQ(readInteger, 1234);
}
