#include "documents/receipt_codes.h"

#include <array>
#include <utility>

namespace korvant {

PositionKind positionKindOf(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, PositionKind>, 6> kKinds{{
        {"FiscalString", PositionKind::FiscalString},
        {"TextString", PositionKind::TextString},
        {"EAN8", PositionKind::Ean8},
        {"EAN13", PositionKind::Ean13},
        {"CODE39", PositionKind::Code39},
        {"QR", PositionKind::Qr},
    }};
    for (const auto& [name, kind] : kKinds) {
        if (text == name) {
            return kind;
        }
    }
    return PositionKind::TextString;
}

bool isBarcodeKind(PositionKind kind) {
    return kind == PositionKind::Ean8 || kind == PositionKind::Ean13 ||
           kind == PositionKind::Code39 || kind == PositionKind::Qr;
}

int32_t vatRateCode(std::string_view vatRate) {
    static constexpr std::array<std::pair<std::string_view, int32_t>, 8> kRates{{
        {"none", 1},
        {"10", 2},
        {"20", 3},
        {"18", 3},
        {"10/110", 4},
        {"20/120", 5},
        {"18/118", 5},
        {"0", 6},
    }};
    for (const auto& [text, code] : kRates) {
        if (vatRate == text) {
            return code;
        }
    }
    return 3;
}

uint32_t taxationMask(int32_t taxationSystem) {
    return 1u << (static_cast<uint32_t>(taxationSystem) & 0x1Fu);
}

int64_t agentTypeCode(int32_t agentType) {
    return int64_t{agentType} + 1;
}

} // namespace korvant
