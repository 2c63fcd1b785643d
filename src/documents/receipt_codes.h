#pragma once
// Codes the receipt operations derive from the host's receipt package values.

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

// The device's tax rate code for a "VATRate" text: "none" 1, "10" 2, "20" and
// "18" 3, "10/110" 4, "20/120" and "18/118" 5, "0" 6; any other text 3.
int32_t vatRateCode(std::string_view vatRate);

// The taxation system as the device's one-bit mask; only the low five bits of
// the number are the shift count.
uint32_t taxationMask(int32_t taxationSystem);

// The host's agent type (receipt "AgentType", position "CalculationAgent") as
// the device numbers it: one more.
int64_t agentTypeCode(int32_t agentType);

} // namespace korvant
