#pragma once
// What a position of the host's receipt package is, read from its element and "Type".

#include <cstdint>
#include <string_view>

namespace korvant {

// What a position of the receipt package is. Kinds 1 to 5 are the device's
// text types (text line and the four barcode kinds).
enum class PositionKind : int32_t {
    FiscalString = 0,
    TextString = 1,
    Ean8 = 2,
    Ean13 = 3,
    Code39 = 4,
    Qr = 5,
};

// Exact, case-sensitive whole-text match of "FiscalString", "TextString", "EAN8",
// "EAN13", "CODE39", "QR"; any other text is a text line.
PositionKind positionKindOf(std::string_view text);

// True for the four barcode kinds a Barcode element may name.
bool isBarcodeKind(PositionKind kind);

} // namespace korvant
