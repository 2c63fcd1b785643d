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
    // The standard alphabet's last two characters, or the URL-safe alphabet's.
    if (c == '+' || c == '-') {
        return 62;
    }
    if (c == '/' || c == '_') {
        return 63;
    }
    return kNotInAlphabet;
}

// Hosts wrap long codes into lines (at 76 characters) and some leave blanks.
bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string withoutBlanks(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (!isSkipped(c)) {
            kept.push_back(c);
        }
    }
    return kept;
}

size_t trailingFillCount(std::string_view text) {
    const size_t lastData = text.find_last_not_of('=');
    return lastData == std::string_view::npos ? text.size() : text.size() - lastData - 1;
}

} // namespace

bool decodeBase64(std::string_view written, std::string& out) {
    out.clear();
    const std::string text = withoutBlanks(written);
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
