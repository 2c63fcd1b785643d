#include "documents/base64.h"

#include <cstdint>

namespace korvant {
namespace {

constexpr int kNotInAlphabet = -1;

int sextetOf(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return kNotInAlphabet;
}

size_t trailingFillCount(std::string_view text) {
    const size_t lastData = text.find_last_not_of('=');
    return lastData == std::string_view::npos ? text.size() : text.size() - lastData - 1;
}

} // namespace

bool decodeBase64(std::string_view text, std::string& out) {
    out.clear();
    uint32_t bits = 0;
    int bitCount = 0;
    size_t characters = 0;
    for (const char c : text) {
        if (c == '=') {
            break;
        }
        const int sextet = sextetOf(c);
        if (sextet == kNotInAlphabet) {
            out.clear();
            return false;
        }
        ++characters;
        bits = (bits << 6) | static_cast<uint32_t>(sextet);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            out.push_back(static_cast<char>((bits >> bitCount) & 0xFF));
        }
    }
    const size_t wholeBytes = text.size() * 6 / 8;
    const size_t fill = trailingFillCount(text);
    const bool loneFinalCharacter = characters % 4 == 1;
    if (fill > wholeBytes || out.size() != wholeBytes - fill || loneFinalCharacter) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace korvant
