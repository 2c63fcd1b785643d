#pragma once
// QR codes as the register prints them, drawn by libqrencode: error correction level M, the
// smallest version that holds the text.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace korvant3emu {

// The modules of a symbol, row by row, without the quiet zone around it.
struct QrSymbol {
    int size = 0; // modules per side
    std::vector<uint8_t> dark;

    bool isDark(int row, int column) const {
        return dark[size_t(row) * size_t(size) + column] != 0;
    }
};

// Nothing when the text is empty or too long for any version. A text with characters beyond
// ASCII is marked as UTF-8, so that a reader shows it as it was sent.
std::optional<QrSymbol> encodeQr(std::string_view text);

} // namespace korvant3emu
