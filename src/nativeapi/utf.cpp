#include "nativeapi/utf.h"

#include <cstdint>

namespace korvant {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Writes the UTF-8 form of `cp` at `out`; returns the end of what was written.
char* writeUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

size_t utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

void appendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, writeUtf8(bytes, cp));
}

// Decodes the code point starting at unit `pos` and advances `pos`; an
// unpaired surrogate yields U+FFFD.
char32_t decodeUtf16(std::u16string_view text, size_t& pos) {
    const char32_t unit = text[pos++];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
            return 0x10000 + ((unit - 0xD800) << 10) + (text[pos++] - 0xDC00);
        }
        return kReplacement;
    }
    return unit >= 0xDC00 && unit <= 0xDFFF ? kReplacement : unit;
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one code point starting at `pos` and advances `pos`; a malformed
// sequence yields U+FFFD and consumes one byte, as most decoders do.
char32_t decodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<uint8_t>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

} // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    // Measured first, then written in place: host texts such as a receipt
    // package run to hundreds of kilobytes, and growing the result a byte at a
    // time was most of their conversion.
    size_t bytes = 0;
    for (size_t pos = 0; pos < text.size();) {
        bytes += utf8Length(decodeUtf16(text, pos));
    }
    std::string out(bytes, '\0');
    char* next = out.data();
    for (size_t pos = 0; pos < text.size();) {
        next = writeUtf8(next, decodeUtf16(text, pos));
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        appendUtf16(out, decodeUtf8(text, pos));
    }
    return out;
}

std::string sanitizeUtf8(std::string_view text) {
    // Nearly every text is valid already and is copied whole; a U+FFFD of its
    // own merely sends it the long way, to the same result.
    bool valid = true;
    for (size_t pos = 0; pos < text.size() && valid;) {
        valid = decodeUtf8(text, pos) != kReplacement;
    }
    if (valid) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        appendUtf8(out, decodeUtf8(text, pos));
    }
    return out;
}

} // namespace korvant
