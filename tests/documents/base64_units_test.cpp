#include "device/units.h"
#include "documents/base64.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korvant;

TEST(Base64, DecodesAsHostsWriteIt) {
    const struct {
        const char* text;
        bool ok;
        const char* bytes;
    } cases[] = {
        {"MDEyMzQ1", true, "012345"},
        {"QQ==", true, "A"},
        {"QQ", true, "A"},
        {"QQ=", true, "A"},
        {"QUI=", true, "AB"},
        {"QUI", true, "AB"},
        {"", true, ""},
        {"+/+/", true, "\xFB\xFF\xBF"},
        {"-_-_", true, "\xFB\xFF\xBF"}, // the URL-safe alphabet
        {"+_-/", true, "\xFB\xFF\xBF"},
        // Wrapped lines and blanks are skipped, fill characters included.
        {"MD Ey", true, "012"},
        {"MD\nEy", true, "012"},
        {"MDEy\r\nMzQ1\r\n", true, "012345"},
        {"\tQQ\n==\n", true, "A"},
        {"Q Q = =", true, "A"},
        {" \n ", true, ""},
        {"AB=C", false, ""}, // fill before the end
        {"QQ==QQ==", false, ""},
        {"QQ=\n=QQ", false, ""},
        {"QQ===", false, ""},
        {"====", false, ""},
        {"Q", false, ""}, // six bits are no byte
        {"Q\n", false, ""},
        {"MDEyM", false, ""},
        {"MD*y", false, ""}, // outside both alphabets
        {"MD.y", false, ""},
        {"MDEy\v", false, ""},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(decodeBase64(c.text, out), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(out, c.bytes) << '"' << c.text << '"';
    }
}

TEST(DeviceUnits, AmountsAndQuantities) {
    EXPECT_EQ(amountToDevice(12.345), 123400);
    EXPECT_EQ(amountToDevice(0.29), 2900);
    EXPECT_EQ(amountToDevice(100.1), 1001000);
    EXPECT_EQ(amountToDevice(0.0), 0);
    EXPECT_EQ(amountToDevice(150.5), 1505000);
    EXPECT_EQ(amountToDevice(-150.5), -1505000); // a mark-up: the same sum, negative
    EXPECT_EQ(amountToDevice(-10.0), -100000);
    EXPECT_EQ(amountToDevice(-12.349), -123500);
    EXPECT_EQ(quantityToDevice(1.0), 10000);
    EXPECT_EQ(quantityToDevice(0.001), 10);
    EXPECT_EQ(quantityToDevice(2.5), 25000);
    EXPECT_EQ(amountFromDevice(1234599), 123.45);
    EXPECT_EQ(amountFromDevice(150000), 15.0);
    EXPECT_EQ(amountFromDevice(-1234599), -123.45);
}

// The rule works on the decimal the host wrote, never on what a floating-point unit makes of
// it: these are the amounts an extended-precision unit used to send a kopeck short.
TEST(DeviceUnits, TheRuleAppliesToTheDecimalTheHostWrote) {
    const struct {
        double value;
        int64_t amount;
        int64_t quantity;
    } cases[] = {
        {1.299, 13000, 12990},
        {100 + 9.99 / 10, 1010000, 1009990}, // a price with its discount spread over 10 units
        {1.13, 11300, 11300},
        {0.1 + 0.2, 3000, 3000},  // 0.30000000000000004
        {12.349, 123500, 123490}, // a 9 cut off carries with the 0.1
        {12.3455, 123400, 123450},
        {0.0009, 0, 10}, // 0.9 of a quantity's unit carries too
        {0.0005, 0, 0},
        {5e-324, 0, 0},
        {1e-20, 0, 0},
        {1e-5, 0, 0},
        {0.01, 100, 100},
        {19.99, 199900, 199900},
        {123456789.12, 1234567891200, 1234567891200},
        {-0.0, 0, 0},
        {-1.299, -13000, -12990}, // a negative value is its magnitude negated
        {-0.05, -500, -500},
        {-0.001, 0, -10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(amountToDevice(c.value), c.amount) << c.value;
        EXPECT_EQ(quantityToDevice(c.value), c.quantity) << c.value;
    }
}

TEST(DeviceUnits, RefusesWhatDoesNotFit) {
    const double refused[] = {std::nan(""),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              1e300,
                              -1e300,
                              1e17};
    for (const double value : refused) {
        EXPECT_EQ(amountToDevice(value), std::nullopt) << value;
        EXPECT_EQ(quantityToDevice(value), std::nullopt) << value;
    }
    // The largest amounts still converted stay below the 64-bit limit.
    const auto large = amountToDevice(9.2e14);
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(*large, int64_t{9200000000000000000});
    EXPECT_EQ(quantityToDevice(9.2e14), int64_t{9200000000000000000});
    EXPECT_EQ(amountToDevice(9.3e14), std::nullopt);
    EXPECT_EQ(quantityToDevice(9.3e14), std::nullopt);
}
