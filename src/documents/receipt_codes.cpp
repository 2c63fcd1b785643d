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

} // namespace korvant
