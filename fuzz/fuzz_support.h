#pragma once
// What the fuzz targets share: the input seen as text, a reader for inputs
// that describe a sequence of steps, and a check that turns a broken promise
// into a finding (libFuzzer keeps the input that caused it).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace korvant::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A property the code promises and the input broke: reported and aborted on
// like a crash.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", what);
        std::abort();
    }
}

// Reads an input as a program of small steps: single bytes for choices,
// fixed-size numbers, length-prefixed texts. An exhausted input reads zeros
// and empty texts, so every input is a valid program. scripts in fuzz/ write
// seed programs in the same encoding.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    template <typename T> T number() {
        unsigned char bytes[sizeof(T)] = {};
        for (auto& b : bytes) {
            b = byte();
        }
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    // One length byte; 255 announces a two-byte length (low byte first). The
    // text is cut at the end of the input.
    std::string text() {
        size_t length = byte();
        if (length == 255) {
            length = number<uint16_t>();
        }
        length = std::min(length, size_ - std::min(pos_, size_));
        std::string out(reinterpret_cast<const char*>(data_ + pos_), length);
        pos_ += length;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace korvant::fuzz
