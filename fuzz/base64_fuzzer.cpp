// decodeBase64 on arbitrary text: the documented length rule holds for every
// success (blanks and line breaks not counted), a failure leaves nothing
// behind, and decoded bytes survive a canonical encoding.
#include "documents/base64.h"
#include "fuzz_support.h"

namespace korvant::fuzz {
namespace {

std::string encode(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = uint32_t(uint8_t(bytes[i])) << 16 |
                               uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) {
            out.push_back(kAlphabet[(group >> shift) & 0x3F]);
        }
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t group = uint32_t(uint8_t(bytes[i])) << 16;
        if (rest == 2) {
            group |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        }
        out.push_back(kAlphabet[(group >> 18) & 0x3F]);
        out.push_back(kAlphabet[(group >> 12) & 0x3F]);
        out.push_back(rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        out.push_back('=');
    }
    return out;
}

size_t trailingFill(std::string_view text) {
    size_t count = 0;
    while (count < text.size() && text[text.size() - 1 - count] == '=') {
        ++count;
    }
    return count;
}

} // namespace
} // namespace korvant::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvant;
    using namespace korvant::fuzz;
    const std::string_view text = asText(data, size);
    std::string decoded = "left over";
    if (!decodeBase64(text, decoded)) {
        require(decoded.empty(), "a failed decoding leaves nothing");
        return 0;
    }
    std::string kept; // the characters decoded: blanks and line breaks are skipped
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            kept.push_back(c);
        }
    }
    require(decoded.size() == kept.size() * 6 / 8 - trailingFill(kept),
            "the decoded length is floor(6n/8) - p");
    std::string again;
    require(decodeBase64(encode(decoded), again) && again == decoded,
            "decoded bytes survive a canonical encoding");
    return 0;
}
