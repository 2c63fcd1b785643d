#include "printer/linear_barcode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace korvant3emu {
namespace {

// Seven modules per digit, most significant bit first: the left-hand digits of odd parity
// (set A); set C, right of the centre, is its inverse, and set B, the left-hand even parity,
// is set C backwards.
constexpr std::array<uint8_t, 10> kSetA{0x0D, 0x19, 0x13, 0x3D, 0x23, 0x31, 0x2F, 0x3B, 0x37, 0x0B};
// Which of the six left-hand digits of an EAN-13 take set B, by its leading digit (bit 5 is
// the first of them).
constexpr std::array<uint8_t, 10> kParityB{0x00, 0x0B, 0x0D, 0x0E, 0x13,
                                           0x19, 0x1C, 0x15, 0x16, 0x1A};

void appendBits(BarModules& out, unsigned bits, int count) {
    for (int bit = count - 1; bit >= 0; --bit) {
        out.push_back(((bits >> bit) & 1) != 0);
    }
}

unsigned setC(int digit) {
    return ~unsigned(kSetA[size_t(digit)]) & 0x7F;
}

unsigned setB(int digit) {
    unsigned reversed = 0;
    for (int bit = 0; bit < 7; ++bit) {
        reversed |= ((setC(digit) >> bit) & 1) << (6 - bit);
    }
    return reversed;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The full value with its check digit, from the value with or without it.
std::optional<std::string> withCheckDigit(std::string_view digits, size_t length) {
    if (!allDigits(digits) || (digits.size() != length && digits.size() != length - 1)) {
        return std::nullopt;
    }
    const std::string_view body = digits.substr(0, length - 1);
    const char check = char('0' + eanCheckDigit(body));
    if (digits.size() == length && digits.back() != check) {
        return std::nullopt;
    }
    return std::string(body) + check;
}

// Guard, the left half in the given parities, centre guard, the right half, guard.
BarModules eanModules(std::string_view left, unsigned parityB, std::string_view right) {
    BarModules out;
    appendBits(out, 0x5, 3);
    for (size_t i = 0; i < left.size(); ++i) {
        const int digit = left[i] - '0';
        const bool even = (parityB >> (left.size() - 1 - i)) & 1;
        appendBits(out, even ? setB(digit) : kSetA[size_t(digit)], 7);
    }
    appendBits(out, 0x0A, 5);
    for (char c : right) {
        appendBits(out, setC(c - '0'), 7);
    }
    appendBits(out, 0x5, 3);
    return out;
}

// CODE39: each character is five bars and four spaces, three of the nine wide. Its bars take
// one of ten patterns of two wide bars, by its place within a row of ten characters; the row
// says which of the four spaces is wide. The last four characters have narrow bars and three
// wide spaces.
constexpr std::string_view kCode39Rows[] = {"1234567890", "ABCDEFGHIJ", "KLMNOPQRST", "UVWXYZ-. *"};
constexpr std::array<uint8_t, 4> kCode39RowSpace{0x4, 0x2, 0x1, 0x8};
constexpr std::array<uint8_t, 10> kCode39Bars{0x11, 0x09, 0x18, 0x05, 0x14,
                                              0x0C, 0x03, 0x12, 0x0A, 0x06};
constexpr std::string_view kCode39Special = "$/+%";
constexpr std::array<uint8_t, 4> kCode39SpecialSpaces{0xE, 0xD, 0xB, 0x7};

// Five bar widths and four space widths (a set bit is wide), or false for a character
// CODE39 does not have.
bool code39Pattern(char c, unsigned& bars, unsigned& spaces) {
    for (size_t row = 0; row < std::size(kCode39Rows); ++row) {
        const size_t place = kCode39Rows[row].find(c);
        if (place != std::string_view::npos) {
            bars = kCode39Bars[place];
            spaces = kCode39RowSpace[row];
            return true;
        }
    }
    const size_t special = kCode39Special.find(c);
    if (special == std::string_view::npos) {
        return false;
    }
    bars = 0;
    spaces = kCode39SpecialSpaces[special];
    return true;
}

void appendCode39(BarModules& out, unsigned bars, unsigned spaces) {
    for (int element = 0; element < 9; ++element) {
        const bool bar = element % 2 == 0;
        const int bit = bar ? 4 - element / 2 : 3 - element / 2;
        const bool wide = ((bar ? bars : spaces) >> bit) & 1;
        out.insert(out.end(), wide ? 3 : 1, bar);
    }
}

} // namespace

int eanCheckDigit(std::string_view digits) {
    // Weights 3 and 1 alternate from the rightmost digit, which has 3.
    int sum = 0;
    for (size_t i = 0; i < digits.size(); ++i) {
        const int weight = (digits.size() - i) % 2 == 1 ? 3 : 1;
        sum += weight * (digits[i] - '0');
    }
    return (10 - sum % 10) % 10;
}

std::optional<BarModules> encodeEan13(std::string_view digits) {
    const auto full = withCheckDigit(digits, 13);
    if (!full) {
        return std::nullopt;
    }
    const std::string_view value = *full;
    return eanModules(value.substr(1, 6), kParityB[size_t(value[0] - '0')], value.substr(7));
}

std::optional<BarModules> encodeEan8(std::string_view digits) {
    const auto full = withCheckDigit(digits, 8);
    if (!full) {
        return std::nullopt;
    }
    const std::string_view value = *full;
    return eanModules(value.substr(0, 4), 0, value.substr(4));
}

std::optional<BarModules> encodeCode39(std::string_view text) {
    if (text.empty() || text.find('*') != std::string_view::npos) {
        return std::nullopt;
    }
    BarModules out;
    const std::string framed = "*" + std::string(text) + "*";
    for (size_t i = 0; i < framed.size(); ++i) {
        unsigned bars = 0;
        unsigned spaces = 0;
        if (!code39Pattern(framed[i], bars, spaces)) {
            return std::nullopt;
        }
        if (i > 0) {
            out.push_back(false); // the narrow gap between characters
        }
        appendCode39(out, bars, spaces);
    }
    return out;
}

} // namespace korvant3emu
